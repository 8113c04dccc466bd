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
const juce::Colour clear { 0x00000000 };

juce::Image renderText (const juce::String& text, const juce::Font& font)
{
    return paintToImage (120, 40,
                         [&] (juce::Graphics& g)
                         {
                             g.setColour (juce::Colours::white);
                             g.setFont (font);
                             g.drawSingleLineText (text, 4, 30);
                         });
}

bool isInk (juce::Colour c)
{
    return c.getAlpha() > 0;
}

} // namespace

//==============================================================================
TEST (EditorFonts, AreTheEmbeddedFacesAtTheirHeights)
{
    const auto& fonts = tw::test::embeddedFonts();

    EXPECT_EQ (fonts.body.getTypefaceName(), "Source Code Pro");
    EXPECT_EQ (fonts.title.getTypefaceName(), "Courier Prime");
    EXPECT_EQ (fonts.subtitle.getTypefaceName(), "Courier Prime");
    EXPECT_EQ (fonts.body.getTypefaceStyle(), "Bold");
    EXPECT_EQ (fonts.title.getTypefaceStyle(), "Bold");

    EXPECT_FLOAT_EQ (fonts.body.getHeight(), 18.0f);
    EXPECT_FLOAT_EQ (fonts.title.getHeight(), 32.0f);
    EXPECT_FLOAT_EQ (fonts.subtitle.getHeight(), 24.0f);

    // The subtitle is the title's typeface at another size, not a second parse.
    EXPECT_EQ (fonts.subtitle.getTypefacePtr().get(), fonts.title.getTypefacePtr().get());
}

TEST (EditorFonts, AreParsedOnceAndShared)
{
    const auto& first = tw::test::embeddedFonts();
    const auto& second = tw::test::embeddedFonts();
    EXPECT_EQ (&first, &second);

    const qmrk_gui::LookAndFeel a (first);
    const qmrk_gui::LookAndFeel b (second);
    EXPECT_EQ (a.bodyFont.getTypefacePtr().get(), b.bodyFont.getTypefacePtr().get());
    EXPECT_EQ (a.titleFont.getTypefacePtr().get(), first.title.getTypefacePtr().get());
}

TEST (EditorFonts, DrawGlyphsOfTheirOwn)
{
    const auto& fonts = tw::test::embeddedFonts();
    const auto body = renderText ("Rag", fonts.body);
    const auto title = renderText ("Rag", fonts.title.withHeight (18.0f));
    const auto fallback = renderText ("Rag", juce::Font (18.0f));

    EXPECT_GT (countPixels (body, isInk), 50);
    EXPECT_GT (countPixels (title, isInk), 50);
    EXPECT_FALSE (tw::test::sameImage (body, title));
    EXPECT_FALSE (tw::test::sameImage (body, fallback));

    // Source Code Pro is monospaced, Courier Prime too, the default sans face is not.
    EXPECT_FLOAT_EQ (fonts.body.getStringWidthFloat ("iiii"), fonts.body.getStringWidthFloat ("MMMM"));
}

TEST (EditorFonts, FallBackToTheDefaultFaceForUnusableData)
{
    const char garbage[] = "not a font at all, just some text";
    const qmrk_gui::FontData unusable[] = {
        { garbage, (int) sizeof (garbage) },
        { nullptr, 0 },
        { BinaryData::SourceCodeProBold_ttf, 0 },
        { BinaryData::SourceCodeProBold_ttf, 200 }, // truncated: its table directory points past the end
    };

    for (const auto& data : unusable)
    {
        const qmrk_gui::EditorFonts fonts (data, data);
        EXPECT_FLOAT_EQ (fonts.body.getHeight(), 18.0f);
        EXPECT_FLOAT_EQ (fonts.title.getHeight(), 32.0f);
        EXPECT_FLOAT_EQ (fonts.subtitle.getHeight(), 24.0f);
        EXPECT_NE (fonts.body.getTypefaceName(), "Source Code Pro");
    }
}

//==============================================================================
TEST (DerivedColours, MatchTheTruncatedChannelArithmetic)
{
    EXPECT_EQ (hex (qmrk_gui::hoverShade (outline)), hex (juce::Colour (0xff009395)));
    EXPECT_EQ (hex (qmrk_gui::pressedShade (outline)), hex (juce::Colour (0xff00595a)));
    EXPECT_EQ (hex (qmrk_gui::dimmed (outline)), hex (juce::Colour (0x9900ced1)));
    EXPECT_EQ (hex (qmrk_gui::dimmed (accent)), hex (juce::Colour (0x99ff8c00)));
}

