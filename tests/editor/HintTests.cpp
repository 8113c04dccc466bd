#include "EditorTestSupport.h"

using namespace tw::test;

namespace
{
class Hints : public EditorFixture
{
protected:
    /** Only the current tab's grid is part of the window. */
    void showTabOf (const Cell& cell)
    {
        for (int i = 0; i < tabs().getNumTabs(); ++i)
            if (tabs().getTabContentComponent (i) == cell.grid)
                tabs().setCurrentTabIndex (i);
    }
};

const juce::String defaultHint = "Toggle button to disable hints.";

} // namespace

TEST_F (Hints, EveryControlCarriesItsHintOnKnobAndLabel)
{
    struct Case
    {
        ParameterType type;
        int stage;
        const char* hint;
    };
    const Case cases[] = {
        { Mix, -1, "Overall dry/wet mix." },
        { CEnabled, 0, "Stage C|a: enabled." },
        { OutputGain, -1, "Output gain. (fine tune hold ctrl)" },
        { CEnabled, 1, "Stage C|b: enabled." },
        { CPredelay, 0, "Stage C|a: delay. (fine tune hold ctrl)" },
        { CDepth, 0, "Stage C|a: modulation depth." },
        { CFeedback, 0, "Stage C|a: feedback." },
        { CPeriod, 0, "Stage C|a: modulation period. (fine tune hold ctrl)" },
        { CPredelay, 1, "Stage C|b: delay. (fine tune hold ctrl)" },
        { CDepth, 1, "Stage C|b: modulation depth." },
        { CFeedback, 1, "Stage C|b: feedback." },
        { CPeriod, 1, "Stage C|b: modulation period. (fine tune hold ctrl)" },
        { DriverFeedback, -1, "Driver stage feedback. (fine tune hold ctrl)" },
        { DriverDelay, -1, "Driver stage delay. (fine tune hold ctrl)" },
        { PRange, -1, "Stage P: range in octaves." },
        { PFreq, -1, "Stage P: center frequency. (fine tune hold ctrl)" },
        { PPeriod, -1, "Stage P: period. (fine tune hold ctrl)" },
        { PLayers, -1, "Stage P: layers." },
        { OscEnabled, -1, "Enable master LFO (all stages)." },
        { TFeedback, -1, "Texture stage: feedback." },
        { Stereo, -1, "Enable stereo LFO phasing (all stages)." },
        { TFeedbackTexture, -1, "Texture stage: feedback texture." },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.hint);
        const auto cell = cellOf (c.type, c.stage);
        showTabOf (cell);
        EXPECT_EQ (cell.control().getHelpText(), c.hint);
        EXPECT_EQ (cell.label().getHelpText(), c.hint);
        EXPECT_EQ (ed().getHintLine().getHintFor (&cell.control()), c.hint);
        EXPECT_EQ (ed().getHintLine().getHintFor (&cell.label()), c.hint);
    }
}

TEST_F (Hints, BarHeaderAndFooterCarryTheirHints)
{
    auto& footer = ed().getFooter();
    ASSERT_EQ (footer.getNumLinks(), 2);

    const std::pair<juce::Component*, const char*> cases[] = {
        { &bar().presetComponent, "Save (ctrl+s) and load presets." },
        { &bar().presetScroller.getLeftButton(), "Previous preset." },
        { &bar().presetScroller.getRightButton(), "Next preset." },
        { &bar().newButton, "Reset to default (ctrl+r)." },
        { &bar().undoButton, "Undo action (ctrl+z)." },
        { &bar().redoButton, "Redo action (ctrl+shift+z)." },
        { &bar().reloadButton, "Reload current preset." },
        { &bar().clearButton, "Clear buffers/silence feedback." },
        { &ed().getCompanyLink(), "Go to quillmark.example" },
        { &ed().getProductLink(), "Go to Tanglewave main web page." },
        { footer.getLink (0), "Go to support web page." },
        { footer.getLink (1), "Go to share music web page." },
        { &tabs().getTabbedButtonBar(), "Effect stage control options." },
    };

    for (const auto& [component, hint] : cases)
    {
        EXPECT_EQ (component->getHelpText(), hint);
        EXPECT_EQ (ed().getHintLine().getHintFor (component), hint);
    }
}

