#pragma once

namespace qmrk_gui
{
/** A label in the body font and text colour, left-aligned with a 6 pixel border. */
class BasicLabel : public juce::Label
{
public:
    explicit BasicLabel (const LookAndFeel& lookAndFeel);
    BasicLabel (const LookAndFeel& lookAndFeel, const juce::String& text);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasicLabel)
};

/** A text field in the body font; its background and frame come from the look and feel above it. */
class BasicTextEditor : public juce::TextEditor
{
public:
    explicit BasicTextEditor (const LookAndFeel& lookAndFeel);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BasicTextEditor)
};

} // namespace qmrk_gui
