#include "GuiTestSupport.h"

using tw::test::countPixels;
using tw::test::hex;
using tw::test::paintToImage;

namespace
{
const juce::Colour accent { 0xffff8c00 };
const juce::Colour outline { 0xff00ced1 };
const juce::Colour black { 0xff000000 };
const juce::Colour almond { 0xffffebcd };

struct Icon
{
    const char* name;
    const char* data;
    int size;
    float viewBoxSide;
};

const Icon icons[] = { { "new.svg", BinaryData::new_svg, BinaryData::new_svgSize, 24.0f },
                       { "undo.svg", BinaryData::undo_svg, BinaryData::undo_svgSize, 24.0f },
                       { "redo.svg", BinaryData::redo_svg, BinaryData::redo_svgSize, 24.0f },
                       { "reload.svg", BinaryData::reload_svg, BinaryData::reload_svgSize, 32.0f },
                       { "c.svg", BinaryData::c_svg, BinaryData::c_svgSize, 64.0f } };

/** Every fill and stroke colour used by a drawable tree. */
void collectColours (const juce::Drawable& drawable, juce::Array<juce::Colour>& colours)
{
    if (auto* shape = dynamic_cast<const juce::DrawableShape*> (&drawable))
    {
        for (const auto& fill : { shape->getFill(), shape->getStrokeFill() })
            if (fill.isColour() && !fill.colour.isTransparent())
                colours.addIfNotAlreadyThere (fill.colour);
    }

    for (auto* child : drawable.getChildren())
        if (auto* childDrawable = dynamic_cast<const juce::Drawable*> (child))
            collectColours (*childDrawable, colours);
}

juce::Image renderIcon (const Icon& icon, int side)
{
    auto drawable = juce::Drawable::createFromImageData (icon.data, (size_t) icon.size);
    return paintToImage (side, side,
                         [&] (juce::Graphics& g) {
                             drawable->drawWithin (g, { 0.0f, 0.0f, (float) side, (float) side },
                                                   juce::RectanglePlacement::centred, 1.0f);
                         });
}

bool isInk (juce::Colour c)
{
    return c.getAlpha() > 0;
}

} // namespace

//==============================================================================
TEST (Icons, AreBlackShapesInTheirViewBoxes)
{
    for (const auto& icon : icons)
    {
        SCOPED_TRACE (icon.name);
        auto drawable = juce::Drawable::createFromImageData (icon.data, (size_t) icon.size);
        ASSERT_NE (drawable, nullptr);

        juce::Array<juce::Colour> colours;
        collectColours (*drawable, colours);
        ASSERT_EQ (colours.size(), 1);
        EXPECT_EQ (colours[0], qmrk_gui::IconButton::iconColour);

        const auto bounds = drawable->getDrawableBounds();
        EXPECT_GE (bounds.getX(), -0.01f);
        EXPECT_GE (bounds.getY(), -0.01f);
        EXPECT_LE (bounds.getRight(), icon.viewBoxSide + 0.01f);
        EXPECT_LE (bounds.getBottom(), icon.viewBoxSide + 0.01f);
        EXPECT_GT (bounds.getWidth(), icon.viewBoxSide * 0.6f);
    }
}

TEST (Icons, UndoAndRedoAreMirrorImages)
{
    const auto undo = renderIcon (icons[1], 48);
    const auto redo = renderIcon (icons[2], 48);
    EXPECT_GT (countPixels (undo, isInk), 200);

    int differences = 0;

    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            if (std::abs (undo.getPixelAt (x, y).getAlpha() - redo.getPixelAt (47 - x, y).getAlpha()) > 8)
                ++differences;

    EXPECT_LT (differences, 10);

    // Undo: the arrowhead at the left middle, the shaft ending in the bottom-right corner.
    EXPECT_GT (undo.getPixelAt (8, 24).getAlpha(), 200);
    EXPECT_GT (undo.getPixelAt (42, 44).getAlpha(), 200);
    EXPECT_EQ (undo.getPixelAt (4, 44).getAlpha(), 0);
    EXPECT_EQ (undo.getPixelAt (44, 4).getAlpha(), 0);
}

