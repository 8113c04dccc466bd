namespace qmrk_dsp
{
template <typename SampleType>
Arg<SampleType>::Arg (SampleType minimumValue, SampleType maximumValue, SampleType initialValue,
                      const juce::String& labelName, const juce::String& labelUnit)
    : minimum (minimumValue)
    , maximum (maximumValue)
    , smoother (initialValue)
    , value (initialValue)
    , normalisedValue (SampleType())
    , name (labelName)
    , unit (labelUnit)
    , dspValue (initialValue)
{
    smoother.reset (initialRampSteps);
    refreshCachedValues();
}

template <typename SampleType>
Arg<SampleType>::Arg (SampleType constantValue, const juce::String& labelName, const juce::String& labelUnit)
    : Arg (constantValue, constantValue, constantValue, labelName, labelUnit)
{
    fixed = true;
}

//==============================================================================
template <typename SampleType>
SampleType Arg<SampleType>::toDspValue (SampleType plain) const noexcept
{
    return plain;
}

template <typename SampleType>
juce::String Arg<SampleType>::getText (int decimals) const
{
    const auto label = readLabel();
    return label.name + ": " + number (label.target, decimals) + label.unit;
}

template <typename SampleType>
SampleType Arg<SampleType>::fromNormalised (SampleType normalised) const noexcept
{
    return minimum + (maximum - minimum) * normalised;
}

template <typename SampleType>
SampleType Arg<SampleType>::toNormalised (SampleType plain) const noexcept
{
    // A constant has no span to divide by; it sits at the start of its range.
    const auto span = maximum - minimum;
    return span != SampleType() ? (plain - minimum) / span : SampleType();
}

//==============================================================================
template <typename SampleType>
void Arg<SampleType>::setValue (SampleType x, bool normalised, bool immediate)
{
    const juce::SpinLock::ScopedLockType sl (lock);

    if (fixed)
        return;

    const auto mapped = normalised ? fromNormalised (x) : x;

    if (!std::isfinite (mapped))
        return;

    const auto v = clampToRange (mapped);

    if (immediate)
    {
        jumpTo (v);
        return;
    }

    smoother.setTargetValue (v);

    // With a ramp length of 0 the smoother jumps; the published values must follow it.
    if (!smoother.isSmoothing())
        publish (smoother.getTargetValue());
}

template <typename SampleType>
SampleType Arg<SampleType>::getValue (bool normalised) const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    const auto target = smoother.getTargetValue();
    return normalised ? toNormalised (target) : target;
}

template <typename SampleType>
void Arg<SampleType>::fixValue (SampleType x)
{
    const juce::SpinLock::ScopedLockType sl (lock);

    if (!std::isfinite (x))
        return;

    jumpTo (x);
    fixed = true;
}

template <typename SampleType>
void Arg<SampleType>::setRange (SampleType newMinimum, SampleType newMaximum)
{
    if (!(std::isfinite (newMinimum) && std::isfinite (newMaximum)))
        return;

    jassert (newMinimum <= newMaximum);

    const juce::SpinLock::ScopedLockType sl (lock);
    minimum = juce::jmin (newMinimum, newMaximum);
    maximum = juce::jmax (newMinimum, newMaximum);

    if (fixed)
        return;

    jumpTo (clampToRange (smoother.getTargetValue()));
}

template <typename SampleType>
void Arg<SampleType>::setName (const juce::String& newName)
{
    const juce::SpinLock::ScopedLockType sl (lock);
    name = newName;
}

template <typename SampleType>
juce::String Arg<SampleType>::getName() const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return name;
}

template <typename SampleType>
juce::String Arg<SampleType>::getUnit() const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return unit;
}

template <typename SampleType>
SampleType Arg<SampleType>::getMinimum() const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return minimum;
}

template <typename SampleType>
SampleType Arg<SampleType>::getMaximum() const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return maximum;
}

template <typename SampleType>
bool Arg<SampleType>::isFixed() const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return fixed;
}

template <typename SampleType>
bool Arg<SampleType>::isRamping() const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return smoother.isSmoothing();
}

template <typename SampleType>
void Arg<SampleType>::prepareRamp (double sampleRate, double seconds)
{
    const auto steps = sampleRate * seconds;
    const auto numSteps =
        (std::isfinite (steps) && steps > 0.0) ? static_cast<int> (std::floor (juce::jmin (steps, 1.0e9))) : 0;

    const juce::SpinLock::ScopedLockType sl (lock);
    smoother.reset (numSteps);
    publish (smoother.getTargetValue());
}

template <typename SampleType>
bool Arg<SampleType>::isOn() const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return smoother.getTargetValue() != SampleType();
}

