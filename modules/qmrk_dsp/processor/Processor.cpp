namespace qmrk_dsp
{
template <typename SampleType>
void Processor<SampleType>::prepareLocked (const juce::dsp::ProcessSpec& spec)
{
    const juce::SpinLock::ScopedLockType sl (lock);
    storeSampleRate (spec);
    prepare (spec);
    reset();
}

template <typename SampleType>
void Processor<SampleType>::resetLocked()
{
    const juce::SpinLock::ScopedLockType sl (lock);
    reset();
}

template <typename SampleType>
void Processor<SampleType>::storeSampleRate (const juce::dsp::ProcessSpec& spec) noexcept
{
    const auto rate = static_cast<SampleType> (spec.sampleRate);

    if (std::isfinite (rate) && rate > SampleType())
        sampleRate = rate;
}

template <typename SampleType>
void Processor<SampleType>::copyChannels (const Block& input, Block& output, size_t firstChannel) noexcept
{
    const auto numSamples = output.getNumSamples();
    const auto samplesFromInput = juce::jmin (numSamples, input.getNumSamples());

    for (auto ch = firstChannel; ch < output.getNumChannels(); ++ch)
    {
        auto* out = output.getChannelPointer (ch);

        if (ch < input.getNumChannels())
        {
            const auto* in = input.getChannelPointer (ch);

            if (in != out)
                juce::FloatVectorOperations::copy (out, in, static_cast<int> (samplesFromInput));
        }
        else
        {
            juce::FloatVectorOperations::clear (out, static_cast<int> (numSamples));
        }
    }
}

} // namespace qmrk_dsp
