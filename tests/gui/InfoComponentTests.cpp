#include "GuiTestSupport.h"

namespace
{
struct InfoPanel : public tw::test::LookAndFeelFixture
{
    qmrk_gui::InfoComponent info { lnf, "1.0.1" };

    void SetUp() override
    {
        info.setBounds (14, 76, 460, 102);
        info.setVisible (true);
    }

    bool press (int keyCode, juce::ModifierKeys modifiers = {})
    {
        return info.keyPressed (juce::KeyPress (keyCode, modifiers, 0), &info);
    }
};

} // namespace

TEST_F (InfoPanel, ShowsTheVersionAndLaysOutItsParts)
{
    EXPECT_EQ (info.getVersionLabel().getText(), "Version: 1.0.1");
    EXPECT_EQ (info.getVersionLabel().getBounds(), juce::Rectangle<int> (6, 32, 448, 20));
    EXPECT_EQ (info.getCloseButton().getBounds(), juce::Rectangle<int> (12, 64, 120, 26));
    EXPECT_EQ (info.getCloseButton().getText(), "Close");
    EXPECT_TRUE (info.getWantsKeyboardFocus());
    EXPECT_TRUE (info.getVersionLabel().isVisible());
    EXPECT_TRUE (info.getCloseButton().isVisible());
}

TEST_F (InfoPanel, PaintsABlackPanelWithAThickFrame)
{
    const auto image = tw::test::snapshot (info);
    const juce::Colour outline (0xff00ced1);
    EXPECT_EQ (image.getPixelAt (230, 0), outline);
    EXPECT_EQ (image.getPixelAt (230, 2), outline);
    EXPECT_EQ (image.getPixelAt (230, 3), juce::Colour (0xff000000));
    EXPECT_EQ (image.getPixelAt (459, 20), outline);
    EXPECT_EQ (image.getPixelAt (300, 101), outline);
}

TEST_F (InfoPanel, PlainReturnEscapeAndDeleteHideIt)
{
    for (const auto key : { juce::KeyPress::returnKey, juce::KeyPress::escapeKey, juce::KeyPress::deleteKey })
    {
        SCOPED_TRACE (key);
        info.setVisible (true);
        EXPECT_TRUE (press (key));
        EXPECT_FALSE (info.isVisible());
    }
}

TEST_F (InfoPanel, KeysWithModifiersOrOtherKeysPassThrough)
{
    struct Case
    {
        int key;
        juce::ModifierKeys modifiers;
    };

    for (const auto& c :
         { Case { juce::KeyPress::escapeKey, juce::ModifierKeys::shiftModifier },
           Case { juce::KeyPress::returnKey, juce::ModifierKeys::ctrlModifier },
           Case { juce::KeyPress::deleteKey, juce::ModifierKeys::altModifier }, Case { juce::KeyPress::spaceKey, {} },
           Case { 'z', juce::ModifierKeys::ctrlModifier }, Case { juce::KeyPress::backspaceKey, {} } })
    {
        SCOPED_TRACE (c.key);
        EXPECT_FALSE (press (c.key, c.modifiers));
        EXPECT_TRUE (info.isVisible());
    }
}

TEST_F (InfoPanel, HiddenPanelConsumesNothing)
{
    info.setVisible (false);
    EXPECT_FALSE (press (juce::KeyPress::returnKey));
    EXPECT_FALSE (press (juce::KeyPress::escapeKey));
    EXPECT_FALSE (info.isVisible());
}

TEST_F (InfoPanel, CloseButtonHidesItAndASecondClickChangesNothing)
{
    info.getCloseButton().triggerClick();
    tw::test::deliverPendingMessages();
    EXPECT_FALSE (info.isVisible());

    info.getCloseButton().triggerClick();
    tw::test::deliverPendingMessages();
    EXPECT_FALSE (info.isVisible());

    // Other buttons that report to the panel do not close it.
    info.setVisible (true);
    juce::TextButton other;
    info.buttonClicked (&other);
    EXPECT_TRUE (info.isVisible());
}
