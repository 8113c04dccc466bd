#pragma once

namespace qmrk_gui
{
/** A square toggle: solid accent when on, a framed black box when off. */
class BoxToggleButton : public juce::ToggleButton
{
public:
    explicit BoxToggleButton (const LookAndFeel& lookAndFeel);

    void paintButton (juce::Graphics&, bool isHighlighted, bool isDown) override;

    /** Gap between the button's edge and its box. */
    static constexpr int boxInset = 6;

private:
    const LookAndFeel& lookAndFeel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (BoxToggleButton)
};

/** A button showing a one-colour SVG icon, recoloured for hover, press and disabled.

    The SVG data belongs to the caller (an embedded resource) and is only read during
    construction. Its shapes must be drawn in iconColour (black).
*/
class IconButton : public juce::DrawableButton
{
public:
    IconButton (const char* svgData, int svgSize, juce::Colour colour, const juce::String& name,
                juce::Button::Listener* listener);
    ~IconButton() override;

    /** The colour the SVG documents draw in; replaced by the button's colours. */
    static const juce::Colour iconColour;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (IconButton)
};

/** A triangular arrow button in the outline colour. */
class TriangleButton : public juce::ShapeButton
{
public:
    enum Direction
    {
        up = 0,
        down = 1,
        left = 2,
        right = 3
    };

    /** Any direction other than the four above gives a button without a shape. */
    TriangleButton (int direction, const LookAndFeel& lookAndFeel, const juce::String& name,
                    juce::Button::Listener* listener);
    ~TriangleButton() override;

    /** The triangle in the unit square, empty for an unknown direction. */
    static juce::Path makeShape (int direction);

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TriangleButton)
};

/** A framed text button that fills with the accent colour under the mouse. */
class MouseoverTextButton : public juce::Button
{
public:
    MouseoverTextButton (const LookAndFeel& lookAndFeel, const juce::String& text, juce::Button::Listener* listener);

    void paintButton (juce::Graphics&, bool isHighlighted, bool isDown) override;

    [[nodiscard]] const juce::String& getText() const noexcept { return text; }

private:
    const LookAndFeel& lookAndFeel;
    const juce::String text;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MouseoverTextButton)
};

} // namespace qmrk_gui
