namespace qmrk_dsp
{
template <typename SampleType>
StereoOscPanner<SampleType>::StereoOscPanner()
    : oscillator ("Osc Type")
    , depth ("Depth", SampleType (100), SampleType(), SampleType (100))
{
    oscillator.getPhaseL().fixValue (SampleType());
    oscillator.getPhaseR().fixValue (SampleType());
    oscillator.getMinimum().fixValue (SampleType (-1));
    oscillator.getMaximum().fixValue (SampleType (1));
}

template <typename SampleType>
void StereoOscPanner<SampleType>::prepare (const juce::dsp::ProcessSpec& spec)
{
    this->storeSampleRate (spec);
    oscillator.prepare (spec);
    lfoValues.resize (spec.maximumBlockSize, SampleType());
    depthValues.resize (spec.maximumBlockSize, SampleType());
}

template <typename SampleType>
void StereoOscPanner<SampleType>::reset()
{
    oscillator.reset();
    depth.prepareRamp (static_cast<double> (this->sampleRate), Arg<SampleType>::rampSeconds);
}

template <typename SampleType>
void StereoOscPanner<SampleType>::process (const Block& input, Block& output)
{
    this->forEachSlice (input, output, lfoValues.size(),
                        [this] (const Block& in, Block& out) { processSlice (in, out); });
}

template <typename SampleType>
void StereoOscPanner<SampleType>::processSlice (const Block& input, Block& output) noexcept
{
    constexpr auto sqrt2 = static_cast<SampleType> (1.41421354f);
    const auto n = output.getNumSamples();
    const auto constant = depth.readDspBlock (depthValues, static_cast<int> (n), false);
    oscillator.renderMono (lfoValues, static_cast<int> (n));

    if (juce::jmin (input.getNumChannels(), output.getNumChannels()) < 2)
    {
        this->copyChannels (input, output, 0);
        return;
    }

    const auto* inL = input.getChannelPointer (0);
    const auto* inR = input.getChannelPointer (1);
    auto* outL = output.getChannelPointer (0);
    auto* outR = output.getChannelPointer (1);

    for (size_t i = 0; i < n; ++i)
    {
        const auto d = constant ? depthValues[0] : depthValues[i];

        // Clamped so that a depth or oscillator value outside its usual range cannot reach sqrt of a negative.
        const auto p =
            juce::jlimit (SampleType(), SampleType (1), (lfoValues[i] * d + SampleType (1)) * SampleType (0.5));
        const auto left = inL[i];
        const auto right = inR[i];
        outL[i] = std::sqrt (SampleType (1) - p) * (sqrt2 * left);
        outR[i] = std::sqrt (p) * (sqrt2 * right);
    }

    this->copyChannels (input, output, 2);
}

} // namespace qmrk_dsp
