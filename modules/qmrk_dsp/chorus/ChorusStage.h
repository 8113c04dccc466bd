#pragma once

namespace qmrk_dsp
{
/** A modulated delay per channel: each channel reads its line at the predelay plus an
    oscillator-swept part of the depth, with negative feedback from the delayed output and an
    output level divided by 1 + |feedback| to hold the build-up in check.

    The line is sized in prepare() for the longest total delay the stage is built for.
*/
template <typename SampleType>
class ChorusStage : public Processor<SampleType>
{
public:
    using Block = typename Processor<SampleType>::Block;

    /** Slots kept above the longest delay. */
    static constexpr int headroomSamples = 4;

    explicit ChorusStage (SampleType longestDelayMs);

    void process (const Block& input, Block& output) override;
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    void reset() override;

    [[nodiscard]] SampleType getMaxDelayMs() const noexcept { return maxDelayMs; }

    /** The size the line was given by the last prepare(). */
    [[nodiscard]] int getMaximumDelayInSamples() const noexcept;

    PercentArg<SampleType> mix;
    PercentArg<SampleType> feedback;
    ExpScalingArg<SampleType> depth;
    ExpScalingArg<SampleType> predelay;
    Oscillator<SampleType> oscillator;

private:
    void processSlice (const Block& input, Block& output) noexcept;

    const SampleType maxDelayMs;
    SampleType samplesPerMs = SampleType (44.1);

    // One ring of past samples per channel (a power of two long, above the longest delay); newest[ch]
    // is the slot of the last sample pushed. Reading d = whole + fraction samples back interpolates
    // linearly between the samples pushed `whole` and `whole + 1` pushes before it.
    int maxDelaySamples = 0;
    size_t ringSize = 0;
    std::vector<SampleType> ring;
    std::vector<size_t> newest;

    std::vector<SampleType> feedbackState;
    std::vector<SampleType> mixValues, feedbackValues;
    std::vector<SampleType> depthValues, predelayValues;
    std::vector<std::vector<SampleType>> lfo;
    std::vector<int> delayWhole;
    std::vector<SampleType> delayFraction, delayed;
};

} // namespace qmrk_dsp