TEST_F (Hints, PlacesWithoutAHintShowTheDefaultText)
{
    auto& line = ed().getHintLine();
    EXPECT_EQ (line.getHintFor (nullptr), defaultHint);
    EXPECT_EQ (line.getHintFor (&ed()), defaultHint) << "the bare editor background";
    EXPECT_EQ (line.getHintFor (tabs().getTabbedButtonBar().getTabButton (1)), defaultHint);
    EXPECT_EQ (line.getHintFor (&line.getToggleSuite().button), defaultHint);
    EXPECT_EQ (line.getHintFor (&line.getToggleSuite().label), defaultHint);

    // A control of a tab not shown is not part of the window.
    EXPECT_EQ (line.getHintFor (&tabs().phaserGrid), defaultHint);
    EXPECT_EQ (line.getHintFor (&controlOf (tabs().phaserGrid.getSuite (0))), defaultHint);

    // A control of another window, even with a hint of its own.
    juce::Slider stranger;
    stranger.setHelpText ("Somebody else's knob.");
    EXPECT_EQ (line.getHintFor (&stranger), defaultHint);
}

TEST_F (Hints, TheToggleSwitchesHintsOffAndOn)
{
    auto& line = ed().getHintLine();
    auto& toggle = line.getToggleSuite().button;
    auto& gain = cellOf (OutputGain, -1).control();
    EXPECT_TRUE (toggle.getToggleState());
    EXPECT_TRUE (line.areHintsEnabled());

    toggle.setToggleState (false, juce::sendNotificationSync);
    EXPECT_FALSE (line.areHintsEnabled());
    EXPECT_EQ (line.getText(), "Component Hints: Off");

    line.showHintFor (&gain);
    EXPECT_EQ (line.getText(), "Component Hints: Off");

    toggle.setToggleState (true, juce::sendNotificationSync);
    EXPECT_EQ (line.getText(), "Component Hints: Off") << "the next poll writes the hint";
    line.showHintFor (&gain);
    EXPECT_EQ (line.getText(), "Output gain. (fine tune hold ctrl)");
}

TEST_F (Hints, TheHintThreadPollsUnderTheMessageLock)
{
    auto& line = ed().getHintLine();
    EXPECT_EQ (line.getThreadName(), "TipDisplayThread");
    EXPECT_TRUE (line.isThreadRunning());

    // Nothing is under the (absent) mouse, so a poll writes the default text.
    line.getToggleSuite().setLabelText ("before any poll");
    EXPECT_TRUE (pumpUntil ([&] { return line.getText() == defaultHint; }));

    line.stopPolling();
    EXPECT_FALSE (line.isThreadRunning());
    line.stopPolling();
}

TEST_F (Hints, SwitchingOffWhileAPollWaitsForTheLockIsNotOverwritten)
{
    auto& line = ed().getHintLine();

    // The message loop is not running, so the thread is waiting for the lock now or soon.
    juce::Thread::sleep (2 * qmrk_gui::TipDisplayComponent::pollIntervalMs);
    line.getToggleSuite().button.setToggleState (false, juce::sendNotificationSync);

    tw::test::pumpMessages (3 * qmrk_gui::TipDisplayComponent::pollIntervalMs);
    EXPECT_EQ (line.getText(), "Component Hints: Off");
}

TEST (HintTexts, AreComposedFromTheShortcutDescriptions)
{
    const auto& hints = qmrk_gui::HintTexts::get();
    EXPECT_EQ (hints.presetBrowser, "Save (ctrl+s) and load presets.");
    EXPECT_EQ (hints.newPreset, "Reset to default (ctrl+r).");
    EXPECT_EQ (hints.undo, "Undo action (ctrl+z).");
    EXPECT_EQ (hints.redo, "Redo action (ctrl+shift+z).");
    EXPECT_EQ (&hints, &qmrk_gui::HintTexts::get());
}
