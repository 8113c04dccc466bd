#pragma once

namespace qmrk_dsp
{
/** A range walked along a power curve: plain = n^exponent × (max − min) + min. */
template <typename SampleType>
class ExpScalingArg : public Arg<SampleType>
{
public:
    ExpScalingArg (SampleType curveExponent, SampleType minimumValue, SampleType maximumValue, SampleType initialValue,
                   const juce::String& labelName, const juce::String& labelUnit);

    /** Negative positions count as 0, so the power never sees a negative base. */
    [[nodiscard]] SampleType fromNormalised (SampleType normalised) const noexcept override;

    /** The inverse of fromNormalised(), within 0..1. */
    [[nodiscard]] SampleType toNormalised (SampleType plain) const noexcept override;

protected:
    const SampleType exponent;
    const SampleType logExponent;
};

/** A time in seconds, shown in milliseconds below one second. */
template <typename SampleType>
class PeriodArg_s : public ExpScalingArg<SampleType>
{
public:
    PeriodArg_s (SampleType minimumValue, SampleType maximumValue, SampleType initialValue,
                 const juce::String& labelName, SampleType curveExponent);

    [[nodiscard]] juce::String getText (int decimals) const override;
};

} // namespace qmrk_dsp
