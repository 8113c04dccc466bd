#pragma once

namespace qmrk_dsp
{
/** A named, ranged, smoothed and thread-safe value that a stage consumes.

    Plain values live in the argument's physical unit and ramp linearly; toDspValue() maps each
    plain value to the number the DSP uses. Setters take `lock` for a few arithmetic steps. The
    audio side reads whole blocks with readDspBlock()/readPlainBlock(), which try the lock once
    and otherwise fall back to the last published value, so a setter never stalls processing.
*/
template <typename SampleType>
class Arg
{
public:
    using Values = std::vector<SampleType>;

    /** Ramp length in seconds that every owner prepares. */
    static constexpr double rampSeconds = 0.1;

    /** Ramp length in steps until the owner's first reset (0.1 s at 44100 Hz). */
    static constexpr int initialRampSteps = 4410;

    /** A ranged argument; the initial value is stored as given, without clamping. */
    Arg (SampleType minimumValue, SampleType maximumValue, SampleType initialValue, const juce::String& labelName,
         const juce::String& labelUnit);

    /** A constant: minimum = maximum = the value, fixed from the start. */
    Arg (SampleType constantValue, const juce::String& labelName, const juce::String& labelUnit);

    virtual ~Arg() = default;

    Arg (const Arg&) = delete;
    Arg& operator= (const Arg&) = delete;

    //==============================================================================
    // Mappings. They read the range without taking the lock: call them under it, or from the
    // thread that changes the range.
    [[nodiscard]] virtual SampleType toDspValue (SampleType plain) const noexcept;
    [[nodiscard]] virtual juce::String getText (int decimals) const;
    [[nodiscard]] virtual SampleType fromNormalised (SampleType normalised) const noexcept;
    [[nodiscard]] virtual SampleType toNormalised (SampleType plain) const noexcept;

    //==============================================================================
    // Setters and getters, callable from any thread.

    /** Sets the target (mapped from 0..1 when normalised), clamped into the range; ignored when fixed
        or when the value is not a finite number. Without `immediate` the value ramps there.
    */
    void setValue (SampleType x, bool normalised, bool immediate);

    /** The target, or its normalised position. */
    [[nodiscard]] SampleType getValue (bool normalised) const;

    /** Sets the value at once, unclamped, and locks it for the rest of the argument's life. */
    void fixValue (SampleType x);

    /** New bounds; a value outside them is moved inside at once unless the argument is fixed. */
    void setRange (SampleType newMinimum, SampleType newMaximum);

    void setName (const juce::String& newName);
    [[nodiscard]] juce::String getName() const;
    [[nodiscard]] juce::String getUnit() const;
    [[nodiscard]] SampleType getMinimum() const;
    [[nodiscard]] SampleType getMaximum() const;
    [[nodiscard]] bool isFixed() const;
    [[nodiscard]] bool isRamping() const;

    /** Ramp length = floor(rate × seconds) steps; a running ramp ends at its target. */
    void prepareRamp (double sampleRate, double seconds);

    /** True when the target is not 0. */
    [[nodiscard]] bool isOn() const;

    /** The last published values; lock-free. */
    [[nodiscard]] SampleType getCurrentValue() const noexcept { return value.load(); }
    [[nodiscard]] SampleType getDspValue() const noexcept { return dspValue.load(); }

    //==============================================================================
    // Audio side.

    /** One ramp step (caller holds `lock`); returns the plain value. */
    SampleType nextValue() noexcept;

    /** Waits for `lock`, takes one step when a ramp is running and the argument is not fixed,
        and returns the plain value.
    */
    SampleType nextValueLocked() noexcept;

    /** Caller holds `lock`. Without a running ramp (or when fixed) writes the DSP value into out[0],
        or into out[0..count) with fillAll, and returns true; otherwise takes `count` steps and
        returns true only when all of them gave the same value. count is clipped to out's size.
    */
    bool fillDspBlock (Values& out, int count, bool fillAll) noexcept;

    /** As fillDspBlock(), with plain values or their normalised positions. */
    bool fillPlainBlock (Values& out, int count, bool normalised, bool fillAll) noexcept;

    /** Tries `lock` once: fills with fillDspBlock() when it is free; when a setter holds it, writes
        the last DSP value (as fillAll asks) and leaves the ramp where it is. Returns whether the
        block is constant.
    */
    bool readDspBlock (Values& out, int count, bool fillAll) noexcept;

    /** As readDspBlock(), for plain or normalised values. */
    bool readPlainBlock (Values& out, int count, bool normalised, bool fillAll) noexcept;

    /** Guards every field below; public so that a caller of nextValue() or the fill functions can hold it. */
    mutable juce::SpinLock lock;

protected:
    struct Label
    {
        SampleType target;
        juce::String name;
        juce::String unit;
    };

    /** Target, name and unit, read together under the lock. */
    [[nodiscard]] Label readLabel() const;

    /** Republishes the current value through this class's mappings; subclasses whose mappings
        differ from the base call it from their constructor.
    */
    void refreshCachedValues() noexcept;

    /** juce::String (v, d): fixed notation with d > 0 decimals, else JUCE's default formatting. */
    [[nodiscard]] static juce::String number (SampleType v, int decimals);

    /** The value truncated toward zero, as text; NaN reads as 0. */
    [[nodiscard]] static juce::String integer (SampleType v);

    /** v truncated toward zero, kept inside the int range. */
    [[nodiscard]] static int truncate (SampleType v) noexcept;

    SampleType minimum, maximum;

private:
    void publish (SampleType plain) noexcept;
    void jumpTo (SampleType plain) noexcept;
    [[nodiscard]] SampleType clampToRange (SampleType v) const noexcept;

    template <typename Map>
    bool fillWith (Values& out, int count, bool fillAll, SampleType idleValue, Map&& map) noexcept;

    template <typename Fill>
    bool tryRead (Values& out, int count, bool fillAll, SampleType fallback, Fill&& fill) noexcept;

    juce::SmoothedValue<SampleType, juce::ValueSmoothingTypes::Linear> smoother;
    std::atomic<SampleType> value;
    std::atomic<SampleType> normalisedValue;
    bool fixed = false;
    juce::String name, unit;
    std::atomic<SampleType> dspValue;
};

} // namespace qmrk_dsp
