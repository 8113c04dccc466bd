namespace qmrk_dsp
{
template <typename SampleType>
PercentArg<SampleType>::PercentArg (const juce::String& labelName, SampleType initialValue, SampleType minimumValue,
                                    SampleType maximumValue)
    : Arg<SampleType> (minimumValue, maximumValue, initialValue, labelName, "%")
{
    this->refreshCachedValues();
}

template <typename SampleType>
SampleType PercentArg<SampleType>::toDspValue (SampleType plain) const noexcept
{
    return plain / static_cast<SampleType> (100);
}

//==============================================================================
template <typename SampleType>
GainArg_dB<SampleType>::GainArg_dB (SampleType minimumValue, SampleType maximumValue, SampleType initialValue,
                                    const juce::String& labelName, const juce::String& labelUnit)
    : Arg<SampleType> (minimumValue, maximumValue, initialValue, labelName, labelUnit)
{
    this->refreshCachedValues();
}

template <typename SampleType>
SampleType GainArg_dB<SampleType>::toDspValue (SampleType plain) const noexcept
{
    if (!(plain > silenceDecibels))
        return SampleType();

    return std::pow (static_cast<SampleType> (10), plain * static_cast<SampleType> (0.05));
}

//==============================================================================
template <typename SampleType>
BoolArg<SampleType>::BoolArg (bool initiallyOn, const juce::String& labelName)
    : Arg<SampleType> (SampleType(), static_cast<SampleType> (1),
                       initiallyOn ? static_cast<SampleType> (1) : SampleType(), labelName, {})
{
}

template <typename SampleType>
juce::String BoolArg<SampleType>::getText (int) const
{
    const auto label = this->readLabel();
    const juce::String word (label.target >= static_cast<SampleType> (0.5) ? "On" : "Off");
    return label.name.isEmpty() ? word : label.name + ": " + word;
}

} // namespace qmrk_dsp
