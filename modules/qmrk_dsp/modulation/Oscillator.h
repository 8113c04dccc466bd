#pragma once

namespace qmrk_dsp
{
/** The shape names in type order; the index is the shape's type number. */
inline const juce::StringArray& getOscillatorShapeNames()
{
    static const juce::StringArray names { "Const", "Sine", "SineTri", "SineSqr", "Teardrop", "Epicycloid" };
    return names;
}

/** The low-frequency oscillator of every modulated stage.

    Left and right share one phase accumulator, each with its own phase offset. The period, the
    offsets and the mono output range are arguments that owners may replace; the shape argument
    of each waveform exists from construction on, so that changing the shape (which host
    automation can do from the audio thread) never allocates.
*/
template <typename SampleType>
class Oscillator
{
public:
    enum Shape
    {
        constShape = 0,
        sineShape,
        sineTriShape,
        sineSqrShape,
        teardropShape,
        epicycloidShape,
        numShapes
    };

    /** The five standard arguments. */
    enum class Standard
    {
        phaseLeft,
        phaseRight,
        minimumOutput,
        maximumOutput,
        period
    };

    /** Starts as a Sine with the phase at 0; typeName labels the shape argument. */
    explicit Oscillator (const juce::String& typeName);

    Oscillator (const Oscillator&) = delete;
    Oscillator& operator= (const Oscillator&) = delete;

    /** Changes the waveform, phase-continuously. When both the old and the new shape have an
        argument, the new one takes the old one's normalised position; a shape chosen after one
        without argument starts from its initial value. Numbers outside 0..5 give a constant 1.
    */
    void setType (int newType);

    /** Sets the current shape's argument at once (for Const, its output value); no-op for Sine. */
    void setShapeValue (SampleType v);

    void prepare (const juce::dsp::ProcessSpec& spec);

    /** Phase back to 0, every argument ramp ended. */
    void reset();

    /** One block of mono output into out[0..count), scaled into minimum..maximum. */
    void renderMono (std::vector<SampleType>& out, int count) noexcept;

    /** One block of left and right output, each in 0..1, into out[0] and out[1]. */
    void renderStereo (std::vector<std::vector<SampleType>>& out, int count) noexcept;

    /** Replaces a standard argument; for owners while they build their stage, before processing. */
    void replace (Standard which, std::unique_ptr<Arg<SampleType>> newArg);

    [[nodiscard]] Arg<SampleType>& get (Standard which) noexcept { return *standardArg (which); }
    [[nodiscard]] Arg<SampleType>& getPhaseL() noexcept { return get (Standard::phaseLeft); }
    [[nodiscard]] Arg<SampleType>& getPhaseR() noexcept { return get (Standard::phaseRight); }
    [[nodiscard]] Arg<SampleType>& getMinimum() noexcept { return get (Standard::minimumOutput); }
    [[nodiscard]] Arg<SampleType>& getMaximum() noexcept { return get (Standard::maximumOutput); }
    [[nodiscard]] Arg<SampleType>& getPeriod() noexcept { return get (Standard::period); }

    /** The shape as an argument, for its label. */
    [[nodiscard]] ChoiceArg<SampleType>& getTypeArg() noexcept { return typeArg; }

    [[nodiscard]] int getType() const;

    /** The current shape's argument, or nullptr for a shape without one. Lives as long as the oscillator. */
    [[nodiscard]] Arg<SampleType>* getShapeArg() const;

    /** The accumulator, 0 <= phase < 1. */
    [[nodiscard]] SampleType getPhase() const;

    /** The waveform at position x (0 <= x < 1) for the given shape argument value and channel. */
    [[nodiscard]] static SampleType shape (int shapeType, SampleType x, SampleType s, int channel) noexcept;

private:
    [[nodiscard]] std::unique_ptr<Arg<SampleType>>& standardArg (Standard which) noexcept;
    void resetUnlocked();
    /** Which of the gathered per-sample values hold one value for the whole block (in entry 0). */
    struct Gathered
    {
        size_t count = 0;
        bool constantPeriod = true, constantPhaseL = true, constantPhaseR = true;
        bool constantMinimum = true, constantMaximum = true;
    };

    [[nodiscard]] Gathered gatherBlock (int count, bool stereo) noexcept;

    /** positions[i] = the accumulator before sample i's advance; the accumulator runs on. */
    void advanceBlock (const Gathered& block) noexcept;

    /** out[i] = shape at positions[i] + the offset (constant or per sample), for the given channel. */
    void renderShape (SampleType* out, const std::vector<SampleType>& offsets, bool constantOffset, size_t n,
                      int channel) noexcept;

    std::unique_ptr<Arg<SampleType>> phaseL, phaseR, minimum, maximum, period;
    SampleType sampleRate = static_cast<SampleType> (44100);
    int type = sineShape;
    ChoiceArg<SampleType> typeArg;
    std::array<std::unique_ptr<Arg<SampleType>>, numShapes> shapeArgs;
    std::array<SampleType, numShapes> shapeInitials {};
    Arg<SampleType>* currentShapeArg = nullptr;
    SampleType phase = SampleType();
    mutable juce::SpinLock lock;
    std::vector<SampleType> periods, phasesL, phasesR, minimums, maximums, positions;

    // At most one shape argument exists at a time: one value per sample.
    std::vector<SampleType> shapeValues;
};

} // namespace qmrk_dsp
