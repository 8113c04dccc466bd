#pragma once

namespace qmrk_dsp
{
/** Linear dry/wet blend driven by a percent argument "Mix": out = (1 − m)·dry + m·wet. */
template <typename SampleType>
class Mixer
{
public:
    using Block = juce::dsp::AudioBlock<SampleType>;

    Mixer();

    Mixer (const Mixer&) = delete;
    Mixer& operator= (const Mixer&) = delete;

    void prepare (const juce::dsp::ProcessSpec& spec);
    void reset();

    /** Blends the common channels and samples of the three blocks; wet and dry may alias out. */
    void process (const Block& wet, const Block& dry, Block& out) noexcept;

    PercentArg<SampleType> mix;

private:
    void processSlice (const Block& wet, const Block& dry, Block& out, size_t numChannels, size_t numSamples) noexcept;

    SampleType sampleRate = static_cast<SampleType> (44100);
    std::vector<SampleType> mixValues;
    juce::SpinLock lock;
};

} // namespace qmrk_dsp
