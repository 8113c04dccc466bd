#pragma once

namespace qmrk_dsp
{
/** The effect chain: phaser P, the chorus section (C|a and C|b, averaged in parallel when both
    are on), a second phaser and the chain's own dry/wet mixer.

    The owner configures and drives every member directly. Stages are locked one at a time while
    the chain processes them; a chorus stage may be reset from another thread under its own lock.
*/
template <typename SampleType>
class Zarader : public Processor<SampleType>
{
public:
    using Block = typename Processor<SampleType>::Block;

    /** Longest total delay of each chorus stage, in milliseconds. */
    static constexpr SampleType chorusMaxDelayMs = SampleType (524);

    Zarader();

    void process (const Block& input, Block& output) override;
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    void reset() override;

    Phaser<SampleType> phaser;
    Phaser<SampleType> finalPhaser;
    ChorusStage<SampleType> chorusA;
    ChorusStage<SampleType> chorusB;
    Mixer<SampleType> mixer;
    BoolArg<SampleType> chorusAOn;
    BoolArg<SampleType> chorusBOn;

private:
    void processSlice (const Block& input, Block& output) noexcept;

    template <typename Stage>
    static void runLocked (Stage& stage, Block& block) noexcept
    {
        const juce::SpinLock::ScopedLockType sl (stage.lock);
        stage.process (block, block);
    }

    juce::AudioBuffer<SampleType> bufferA;
    juce::AudioBuffer<SampleType> bufferB;
    size_t capacity = 0;
};

} // namespace qmrk_dsp
