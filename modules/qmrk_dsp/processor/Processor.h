#pragma once

namespace qmrk_dsp
{
/** Base of every effect block.

    Stages are held by value and process in place. The owner holds `lock` around every call to
    process(); prepareLocked() and resetLocked() take it themselves.
*/
template <typename SampleType>
class Processor
{
public:
    using Block = juce::dsp::AudioBlock<SampleType>;

    Processor() = default;
    virtual ~Processor() = default;

    Processor (const Processor&) = delete;
    Processor& operator= (const Processor&) = delete;

    /** Reads input and writes output; both may be the same block. */
    virtual void process (const Block& input, Block& output) = 0;

    /** Sizes every buffer for the ProcessSpec; nothing is allocated while processing afterwards. */
    virtual void prepare (const juce::dsp::ProcessSpec& spec) = 0;

    /** Clears memories and ends the argument ramps. */
    virtual void reset() = 0;

    void prepareLocked (const juce::dsp::ProcessSpec& spec);
    void resetLocked();

    [[nodiscard]] SampleType getSampleRate() const noexcept { return sampleRate; }

    juce::SpinLock lock;

protected:
    /** Takes the ProcessSpec's rate when it is usable; a zero, negative or non-finite rate keeps the last one. */
    void storeSampleRate (const juce::dsp::ProcessSpec& spec) noexcept;

    /** Runs fn over consecutive slices of at most maxSamples, so that per-sample buffers sized in
        prepare are never overrun by a block larger than the prepared one. An unprepared stage
        (maxSamples 0) passes the input through.
    */
    template <typename Fn>
    static void forEachSlice (const Block& input, Block& output, size_t maxSamples, Fn&& fn)
    {
        const auto total = juce::jmin (input.getNumSamples(), output.getNumSamples());

        if (total <= maxSamples)
        {
            fn (input, output);
            return;
        }

        jassert (maxSamples > 0); // block larger than prepared, or not prepared at all

        if (maxSamples == 0)
        {
            copyChannels (input, output, 0);
            return;
        }

        for (size_t start = 0; start < total; start += maxSamples)
        {
            const auto length = juce::jmin (maxSamples, total - start);
            const auto inputSlice = input.getSubBlock (start, length);
            auto outputSlice = output.getSubBlock (start, length);
            fn (inputSlice, outputSlice);
        }
    }

    /** Output channels from firstChannel on that a stage does not process: copies of the input
        where it has such a channel, silence where it has none.
    */
    static void copyChannels (const Block& input, Block& output, size_t firstChannel) noexcept;

    const SampleType pi = static_cast<SampleType> (juce::MathConstants<float>::pi);
    SampleType sampleRate = static_cast<SampleType> (44100);
};

} // namespace qmrk_dsp
