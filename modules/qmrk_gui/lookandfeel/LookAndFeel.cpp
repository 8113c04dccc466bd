namespace qmrk_gui
{
juce::Path downTriangle (float apexX, float apexY, float side)
{
    const auto baseY = apexY - side * triangleHeightRatio;
    juce::Path path;
    path.startNewSubPath (apexX, apexY);
    path.lineTo (apexX - side / 2.0f, baseY);
    path.lineTo (apexX + side / 2.0f, baseY);
    path.closeSubPath();
    return path;
}

juce::Path rightTriangle (float apexX, float apexY, float side)
{
    const auto baseX = apexX - side * triangleHeightRatio;
    juce::Path path;
    path.startNewSubPath (apexX, apexY);
    path.lineTo (baseX, apexY + side / 2.0f);
    path.lineTo (baseX, apexY - side / 2.0f);
    path.closeSubPath();
    return path;
}

juce::Colour dimmed (juce::Colour colour)
{
    return colour.withMultipliedAlpha (0.6f);
}

juce::Colour hoverShade (juce::Colour colour)
{
    return colour.darker (0.4f);
}

juce::Colour pressedShade (juce::Colour colour)
{
    return colour.darker (1.3f);
}

//==============================================================================
const juce::Colour LookAndFeel::standardAccent = juce::Colours::darkorange;
const juce::Colour LookAndFeel::standardOutline = juce::Colours::darkturquoise;
const juce::Colour LookAndFeel::standardBackground = juce::Colours::black;
const juce::Colour LookAndFeel::standardText = juce::Colours::blanchedalmond;

LookAndFeel::LookAndFeel (const juce::Font& body, const juce::Font& title, const juce::Font& subtitle,
                          juce::Colour accent, juce::Colour outline, juce::Colour background, juce::Colour text)
    : accentColour (accent)
    , outlineColour (outline)
    , backgroundColour (background)
    , textColour (text)
    , bodyFont (body)
    , titleFont (title)
    , subtitleFont (subtitle)
{
}

LookAndFeel::LookAndFeel (const EditorFonts& fonts)
    : LookAndFeel (fonts.body, fonts.title, fonts.subtitle, standardAccent, standardOutline, standardBackground,
                   standardText)
{
}

LookAndFeel::~LookAndFeel() = default;

//==============================================================================
void LookAndFeel::fillTextEditorBackground (juce::Graphics& g, int, int, juce::TextEditor&)
{
    g.fillAll (backgroundColour);
}

void LookAndFeel::drawTextEditorOutline (juce::Graphics& g, int width, int height, juce::TextEditor&)
{
    g.setColour (outlineColour);
    g.drawRect (0, 0, width, height, 1);
}

//==============================================================================
void LookAndFeel::drawPopupMenuBackground (juce::Graphics& g, int width, int height)
{
    g.fillAll (backgroundColour);
    g.setColour (textColour);
    g.drawRect (0, 0, width, height, 2);
}

void LookAndFeel::drawPopupMenuItem (juce::Graphics& g, const juce::Rectangle<int>& area, bool isSeparator,
                                     bool isActive, bool isHighlighted, bool, bool hasSubMenu, const juce::String& text,
                                     const juce::String&, const juce::Drawable*, const juce::Colour*)
{
    if (isSeparator)
    {
        g.setColour (textColour);
        g.fillRect (area);
        return;
    }

    auto itemTextColour = textColour;

    if (isHighlighted && isActive)
    {
        g.setColour (accentColour);
        g.fillRect (area);
        itemTextColour = backgroundColour;
    }

    g.setColour (itemTextColour);

    if (hasSubMenu)
    {
        const auto height = (float) area.getHeight();
        g.fillPath (rightTriangle ((float) area.getWidth() - 8.0f, height * 0.5f, height * 0.54545456f));
    }

    g.setFont (bodyFont);
    g.drawFittedText (text, area.getX() + 4, area.getY() + 4, juce::jmax (0, area.getWidth() - 8),
                      juce::jmax (0, area.getHeight() - 8), juce::Justification::centredLeft, 1, 1.0f);
}

void LookAndFeel::drawPopupMenuSectionHeader (juce::Graphics& g, const juce::Rectangle<int>& area,
                                              const juce::String& sectionName)
{
    g.setColour (textColour);
    g.setFont (bodyFont);
    g.drawFittedText (sectionName, area, juce::Justification::centred, 1);
}

//==============================================================================
void LookAndFeel::drawComboBox (juce::Graphics& g, int width, int height, bool, int, int, int, int, juce::ComboBox& box)
{
    g.fillAll (backgroundColour);
    g.setColour (outlineColour);
    g.drawRect (juce::Rectangle<float> (0.0f, 0.0f, (float) box.getWidth(), (float) box.getHeight()), 2.0f);

    const auto h = (float) height;
    const auto side = h * 0.54545456f;
    g.fillPath (downTriangle ((float) width - 8.0f - side / 2.0f, h - (h - side * triangleHeightRatio) / 2.0f, side));
}

juce::Font LookAndFeel::getComboBoxFont (juce::ComboBox&)
{
    return bodyFont;
}

//==============================================================================
void LookAndFeel::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height, float sliderPos,
                                    float rotaryStartAngle, float rotaryEndAngle, juce::Slider& slider)
{
    const auto radius = (float) juce::jmin (width, height) * 0.5f;
    const auto enabled = slider.isEnabled();
    const auto discColour = enabled ? accentColour : dimmed (accentColour);
    const auto rimColour = enabled ? outlineColour : dimmed (outlineColour);

    // The rim sits 6 pixels inside the square so that the pointer's tip can reach its edge.
    const auto discSize = juce::jmax (0.0f, 2.0f * radius - 12.0f);
    const juce::Rectangle<float> disc ((float) x + 6.0f, (float) y + 6.0f, discSize, discSize);
    g.setColour (discColour);
    g.fillEllipse (disc);
    g.setColour (rimColour);
    g.drawEllipse (disc, 3.0f);

    juce::Path pointer;
    pointer.startNewSubPath (0.0f, -radius);
    pointer.lineTo (-radius / 3.1f, -radius / 5.2f);
    pointer.lineTo (radius / 3.1f, -radius / 5.2f);
    pointer.closeSubPath();

    const auto angle = rotaryStartAngle + sliderPos * (rotaryEndAngle - rotaryStartAngle);
    g.setColour (backgroundColour);
    g.fillPath (pointer, juce::AffineTransform::rotation (angle).translated ((float) x + radius, (float) y + radius));
}

