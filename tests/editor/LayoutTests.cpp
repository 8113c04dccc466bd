#include "EditorTestSupport.h"

using namespace tw::test;

namespace
{
using Layout = EditorFixture;
using R = juce::Rectangle<int>;

const juce::Colour outline (0xff00ced1);
const juce::Colour black (0xff000000);

/** Mostly covered by the outline colour (antialiased edges lose a little). */
bool isOutline (juce::Colour c)
{
    return c.getAlpha() > 0xc0 && std::abs (c.getGreen() - outline.getGreen()) < 8 &&
           std::abs (c.getBlue() - outline.getBlue()) < 8 && c.getRed() < 8;
}

juce::Image paint (juce::Component& component)
{
    juce::Image image (juce::Image::ARGB, component.getWidth(), component.getHeight(), true);
    juce::Graphics g (image);
    component.paintEntireComponent (g, false);
    return image;
}

} // namespace

TEST_F (Layout, TheWindowIsFixedAt488By340WithItsRowsInPlace)
{
    EXPECT_EQ (ed().getWidth(), 488);
    EXPECT_EQ (ed().getHeight(), 340);
    EXPECT_EQ (ed().getCompanyLink().getBounds().withWidth (0), R (10, 4, 0, 21));
    EXPECT_EQ (ed().getProductLink().getBounds().withWidth (0), R (10, 25, 0, 21));
    EXPECT_GT (ed().getCompanyLink().getWidth(), 20);
    EXPECT_EQ (bar().getBounds(), R (10, 52, 478, 20));
    EXPECT_EQ (ed().getMainGrid().getBounds(), R (10, 72, 468, 110));
    EXPECT_EQ (ed().getInfoComponent().getBounds(), R (14, 76, 460, 102));
    EXPECT_EQ (tabs().getBounds(), R (10, 182, 468, 110));
    EXPECT_EQ (ed().getHintLine().getBounds(), R (10, 292, 468, 24));
    EXPECT_EQ (ed().getFooter().getBounds(), R (10, 316, 468, 24));

    for (auto* child : { (juce::Component*) &ed().getCompanyLink(), (juce::Component*) &ed().getProductLink(),
                         (juce::Component*) &bar(), (juce::Component*) &ed().getMainGrid(), (juce::Component*) &tabs(),
                         (juce::Component*) &ed().getHintLine(), (juce::Component*) &ed().getFooter() })
    {
        EXPECT_EQ (child->getParentComponent(), &ed());
        EXPECT_TRUE (child->isVisible());
    }

    EXPECT_EQ (ed().getInfoComponent().getParentComponent(), &ed());
    EXPECT_FALSE (ed().getInfoComponent().isVisible());
    EXPECT_TRUE (ed().getWantsKeyboardFocus());
}

TEST_F (Layout, HeaderAndFooterLinksPointAtTheMakersPages)
{
    const juce::String query = "?utm_source=tanglewave&utm_medium=app&utm_campaign=app_general&utm_id=0001";
    EXPECT_EQ (ed().getCompanyLink().getButtonText(), "Quillmark");
    EXPECT_EQ (ed().getProductLink().getButtonText(), "Tanglewave v1.0");
    EXPECT_EQ (ed().getCompanyLink().getURL().toString (true), "https://quillmark.example/" + query);
    EXPECT_EQ (ed().getProductLink().getURL().toString (true), "https://quillmark.example/tanglewave/" + query);

    auto& footer = ed().getFooter();
    EXPECT_EQ (footer.getLink (0)->getButtonText(), "Help");
    EXPECT_EQ (footer.getLink (1)->getButtonText(), " // Share Music");
    EXPECT_EQ (footer.getLink (0)->getURL().toString (true), "https://quillmark.example/support/" + query);
    EXPECT_EQ (footer.getLink (1)->getURL().toString (true), "https://quillmark.example/share-music/" + query);

    const auto& lnf = ed().getEditorLookAndFeel();
    EXPECT_EQ (ed().getCompanyLink().findColour (juce::HyperlinkButton::textColourId), lnf.accentColour);
    EXPECT_EQ (ed().getProductLink().findColour (juce::HyperlinkButton::textColourId), lnf.outlineColour);
}

TEST_F (Layout, ControlBarAt478By20)
{
    EXPECT_EQ (bar().getNaturalWidth(), 464);
    EXPECT_EQ (bar().undoButton.getBounds(), R (0, 0, 20, 20));
    EXPECT_EQ (bar().redoButton.getBounds(), R (20, 0, 20, 20));
    EXPECT_EQ (bar().presetComponent.getBounds(), R (48, 0, 294, 20));
    EXPECT_EQ (bar().presetScroller.getBounds(), R (350, 0, 30, 20));
    EXPECT_EQ (bar().reloadButton.getBounds(), R (388, 0, 20, 20));
    EXPECT_EQ (bar().newButton.getBounds(), R (416, 0, 20, 20));
    EXPECT_EQ (bar().clearButton.getBounds(), R (444, 0, 20, 20));
}

TEST_F (Layout, ControlBarAt100By20GivesTheRightItemsWhatRemains)
{
    bar().setSize (100, 20);
    EXPECT_EQ (bar().undoButton.getBounds(), R (0, 0, 20, 20));
    EXPECT_EQ (bar().redoButton.getBounds(), R (20, 0, 20, 20));
    EXPECT_EQ (bar().presetComponent.getBounds(), R (48, 0, 52, 20));

    for (auto* c : { (juce::Component*) &bar().presetScroller, (juce::Component*) &bar().reloadButton,
                     (juce::Component*) &bar().newButton, (juce::Component*) &bar().clearButton })
    {
        EXPECT_EQ (c->getWidth(), 0) << c->getName();
        EXPECT_EQ (c->getHeight(), 20) << c->getName();
    }
}

