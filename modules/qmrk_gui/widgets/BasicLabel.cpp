namespace qmrk_gui
{
BasicLabel::BasicLabel (const LookAndFeel& lnf)
{
    setFont (lnf.bodyFont);
    setColour (juce::Label::textColourId, lnf.textColour);
    setJustificationType (juce::Justification::centredLeft);
    setBorderSize (juce::BorderSize<int> (6));
}

BasicLabel::BasicLabel (const LookAndFeel& lnf, const juce::String& text)
    : BasicLabel (lnf)
{
    setText (text, juce::dontSendNotification);
}

BasicTextEditor::BasicTextEditor (const LookAndFeel& lnf)
{
    applyFontToAllText (lnf.bodyFont);
    setColour (juce::TextEditor::textColourId, lnf.textColour);
    setColour (juce::TextEditor::outlineColourId, lnf.outlineColour);
    setJustification (juce::Justification::centredLeft);
}

} // namespace qmrk_gui