TEST (TrianglePaths, HaveTheirApexAndBaseWhereAsked)
{
    const auto down = qmrk_gui::downTriangle (280.54544f, 14.723755f, 10.909091f);
    const auto bounds = down.getBounds();
    EXPECT_NEAR (bounds.getX(), 275.09f, 0.01f);
    EXPECT_NEAR (bounds.getRight(), 286.0f, 0.01f);
    EXPECT_NEAR (bounds.getY(), 5.276f, 0.01f);
    EXPECT_NEAR (bounds.getBottom(), 14.72f, 0.01f);
    EXPECT_TRUE (down.contains (280.5f, 13.5f));
    EXPECT_FALSE (down.contains (276.0f, 13.5f));

    const auto right = qmrk_gui::rightTriangle (1.0f, 0.5f, 1.0f);
    const auto rb = right.getBounds();
    EXPECT_NEAR (rb.getX(), 1.0f - 0.8660254f, 1.0e-6f);
    EXPECT_NEAR (rb.getRight(), 1.0f, 1.0e-6f);
    EXPECT_NEAR (rb.getY(), 0.0f, 1.0e-6f);
    EXPECT_NEAR (rb.getBottom(), 1.0f, 1.0e-6f);
    EXPECT_TRUE (right.contains (0.9f, 0.5f));
    EXPECT_FALSE (right.contains (0.9f, 0.1f));
}

//==============================================================================
using LookAndFeelDrawing = tw::test::LookAndFeelFixture;

TEST_F (LookAndFeelDrawing, HoldsThePalette)
{
    EXPECT_EQ (lnf.accentColour, accent);
    EXPECT_EQ (lnf.outlineColour, outline);
    EXPECT_EQ (lnf.backgroundColour, black);
    EXPECT_EQ (lnf.textColour, almond);
    EXPECT_EQ (lnf.getComboBoxFont (*std::make_unique<juce::ComboBox>()).getTypefaceName(), "Source Code Pro");
}

TEST_F (LookAndFeelDrawing, KnobSitsInTheTopLeftSquareWithItsPointer)
{
    juce::Slider slider;
    constexpr auto pi = juce::MathConstants<float>::pi;

    struct Case
    {
        float position;
        juce::Point<int> pointerPixel;
        juce::Point<int> clearPixel;
    };

    // Start angle 0 points up; half-way through a half turn points right.
    for (const auto& c : { Case { 0.0f, { 15, 3 }, { 26, 15 } }, Case { 0.5f, { 26, 15 }, { 15, 3 } },
                           Case { 0.5f, { 26, 14 }, { 15, 2 } } })
    {
        const auto image = paintToImage (
            50, 30, [&] (juce::Graphics& g) { lnf.drawRotarySlider (g, 0, 0, 50, 30, c.position, 0.0f, pi, slider); });

        SCOPED_TRACE (c.position);
        EXPECT_EQ (hex (image.getPixelAt (c.pointerPixel.x, c.pointerPixel.y)), hex (black));
        EXPECT_EQ (image.getPixelAt (c.clearPixel.x, c.clearPixel.y).getAlpha(), 0);
        // Inside the disc, clear of the rim (radius 7.5 to 10.5 about (15, 15)) and the pointer.
        EXPECT_EQ (hex (image.getPixelAt (12, 17)), hex (accent));
        // On the rim, below the centre.
        EXPECT_EQ (hex (image.getPixelAt (15, 23)), hex (outline));
        // Nothing right of the 30 x 30 square, where a knob centred in the bounds would reach.
        EXPECT_EQ (countPixels (image.getClippedImage ({ 31, 0, 19, 30 }), isInk), 0);
    }
}

TEST_F (LookAndFeelDrawing, KnobPointerTipReachesTheSquareEdge)
{
    juce::Slider slider;
    const auto image = paintToImage (
        50, 30, [&] (juce::Graphics& g) { lnf.drawRotarySlider (g, 0, 0, 50, 30, 0.0f, 0.0f, 1.0f, slider); });

    // The tip is at (15, 0): the top row has ink just there and nowhere else.
    EXPECT_GT (image.getPixelAt (14, 0).getAlpha() + image.getPixelAt (15, 0).getAlpha(), 0);
    EXPECT_EQ (countPixels (image.getClippedImage ({ 0, 0, 12, 1 }), isInk), 0);
    EXPECT_EQ (countPixels (image.getClippedImage ({ 18, 0, 32, 1 }), isInk), 0);
}

