namespace qmrk_dsp
{
template <typename SampleType>
Mixer<SampleType>::Mixer()
    : mix ("Mix", static_cast<SampleType> (50), SampleType(), static_cast<SampleType> (100))
{
}

template <typename SampleType>
void Mixer<SampleType>::prepare (const juce::dsp::ProcessSpec& spec)
{
    const juce::SpinLock::ScopedLockType sl (lock);

    if (std::isfinite (spec.sampleRate) && spec.sampleRate > 0.0)
        sampleRate = static_cast<SampleType> (spec.sampleRate);

    mixValues.resize (spec.maximumBlockSize, SampleType());
    mix.prepareRamp (static_cast<double> (sampleRate), Arg<SampleType>::rampSeconds);
}

template <typename SampleType>
void Mixer<SampleType>::reset()
{
    const juce::SpinLock::ScopedLockType sl (lock);
    mix.prepareRamp (static_cast<double> (sampleRate), Arg<SampleType>::rampSeconds);
}

template <typename SampleType>
void Mixer<SampleType>::process (const Block& wet, const Block& dry, Block& out) noexcept
{
    const auto numSamples = juce::jmin (wet.getNumSamples(), dry.getNumSamples(), out.getNumSamples());
    const auto numChannels = juce::jmin (wet.getNumChannels(), dry.getNumChannels(), out.getNumChannels());
    const auto capacity = mixValues.size();

    jassert (numSamples <= capacity);

    if (capacity == 0)
        return;

    for (size_t start = 0; start < numSamples; start += capacity)
    {
        const auto length = juce::jmin (capacity, numSamples - start);
        auto outSlice = out.getSubBlock (start, length);
        processSlice (wet.getSubBlock (start, length), dry.getSubBlock (start, length), outSlice, numChannels, length);
    }
}

template <typename SampleType>
void Mixer<SampleType>::processSlice (const Block& wet, const Block& dry, Block& out, size_t numChannels,
                                      size_t numSamples) noexcept
{
    const auto constant = mix.readDspBlock (mixValues, static_cast<int> (numSamples), false);

    const auto copy = [&] (const Block& source)
    {
        for (size_t ch = 0; ch < numChannels; ++ch)
            if (source.getChannelPointer (ch) != out.getChannelPointer (ch))
                juce::FloatVectorOperations::copy (out.getChannelPointer (ch), source.getChannelPointer (ch),
                                                   static_cast<int> (numSamples));
    };

    if (constant)
    {
        const auto m = mixValues[0];

        if (m >= static_cast<SampleType> (1))
        {
            copy (wet);
            return;
        }

        if (m <= SampleType())
        {
            copy (dry);
            return;
        }

        const auto d = static_cast<SampleType> (1) - m;

        for (size_t ch = 0; ch < numChannels; ++ch)
        {
            const auto* w = wet.getChannelPointer (ch);
            const auto* x = dry.getChannelPointer (ch);
            auto* o = out.getChannelPointer (ch);

            for (size_t i = 0; i < numSamples; ++i)
                o[i] = d * x[i] + m * w[i];
        }

        return;
    }

    for (size_t ch = 0; ch < numChannels; ++ch)
    {
        const auto* w = wet.getChannelPointer (ch);
        const auto* x = dry.getChannelPointer (ch);
        auto* o = out.getChannelPointer (ch);

        for (size_t i = 0; i < numSamples; ++i)
            o[i] = (static_cast<SampleType> (1) - mixValues[i]) * x[i] + mixValues[i] * w[i];
    }
}

} // namespace qmrk_dsp
