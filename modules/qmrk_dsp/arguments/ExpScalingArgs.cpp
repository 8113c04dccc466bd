namespace qmrk_dsp
{
template <typename SampleType>
ExpScalingArg<SampleType>::ExpScalingArg (SampleType curveExponent, SampleType minimumValue, SampleType maximumValue,
                                          SampleType initialValue, const juce::String& labelName,
                                          const juce::String& labelUnit)
    : Arg<SampleType> (minimumValue, maximumValue, initialValue, labelName, labelUnit)
    , exponent (curveExponent)
    , logExponent (curveExponent > SampleType() ? std::log (curveExponent) : SampleType())
{
    this->refreshCachedValues();
}

template <typename SampleType>
SampleType ExpScalingArg<SampleType>::fromNormalised (SampleType normalised) const noexcept
{
    const auto position = juce::jmax (SampleType(), normalised);
    return std::pow (position, exponent) * (this->maximum - this->minimum) + this->minimum;
}

template <typename SampleType>
SampleType ExpScalingArg<SampleType>::toNormalised (SampleType plain) const noexcept
{
    const auto span = this->maximum - this->minimum;

    if (span == SampleType())
        return SampleType();

    const auto linear = juce::jlimit (SampleType(), static_cast<SampleType> (1), (plain - this->minimum) / span);
    return exponent > SampleType() ? std::pow (linear, static_cast<SampleType> (1) / exponent) : linear;
}

//==============================================================================
template <typename SampleType>
PeriodArg_s<SampleType>::PeriodArg_s (SampleType minimumValue, SampleType maximumValue, SampleType initialValue,
                                      const juce::String& labelName, SampleType curveExponent)
    : ExpScalingArg<SampleType> (curveExponent, minimumValue, maximumValue, initialValue, labelName, {})
{
}

template <typename SampleType>
juce::String PeriodArg_s<SampleType>::getText (int decimals) const
{
    const auto label = this->readLabel();
    const auto seconds = label.target;
    const auto milliseconds = seconds * static_cast<SampleType> (1000);
    const auto prefix = label.name + ": ";

    if (seconds < static_cast<SampleType> (0.1))
        return prefix + this->number (milliseconds, decimals) + "ms";

    if (seconds < static_cast<SampleType> (1))
        return prefix + (decimals == 1 ? this->integer (milliseconds) : this->number (milliseconds, decimals - 1)) +
               "ms";

    return prefix + this->number (seconds, decimals + 1) + "s";
}

} // namespace qmrk_dsp