TEST_F (LookAndFeelDrawing, DisabledKnobIsDimmedButItsPointerIsNot)
{
    juce::Component parent;
    juce::Slider slider;
    parent.addChildComponent (slider);
    parent.setEnabled (false); // disabled through its parent only

    const auto image = paintToImage (
        50, 30, [&] (juce::Graphics& g) { lnf.drawRotarySlider (g, 0, 0, 50, 30, 0.0f, 0.0f, 1.0f, slider); });

    const auto disc = image.getPixelAt (12, 17);
    EXPECT_EQ (disc.getAlpha(), 153);
    // Colours read back from a translucent pixel carry the premultiplication's rounding.
    EXPECT_NEAR (disc.getRed(), 0xff, 3);
    EXPECT_NEAR (disc.getGreen(), 0x8c, 3);
    EXPECT_NEAR (disc.getBlue(), 0x00, 3);
    // On the rim, outside the disc.
    EXPECT_NEAR (image.getPixelAt (15, 24).getAlpha(), 153, 2);
    EXPECT_NEAR (image.getPixelAt (15, 24).getBlue(), 0xd1, 3);
    EXPECT_EQ (hex (image.getPixelAt (15, 3)), hex (black));
}

TEST_F (LookAndFeelDrawing, TinyKnobHasNoDiscButStillAPointer)
{
    juce::Slider slider;
    const auto image = paintToImage (
        10, 10, [&] (juce::Graphics& g) { lnf.drawRotarySlider (g, 0, 0, 10, 10, 0.0f, 0.0f, 1.0f, slider); });

    EXPECT_GT (countPixels (image, isInk), 0);
    EXPECT_EQ (countPixels (image, [] (juce::Colour c) { return c.getRed() > 128; }), 0);
}

TEST_F (LookAndFeelDrawing, ComboBoxHasAFrameAndAnArrowAtTheRight)
{
    juce::ComboBox box;
    box.setSize (294, 20);
    const auto image =
        paintToImage (294, 20, [&] (juce::Graphics& g) { lnf.drawComboBox (g, 294, 20, false, 0, 0, 294, 20, box); });

    struct Probe
    {
        int x, y;
        juce::Colour expected;
    };

    for (const auto& p :
         { Probe { 100, 0, outline }, Probe { 100, 1, outline }, Probe { 100, 2, black }, Probe { 0, 10, outline },
           Probe { 293, 10, outline }, Probe { 150, 10, black },
           // arrow: apex (280.55, 14.72), base from 275.09 to 286.0 at 5.28
           Probe { 280, 13, outline }, Probe { 280, 8, outline }, Probe { 277, 6, outline }, Probe { 283, 6, outline },
           Probe { 280, 15, black }, Probe { 276, 12, black }, Probe { 287, 8, black }, Probe { 280, 4, black } })
    {
        SCOPED_TRACE (juce::String (p.x) + ", " + juce::String (p.y));
        EXPECT_EQ (hex (image.getPixelAt (p.x, p.y)), hex (p.expected));
    }
}

TEST_F (LookAndFeelDrawing, PopupMenuItems)
{
    const juce::Rectangle<int> area (0, 0, 200, 24);
    auto draw = [&] (bool separator, bool active, bool highlighted, bool subMenu)
    {
        return paintToImage (200, 24,
                             [&] (juce::Graphics& g) {
                                 lnf.drawPopupMenuItem (g, area, separator, active, highlighted, false, subMenu, "Item",
                                                        {}, nullptr, nullptr);
                             });
    };

    const auto separator = draw (true, true, false, false);
    EXPECT_EQ (countPixels (separator, [] (juce::Colour c) { return c == almond; }), 200 * 24);

    const auto highlighted = draw (false, true, true, false);
    EXPECT_EQ (hex (highlighted.getPixelAt (199, 12)), hex (accent));
    EXPECT_GT (countPixels (highlighted, [] (juce::Colour c) { return c == black; }), 20);

    // Highlighted but inactive looks like an ordinary item: no fill, text in the text colour.
    const auto inactive = draw (false, false, true, false);
    const auto ordinary = draw (false, true, false, false);
    EXPECT_TRUE (tw::test::sameImage (inactive, ordinary));
    EXPECT_EQ (inactive.getPixelAt (199, 12).getAlpha(), 0);
    EXPECT_GT (countPixels (ordinary, [] (juce::Colour c) { return c == almond; }), 20);

    // The item text is drawn in the body font, 4 pixels in.
    const auto expectedText =
        paintToImage (200, 24,
                      [&] (juce::Graphics& g)
                      {
                          g.setColour (almond);
                          g.setFont (lnf.bodyFont);
                          g.drawFittedText ("Item", 4, 4, 192, 16, juce::Justification::centredLeft, 1, 1.0f);
                      });
    EXPECT_TRUE (tw::test::sameImage (ordinary, expectedText));

    // A sub-menu arrow: right triangle whose apex is 8 pixels from the right edge.
    const auto withSubMenu = draw (false, true, false, true);
    EXPECT_EQ (hex (withSubMenu.getPixelAt (188, 11)), hex (almond));
    EXPECT_EQ (withSubMenu.getPixelAt (193, 11).getAlpha(), 0);
    EXPECT_EQ (ordinary.getPixelAt (188, 11).getAlpha(), 0);
}

