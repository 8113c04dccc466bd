namespace qmrk_dsp
{
namespace detail
{
// Folds a position into 0 <= x < 1; anything unusable becomes 0.
template <typename SampleType>
SampleType wrapUnit (SampleType x) noexcept
{
    if (x >= SampleType() && x < static_cast<SampleType> (1))
        return x;

    x -= std::floor (x);
    return (x >= SampleType() && x < static_cast<SampleType> (1)) ? x : SampleType();
}
} // namespace detail

template <typename SampleType>
Oscillator<SampleType>::Oscillator (const juce::String& typeName)
    : phaseL (std::make_unique<Arg<SampleType>> (SampleType(), SampleType (1), SampleType(), "Phase (L)", ""))
    , phaseR (std::make_unique<Arg<SampleType>> (SampleType(), SampleType (1), SampleType(), "Phase (R)", ""))
    , minimum (std::make_unique<Arg<SampleType>> (SampleType(), SampleType (1), SampleType(), "Min", ""))
    , maximum (std::make_unique<Arg<SampleType>> (SampleType(), SampleType (1), SampleType (1), "Max", ""))
    , period (std::make_unique<PeriodArg_s<SampleType>> (SampleType (0.01), SampleType (2), SampleType (0.1), "Period",
                                                         SampleType (1.8)))
    , typeArg (typeName, &getOscillatorShapeNames(), static_cast<SampleType> (sineShape))
{
    // SineSqr's argument starts at the top of its range: the squarest shape it can make.
    shapeInitials = { SampleType (0.5), SampleType(), SampleType (0.9), SampleType (3), SampleType(), SampleType (2) };

    shapeArgs[constShape] =
        std::make_unique<Arg<SampleType>> (SampleType(), SampleType (0.999), shapeInitials[constShape], "Value", "");
    shapeArgs[sineTriShape] = std::make_unique<Arg<SampleType>> (SampleType (0.5), SampleType (0.999),
                                                                 shapeInitials[sineTriShape], "Shape", "");
    shapeArgs[sineSqrShape] =
        std::make_unique<Arg<SampleType>> (SampleType (0.1), SampleType (3), shapeInitials[sineSqrShape], "Shape", "");
    shapeArgs[teardropShape] = std::make_unique<BoolArg<SampleType>> (false, "Invert");
    shapeArgs[epicycloidShape] = std::make_unique<IntArg<SampleType>> (1, 9, 2, "Shape", "");
}

template <typename SampleType>
void Oscillator<SampleType>::setType (int newType)
{
    typeArg.setValue (static_cast<SampleType> (newType), false, true);

    const juce::SpinLock::ScopedLockType sl (lock);
    type = newType;

    auto* next =
        juce::isPositiveAndBelow (newType, static_cast<int> (numShapes)) ? shapeArgs[(size_t) newType].get() : nullptr;

    if (next != nullptr)
    {
        if (currentShapeArg == nullptr)
            next->setValue (shapeInitials[(size_t) newType], false, true);
        else if (currentShapeArg != next)
            next->setValue (currentShapeArg->getValue (true), true, true);

        next->prepareRamp (static_cast<double> (sampleRate), Arg<SampleType>::rampSeconds);
    }

    currentShapeArg = next;
}

template <typename SampleType>
void Oscillator<SampleType>::setShapeValue (SampleType v)
{
    const juce::SpinLock::ScopedLockType sl (lock);

    if (currentShapeArg != nullptr)
        currentShapeArg->setValue (v, false, true);
}

template <typename SampleType>
void Oscillator<SampleType>::prepare (const juce::dsp::ProcessSpec& spec)
{
    const juce::SpinLock::ScopedLockType sl (lock);

    if (std::isfinite (spec.sampleRate) && spec.sampleRate > 0.0)
        sampleRate = static_cast<SampleType> (spec.sampleRate);

    for (auto* values : { &periods, &phasesL, &phasesR, &minimums, &maximums, &positions, &shapeValues })
        values->resize (spec.maximumBlockSize, SampleType());

    resetUnlocked();
}

template <typename SampleType>
void Oscillator<SampleType>::reset()
{
    const juce::SpinLock::ScopedLockType sl (lock);
    resetUnlocked();
}

template <typename SampleType>
void Oscillator<SampleType>::resetUnlocked()
{
    phase = SampleType();

    const auto rate = static_cast<double> (sampleRate);

    for (auto* arg : { phaseL.get(), phaseR.get(), minimum.get(), maximum.get(), period.get() })
        arg->prepareRamp (rate, Arg<SampleType>::rampSeconds);

    for (auto& arg : shapeArgs)
        if (arg != nullptr)
            arg->prepareRamp (rate, Arg<SampleType>::rampSeconds);
}

template <typename SampleType>
typename Oscillator<SampleType>::Gathered Oscillator<SampleType>::gatherBlock (int count, bool stereo) noexcept
{
    jassert (count <= static_cast<int> (periods.size()));
    const auto n = juce::jlimit (0, static_cast<int> (periods.size()), count);

    // Values that do not change over the block are written once, into entry 0.
    Gathered block;
    block.count = static_cast<size_t> (n);
    block.constantPeriod = period->readPlainBlock (periods, n, false, false);
    block.constantPhaseL = phaseL->readPlainBlock (phasesL, n, true, false);

    if (stereo)
    {
        block.constantPhaseR = phaseR->readPlainBlock (phasesR, n, true, false);
    }
    else
    {
        block.constantMinimum = minimum->readPlainBlock (minimums, n, false, false);
        block.constantMaximum = maximum->readPlainBlock (maximums, n, false, false);
    }

    // Shape arguments wait for their lock: they are set at once, never ramped by the plug-in, so
    // one wait per block gives the values a wait per sample would.
    if (currentShapeArg != nullptr && n > 0)
    {
        const juce::SpinLock::ScopedLockType sl (currentShapeArg->lock);
        currentShapeArg->fillPlainBlock (shapeValues, n, false, true);
    }

    return block;
}

template <typename SampleType>
void Oscillator<SampleType>::advanceBlock (const Gathered& block) noexcept
{
    // A period shorter than one sample (or not a number) holds the phase instead of racing it.
    const auto increment = [this] (SampleType seconds)
    {
        const auto cycleLength = seconds * sampleRate;
        return cycleLength >= SampleType (1) ? SampleType (1) / cycleLength : SampleType();
    };

    const auto step = [this] (SampleType inc)
    {
        const auto position = phase;
        phase += inc;

        if (phase >= SampleType (1))
            phase -= SampleType (1);

        return position;
    };

    if (block.constantPeriod)
    {
        const auto inc = increment (periods[0]);

        for (size_t i = 0; i < block.count; ++i)
            positions[i] = step (inc);
    }
    else
    {
        for (size_t i = 0; i < block.count; ++i)
            positions[i] = step (increment (periods[i]));
    }
}

template <typename SampleType>
void Oscillator<SampleType>::renderShape (SampleType* out, const std::vector<SampleType>& offsets, bool constantOffset,
                                          size_t n, int channel) noexcept
{
    if constexpr (std::is_same_v<SampleType, float>)
    {
        if (type == sineShape)
        {
            kernels::sineShape (out, positions.data(), offsets.data(), constantOffset, n);
            return;
        }
    }

    if (type == constShape && currentShapeArg != nullptr)
    {
        std::copy_n (shapeValues.begin(), n, out);
        return;
    }

    const auto hasShapeArg = currentShapeArg != nullptr;

    for (size_t i = 0; i < n; ++i)
    {
        const auto a = detail::wrapUnit (positions[i] + offsets[constantOffset ? 0 : i]);
        out[i] = shape (type, a, hasShapeArg ? shapeValues[i] : SampleType(), channel);
    }
}

template <typename SampleType>
void Oscillator<SampleType>::renderMono (std::vector<SampleType>& out, int count) noexcept
{
    const juce::SpinLock::ScopedLockType sl (lock);
    const auto block = gatherBlock (juce::jmin (count, static_cast<int> (out.size())), false);
    const auto n = block.count;
    advanceBlock (block);
    renderShape (out.data(), phasesL, block.constantPhaseL, n, 0);

    if (block.constantMinimum && block.constantMaximum)
    {
        const auto low = minimums[0], span = maximums[0] - minimums[0];

        for (size_t i = 0; i < n; ++i)
            out[i] = low + out[i] * span;
    }
    else
    {
        for (size_t i = 0; i < n; ++i)
        {
            const auto low = minimums[block.constantMinimum ? 0 : i];
            out[i] = low + out[i] * (maximums[block.constantMaximum ? 0 : i] - low);
        }
    }
}

template <typename SampleType>
void Oscillator<SampleType>::renderStereo (std::vector<std::vector<SampleType>>& out, int count) noexcept
{
    jassert (out.size() >= 2);

    if (out.size() < 2)
        return;

    auto& left = out[0];
    auto& right = out[1];

    const juce::SpinLock::ScopedLockType sl (lock);
    const auto writable = static_cast<int> (juce::jmin (left.size(), right.size()));
    const auto block = gatherBlock (juce::jmin (count, writable), true);
    advanceBlock (block);
    renderShape (left.data(), phasesL, block.constantPhaseL, block.count, 0);
    renderShape (right.data(), phasesR, block.constantPhaseR, block.count, 1);
}

template <typename SampleType>
SampleType Oscillator<SampleType>::shape (int shapeType, SampleType x, SampleType s, int channel) noexcept
{
    constexpr auto twoPi = static_cast<SampleType> (6.2831855f);
    constexpr auto one = SampleType (1);
    constexpr auto half = SampleType (0.5);

    switch (shapeType)
    {
        case constShape:
            return s;

        case sineShape:
            return (std::sin (twoPi * x) + one) * half;

        case sineTriShape:
        {
            // asin needs |k| <= 1 and the scale asin (k) must not vanish.
            const auto k = juce::jlimit (SampleType (1.0e-6), one, s);
            return std::asin (k * std::sin (twoPi * x)) / (SampleType (2) * std::asin (k)) + half;
        }

        case sineSqrShape:
        {
            const auto g = static_cast<SampleType> (std::pow (static_cast<double> (juce::jmax (SampleType(), s)), 1.4));

            if (g < SampleType (1.0e-6))
                return (std::sin (twoPi * x) + one) * half; // the limit of the curve as g -> 0

            return std::tanh (g * std::sin (twoPi * x)) / (SampleType (2) * std::tanh (g)) + half;
        }

        case teardropShape:
        {
            const auto g = SampleType (2) * std::abs (std::asin (SampleType (2) * x - one)) /
                           static_cast<SampleType> (juce::MathConstants<float>::pi);
            return s >= half ? g : one - g;
        }

        case epicycloidShape:
        {
            const auto cusps = juce::jmax (SampleType(), s);
            const auto h = cusps + one;
            const auto scale = SampleType (2) * cusps + SampleType (4);

            if (channel == 1)
                return (h * std::sin (twoPi * x) - std::sin (twoPi * h * x)) / scale + half;

            return (h * std::cos (twoPi * x) - std::cos (twoPi * h * x)) / scale + half;
        }

        default:
            return one;
    }
}

template <typename SampleType>
void Oscillator<SampleType>::replace (Standard which, std::unique_ptr<Arg<SampleType>> newArg)
{
    if (newArg == nullptr)
        return;

    {
        const juce::SpinLock::ScopedLockType sl (lock);
        std::swap (standardArg (which), newArg);
    }
    // The old argument is deleted here, outside the lock.
}

template <typename SampleType>
std::unique_ptr<Arg<SampleType>>& Oscillator<SampleType>::standardArg (Standard which) noexcept
{
    switch (which)
    {
        case Standard::phaseLeft:
            return phaseL;
        case Standard::phaseRight:
            return phaseR;
        case Standard::minimumOutput:
            return minimum;
        case Standard::maximumOutput:
            return maximum;
        case Standard::period:
        default:
            return period;
    }
}

template <typename SampleType>
int Oscillator<SampleType>::getType() const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return type;
}

template <typename SampleType>
Arg<SampleType>* Oscillator<SampleType>::getShapeArg() const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return currentShapeArg;
}

template <typename SampleType>
SampleType Oscillator<SampleType>::getPhase() const
{
    const juce::SpinLock::ScopedLockType sl (lock);
    return phase;
}

} // namespace qmrk_dsp
