namespace qmrk_gui
{
BoxToggleButton::BoxToggleButton (const LookAndFeel& lnf)
    : lookAndFeel (lnf)
{
}

void BoxToggleButton::paintButton (juce::Graphics& g, bool isHighlighted, bool)
{
    const juce::Rectangle<float> box ((float) boxInset, (float) boxInset,
                                      (float) juce::jmax (0, getWidth() - 2 * boxInset),
                                      (float) juce::jmax (0, getHeight() - 2 * boxInset));

    if (getToggleState())
    {
        g.setColour (lookAndFeel.accentColour);
        g.fillRect (box);
        return;
    }

    g.setColour (lookAndFeel.backgroundColour);
    g.fillRect (box);
    g.setColour (isHighlighted ? lookAndFeel.accentColour : lookAndFeel.outlineColour);
    g.drawRect (box, 2.0f);
}

//==============================================================================
const juce::Colour IconButton::iconColour { 0xff000000 };

IconButton::IconButton (const char* svgData, int svgSize, juce::Colour colour, const juce::String& name,
                        juce::Button::Listener* listener)
    : juce::DrawableButton (name, juce::DrawableButton::ImageFitted)
{
    if (svgData != nullptr && svgSize > 0)
    {
        if (auto icon = juce::Drawable::createFromImageData (svgData, (size_t) svgSize))
        {
            auto recoloured = [&icon] (juce::Colour replacement)
            {
                auto copy = icon->createCopy();
                copy->replaceColour (iconColour, replacement);
                return copy;
            };

            const auto normal = recoloured (colour);
            const auto over = recoloured (hoverShade (colour));
            const auto down = recoloured (pressedShade (colour));
            const auto disabled = recoloured (dimmed (colour));
            setImages (normal.get(), over.get(), down.get(), disabled.get());
        }
    }

    if (listener != nullptr)
        addListener (listener);
}

IconButton::~IconButton() = default;

//==============================================================================
juce::Path TriangleButton::makeShape (int direction)
{
    constexpr auto k = triangleHeightRatio;
    juce::Path shape;

    switch (direction)
    {
        case up:
            shape.startNewSubPath (0.5f, 0.0f);
            shape.lineTo (0.0f, k);
            shape.lineTo (1.0f, k);
            shape.closeSubPath();
            break;
        case down:
            shape = downTriangle (0.5f, 1.0f, 1.0f);
            break;
        case left:
            shape.startNewSubPath (0.0f, 0.5f);
            shape.lineTo (k, 0.0f);
            shape.lineTo (k, 1.0f);
            shape.closeSubPath();
            break;
        case right:
            shape = rightTriangle (1.0f, 0.5f, 1.0f);
            break;
        default:
            break;
    }

    return shape;
}

TriangleButton::TriangleButton (int direction, const LookAndFeel& lnf, const juce::String& name,
                                juce::Button::Listener* listener)
    : juce::ShapeButton (name, lnf.outlineColour, hoverShade (lnf.outlineColour), pressedShade (lnf.outlineColour))
{
    setShape (makeShape (direction), false, true, false);

    if (listener != nullptr)
        addListener (listener);
}

TriangleButton::~TriangleButton() = default;

//==============================================================================
MouseoverTextButton::MouseoverTextButton (const LookAndFeel& lnf, const juce::String& buttonText,
                                          juce::Button::Listener* listener)
    : juce::Button ("MouseoverTextButton")
    , lookAndFeel (lnf)
    , text (buttonText)
{
    // The button text also names the button for accessibility clients.
    setButtonText (text);
    setClickingTogglesState (false);

    if (listener != nullptr)
        addListener (listener);
}

void MouseoverTextButton::paintButton (juce::Graphics& g, bool isHighlighted, bool isDown)
{
    const auto active = getToggleState() || isHighlighted || isDown;
    const auto lineColour = active ? lookAndFeel.backgroundColour : lookAndFeel.outlineColour;

    g.fillAll (active ? lookAndFeel.accentColour : lookAndFeel.backgroundColour);
    g.setColour (lineColour);
    g.setFont (lookAndFeel.bodyFont);
    g.drawFittedText (text, 0, 0, getWidth(), getHeight(), juce::Justification::centred, 1);
    g.drawRect (getLocalBounds().toFloat(), 2.0f);
}

} // namespace qmrk_gui