TEST_F (LookAndFeelDrawing, PopupMenuBackgroundAndTextEditorFrame)
{
    const auto menu = paintToImage (60, 40, [&] (juce::Graphics& g) { lnf.drawPopupMenuBackground (g, 60, 40); });
    EXPECT_EQ (hex (menu.getPixelAt (30, 1)), hex (almond));
    EXPECT_EQ (hex (menu.getPixelAt (30, 2)), hex (black));
    EXPECT_EQ (hex (menu.getPixelAt (58, 20)), hex (almond));

    juce::TextEditor editor;
    editor.setSize (60, 20);
    const auto frame = paintToImage (60, 20,
                                     [&] (juce::Graphics& g)
                                     {
                                         lnf.fillTextEditorBackground (g, 60, 20, editor);
                                         lnf.drawTextEditorOutline (g, 60, 20, editor);
                                     });
    EXPECT_EQ (hex (frame.getPixelAt (30, 0)), hex (outline));
    EXPECT_EQ (hex (frame.getPixelAt (30, 1)), hex (black));
    EXPECT_EQ (hex (frame.getPixelAt (59, 10)), hex (outline));
}

TEST_F (LookAndFeelDrawing, PopupSectionHeaderIsCentredInTheBodyFont)
{
    const juce::Rectangle<int> area (0, 0, 200, 24);
    const auto image =
        paintToImage (200, 24, [&] (juce::Graphics& g) { lnf.drawPopupMenuSectionHeader (g, area, "Factory"); });
    const auto expected = paintToImage (200, 24,
                                        [&] (juce::Graphics& g)
                                        {
                                            g.setColour (almond);
                                            g.setFont (lnf.bodyFont);
                                            g.drawFittedText ("Factory", area, juce::Justification::centred, 1);
                                        });
    EXPECT_TRUE (tw::test::sameImage (image, expected));
    EXPECT_GT (countPixels (image, isInk), 20);
}

//==============================================================================
struct TabBarFixture : public tw::test::LookAndFeelFixture
{
    juce::TabbedButtonBar bar { juce::TabbedButtonBar::TabsAtTop };

    void addTabs (const juce::StringArray& names)
    {
        bar.setLookAndFeel (&lnf);

        for (const auto& name : names)
            bar.addTab (name, black, -1);

        bar.setBounds (0, 0, 468, 22);
    }

    void TearDown() override { bar.setLookAndFeel (nullptr); }
};

TEST_F (TabBarFixture, TabWidthsFollowTheBodyFontWithAMinimum)
{
    addTabs ({ "C|a", "Dr", "Phaser stage" });

    EXPECT_EQ (lnf.getTabButtonBestWidth (*bar.getTabButton (0), 22), 40);
    EXPECT_EQ (lnf.getTabButtonBestWidth (*bar.getTabButton (1), 22), 40);
    bar.getTabButton (1)->setButtonText ({}); // a tab bar refuses empty names, a button does not
    EXPECT_EQ (lnf.getTabButtonBestWidth (*bar.getTabButton (1), 22), 40);

    // 12 monospaced characters of the body font; twelve pixels of padding after rounding up.
    const auto advance = lnf.bodyFont.getStringWidthFloat ("M");
    EXPECT_GT (advance, 8.0f);
    EXPECT_EQ (lnf.getTabButtonBestWidth (*bar.getTabButton (2), 22), (int) std::ceil (12.0f * advance) + 12);

    EXPECT_EQ (lnf.getTabButtonOverlap (22), 0);
    EXPECT_EQ (bar.getTabButton (1)->getX(), bar.getTabButton (0)->getRight());
}

