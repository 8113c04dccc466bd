namespace qmrk_gui
{
HyperlinkLabel::HyperlinkLabel (const juce::String& linkText, const juce::URL& linkUrl, juce::Font linkFont,
                                juce::Colour colour, juce::Justification linkJustification)
    : juce::HyperlinkButton (linkText, linkUrl)
{
    setFont (linkFont, false);
    setColour (juce::HyperlinkButton::textColourId, colour);
    setJustificationType (linkJustification);
}

//==============================================================================
const juce::String HyperlinkLabelRow::separator { " // " };

HyperlinkLabelRow::HyperlinkLabelRow (const LookAndFeel& lnf, juce::StringArray texts, juce::Array<juce::URL> urls,
                                      juce::Justification linkJustification)
{
    const auto count = juce::jmin (texts.size(), urls.size());

    for (int i = 0; i < count; ++i)
        addAndMakeVisible (links.add (
            std::make_unique<HyperlinkLabel> (texts[i], urls[i], lnf.bodyFont, lnf.textColour, linkJustification)));
}

void HyperlinkLabelRow::setHelpText (int index, const juce::String& text)
{
    if (auto* link = links[index])
        link->setHelpText (text);
}

void HyperlinkLabelRow::removeLink (int index)
{
    links.remove (index);
}

void HyperlinkLabelRow::resized()
{
    auto x = getWidth();

    for (int i = links.size(); --i >= 0;)
    {
        auto& link = *links.getUnchecked (i);
        const auto text = link.getButtonText();

        if (i > 0 && !text.startsWith (separator))
            link.setButtonText (separator + text);
        else if (i == 0 && text.startsWith (separator))
            link.setButtonText (text.trimCharactersAtStart (separator));

        link.changeWidthToFitText();
        x -= link.getWidth();
        link.setBounds (x, 0, link.getWidth(), getHeight());
    }
}

} // namespace qmrk_gui