TEST (Icons, ClearIconIsADiscWithACutOut)
{
    const auto image = renderIcon (icons[4], 64);
    EXPECT_GT (image.getPixelAt (32, 6).getAlpha(), 250);  // the disc, above the C
    EXPECT_EQ (image.getPixelAt (17, 32).getAlpha(), 0);   // the C's left stroke is a hole
    EXPECT_GT (image.getPixelAt (32, 32).getAlpha(), 250); // the disc shows inside the C
    EXPECT_EQ (image.getPixelAt (1, 1).getAlpha(), 0);     // outside the disc
}

TEST (Icons, NewIconIsAnAsterisk)
{
    const auto image = renderIcon (icons[0], 24);
    EXPECT_GT (image.getPixelAt (11, 3).getAlpha(), 250); // vertical bar
    EXPECT_EQ (image.getPixelAt (3, 11).getAlpha(), 0);   // no horizontal bar
    // The bars at +-60 degrees reach the lower left and right.
    const auto arm = juce::Point<float> (12.0f, 12.0f) + juce::Point<float> (-8.0f * 0.866f, 8.0f * 0.5f);
    EXPECT_GT (image.getPixelAt ((int) arm.x, (int) arm.y).getAlpha(), 100);
}

//==============================================================================
using Widgets = tw::test::LookAndFeelFixture;

TEST_F (Widgets, BasicLabelAndTextEditorTakeTheBodyStyle)
{
    const qmrk_gui::BasicLabel empty (lnf);
    const qmrk_gui::BasicLabel label (lnf, "Mix: 50%");

    EXPECT_TRUE (empty.getText().isEmpty());
    EXPECT_EQ (label.getText(), "Mix: 50%");
    EXPECT_TRUE (label.getName().isEmpty());
    EXPECT_EQ (label.getFont().getTypefaceName(), "Source Code Pro");
    EXPECT_FLOAT_EQ (label.getFont().getHeight(), 18.0f);
    EXPECT_EQ (label.findColour (juce::Label::textColourId), almond);
    EXPECT_EQ (label.getJustificationType(), juce::Justification::centredLeft);
    EXPECT_EQ (label.getBorderSize(), juce::BorderSize<int> (6));

    qmrk_gui::BasicTextEditor editor (lnf);
    editor.setText ("abc", false);
    EXPECT_EQ (editor.getFont().getTypefaceName(), "Source Code Pro");
    EXPECT_EQ (editor.findColour (juce::TextEditor::textColourId), almond);
    EXPECT_EQ (editor.findColour (juce::TextEditor::outlineColourId), outline);
    EXPECT_EQ (editor.getJustificationType(), juce::Justification::centredLeft);
}

TEST_F (Widgets, BoxToggleButtonDrawsItsBoxSixPixelsIn)
{
    qmrk_gui::BoxToggleButton button (lnf);
    button.setSize (32, 32);

    auto render = [&] (bool on, bool highlighted)
    {
        button.setToggleState (on, juce::dontSendNotification);
        return paintToImage (32, 32, [&] (juce::Graphics& g) { button.paintButton (g, highlighted, false); });
    };

    const auto off = render (false, false);
    EXPECT_EQ (off.getPixelAt (5, 16).getAlpha(), 0);
    EXPECT_EQ (hex (off.getPixelAt (6, 16)), hex (outline));
    EXPECT_EQ (hex (off.getPixelAt (7, 16)), hex (outline));
    EXPECT_EQ (hex (off.getPixelAt (8, 16)), hex (black));
    EXPECT_EQ (hex (off.getPixelAt (25, 25)), hex (outline));
    EXPECT_EQ (off.getPixelAt (26, 26).getAlpha(), 0);

    const auto hover = render (false, true);
    EXPECT_EQ (hex (hover.getPixelAt (6, 16)), hex (accent));
    EXPECT_EQ (hex (hover.getPixelAt (16, 16)), hex (black));

    const auto on = render (true, true);
    EXPECT_EQ (countPixels (on, [] (juce::Colour c) { return c == accent; }), 20 * 20);
    EXPECT_EQ (countPixels (on, isInk), 20 * 20);

    button.setSize (10, 10);
    const auto tiny = paintToImage (10, 10, [&] (juce::Graphics& g) { button.paintButton (g, false, false); });
    EXPECT_EQ (countPixels (tiny, isInk), 0);
}

