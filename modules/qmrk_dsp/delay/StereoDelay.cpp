namespace qmrk_dsp
{
template <typename SampleType>
StereoDelay<SampleType>::StereoDelay()
    : delay (SampleType (5), SampleType (500), SampleType (200), "Delay", "ms")
    , feedback ("Feedback", SampleType (50), SampleType(), SampleType (100))
    , stereo (true, "Stereo")
{
}

template <typename SampleType>
void StereoDelay<SampleType>::setMaximumDelayInSamples (int samples) noexcept
{
    minimumLineSamples.store (juce::jmax (0, samples));
}

template <typename SampleType>
int StereoDelay<SampleType>::getMaximumDelayInSamples() const noexcept
{
    return juce::jmax (3, lineSamples);
}

template <typename SampleType>
SampleType StereoDelay<SampleType>::getDelayInSamples() const noexcept
{
    return delaySamples;
}

template <typename SampleType>
int StereoDelay<SampleType>::samplesFor (SampleType milliseconds) const noexcept
{
    const auto samples = static_cast<double> (milliseconds) / 1000.0 * static_cast<double> (this->sampleRate);

    // An hour at any rate is far beyond every use; the cap only keeps the cast defined.
    constexpr double limit = 1.0e9;
    return (std::isfinite (samples) && samples > 0.0) ? static_cast<int> (juce::jmin (samples, limit)) : 0;
}

template <typename SampleType>
void StereoDelay<SampleType>::applyDelay (SampleType milliseconds) noexcept
{
    const auto samples = static_cast<double> (milliseconds) / 1000.0 * static_cast<double> (this->sampleRate);
    const auto longest = static_cast<double> (lineSamples - headroomSamples);

    // At least one sample: the line is read before it is written, so 0 would reach the oldest slot.
    const auto clamped = std::isfinite (samples) ? juce::jlimit (1.0, longest, samples) : 1.0;
    delaySamples = juce::jlimit (SampleType(), static_cast<SampleType> (getMaximumDelayInSamples()),
                                 static_cast<SampleType> (clamped));
    delayWhole = static_cast<int> (std::floor (delaySamples));
    delayFraction = delaySamples - static_cast<SampleType> (delayWhole);
}

template <typename SampleType>
void StereoDelay<SampleType>::prepare (const juce::dsp::ProcessSpec& spec)
{
    this->storeSampleRate (spec);
    currentDelayMs = delay.getValue (false);
    numPreparedChannels = spec.numChannels;

    lineSamples = juce::jmax (minimumLineSamples.load(), samplesFor (delay.getMaximum()) + headroomSamples,
                              samplesFor (currentDelayMs) + headroomSamples);
    lineSamples = juce::jmax (lineSamples, headroomSamples + 1);
    ringSize = static_cast<size_t> (juce::nextPowerOfTwo (lineSamples + 2));
    ring.assign (ringSize * juce::jmax (1u, spec.numChannels), SampleType());
    newest = 0;
    applyDelay (currentDelayMs);

    mixer.prepare (spec);
    panner.prepareLocked (spec);
    feedbackValues.resize (spec.maximumBlockSize, SampleType());
    delayValues.resize (spec.maximumBlockSize, SampleType());
    wetBuffer.setSize (static_cast<int> (spec.numChannels), static_cast<int> (spec.maximumBlockSize), true, false,
                       true);
}

template <typename SampleType>
void StereoDelay<SampleType>::reset()
{
    std::fill (ring.begin(), ring.end(), SampleType());
    newest = 0;
    mixer.reset();
    panner.resetLocked();

    const auto rate = static_cast<double> (this->sampleRate);
    feedback.prepareRamp (rate, Arg<SampleType>::rampSeconds);
    delay.prepareRamp (rate, Arg<SampleType>::rampSeconds);
    stereo.prepareRamp (rate, Arg<SampleType>::rampSeconds);
}

template <typename SampleType>
void StereoDelay<SampleType>::process (const Block& input, Block& output)
{
    this->forEachSlice (input, output, feedbackValues.size(),
                        [this] (const Block& in, Block& out) { processSlice (in, out); });
}

template <typename SampleType>
void StereoDelay<SampleType>::processSlice (const Block& input, Block& output) noexcept
{
    using Guards = SampleGuards<SampleType>;

    const auto n = output.getNumSamples();
    const auto wetChannels =
        juce::jmin (static_cast<size_t> (wetBuffer.getNumChannels()), input.getNumChannels(), output.getNumChannels());
    const auto delayedChannels = juce::jmin (wetChannels, numPreparedChannels, size_t (2));

    if (wetChannels == 0 || n == 0)
    {
        this->copyChannels (input, output, 0);
        return;
    }

    auto wet = Block (wetBuffer).getSubsetChannelBlock (0, wetChannels).getSubBlock (0, n);
    wet.copyFrom (input.getSubsetChannelBlock (0, wetChannels));

    feedback.readDspBlock (feedbackValues, static_cast<int> (n), true);
    const auto constantDelay = delay.readPlainBlock (delayValues, static_cast<int> (n), false, false);

    const auto mask = ringSize - 1;
    SampleType* lines[2] = { ring.data(), ring.data() + ringSize };
    const SampleType* in[2] = { input.getChannelPointer (0),
                                delayedChannels > 1 ? input.getChannelPointer (1) : nullptr };
    SampleType* out[2] = { wet.getChannelPointer (0), delayedChannels > 1 ? wet.getChannelPointer (1) : nullptr };
    auto slot = newest;

    for (size_t i = 0; i < n; ++i)
    {
        if (i == 0 || !constantDelay)
        {
            const auto ms = delayValues[constantDelay ? 0 : i];

            if (ms != currentDelayMs)
            {
                currentDelayMs = ms;
                applyDelay (ms);
            }
        }

        const auto f = feedbackValues[i];
        const auto nearer = (slot + 1 - static_cast<size_t> (delayWhole)) & mask;
        const auto further = (nearer - 1) & mask;
        slot = (slot + 1) & mask;

        for (size_t ch = 0; ch < delayedChannels; ++ch)
        {
            const auto* line = lines[ch];
            const auto y = line[nearer] + delayFraction * (line[further] - line[nearer]);
            lines[ch][slot] = Guards::forFeedback (Guards::finiteOrZero (in[ch][i]) - f * y);
            out[ch][i] = y;
        }
    }

    newest = slot;

    if (stereo.isOn())
    {
        const juce::SpinLock::ScopedLockType sl (panner.lock);
        panner.process (wet, wet);
    }

    mixer.process (wet, input, output);
}

} // namespace qmrk_dsp