TEST_F (TabBarFixture, OnlyTheOuterTabsHaveRoundedCorners)
{
    addTabs ({ "C|a", "C|b", "Dr", "P", "Tx" });

    for (int i = 0; i < 5; ++i)
    {
        auto& button = *bar.getTabButton (i);
        juce::Path shape;
        lnf.createTabButtonShape (button, shape, false, false);

        const auto area = button.getActiveArea().toFloat();
        const auto topLeft = area.getTopLeft() + juce::Point<float> (0.6f, 0.6f);
        const auto topRight = area.getTopRight() + juce::Point<float> (-0.6f, 0.6f);
        const auto bottomLeft = area.getBottomLeft() + juce::Point<float> (0.6f, -0.6f);
        const auto bottomRight = area.getBottomRight() + juce::Point<float> (-0.6f, -0.6f);

        SCOPED_TRACE (i);
        EXPECT_EQ (shape.contains (topLeft), i != 0);
        EXPECT_EQ (shape.contains (topRight), i != 4);
        EXPECT_TRUE (shape.contains (bottomLeft));
        EXPECT_TRUE (shape.contains (bottomRight));
        EXPECT_TRUE (shape.getBounds().expanded (0.01f).contains (area));
        EXPECT_TRUE (area.expanded (0.01f).contains (shape.getBounds()));
    }
}

TEST_F (TabBarFixture, ASingleTabGetsTheFirstTabShape)
{
    addTabs ({ "Only" });
    auto& button = *bar.getTabButton (0);
    juce::Path shape;
    lnf.createTabButtonShape (button, shape, false, false);
    const auto area = button.getActiveArea().toFloat();

    EXPECT_FALSE (shape.contains (area.getTopLeft() + juce::Point<float> (0.6f, 0.6f)));
    EXPECT_TRUE (shape.contains (area.getTopRight() + juce::Point<float> (-0.6f, 0.6f)));
}

TEST_F (TabBarFixture, FrontTabIsFilledOthersAreFramed)
{
    addTabs ({ "C|a", "C|b", "Dr" });
    bar.setCurrentTabIndex (1);

    auto render = [this] (int index, bool over)
    {
        auto& button = *bar.getTabButton (index);
        return paintToImage (button.getWidth(), button.getHeight(),
                             [&] (juce::Graphics& g) { lnf.drawTabButton (button, g, over, false); });
    };

    const auto front = render (1, false);
    const auto frontArea = bar.getTabButton (1)->getActiveArea();
    EXPECT_EQ (hex (front.getPixelAt (frontArea.getX() + 2, frontArea.getBottom() - 2)), hex (accent));
    EXPECT_GT (countPixels (front, [] (juce::Colour c) { return c == black; }), 10); // its text

    const auto back = render (2, false);
    const auto backArea = bar.getTabButton (2)->getActiveArea();
    EXPECT_EQ (hex (back.getPixelAt (backArea.getCentreX(), backArea.getY())), hex (outline));
    EXPECT_EQ (hex (back.getPixelAt (backArea.getX(), backArea.getCentreY())), hex (outline));
    EXPECT_EQ (back.getPixelAt (backArea.getX() + 4, backArea.getCentreY()).getAlpha(), 0);
    EXPECT_GT (countPixels (back, [] (juce::Colour c) { return c == almond; }), 10);

    const auto hovered = render (2, true);
    EXPECT_EQ (hex (hovered.getPixelAt (backArea.getCentreX(), backArea.getY())), hex (accent));
}

TEST_F (TabBarFixture, TabHooksDrawNothingAndTheExtrasButtonIsABlackPlaceholder)
{
    addTabs ({ "C|a", "C|b" });
    auto& button = *bar.getTabButton (0);
    juce::Path shape;
    lnf.createTabButtonShape (button, shape, false, false);

    const auto hooks = paintToImage (100, 30,
                                     [&] (juce::Graphics& g)
                                     {
                                         lnf.drawTabButtonText (button, g, true, true);
                                         lnf.fillTabButtonShape (button, g, shape, true, true);
                                         lnf.drawTabAreaBehindFrontButton (bar, g, 100, 30);
                                     });
    EXPECT_EQ (countPixels (hooks, isInk), 0);

    juce::Rectangle<int> textArea (0, 0, 10, 10);
    juce::Component extra;
    EXPECT_TRUE (lnf.getTabButtonExtraComponentBounds (button, textArea, extra).isEmpty());
    EXPECT_EQ (lnf.getTabButtonFont (button, 22.0f).getTypefaceName(), juce::Font().getTypefaceName());

    std::unique_ptr<juce::Button> extras (lnf.createTabBarExtrasButton());
    ASSERT_NE (dynamic_cast<qmrk_gui::LookAndFeel::ExtrasButtonPlaceholder*> (extras.get()), nullptr);
    EXPECT_EQ (extras->getName(), "Placeholder");
    extras->setSize (12, 16);
    const auto placeholder = tw::test::snapshot (*extras);
    EXPECT_EQ (countPixels (placeholder, [] (juce::Colour c) { return c == black; }), 12 * 16);
}
