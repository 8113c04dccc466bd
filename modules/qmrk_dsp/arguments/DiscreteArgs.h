#pragma once

namespace qmrk_dsp
{
/** Whole numbers stored as floats. Normalised values are taken relative to 0 (n × maximum) and
    then clamped into the range, so a range of 1..9 maps 0 to 1.
*/
template <typename SampleType>
class IntArg : public Arg<SampleType>
{
public:
    IntArg (int minimumValue, int maximumValue, int initialValue, const juce::String& labelName,
            const juce::String& labelUnit);

    [[nodiscard]] juce::String getText (int decimals) const override;
    [[nodiscard]] SampleType fromNormalised (SampleType normalised) const noexcept override;
    [[nodiscard]] SampleType toNormalised (SampleType plain) const noexcept override;

    /** The target truncated toward zero. */
    [[nodiscard]] int getIntValue() const;
};

/** An index into a shared list of names. */
template <typename SampleType>
class ChoiceArg : public Arg<SampleType>
{
public:
    /** choices must outlive the argument. */
    ChoiceArg (const juce::String& labelName, const juce::StringArray* choiceNames, SampleType initialValue);

    /** name + ": " + the chosen name; an index outside the list shows an empty choice. */
    [[nodiscard]] juce::String getText (int decimals) const override;
    [[nodiscard]] SampleType fromNormalised (SampleType normalised) const noexcept override;
    [[nodiscard]] SampleType toNormalised (SampleType plain) const noexcept override;

private:
    const juce::StringArray* choices;
};

} // namespace qmrk_dsp