//==============================================================================
template <typename SampleType>
SampleType Arg<SampleType>::nextValue() noexcept
{
    const auto plain = smoother.getNextValue();
    publish (plain);
    return plain;
}

template <typename SampleType>
SampleType Arg<SampleType>::nextValueLocked() noexcept
{
    const juce::SpinLock::ScopedLockType sl (lock);

    if (!fixed && smoother.isSmoothing())
        return nextValue();

    return value.load();
}

template <typename SampleType>
template <typename Map>
bool Arg<SampleType>::fillWith (Values& out, int count, bool fillAll, SampleType idleValue, Map&& map) noexcept
{
    jassert (count <= static_cast<int> (out.size()));
    const auto n = juce::jlimit (0, static_cast<int> (out.size()), count);

    if (n == 0)
        return true;

    if (fixed || !smoother.isSmoothing())
    {
        std::fill_n (out.begin(), fillAll ? n : 1, idleValue);
        return true;
    }

    auto constant = true;
    auto plain = SampleType();

    for (size_t i = 0; i < static_cast<size_t> (n); ++i)
    {
        plain = smoother.getNextValue();
        out[i] = map (plain);
        constant = constant && out[i] == out[0];
    }

    publish (plain);
    return constant;
}

template <typename SampleType>
bool Arg<SampleType>::fillDspBlock (Values& out, int count, bool fillAll) noexcept
{
    return fillWith (out, count, fillAll, dspValue.load(), [this] (SampleType p) { return toDspValue (p); });
}

template <typename SampleType>
bool Arg<SampleType>::fillPlainBlock (Values& out, int count, bool normalised, bool fillAll) noexcept
{
    if (normalised)
        return fillWith (out, count, fillAll, normalisedValue.load(),
                         [this] (SampleType p) { return toNormalised (p); });

    return fillWith (out, count, fillAll, value.load(), [] (SampleType p) { return p; });
}

template <typename SampleType>
template <typename Fill>
bool Arg<SampleType>::tryRead (Values& out, int count, bool fillAll, SampleType fallback, Fill&& fill) noexcept
{
    const juce::SpinLock::ScopedTryLockType tryLock (lock);

    if (tryLock.isLocked())
        return fill();

    // A setter holds the lock: repeat the last value and let the ramp resume with the next block.
    jassert (count <= static_cast<int> (out.size()));
    const auto n = juce::jlimit (0, static_cast<int> (out.size()), count);

    if (n > 0)
        std::fill_n (out.begin(), fillAll ? n : 1, fallback);

    return true;
}

template <typename SampleType>
bool Arg<SampleType>::readDspBlock (Values& out, int count, bool fillAll) noexcept
{
    return tryRead (out, count, fillAll, dspValue.load(), [&] { return fillDspBlock (out, count, fillAll); });
}

template <typename SampleType>
bool Arg<SampleType>::readPlainBlock (Values& out, int count, bool normalised, bool fillAll) noexcept
{
    const auto fallback = normalised ? normalisedValue.load() : value.load();
    return tryRead (out, count, fillAll, fallback, [&] { return fillPlainBlock (out, count, normalised, fillAll); });
}

//==============================================================================
template <typename SampleType>
typename Arg<SampleType>::Label Arg<SampleType>::readLabel() const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return { smoother.getTargetValue(), name, unit };
}

template <typename SampleType>
void Arg<SampleType>::refreshCachedValues() noexcept
{
    publish (value.load());
}

template <typename SampleType>
juce::String Arg<SampleType>::number (SampleType v, int decimals)
{
    return juce::String (v, decimals);
}

template <typename SampleType>
int Arg<SampleType>::truncate (SampleType v) noexcept
{
    if (!std::isfinite (v))
        return 0;

    constexpr auto limit = static_cast<SampleType> (2147483520); // largest float below INT_MAX
    return static_cast<int> (juce::jlimit (-limit, limit, v));
}

template <typename SampleType>
juce::String Arg<SampleType>::integer (SampleType v)
{
    return juce::String (truncate (v));
}

template <typename SampleType>
void Arg<SampleType>::publish (SampleType plain) noexcept
{
    value.store (plain);
    dspValue.store (toDspValue (plain));
    normalisedValue.store (toNormalised (plain));
}

template <typename SampleType>
void Arg<SampleType>::jumpTo (SampleType plain) noexcept
{
    smoother.setCurrentAndTargetValue (plain);
    publish (plain);
}

template <typename SampleType>
SampleType Arg<SampleType>::clampToRange (SampleType v) const noexcept
{
    return v < minimum ? minimum : juce::jmin (maximum, v);
}

} // namespace qmrk_dsp
