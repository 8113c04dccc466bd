namespace qmrk_dsp
{
template <typename SampleType>
Gain<SampleType>::Gain (const juce::String& labelName, SampleType minimumValue, SampleType maximumValue,
                        SampleType initialValue, const juce::String& labelUnit)
    : gain (minimumValue, maximumValue, initialValue, labelName, labelUnit)
{
}

template <typename SampleType>
void Gain<SampleType>::prepare (const juce::dsp::ProcessSpec& spec)
{
    this->storeSampleRate (spec);
    gainValues.resize (spec.maximumBlockSize, SampleType());
}

template <typename SampleType>
void Gain<SampleType>::reset()
{
    gain.prepareRamp (static_cast<double> (this->sampleRate), Arg<SampleType>::rampSeconds);
}

template <typename SampleType>
void Gain<SampleType>::process (const Block& input, Block& output)
{
    this->forEachSlice (input, output, gainValues.size(),
                        [this] (const Block& in, Block& out) { processSlice (in, out); });
}

template <typename SampleType>
void Gain<SampleType>::processSlice (const Block& input, Block& output) noexcept
{
    const auto numSamples = output.getNumSamples();
    const auto numChannels = juce::jmin (input.getNumChannels(), output.getNumChannels());
    const auto constant = gain.readDspBlock (gainValues, static_cast<int> (numSamples), false);

    for (size_t ch = 0; ch < numChannels; ++ch)
    {
        const auto* in = input.getChannelPointer (ch);
        auto* out = output.getChannelPointer (ch);

        if (constant)
        {
            juce::FloatVectorOperations::multiply (out, in, gainValues[0], static_cast<int> (numSamples));
        }
        else
        {
            for (size_t i = 0; i < numSamples; ++i)
                out[i] = in[i] * gainValues[i];
        }
    }

    this->copyChannels (input, output, numChannels);
}

} // namespace qmrk_dsp
