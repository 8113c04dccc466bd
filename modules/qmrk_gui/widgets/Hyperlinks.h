#pragma once

namespace qmrk_gui
{
/** A hyperlink in a fixed font and colour; the font keeps its size whatever the height. */
class HyperlinkLabel : public juce::HyperlinkButton
{
public:
    HyperlinkLabel (const juce::String& text, const juce::URL& url, juce::Font font, juce::Colour colour,
                    juce::Justification justification);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HyperlinkLabel)
};

/** Hyperlinks laid out right-aligned in one row, every one but the first preceded by " // ". */
class HyperlinkLabelRow : public juce::Component
{
public:
    /** One link per text and URL pair; surplus texts or URLs are ignored. */
    HyperlinkLabelRow (const LookAndFeel& lookAndFeel, juce::StringArray texts, juce::Array<juce::URL> urls,
                       juce::Justification justification);

    void setHelpText (int index, const juce::String& text);

    [[nodiscard]] int getNumLinks() const noexcept { return links.size(); }
    [[nodiscard]] HyperlinkLabel* getLink (int index) const noexcept { return links[index]; }

    /** Deletes the link at index; the next layout moves the separators to suit. */
    void removeLink (int index);

    void resized() override;

    static const juce::String separator;

private:
    juce::OwnedArray<HyperlinkLabel> links;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (HyperlinkLabelRow)
};

} // namespace qmrk_gui
