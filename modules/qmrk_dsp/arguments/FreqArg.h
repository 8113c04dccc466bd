#pragma once

namespace qmrk_dsp
{
/** A frequency in hertz walked in octaves: plain = min × 2^(n × octaves). */
template <typename SampleType>
class FreqArg : public Arg<SampleType>
{
public:
    /** A constant frequency (one octave span, never used). */
    FreqArg (SampleType constantValue, const juce::String& labelName, const juce::String& labelUnit);

    FreqArg (SampleType minimumValue, SampleType maximumValue, SampleType initialValue, const juce::String& labelName,
             const juce::String& labelUnit, double octaveSpan);

    [[nodiscard]] juce::String getText (int decimals) const override;
    [[nodiscard]] SampleType fromNormalised (SampleType normalised) const noexcept override;

    /** log2(plain / min) / octaves; 0 where that is undefined (minimum or value not above 0, no span). */
    [[nodiscard]] SampleType toNormalised (SampleType plain) const noexcept override;

private:
    const double octaves;
};

} // namespace qmrk_dsp
