#pragma once

namespace qmrk_gui
{
/** sqrt(3) / 2: height of an equilateral triangle of side 1. */
inline constexpr float triangleHeightRatio = 0.8660254f;

/** A closed triangle pointing down: apex at (apexX, apexY), horizontal base of length side above it. */
juce::Path downTriangle (float apexX, float apexY, float side);

/** A closed triangle pointing right: apex at (apexX, apexY), vertical base of length side left of it. */
juce::Path rightTriangle (float apexX, float apexY, float side);

/** Colour of a disabled control: alpha times 0.6. */
juce::Colour dimmed (juce::Colour colour);

/** Colour under the mouse: each channel times 1/1.4, truncated. */
juce::Colour hoverShade (juce::Colour colour);

/** Colour while pressed: each channel times 1/2.3, truncated. */
juce::Colour pressedShade (juce::Colour colour);

/** The editor's palette and fonts, with its own drawing of knobs, combo boxes, popup menus,
    text-editor frames and tab buttons. Every widget of the editor reads the public fields; the
    object itself is installed only on sliders, the tabbed stage panel and the preset combo box.
*/
class LookAndFeel : public juce::LookAndFeel_V4
{
public:
    static const juce::Colour standardAccent;
    static const juce::Colour standardOutline;
    static const juce::Colour standardBackground;
    static const juce::Colour standardText;

    LookAndFeel (const juce::Font& body, const juce::Font& title, const juce::Font& subtitle, juce::Colour accent,
                 juce::Colour outline, juce::Colour background, juce::Colour text);

    /** The editor's palette with the given fonts. */
    explicit LookAndFeel (const EditorFonts& fonts);

    ~LookAndFeel() override;

    //==============================================================================
    void fillTextEditorBackground (juce::Graphics&, int width, int height, juce::TextEditor&) override;
    void drawTextEditorOutline (juce::Graphics&, int width, int height, juce::TextEditor&) override;

    void drawPopupMenuBackground (juce::Graphics&, int width, int height) override;
    void drawPopupMenuItem (juce::Graphics&, const juce::Rectangle<int>& area, bool isSeparator, bool isActive,
                            bool isHighlighted, bool isTicked, bool hasSubMenu, const juce::String& text,
                            const juce::String& shortcutKeyText, const juce::Drawable* icon,
                            const juce::Colour* textColour) override;
    void drawPopupMenuSectionHeader (juce::Graphics&, const juce::Rectangle<int>& area,
                                     const juce::String& sectionName) override;

    void drawComboBox (juce::Graphics&, int width, int height, bool isButtonDown, int buttonX, int buttonY, int buttonW,
                       int buttonH, juce::ComboBox&) override;
    juce::Font getComboBoxFont (juce::ComboBox&) override;

    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height, float sliderPos,
                           float rotaryStartAngle, float rotaryEndAngle, juce::Slider&) override;

    int getTabButtonOverlap (int tabDepth) override;
    int getTabButtonBestWidth (juce::TabBarButton&, int tabDepth) override;
    juce::Rectangle<int> getTabButtonExtraComponentBounds (const juce::TabBarButton&, juce::Rectangle<int>& textArea,
                                                           juce::Component& extraComp) override;
    void drawTabButton (juce::TabBarButton&, juce::Graphics&, bool isMouseOver, bool isMouseDown) override;
    juce::Font getTabButtonFont (juce::TabBarButton&, float height) override;
    void drawTabButtonText (juce::TabBarButton&, juce::Graphics&, bool isMouseOver, bool isMouseDown) override;
    void drawTabAreaBehindFrontButton (juce::TabbedButtonBar&, juce::Graphics&, int w, int h) override;
    void createTabButtonShape (juce::TabBarButton&, juce::Path& path, bool isMouseOver, bool isMouseDown) override;
    void fillTabButtonShape (juce::TabBarButton&, juce::Graphics&, const juce::Path& path, bool isMouseOver,
                             bool isMouseDown) override;
    juce::Button* createTabBarExtrasButton() override;

    //==============================================================================
    /** Stands in for the tab bar's overflow button: a black rectangle without a shape. */
    class ExtrasButtonPlaceholder : public juce::ShapeButton
    {
    public:
        ExtrasButtonPlaceholder();
        void paintButton (juce::Graphics&, bool isHighlighted, bool isDown) override;
    };

    //==============================================================================
    static constexpr int minimumTabWidth = 40;
    static constexpr int tabTextPadding = 12;
    static constexpr float tabCornerRadius = 8.0f;

    const juce::Colour accentColour;
    const juce::Colour outlineColour;
    const juce::Colour backgroundColour;
    const juce::Colour textColour;
    const juce::Font bodyFont;
    const juce::Font titleFont;
    const juce::Font subtitleFont;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LookAndFeel)
};

} // namespace qmrk_gui
