#pragma once

namespace qmrk_dsp
{
/** A chain of first-order all-pass filters (trapezoidal form) whose common break frequency an
    oscillator sweeps around a centre frequency, with a one-sample feedback loop around the chain
    whose fed-back signal can be bent toward its magnitude (the texture).

    The state of every possible stage is allocated in prepare(), so setNumStages() only changes
    how many of them run and never allocates, whichever thread calls it.
*/
template <typename SampleType>
class Phaser : public Processor<SampleType>
{
public:
    using Block = typename Processor<SampleType>::Block;

    /** The most all-pass stages a chain can run. */
    static constexpr int maxStages = 24;

    /** The largest loop gain the feedback may reach. At exactly 1 a swept chain can ring up
        without bound; just below it, the loop still rings long but always dies away.
    */
    static constexpr SampleType maxLoopGain = SampleType (0.99);

    Phaser();

    void process (const Block& input, Block& output) override;
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    void reset() override;

    /** Runs n stages (held within 1..maxStages) from cleared states; takes the phaser's lock. */
    void setNumStages (int n);

    [[nodiscard]] int getNumStages() const;

    /** The highest break frequency: 12 Hz below Nyquist. */
    [[nodiscard]] SampleType getMaxFrequency() const noexcept { return maxFrequency; }

    /** center × 2^((2·sweep − 1) × octaves), held within 0..getMaxFrequency(). */
    [[nodiscard]] SampleType breakFrequency (SampleType center, SampleType sweep, SampleType octaves) const noexcept;

    Arg<SampleType> range;
    PercentArg<SampleType> mix;
    PercentArg<SampleType> feedback;
    PercentArg<SampleType> texture;
    FreqArg<SampleType> centerFreq;
    Oscillator<SampleType> oscillator;
    IntArg<SampleType> stages;

private:
    void processSlice (const Block& input, Block& output) noexcept;
    void clearStates() noexcept;

    static size_t pairsOf (int channels) noexcept { return (static_cast<size_t> (juce::jmax (1, channels)) + 1) / 2; }
    static size_t statesSize (int channels) noexcept
    {
        return pairsOf (channels) * 2 * static_cast<size_t> (maxStages);
    }

    int numChannels = 2;
    int blockSize = 1;
    int numStages = 10;
    SampleType maxFrequency = SampleType();
    SampleType piOverFs = SampleType();
    std::vector<SampleType> mixValues, feedbackValues, textureValues;
    std::vector<SampleType> centerValues, rangeValues;
    std::vector<SampleType> feedbackState;

    // Channels go in pairs (0 and 1, 2 and 3, ...): per pair, maxStages stages of two states each,
    // the layout the two-lane chain works on. feedbackState has one entry per channel of the pairs.
    std::vector<SampleType> stageStates;

    // Per block, in stereo pairs: the chain's input, output and input less feedback; the stage coefficients.
    std::vector<SampleType> inputPairs, outputPairs, chainInputPairs;
    std::vector<SampleType> coefficientA, coefficientB, coefficientC;
    std::vector<std::vector<SampleType>> lfo;
};

} // namespace qmrk_dsp
