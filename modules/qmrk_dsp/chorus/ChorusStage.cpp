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
    return delayLine.getMaximumDelayInSamples();
}

template <typename SampleType>
void ChorusStage<SampleType>::prepare (const juce::dsp::ProcessSpec& spec)
{
    this->storeSampleRate (spec);
    samplesPerMs = this->sampleRate / SampleType (1000);
    oscillator.prepare (spec);

    const auto longest = static_cast<double> (maxDelayMs) * static_cast<double> (this->sampleRate) / 1000.0;
    delayLine.setMaximumDelayInSamples (headroomSamples + static_cast<int> (juce::jmin (longest, 1.0e9)));
    delayLine.prepare ({ spec.sampleRate, spec.maximumBlockSize, juce::jmax (1u, spec.numChannels) });

    feedbackState.assign (spec.numChannels, SampleType());

    for (auto* values : { &mixValues, &feedbackValues, &depthValues, &predelayValues, &lfo[0], &lfo[1] })
        values->resize (spec.maximumBlockSize, SampleType());
}

template <typename SampleType>
void ChorusStage<SampleType>::reset()
{
    oscillator.reset();
    delayLine.reset();

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
    const auto longestDelay = static_cast<SampleType> (delayLine.getMaximumDelayInSamples());

    mix.readDspBlock (mixValues, count, true);
    feedback.readDspBlock (feedbackValues, count, true);
    depth.readPlainBlock (depthValues, count, false, true);
    predelay.readPlainBlock (predelayValues, count, false, true);
    oscillator.renderStereo (lfo, count);

    for (size_t ch = 0; ch < channels; ++ch)
    {
        const auto channel = static_cast<int> (ch);
        const auto& sweep = ch == 0 ? lfo[0] : lfo[1];
        const auto* in = input.getChannelPointer (ch);
        auto* out = output.getChannelPointer (ch);
        auto state = feedbackState[ch];

        for (size_t i = 0; i < n; ++i)
        {
            const auto x = Guards::finiteOrZero (in[i]);
            delayLine.pushSample (channel, x - state);

            const auto pre = predelayValues[i];
            const auto swing = std::min (maxDelayMs - pre, depthValues[i]);
            auto d = (swing * sweep[i] + pre) * samplesPerMs;

            // Never outside the line, whatever the arguments hold; a NaN delay reads the newest sample.
            d = d > SampleType() ? std::min (d, longestDelay) : SampleType();

            const auto y = delayLine.popSample (channel, d);
            const auto f = feedbackValues[i];
            const auto m = mixValues[i];
            out[i] = ((SampleType (1) - m) * x + m * y) / (std::abs (f) + SampleType (1));
            state = Guards::forFeedback (y * f);
        }

        feedbackState[ch] = state;
    }

    this->copyChannels (input, output, channels);
}

} // namespace qmrk_dsp
