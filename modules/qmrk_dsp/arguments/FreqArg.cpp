namespace qmrk_dsp
{
template <typename SampleType>
FreqArg<SampleType>::FreqArg (SampleType constantValue, const juce::String& labelName, const juce::String& labelUnit)
    : Arg<SampleType> (constantValue, labelName, labelUnit)
    , octaves (1.0)
{
    this->refreshCachedValues();
}

template <typename SampleType>
FreqArg<SampleType>::FreqArg (SampleType minimumValue, SampleType maximumValue, SampleType initialValue,
                              const juce::String& labelName, const juce::String& labelUnit, double octaveSpan)
    : Arg<SampleType> (minimumValue, maximumValue, initialValue, labelName, labelUnit)
    , octaves (octaveSpan)
{
    this->refreshCachedValues();
}

template <typename SampleType>
juce::String FreqArg<SampleType>::getText (int decimals) const
{
    const auto label = this->readLabel();
    const auto hertz = label.target;
    const auto prefix = label.name + ": ";

    if (hertz > static_cast<SampleType> (1000))
    {
        const auto kilohertz = hertz / static_cast<SampleType> (1000);
        const auto shown = hertz < static_cast<SampleType> (10000) ? decimals + 1 : decimals;
        return prefix + this->number (kilohertz, shown) + "kHz";
    }

    if (hertz > static_cast<SampleType> (100))
        return prefix + (decimals == 1 ? this->integer (hertz) : this->number (hertz, decimals - 1)) + "Hz";

    return prefix + this->number (hertz, decimals) + "Hz";
}

template <typename SampleType>
SampleType FreqArg<SampleType>::fromNormalised (SampleType normalised) const noexcept
{
    return static_cast<SampleType> (static_cast<double> (this->minimum) *
                                    std::pow (2.0, static_cast<double> (normalised) * octaves));
}

template <typename SampleType>
SampleType FreqArg<SampleType>::toNormalised (SampleType plain) const noexcept
{
    if (!(this->minimum > SampleType() && plain > SampleType()) || octaves == 0.0)
        return SampleType();

    return static_cast<SampleType> (static_cast<double> (std::log2 (plain / this->minimum)) / octaves);
}

} // namespace qmrk_dsp