TEST_F (Widgets, IconButtonRecoloursItsIconPerState)
{
    struct Listener : juce::Button::Listener
    {
        void buttonClicked (juce::Button*) override { ++clicks; }
        int clicks = 0;
    } listener;

    qmrk_gui::IconButton button (BinaryData::new_svg, BinaryData::new_svgSize, outline, "NewButton", &listener);
    button.setSize (24, 24);
    EXPECT_EQ (button.getName(), "NewButton");
    EXPECT_EQ (button.getStyle(), juce::DrawableButton::ImageFitted);

    struct Case
    {
        juce::Drawable* image;
        juce::uint32 expected;
    };

    for (const auto& c : { Case { button.getNormalImage(), 0xff00ced1 }, Case { button.getOverImage(), 0xff009395 },
                           Case { button.getDownImage(), 0xff00595a } })
    {
        ASSERT_NE (c.image, nullptr);
        juce::Array<juce::Colour> colours;
        collectColours (*c.image, colours);
        ASSERT_EQ (colours.size(), 1);
        EXPECT_EQ (hex (colours[0]), hex (juce::Colour (c.expected)));
    }

    // What the button paints: the centre of the asterisk, where all three bars cross.
    auto centreColour = [&] { return tw::test::snapshot (button).getPixelAt (12, 12); };

    EXPECT_EQ (hex (centreColour()), "FF00CED1");
    button.setState (juce::Button::buttonOver);
    EXPECT_EQ (hex (centreColour()), "FF009395");
    button.setState (juce::Button::buttonDown);
    EXPECT_EQ (hex (centreColour()), "FF00595A");
    button.setState (juce::Button::buttonNormal);
    button.setEnabled (false);
    const auto disabled = centreColour();
    EXPECT_EQ (disabled.getAlpha(), 0x99);
    EXPECT_NEAR (disabled.getGreen(), 0xce, 3);
    EXPECT_NEAR (disabled.getBlue(), 0xd1, 3);
    // The bars cross without compounding their translucency.
    EXPECT_EQ (countPixels (tw::test::snapshot (button), [] (juce::Colour c) { return c.getAlpha() > 0x99; }), 0);

    button.setEnabled (true);
    button.triggerClick();
    tw::test::deliverPendingMessages();
    EXPECT_EQ (listener.clicks, 1);
}

TEST_F (Widgets, IconButtonWithoutUsableDataHasNoImages)
{
    const char notSvg[] = "<html/>";
    qmrk_gui::IconButton button (notSvg, (int) sizeof (notSvg) - 1, outline, "Broken", nullptr);
    EXPECT_EQ (button.getNormalImage(), nullptr);
    button.setSize (20, 20);
    EXPECT_EQ (countPixels (tw::test::snapshot (button), isInk), 0);
}