//==============================================================================
int LookAndFeel::getTabButtonOverlap (int)
{
    return 0;
}

int LookAndFeel::getTabButtonBestWidth (juce::TabBarButton& button, int)
{
    const auto textWidth = (int) std::ceil (bodyFont.getStringWidthFloat (button.getButtonText()));
    return juce::jmax (minimumTabWidth, textWidth + tabTextPadding);
}

juce::Rectangle<int> LookAndFeel::getTabButtonExtraComponentBounds (const juce::TabBarButton&, juce::Rectangle<int>&,
                                                                    juce::Component&)
{
    return {};
}

void LookAndFeel::drawTabButton (juce::TabBarButton& button, juce::Graphics& g, bool isMouseOver, bool isMouseDown)
{
    juce::Path shape;
    createTabButtonShape (button, shape, isMouseOver, isMouseDown);

    auto labelColour = textColour;

    if (button.getToggleState())
    {
        g.setColour (accentColour);
        g.fillPath (shape);
        labelColour = backgroundColour;
    }
    else
    {
        g.setColour (isMouseOver || isMouseDown ? accentColour : outlineColour);
        g.strokePath (shape, juce::PathStrokeType (3.0f));
    }

    g.setColour (labelColour);
    g.setFont (bodyFont);
    g.drawText (button.getButtonText(), button.getTextArea().toFloat(), juce::Justification::centred, true);
}

juce::Font LookAndFeel::getTabButtonFont (juce::TabBarButton&, float)
{
    return {};
}

void LookAndFeel::drawTabButtonText (juce::TabBarButton&, juce::Graphics&, bool, bool) {}

void LookAndFeel::drawTabAreaBehindFrontButton (juce::TabbedButtonBar&, juce::Graphics&, int, int) {}

void LookAndFeel::createTabButtonShape (juce::TabBarButton& button, juce::Path& path, bool, bool)
{
    const auto area = button.getActiveArea().toFloat();
    const auto x = area.getX();
    const auto y = area.getY();
    const auto right = area.getRight();
    const auto bottom = area.getBottom();
    const auto index = button.getIndex();

    path.clear();

    // Only the outer corners of the bar are rounded; the first-tab test wins for a single tab.
    if (index == 0)
    {
        path.startNewSubPath (x, bottom);
        path.lineTo (x, y);
        path.lineTo (right, y);
        path = path.createPathWithRoundedCorners (tabCornerRadius);
        path.lineTo (right, bottom);
        path.closeSubPath();
    }
    else if (index == button.getTabbedButtonBar().getNumTabs() - 1)
    {
        path.startNewSubPath (x, y);
        path.lineTo (right, y);
        path.lineTo (right, bottom);
        path = path.createPathWithRoundedCorners (tabCornerRadius);
        path.lineTo (x, bottom);
        path.closeSubPath();
    }
    else
    {
        path.addRectangle (area);
    }
}

void LookAndFeel::fillTabButtonShape (juce::TabBarButton&, juce::Graphics&, const juce::Path&, bool, bool) {}

juce::Button* LookAndFeel::createTabBarExtrasButton()
{
    return new ExtrasButtonPlaceholder();
}

//==============================================================================
LookAndFeel::ExtrasButtonPlaceholder::ExtrasButtonPlaceholder()
    : juce::ShapeButton ("Placeholder", juce::Colours::black, juce::Colours::black, juce::Colours::black)
{
}

void LookAndFeel::ExtrasButtonPlaceholder::paintButton (juce::Graphics& g, bool, bool)
{
    g.fillAll (juce::Colours::black);
}

} // namespace qmrk_gui
