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
    , stageStates (statesSize (numChannels), SampleType())
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

    feedbackState.assign (2 * pairsOf (numChannels), SampleType());
    stageStates.assign (statesSize (numChannels), SampleType());

    for (auto* pairs : { &inputPairs, &outputPairs, &chainInputPairs, &coefficientA, &coefficientB, &coefficientC })
        pairs->resize (2 * spec.maximumBlockSize, SampleType());
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
    // feedbackState is rounded up to whole pairs; only the prepared channels are processed.
    const auto channels = juce::jmin (output.getNumChannels(), input.getNumChannels(), feedbackState.size(),
                                      static_cast<size_t> (numChannels));

    const auto constantMix = mix.readDspBlock (mixValues, count, false);
    feedback.readDspBlock (feedbackValues, count, true);
    const auto constantTexture = texture.readDspBlock (textureValues, count, true);
    const auto constantCenter = centerFreq.readPlainBlock (centerValues, count, false, false);
    const auto constantRange = range.readPlainBlock (rangeValues, count, false, false);
    oscillator.renderStereo (lfo, count);

    const auto activeStages = static_cast<size_t> (numStages);
    const auto textured = !(constantTexture && textureValues[0] <= SampleType());
    const auto wetOnly = constantMix && mixValues[0] == SampleType (1); // (1 − 1)·u + 1·v is v

    for (size_t i = 0; i < n; ++i)
        feedbackValues[i] = juce::jlimit (-maxLoopGain, maxLoopGain, feedbackValues[i]);

    const auto mixAt = [&] (size_t i) { return mixValues[constantMix ? 0 : i]; };

    for (size_t first = 0; first < channels; first += 2)
    {
        const auto* left = input.getChannelPointer (first);
        const auto* right = first + 1 < channels ? input.getChannelPointer (first + 1) : nullptr;
        const auto& sweepLeft = first == 0 ? lfo[0] : lfo[1];
        const auto& sweepRight = lfo[1];
        auto* states = stageStates.data() + (first / 2) * static_cast<size_t> (maxStages) * 2;
        auto* fed = feedbackState.data() + first;

        if constexpr (std::is_same_v<SampleType, float>)
        {
            kernels::allpassCoefficients (sweepLeft.data(), sweepRight.data(), centerValues.data(), constantCenter,
                                          rangeValues.data(), constantRange, maxFrequency, piOverFs,
                                          { coefficientA.data(), coefficientB.data(), coefficientC.data() }, n);
            kernels::interleaveFinite (left, right, inputPairs.data(), n);

            const kernels::ChainBlock chain { inputPairs.data(),
                                              outputPairs.data(),
                                              wetOnly ? nullptr : chainInputPairs.data(),
                                              { coefficientA.data(), coefficientB.data(), coefficientC.data() },
                                              feedbackValues.data(),
                                              textured ? textureValues.data() : nullptr,
                                              n };
            kernels::runAllpassChain (chain, states, fed, activeStages, std::make_index_sequence<maxStages>());
        }
        else
        {
            // The plain form, one sample and one channel at a time.
            for (size_t lane = 0; lane < 2; ++lane)
            {
                const auto* in = lane == 0 ? left : right;
                const auto& sweep = lane == 0 ? sweepLeft : sweepRight;

                for (size_t i = 0; i < n; ++i)
                {
                    const auto x = in != nullptr ? Guards::finiteOrZero (in[i]) : SampleType();
                    const auto g = std::tan (breakFrequency (centerValues[constantCenter ? 0 : i], sweep[i],
                                                             rangeValues[constantRange ? 0 : i]) *
                                             piOverFs);
                    const auto G = g / (SampleType (1) + g);
                    const auto t = textureValues[i];
                    const auto s = fed[lane];
                    const auto e = t >= SampleType (1) ? t * std::abs (s)
                                   : t > SampleType()  ? t * std::abs (s) + (SampleType (1) - t) * s
                                                       : s;
                    const auto u = x - e;
                    auto v = u;

                    for (size_t k = 0; k < activeStages; ++k)
                    {
                        auto& z = states[2 * k + lane];
                        const auto w = (v - z) * G;
                        const auto lp = z + w;
                        z = lp + w;
                        v = SampleType (2) * lp - v;
                    }

                    inputPairs[2 * i + lane] = u;
                    outputPairs[2 * i + lane] = v;
                    chainInputPairs[2 * i + lane] = u;
                    fed[lane] = Guards::forFeedback (v * feedbackValues[i]);
                }
            }
        }

        for (size_t lane = 0; lane < 2 && first + lane < channels; ++lane)
        {
            auto* out = output.getChannelPointer (first + lane);

            if (wetOnly)
            {
                for (size_t i = 0; i < n; ++i)
                    out[i] = outputPairs[2 * i + lane];
            }
            else
            {
                for (size_t i = 0; i < n; ++i)
                    out[i] = (SampleType (1) - mixAt (i)) * chainInputPairs[2 * i + lane] +
                             mixAt (i) * outputPairs[2 * i + lane];
            }
        }

        // Once per block: decaying states are dropped before they turn denormal, runaway ones cleared.
        for (size_t k = 0; k < 2 * activeStages; ++k)
            states[k] = Guards::forFeedback (states[k]);
    }

    this->copyChannels (input, output, channels);
}

} // namespace qmrk_dsp
