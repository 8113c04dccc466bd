#pragma once

namespace qmrk_dsp
{
/** The driver stage: a delay of channels 0 and 1 whose echoes alternate in sign
    (y[t] = x[t − D] − f·y[t − D]), then an optional auto-panner and a dry/wet mixer.

    The delay line is sized in prepare() for the longest time the "Delay" argument can reach at
    the prepared rate, never below the configured minimum size. Processing never resizes or
    clears it: a delay time beyond the line (only possible when the range is widened after
    prepare) is held at the longest the line allows until the next prepare.

    Mono: a one-channel preparation or block delays channel 0 alone, and the panner passes it
    through at unity gain. Channels beyond the second are passed through dry.
*/
template <typename SampleType>
class StereoDelay : public Processor<SampleType>
{
public:
    using Block = typename Processor<SampleType>::Block;

    /** The line keeps this many samples above the longest delay it is set to. */
    static constexpr int headroomSamples = 4;

    StereoDelay();

    void process (const Block& input, Block& output) override;
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    void reset() override;

    /** The smallest size of the delay line in samples; takes effect at the next prepare(), so it
        never allocates while audio runs.
    */
    void setMaximumDelayInSamples (int samples) noexcept;

    /** The size the line was given by the last prepare(). */
    [[nodiscard]] int getMaximumDelayInSamples() const noexcept;

    /** The delay in samples the line is set to. */
    [[nodiscard]] SampleType getDelayInSamples() const noexcept;

    StereoOscPanner<SampleType> panner;
    Mixer<SampleType> mixer;
    Arg<SampleType> delay;
    PercentArg<SampleType> feedback;
    BoolArg<SampleType> stereo;

private:
    void processSlice (const Block& input, Block& output) noexcept;
    void applyDelay (SampleType milliseconds) noexcept;
    [[nodiscard]] int samplesFor (SampleType milliseconds) const noexcept;

    // One ring of past samples per channel, a power of two long and larger than lineSamples; `newest`
    // is the slot of the last push. A delay of whole + fraction samples, read before this sample's
    // push, interpolates between the pushes `whole` and `whole + 1` back (1 being the last one).
    std::vector<SampleType> ring;
    size_t ringSize = 0;
    size_t newest = 0;
    SampleType delaySamples = SampleType();
    int delayWhole = 0;
    SampleType delayFraction = SampleType();

    SampleType currentDelayMs = SampleType (200);
    std::atomic<int> minimumLineSamples { 0 };
    int lineSamples = 0;
    size_t numPreparedChannels = 0;
    juce::AudioBuffer<SampleType> wetBuffer;
    std::vector<SampleType> feedbackValues;
    std::vector<SampleType> delayValues;
};

} // namespace qmrk_dsp
