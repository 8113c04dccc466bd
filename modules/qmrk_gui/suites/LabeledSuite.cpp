namespace qmrk_gui
{
juce::Rectangle<int> LabeledSuite::roundArea (juce::Rectangle<float> area) noexcept
{
    // juce::roundToInt rounds halves to even (it relies on the FPU's default rounding mode).
    return { juce::roundToInt (area.getX()), juce::roundToInt (area.getY()), juce::roundToInt (area.getWidth()),
             juce::roundToInt (area.getHeight()) };
}

namespace
{
void placePair (juce::Component& first, juce::Component& second, const juce::Array<juce::Rectangle<float>>& areas)
{
    first.setBounds (LabeledSuite::roundArea (areas[0]));
    second.setBounds (LabeledSuite::roundArea (areas[1]));
}

} // namespace

//==============================================================================
SliderSuite::SliderSuite (LookAndFeel& lookAndFeel)
    : label (lookAndFeel)
    , slider (juce::Slider::RotaryHorizontalVerticalDrag, juce::Slider::NoTextBox)
{
    slider.setLookAndFeel (&lookAndFeel);
    slider.setMouseDragSensitivity (dragDistanceForFullRange);
}

SliderSuite::~SliderSuite()
{
    attachment.reset();
    slider.setLookAndFeel (nullptr);
}

void SliderSuite::setLabelText (const juce::String& text)
{
    label.setText (text, juce::dontSendNotification);
}

void SliderSuite::addTo (juce::Component& parent)
{
    parent.addAndMakeVisible (label);
    parent.addAndMakeVisible (slider);
}

void SliderSuite::setAreas (juce::Array<juce::Rectangle<float>> areas)
{
    placePair (slider, label, areas);
}

void SliderSuite::setEnabled (bool enabled)
{
    label.setEnabled (enabled);
    slider.setEnabled (enabled);
}

void SliderSuite::setVisible (bool visible)
{
    slider.setVisible (visible);
    label.setVisible (visible);
}

void SliderSuite::setHelpText (const juce::String& text)
{
    label.setHelpText (text);
    slider.setHelpText (text);
}

void SliderSuite::attach (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID)
{
    // The old attachment lets go of the slider before the new one takes it.
    attachment.reset();

    if (state.getParameter (parameterID) != nullptr)
        attachment =
            std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (state, parameterID, slider);
}

//==============================================================================
ToggleButtonSuite::ToggleButtonSuite (const LookAndFeel& lookAndFeel)
    : label (lookAndFeel)
    , button (lookAndFeel)
{
}

ToggleButtonSuite::~ToggleButtonSuite()
{
    attachment.reset();
}

void ToggleButtonSuite::setLabelText (const juce::String& text)
{
    label.setText (text, juce::dontSendNotification);
}

void ToggleButtonSuite::addTo (juce::Component& parent)
{
    parent.addAndMakeVisible (label);
    parent.addAndMakeVisible (button);
}

void ToggleButtonSuite::setAreas (juce::Array<juce::Rectangle<float>> areas)
{
    placePair (button, label, areas);
}

void ToggleButtonSuite::setEnabled (bool enabled)
{
    label.setEnabled (enabled);
    button.setEnabled (enabled);
}

void ToggleButtonSuite::setVisible (bool visible)
{
    button.setVisible (visible);
    label.setVisible (visible);
}

void ToggleButtonSuite::setHelpText (const juce::String& text)
{
    label.setHelpText (text);
    button.setHelpText (text);
}

void ToggleButtonSuite::attach (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID)
{
    attachment.reset();

    if (state.getParameter (parameterID) != nullptr)
        attachment =
            std::make_unique<juce::AudioProcessorValueTreeState::ButtonAttachment> (state, parameterID, button);
}

//==============================================================================
TextEditorSuite::TextEditorSuite (const LookAndFeel& lookAndFeel, const juce::String& labelText)
    : editor (lookAndFeel)
    , label (lookAndFeel, labelText)
{
}

TextEditorSuite::~TextEditorSuite() = default;

void TextEditorSuite::setLabelText (const juce::String& text)
{
    label.setText (text, juce::dontSendNotification);
}

void TextEditorSuite::addTo (juce::Component& parent)
{
    parent.addAndMakeVisible (editor);
    parent.addAndMakeVisible (label);
}

void TextEditorSuite::setAreas (juce::Array<juce::Rectangle<float>> areas)
{
    placePair (editor, label, areas);
}

void TextEditorSuite::setEnabled (bool enabled)
{
    editor.setEnabled (enabled);
    label.setEnabled (enabled);
}

void TextEditorSuite::setVisible (bool visible)
{
    editor.setVisible (visible);
    label.setVisible (visible);
}

void TextEditorSuite::setHelpText (const juce::String& text)
{
    editor.setHelpText (text);
    label.setHelpText (text);
}

void TextEditorSuite::attach (juce::AudioProcessorValueTreeState&, const juce::String&) {}

void TextEditorSuite::clearText()
{
    editor.setText ({}, false);
}

} // namespace qmrk_gui
