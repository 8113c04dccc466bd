namespace qmrk_dsp
{
namespace detail
{
// plain / maximum, 0 for a maximum of 0 (a one-entry list or a 0..0 range).
template <typename SampleType>
SampleType fractionOfMaximum (SampleType plain, SampleType maximum) noexcept
{
    return maximum != SampleType() ? plain / maximum : SampleType();
}
} // namespace detail

template <typename SampleType>
IntArg<SampleType>::IntArg (int minimumValue, int maximumValue, int initialValue, const juce::String& labelName,
                            const juce::String& labelUnit)
    : Arg<SampleType> (static_cast<SampleType> (minimumValue), static_cast<SampleType> (maximumValue),
                       static_cast<SampleType> (initialValue), labelName, labelUnit)
{
    this->refreshCachedValues();
}

template <typename SampleType>
juce::String IntArg<SampleType>::getText (int) const
{
    const auto label = this->readLabel();
    return label.name + ": " + this->integer (label.target);
}

template <typename SampleType>
SampleType IntArg<SampleType>::fromNormalised (SampleType normalised) const noexcept
{
    return normalised * this->maximum;
}

template <typename SampleType>
SampleType IntArg<SampleType>::toNormalised (SampleType plain) const noexcept
{
    return detail::fractionOfMaximum (plain, this->maximum);
}

template <typename SampleType>
int IntArg<SampleType>::getIntValue() const
{
    return this->truncate (this->getValue (false));
}

//==============================================================================
template <typename SampleType>
ChoiceArg<SampleType>::ChoiceArg (const juce::String& labelName, const juce::StringArray* choiceNames,
                                  SampleType initialValue)
    : Arg<SampleType> (SampleType(),
                       static_cast<SampleType> (choiceNames != nullptr ? juce::jmax (0, choiceNames->size() - 1) : 0),
                       initialValue, labelName, {})
    , choices (choiceNames)
{
    this->refreshCachedValues();
}

template <typename SampleType>
juce::String ChoiceArg<SampleType>::getText (int) const
{
    const auto label = this->readLabel();
    const auto choice = choices != nullptr ? (*choices)[this->truncate (label.target)] : juce::String();
    return label.name + ": " + choice;
}

template <typename SampleType>
SampleType ChoiceArg<SampleType>::fromNormalised (SampleType normalised) const noexcept
{
    return normalised * this->maximum;
}

template <typename SampleType>
SampleType ChoiceArg<SampleType>::toNormalised (SampleType plain) const noexcept
{
    return detail::fractionOfMaximum (plain, this->maximum);
}

} // namespace qmrk_dsp
