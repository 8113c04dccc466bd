#pragma once

namespace qmrk_dsp
{
/** A smoothed gain in decibels; copies and scales in one step while the gain is not ramping. */
template <typename SampleType>
class Gain : public Processor<SampleType>
{
public:
    using Block = typename Processor<SampleType>::Block;

    Gain (const juce::String& labelName, SampleType minimumValue, SampleType maximumValue, SampleType initialValue,
          const juce::String& labelUnit);

    void process (const Block& input, Block& output) override;
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    void reset() override;

    GainArg_dB<SampleType> gain;

private:
    void processSlice (const Block& input, Block& output) noexcept;

    std::vector<SampleType> gainValues;
};

} // namespace qmrk_dsp
