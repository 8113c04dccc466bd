namespace qmrk_dsp
{
template <typename SampleType>
ChorusStage<SampleType>::ChorusStage (SampleType longestDelayMs)
    : mix ("Mix", SampleType (50), SampleType(), SampleType (100))
    , feedback ("Feedback", SampleType(), SampleType(), SampleType (100))
    , depth (SampleType (1.35), SampleType (0.5), SampleType (100), SampleType (20), "Depth", "ms")
    , predelay (SampleType (2), SampleType (0.5), SampleType (100), SampleType (6), "Predelay", "ms")
    , oscillator ("Osc Type")
    , maxDelayMs (std::isfinite (longestDelayMs) ? juce::jmax (SampleType(), longestDelayMs) : SampleType())
    , lfo (2)
{
    using Standard = typename Oscillator<SampleType>::Standard;
    oscillator.replace (Standard::phaseLeft, std::make_unique<Arg<SampleType>> (SampleType(), SampleType (100),
                                                                                SampleType(), "Phase (L)", "%"));
    oscillator.replace (Standard::phaseRight, std::make_unique<Arg<SampleType>> (SampleType(), SampleType (100),
                                                                                 SampleType (50), "Phase (R)", "%"));
    oscillator.replace (Standard::minimumOutput, std::make_unique<FreqArg<SampleType>> (SampleType(), "Freq", "Hz"));
    oscillator.replace (Standard::maximumOutput, std::make_unique<FreqArg<SampleType>> (SampleType (1), "Freq", "Hz"));
    oscillator.replace (Standard::period,
                        std::make_unique<PeriodArg_s<SampleType>> (SampleType (0.01), SampleType (4), SampleType (0.25),
                                                                   "Period", SampleType (1.8)));
}

template <typename SampleType>
int ChorusStage<SampleType>::getMaximumDelayInSamples() const noexcept
{
    return maxDelaySamples;
}

template <typename SampleType>
void ChorusStage<SampleType>::prepare (const juce::dsp::ProcessSpec& spec)
{
    this->storeSampleRate (spec);
    samplesPerMs = this->sampleRate / SampleType (1000);
    oscillator.prepare (spec);

    const auto longest = static_cast<double> (maxDelayMs) * static_cast<double> (this->sampleRate) / 1000.0;
    maxDelaySamples = headroomSamples + static_cast<int> (juce::jmin (longest, 1.0e9));
    ringSize = static_cast<size_t> (juce::nextPowerOfTwo (maxDelaySamples + 2));
    ring.assign (ringSize * juce::jmax (1u, spec.numChannels), SampleType());
    newest.assign (juce::jmax (1u, spec.numChannels), 0);

    feedbackState.assign (spec.numChannels, SampleType());

    for (auto* values :
         { &mixValues, &feedbackValues, &depthValues, &predelayValues, &lfo[0], &lfo[1], &delayFraction, &delayed })
        values->resize (spec.maximumBlockSize, SampleType());

    delayWhole.resize (spec.maximumBlockSize, 0);
}

template <typename SampleType>
void ChorusStage<SampleType>::reset()
{
    oscillator.reset();
    std::fill (ring.begin(), ring.end(), SampleType());
    std::fill (newest.begin(), newest.end(), size_t (0));

    const auto rate = static_cast<double> (this->sampleRate);

    for (auto* arg : std::initializer_list<Arg<SampleType>*> { &mix, &feedback, &depth, &predelay })
        arg->prepareRamp (rate, Arg<SampleType>::rampSeconds);

    std::fill (feedbackState.begin(), feedbackState.end(), SampleType());
}

template <typename SampleType>
void ChorusStage<SampleType>::process (const Block& input, Block& output)
{
    this->forEachSlice (input, output, mixValues.size(),
                        [this] (const Block& in, Block& out) { processSlice (in, out); });
}

template <typename SampleType>
void ChorusStage<SampleType>::processSlice (const Block& input, Block& output) noexcept
{
    using Guards = SampleGuards<SampleType>;

    const auto n = output.getNumSamples();
    const auto count = static_cast<int> (n);
    const auto channels = juce::jmin (output.getNumChannels(), input.getNumChannels(), feedbackState.size());
    const auto longestDelay = static_cast<SampleType> (maxDelaySamples);
    const auto mask = ringSize - 1;

    const auto constantMix = mix.readDspBlock (mixValues, count, false);
    feedback.readDspBlock (feedbackValues, count, true);
    depth.readPlainBlock (depthValues, count, false, true);
    predelay.readPlainBlock (predelayValues, count, false, true);
    oscillator.renderStereo (lfo, count);

    const auto wetOnly = constantMix && mixValues[0] == SampleType (1); // ((1 − 1)·x + 1·y) is y

    for (size_t ch = 0; ch < channels; ++ch)
    {
        const auto& sweep = ch == 0 ? lfo[0] : lfo[1];
        const auto* in = input.getChannelPointer (ch);
        auto* out = output.getChannelPointer (ch);
        auto* line = ring.data() + ch * ringSize;
        auto slot = newest[ch];
        auto state = feedbackState[ch];

        if constexpr (std::is_same_v<SampleType, float>)
        {
            kernels::chorusDelays (sweep.data(), predelayValues.data(), depthValues.data(), maxDelayMs, samplesPerMs,
                                   longestDelay, delayWhole.data(), delayFraction.data(), n);
        }
        else
        {
            for (size_t i = 0; i < n; ++i)
            {
                const auto pre = predelayValues[i];
                auto d = (std::min (maxDelayMs - pre, depthValues[i]) * sweep[i] + pre) * samplesPerMs;
                d = d > SampleType() ? std::min (d, longestDelay) : SampleType();
                delayWhole[i] = static_cast<int> (d);
                delayFraction[i] = d - static_cast<SampleType> (delayWhole[i]);
            }
        }

        // The feedback makes this loop recursive: each sample is pushed before the line is read,
        // so a delay of 0 returns the sample just pushed.
        for (size_t i = 0; i < n; ++i)
        {
            slot = (slot + 1) & mask;
            line[slot] = Guards::finiteOrZero (in[i]) - state;

            const auto back = static_cast<size_t> (delayWhole[i]);
            const auto nearer = line[(slot - back) & mask];
            const auto y = nearer + delayFraction[i] * (line[(slot - back - 1) & mask] - nearer);
            delayed[i] = y;
            state = Guards::forFeedback (y * feedbackValues[i]);
        }

        newest[ch] = slot;
        feedbackState[ch] = state;

        if constexpr (std::is_same_v<SampleType, float>)
        {
            kernels::chorusOutput (in, delayed.data(), mixValues.data(), constantMix, wetOnly, feedbackValues.data(),
                                   out, n);
        }
        else
        {
            for (size_t i = 0; i < n; ++i)
            {
                const auto m = mixValues[constantMix ? 0 : i];
                const auto level =
                    wetOnly ? delayed[i] : (SampleType (1) - m) * Guards::finiteOrZero (in[i]) + m * delayed[i];
                out[i] = level / (std::abs (feedbackValues[i]) + SampleType (1));
            }
        }
    }

    this->copyChannels (input, output, channels);
}

} // namespace qmrk_dsp