TEST_F (Widgets, TriangleButtonShapes)
{
    constexpr float k = 0.8660254f;

    struct Case
    {
        int direction;
        juce::Rectangle<float> bounds;
        juce::Point<float> inside;
        juce::Point<float> outside;
    };

    for (const auto& c : { Case { 0, { 0.0f, 0.0f, 1.0f, k }, { 0.5f, 0.2f }, { 0.1f, 0.2f } },
                           Case { 1, { 0.0f, 1.0f - k, 1.0f, k }, { 0.5f, 0.9f }, { 0.1f, 0.9f } },
                           Case { 2, { 0.0f, 0.0f, k, 1.0f }, { 0.2f, 0.5f }, { 0.2f, 0.1f } },
                           Case { 3, { 1.0f - k, 0.0f, k, 1.0f }, { 0.9f, 0.5f }, { 0.9f, 0.1f } } })
    {
        SCOPED_TRACE (c.direction);
        const auto shape = qmrk_gui::TriangleButton::makeShape (c.direction);
        const auto b = shape.getBounds();
        EXPECT_NEAR (b.getX(), c.bounds.getX(), 1.0e-5f);
        EXPECT_NEAR (b.getY(), c.bounds.getY(), 1.0e-5f);
        EXPECT_NEAR (b.getWidth(), c.bounds.getWidth(), 1.0e-5f);
        EXPECT_NEAR (b.getHeight(), c.bounds.getHeight(), 1.0e-5f);
        EXPECT_TRUE (shape.contains (c.inside));
        EXPECT_FALSE (shape.contains (c.outside));
    }

    EXPECT_TRUE (qmrk_gui::TriangleButton::makeShape (5).isEmpty());
    EXPECT_TRUE (qmrk_gui::TriangleButton::makeShape (-1).isEmpty());
}

TEST_F (Widgets, TriangleButtonPaintsInTheOutlineShades)
{
    qmrk_gui::TriangleButton button (qmrk_gui::TriangleButton::right, lnf, "Next", nullptr);
    button.setSize (20, 20);
    EXPECT_EQ (button.getName(), "Next");

    const auto normal = tw::test::snapshot (button);
    EXPECT_GT (countPixels (normal, [] (juce::Colour c) { return c == outline; }), 50);
    EXPECT_EQ (normal.getPixelAt (19, 1).getAlpha(), 0);

    button.setState (juce::Button::buttonOver);
    EXPECT_EQ (hex (tw::test::snapshot (button).getPixelAt (10, 10)), "FF009395");
    button.setState (juce::Button::buttonDown);
    EXPECT_EQ (hex (tw::test::snapshot (button).getPixelAt (10, 10)), "FF00595A");

    qmrk_gui::TriangleButton none (5, lnf, "None", nullptr);
    none.setSize (20, 20);
    EXPECT_EQ (countPixels (tw::test::snapshot (none), isInk), 0);
}

TEST_F (Widgets, MouseoverTextButtonLightsUpWhenActive)
{
    qmrk_gui::MouseoverTextButton button (lnf, "Close", nullptr);
    button.setSize (120, 26);
    EXPECT_EQ (button.getName(), "MouseoverTextButton");
    EXPECT_EQ (button.getText(), "Close");
    EXPECT_FALSE (button.getClickingTogglesState());

    auto render = [&] (bool highlighted, bool down)
    { return paintToImage (120, 26, [&] (juce::Graphics& g) { button.paintButton (g, highlighted, down); }); };

    const auto idle = render (false, false);
    EXPECT_EQ (hex (idle.getPixelAt (60, 0)), hex (outline));
    EXPECT_EQ (hex (idle.getPixelAt (60, 1)), hex (outline));
    EXPECT_EQ (hex (idle.getPixelAt (5, 13)), hex (black));
    constexpr int framePixels = 2 * 120 * 2 + 2 * 22 * 2;
    EXPECT_GT (countPixels (idle, [] (juce::Colour c) { return c == outline; }), framePixels);

    for (const auto& active : { render (true, false), render (false, true) })
    {
        EXPECT_EQ (hex (active.getPixelAt (5, 13)), hex (accent));
        EXPECT_EQ (hex (active.getPixelAt (60, 0)), hex (black));
        EXPECT_GT (countPixels (active, [] (juce::Colour c) { return c == black; }), framePixels);
    }

    button.setToggleState (true, juce::dontSendNotification);
    EXPECT_EQ (hex (render (false, false).getPixelAt (5, 13)), hex (accent));

    // The text is the body font's.
    const auto expected = paintToImage (120, 26,
                                        [&] (juce::Graphics& g)
                                        {
                                            g.fillAll (black);
                                            g.setColour (outline);
                                            g.setFont (lnf.bodyFont);
                                            g.drawFittedText ("Close", 0, 0, 120, 26, juce::Justification::centred, 1);
                                            g.drawRect (juce::Rectangle<float> (0.0f, 0.0f, 120.0f, 26.0f), 2.0f);
                                        });
    EXPECT_TRUE (tw::test::sameImage (idle, expected));
}

