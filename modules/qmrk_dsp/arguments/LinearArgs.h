#pragma once

namespace qmrk_dsp
{
/** A percentage; the DSP consumes the fraction. */
template <typename SampleType>
class PercentArg : public Arg<SampleType>
{
public:
    PercentArg (const juce::String& labelName, SampleType initialValue, SampleType minimumValue,
                SampleType maximumValue);

    [[nodiscard]] SampleType toDspValue (SampleType plain) const noexcept override;
};

/** A level in decibels; the DSP consumes the linear factor, exactly 0 at the silence threshold and below. */
template <typename SampleType>
class GainArg_dB : public Arg<SampleType>
{
public:
    static constexpr SampleType silenceDecibels = static_cast<SampleType> (-100);

    GainArg_dB (SampleType minimumValue, SampleType maximumValue, SampleType initialValue,
                const juce::String& labelName, const juce::String& labelUnit);

    [[nodiscard]] SampleType toDspValue (SampleType plain) const noexcept override;
};

/** An on/off switch over the range 0..1. */
template <typename SampleType>
class BoolArg : public Arg<SampleType>
{
public:
    BoolArg (bool initiallyOn, const juce::String& labelName);

    /** "On" or "Off", after the name and ": " when there is a name. */
    [[nodiscard]] juce::String getText (int decimals) const override;
};

} // namespace qmrk_dsp
