namespace qmrk_dsp
{
template <typename SampleType>
Phaser<SampleType>::Phaser()
    : range (SampleType(), SampleType (6), SampleType (2), "Range", " octs")
    , mix ("Mix", SampleType (50), SampleType(), SampleType (100))
    , feedback ("Feedback", SampleType(), SampleType(), SampleType (100))
    , texture ("Fbk Texture", SampleType(), SampleType(), SampleType (100))
    , centerFreq (SampleType (20), SampleType (20000), SampleType (200), "Center Freq.", "Hz",
                  static_cast<double> (std::log2 (1000.0f)))
    , oscillator ("Osc Type")
    , stages (1, maxStages, 10, "Stages", "")
    , stageStates (static_cast<size_t> (numChannels * maxStages), SampleType())
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
                        std::make_unique<PeriodArg_s<SampleType>> (SampleType (0.1), SampleType (4), SampleType (1),
                                                                   "Period", SampleType (1.8)));
    setNumStages (10);
}

template <typename SampleType>
void Phaser<SampleType>::setNumStages (int n)
{
    const auto count = juce::jlimit (1, maxStages, n);

    {
        const juce::SpinLock::ScopedLockType sl (this->lock);
        numStages = count;
        clearStates();
    }

    stages.setValue (static_cast<SampleType> (count), false, true);
}

template <typename SampleType>
int Phaser<SampleType>::getNumStages() const
{
    const juce::SpinLock::ScopedLockType sl (this->lock);
    return numStages;
}

template <typename SampleType>
void Phaser<SampleType>::prepare (const juce::dsp::ProcessSpec& spec)
{
    oscillator.prepare (spec);
    this->storeSampleRate (spec);

    const auto rate = this->sampleRate;

    // Nyquist less 12 Hz keeps tan() finite; the floor keeps the cap positive at absurdly low rates.
    maxFrequency = juce::jmax (rate * SampleType (0.5) - SampleType (12), rate * SampleType (0.25));
    piOverFs = this->pi / rate;
    numChannels = static_cast<int> (spec.numChannels);
    blockSize = static_cast<int> (spec.maximumBlockSize);

    for (auto* values : { &mixValues, &feedbackValues, &textureValues, &centerValues, &rangeValues, &lfo[0], &lfo[1] })
        values->resize (spec.maximumBlockSize, SampleType());

    feedbackState.assign (spec.numChannels, SampleType());
    stageStates.assign (static_cast<size_t> (numChannels * maxStages), SampleType());
    numStages = juce::jlimit (1, maxStages, stages.getIntValue());
}

template <typename SampleType>
void Phaser<SampleType>::reset()
{
    oscillator.reset();

    const auto rate = static_cast<double> (this->sampleRate);

    for (auto* arg : std::initializer_list<Arg<SampleType>*> { &mix, &texture, &centerFreq, &range, &feedback })
        arg->prepareRamp (rate, Arg<SampleType>::rampSeconds);

    clearStates();
}

template <typename SampleType>
void Phaser<SampleType>::clearStates() noexcept
{
    std::fill (feedbackState.begin(), feedbackState.end(), SampleType());
    std::fill (stageStates.begin(), stageStates.end(), SampleType());
}

template <typename SampleType>
SampleType* Phaser<SampleType>::statesOf (size_t channel) noexcept
{
    return stageStates.data() + channel * static_cast<size_t> (maxStages);
}

template <typename SampleType>
SampleType Phaser<SampleType>::breakFrequency (SampleType center, SampleType sweep, SampleType octaves) const noexcept
{
    const auto fb = center * std::pow (SampleType (2), (SampleType (2) * sweep - SampleType (1)) * octaves);

    // std::min puts a NaN frequency at the cap; the floor keeps G away from the pole at g = -1.
    return juce::jmax (SampleType(), std::min (maxFrequency, fb));
}

template <typename SampleType>
void Phaser<SampleType>::process (const Block& input, Block& output)
{
    this->forEachSlice (input, output, mixValues.size(),
                        [this] (const Block& in, Block& out) { processSlice (in, out); });
}

template <typename SampleType>
void Phaser<SampleType>::processSlice (const Block& input, Block& output) noexcept
{
    using Guards = SampleGuards<SampleType>;

    const auto n = output.getNumSamples();
    const auto count = static_cast<int> (n);
    const auto channels = juce::jmin (output.getNumChannels(), input.getNumChannels(), feedbackState.size());

    mix.readDspBlock (mixValues, count, true);
    feedback.readDspBlock (feedbackValues, count, true);
    texture.readDspBlock (textureValues, count, true);
    centerFreq.readPlainBlock (centerValues, count, false, true);
    range.readPlainBlock (rangeValues, count, false, true);
    oscillator.renderStereo (lfo, count);

    const auto activeStages = static_cast<size_t> (numStages);

    for (size_t ch = 0; ch < channels; ++ch)
    {
        const auto& sweep = ch == 0 ? lfo[0] : lfo[1];
        const auto* in = input.getChannelPointer (ch);
        auto* out = output.getChannelPointer (ch);
        auto* z = statesOf (ch);
        auto s = feedbackState[ch];

        for (size_t i = 0; i < n; ++i)
        {
            const auto g = std::tan (breakFrequency (centerValues[i], sweep[i], rangeValues[i]) * piOverFs);
            const auto G = g / (SampleType (1) + g);

            const auto t = textureValues[i];
            const auto e = t >= SampleType (1) ? t * std::abs (s)
                           : t > SampleType()  ? t * std::abs (s) + (SampleType (1) - t) * s
                                               : s;

            const auto u = Guards::finiteOrZero (in[i]) - e;
            auto v = u;

            for (size_t k = 0; k < activeStages; ++k)
            {
                const auto w = (v - z[k]) * G;
                const auto lp = z[k] + w;
                z[k] = lp + w;
                v = SampleType (2) * lp - v;
            }

            const auto m = mixValues[i];
            out[i] = (SampleType (1) - m) * u + m * v;
            s = Guards::forFeedback (v * juce::jlimit (-maxLoopGain, maxLoopGain, feedbackValues[i]));
        }

        feedbackState[ch] = s;

        // Once per block: decaying states are dropped before they turn denormal, runaway ones cleared.
        for (size_t k = 0; k < activeStages; ++k)
            z[k] = Guards::forFeedback (z[k]);
    }

    this->copyChannels (input, output, channels);
}

} // namespace qmrk_dsp