//==============================================================================
TEST_F (Widgets, HyperlinkLabelTakesFontColourAndJustification)
{
    const juce::URL url ("https://quillmark.example/support/");
    qmrk_gui::HyperlinkLabel link ("Help", url, lnf.titleFont, accent, juce::Justification::bottom);

    EXPECT_EQ (link.getButtonText(), "Help");
    EXPECT_EQ (link.getURL(), url);
    EXPECT_EQ (link.findColour (juce::HyperlinkButton::textColourId), accent);
    EXPECT_EQ (link.getJustificationType(), juce::Justification::bottom);

    // The font keeps its size whatever the height: the fitted width is the text's width in it plus 6.
    link.setSize (10, 100);
    link.changeWidthToFitText();
    EXPECT_EQ (link.getWidth(), lnf.titleFont.getStringWidth ("Help") + 6);
}

TEST_F (Widgets, HyperlinkRowSeparatesAndRightAligns)
{
    qmrk_gui::HyperlinkLabelRow row (
        lnf, { "Help", "Share Music" },
        { juce::URL ("https://quillmark.example/support/"), juce::URL ("https://quillmark.example/share-music/") },
        juce::Justification::bottomLeft);
    row.setBounds (0, 0, 468, 24);

    ASSERT_EQ (row.getNumLinks(), 2);
    auto* help = row.getLink (0);
    auto* share = row.getLink (1);
    EXPECT_EQ (help->getButtonText(), "Help");
    EXPECT_EQ (share->getButtonText(), " // Share Music");
    EXPECT_EQ (share->getRight(), 468);
    EXPECT_EQ (help->getRight(), share->getX());
    EXPECT_EQ (share->getWidth(), lnf.bodyFont.getStringWidth (" // Share Music") + 6);
    EXPECT_EQ (help->getHeight(), 24);
    EXPECT_EQ (help->findColour (juce::HyperlinkButton::textColourId), almond);
    EXPECT_TRUE (help->isVisible());
    EXPECT_EQ (help->getParentComponent(), &row);

    // Laying out again does not add a second separator.
    row.resized();
    EXPECT_EQ (share->getButtonText(), " // Share Music");

    row.setHelpText (1, "Go to share music web page.");
    EXPECT_EQ (share->getHelpText(), "Go to share music web page.");
    row.setHelpText (7, "ignored");

    row.removeLink (0);
    row.resized();
    ASSERT_EQ (row.getNumLinks(), 1);
    EXPECT_EQ (row.getLink (0)->getButtonText(), "Share Music");
    EXPECT_EQ (row.getLink (0)->getRight(), 468);
}

TEST_F (Widgets, HyperlinkRowIgnoresSurplusTextsOrUrls)
{
    const qmrk_gui::HyperlinkLabelRow moreTexts (lnf, { "a", "b", "c" },
                                                 { juce::URL ("https://a.example/"), juce::URL ("https://b.example/") },
                                                 juce::Justification::left);
    EXPECT_EQ (moreTexts.getNumLinks(), 2);

    const qmrk_gui::HyperlinkLabelRow moreUrls (lnf, { "a" },
                                                { juce::URL ("https://a.example/"), juce::URL ("https://b.example/") },
                                                juce::Justification::left);
    EXPECT_EQ (moreUrls.getNumLinks(), 1);
}