TEST_F (Layout, ControlBarButtonsAndChildOrder)
{
    const std::pair<juce::Component*, const char*> names[] = { { &bar().newButton, "NewButton" },
                                                               { &bar().undoButton, "UndoButton" },
                                                               { &bar().redoButton, "RedoButton" },
                                                               { &bar().reloadButton, "ReloadButton" },
                                                               { &bar().clearButton, "ClearButton" } };
    for (const auto& [button, name] : names)
        EXPECT_EQ (button->getName(), name);

    const juce::Component* order[] = { &bar().presetComponent, &bar().newButton,    &bar().undoButton,
                                       &bar().redoButton,      &bar().reloadButton, &bar().clearButton,
                                       &bar().presetScroller };
    ASSERT_EQ (bar().getNumChildComponents(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ (bar().getChildComponent (i), order[i]) << i;
}

TEST_F (Layout, StageTabsStartOnTheFirstChorusTab)
{
    auto& bar = tabs().getTabbedButtonBar();
    EXPECT_EQ (tabs().getTabNames(), juce::StringArray ({ "C|a", "C|b", "Dr", "P", "Tx" }));
    EXPECT_EQ (tabs().getCurrentTabIndex(), 0);
    EXPECT_EQ (tabs().getCurrentContentComponent(), &tabs().chorusAGrid);
    EXPECT_EQ (tabs().getTabBarDepth(), 22);
    EXPECT_EQ (bar.getOrientation(), juce::TabbedButtonBar::TabsAtTop);
    EXPECT_EQ (&tabs().getLookAndFeel(), &ed().getEditorLookAndFeel());
    EXPECT_EQ (tabs().chorusAGrid.getBounds(), R (1, 22, 466, 87));

    EXPECT_EQ (tabs().getTabContentComponent (2), &tabs().driverGrid);
    EXPECT_EQ (tabs().getTabContentComponent (3), &tabs().phaserGrid);
    EXPECT_EQ (tabs().getTabContentComponent (4), &tabs().textureGrid);
    EXPECT_EQ (tabs().driverGrid.getNumSuites(), 2);
    EXPECT_NE (dynamic_cast<qmrk_gui::ToggleButtonSuite*> (tabs().textureGrid.getSuite (0)), nullptr);
    EXPECT_NE (dynamic_cast<qmrk_gui::SliderSuite*> (tabs().textureGrid.getSuite (1)), nullptr);
    EXPECT_NE (dynamic_cast<qmrk_gui::ToggleButtonSuite*> (tabs().textureGrid.getSuite (2)), nullptr);

    // Switching tabs shows another grid; the grids stay owned by the panel.
    tabs().setCurrentTabIndex (3);
    EXPECT_EQ (tabs().getCurrentContentComponent(), &tabs().phaserGrid);
    EXPECT_TRUE (tabs().phaserGrid.isVisible());
    EXPECT_FALSE (tabs().chorusAGrid.isVisible());
}

TEST_F (Layout, StageTabsFrameHasThreeRoundedCornersAndASharpTopLeft)
{
    juce::Image image (juce::Image::ARGB, 468, 110, true);
    {
        juce::Graphics g (image);
        tabs().paint (g);
    }

    EXPECT_TRUE (isOutline (image.getPixelAt (234, 22))) << "top edge";
    EXPECT_TRUE (isOutline (image.getPixelAt (234, 109))) << "bottom edge";
    EXPECT_TRUE (isOutline (image.getPixelAt (0, 60))) << "left edge";
    EXPECT_TRUE (isOutline (image.getPixelAt (467, 60))) << "right edge";
    EXPECT_TRUE (isOutline (image.getPixelAt (0, 22))) << "square top-left corner";
    EXPECT_EQ (image.getPixelAt (234, 60).getAlpha(), 0) << "no background fill";

    for (const auto& corner : { juce::Point<int> (467, 22), juce::Point<int> (467, 109), juce::Point<int> (0, 109) })
        EXPECT_EQ (image.getPixelAt (corner.x, corner.y).getAlpha(), 0) << corner.toString();

    EXPECT_EQ (image.getPixelAt (234, 10).getAlpha(), 0) << "nothing above the frame";
}

TEST_F (Layout, HintLineTogglesAtTheLeft)
{
    auto& suite = ed().getHintLine().getToggleSuite();
    EXPECT_EQ (suite.button.getBounds(), R (0, 0, 24, 24));
    EXPECT_EQ (suite.label.getBounds(), R (24, 0, 444, 24));
}

TEST_F (Layout, ShowInfoRevealsThePanelOverTheMainGrid)
{
    bar().presetComponent.setSelectedId (qmrk_gui::PresetManager::showInfoCommandId, juce::sendNotificationSync);
    EXPECT_TRUE (ed().getInfoComponent().isVisible());
    EXPECT_EQ (ed().getIndexOfChildComponent (&ed().getInfoComponent()), ed().getNumChildComponents() - 1)
        << "drawn above every other child";
}

TEST_F (Layout, TheEditorPaintsBlackWithItsWidgetsOnTop)
{
    const auto image = paint (ed());
    EXPECT_EQ (image.getPixelAt (2, 2), black);
    EXPECT_EQ (image.getPixelAt (486, 200), black);
    auto outlined = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            outlined += image.getPixelAt (x, y) == outline ? 1 : 0;
    EXPECT_GT (outlined, 500);
}
