#include "BrowserTestSupport.h"

#include <thread>

namespace tw::test
{
TEST_F (BrowserTest, MenuHoldsCommandsFactoryTreeAndUniqueUserNames)
{
    // Listed before the factory library registers, so they take the ids 10 to 13.
    addUserFile ("HOWL.tw10");
    addUserFile ("wet.tw10");
    addUserFile ("wet_.tw10"); // "Wet " as a name
    addUserFile ("Live/low.tw10");
    ASSERT_TRUE (userFile ("Empty").createDirectory().wasOk());
    start();

    const std::vector<std::string> expected {
        "[Options:]",
        "4 New",
        "3 Browse/Open...",
        "1 Save",
        "2 Save as...",
        "---",
        "Preset Pack Options >",
        "  6 Import...",
        "  5 Create...",
        "7 Show Info",
        "---",
        "[Factory Presets:]",
        "18 Default",
        "19 Low",
        "Guitar >",
        "  Clean >",
        "    Modulation >",
        "      14 Cowboy bebop",
        "      15 Down the well",
        "  Chords >",
        "    16 Wet",
        "Reverb >",
        "  17 Howl",
        "[User Presets:]",
        "10 HOWL (2)",
        "11 Wet (2)",
        "12 Wet (3)",
        "Empty >",
        "Live >",
        "  13 Low (2)",
    };
    EXPECT_EQ (menu(), expected);

    for (juce::PopupMenu::MenuItemIterator it (*browser->getRootMenu(), true); it.next();)
    {
        // JUCE disables a submenu without entries ("Empty").
        const auto* sub = it.getItem().subMenu.get();
        EXPECT_EQ (it.getItem().isEnabled, sub == nullptr || sub->getNumItems() > 0) << it.getItem().text;
        EXPECT_FALSE (it.getItem().isTicked) << it.getItem().text;
    }

    // A file gone since the scan is skipped, and its name is free again.
    ASSERT_TRUE (userFile ("wet.tw10").deleteFile());
    browser->rebuildMenu();
    EXPECT_FALSE (contains (menu(), "11 Wet (2)"));
    EXPECT_TRUE (contains (menu(), "12 Wet (2)"));
}

TEST_F (BrowserTest, DisplayTextFollowsTheCurrentPresetAndItsMark)
{
    addUserFile ("my_lead.tw10");
    start();
    const auto lead = userFile ("my_lead.tw10");

    const struct
    {
        const char* what;
        std::function<void()> act;
        std::string text;
    } steps[] = {
        { "after start", [] {}, "Default " },
        { "parameter moved", [&] { processor.setPlain ("Mix", 0.9f); }, "Default*" },
        { "factory preset chosen", [&] { pick (factoryId ("Howl")); }, "Howl " },
        { "user preset chosen", [&] { pick (userId (lead)); }, "My lead " },
        { "user preset moved", [&] { processor.setPlain ("PLayers", 9.0f); }, "My lead*" },
        { "nothing known current",
          [&]
          {
              manager->setCurrentUserPreset (nullptr);
              manager->setCurrentId (Manager::newCommandId);
              browser->updateDisplay();
          },
          "*New*" },
        { "mark cleared", [&] { manager->clearModifiedMark(); }, "*New " },
    };

    for (const auto& step : steps)
    {
        step.act();
        EXPECT_EQ (label(), step.text) << step.what;
        // The text matches no item, so nothing is selected and any entry can be chosen again.
        EXPECT_EQ (browser->getSelectedId(), 0) << step.what;
    }
}

TEST_F (BrowserTest, ChoosingAPresetLoadsItAsOneUndoStepEveryTime)
{
    addUserFile ("mine.tw10", 0.66f);
    start();
    const auto mine = userId (userFile ("mine.tw10"));
    const auto howl = factoryId ("Howl");

    const struct
    {
        int id;
        float mix;
        std::string text;
    } choices[] = {
        { howl, BrowserLibrary::mixOf (3), "Howl " },
        { howl, BrowserLibrary::mixOf (3), "Howl " }, // the same entry again loads again
        { mine, 0.66f, "Mine " },
        { mine, 0.66f, "Mine " },
    };

    for (const auto& c : choices)
    {
        processor.setPlain ("Mix", 0.02f);
        processor.undo.clearUndoHistory();
        pick (c.id);

        EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), c.mix) << c.text;
        EXPECT_EQ (manager->getCurrentId(), c.id);
        EXPECT_EQ (manager->getCurrentUserPreset(), c.id == mine ? manager->getUserPreset (mine) : nullptr);
        EXPECT_FALSE (processor.isModified());
        EXPECT_EQ (label(), c.text);

        // The load is the one step in the history.
        ASSERT_TRUE (processor.undo.undo()) << c.text;
        EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), 0.02f) << c.text;
        EXPECT_FALSE (processor.undo.canUndo()) << c.text;
    }
}

TEST_F (BrowserTest, APresetThatFailsToLoadChangesNothing)
{
    addUserFile ("broken.tw10");
    start();
    const auto broken = userFile ("broken.tw10");
    const auto brokenId = userId (broken);
    ASSERT_TRUE (writeBytes (broken, processor.getBlob())); // not scrambled: refused

    processor.setPlain ("Mix", 0.31f);
    const auto before = manager->getCurrentId();
    pick (brokenId);

    EXPECT_EQ (manager->getCurrentId(), before);
    EXPECT_EQ (manager->getCurrentUserPreset(), nullptr);
    EXPECT_TRUE (processor.isModified());
    EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), 0.31f);
    EXPECT_EQ (label(), "Default*");
}

TEST_F (BrowserTest, SetModifiedEditsOnlyTheLastCharacter)
{
    start();

    const struct
    {
        const char* shown;
        bool modified;
        const char* result;
    } cases[] = {
        { "Default ", true, "Default*" }, { "Default*", false, "Default " },
        { "Default*", true, "Default*" }, { "Default ", false, "Default " },
        { "*New ", true, "*New*" },       { "*New*", false, "*New " },
        { "Spaced   ", true, "Spaced*" }, { "", true, "*" },
    };

    for (const auto& c : cases)
    {
        browser->setText (c.shown, juce::dontSendNotification);
        browser->setModified (c.modified);
        EXPECT_EQ (label(), c.result) << c.shown << " " << c.modified;
    }
}

TEST_F (BrowserTest, SelectNewShowsNewAndWithANotificationLoadsTheDefault)
{
    start();
    pick (factoryId ("Howl"));

    browser->selectNew (juce::dontSendNotification);
    deliverPendingMessages();
    EXPECT_EQ (label(), "New ");
    EXPECT_EQ (browser->getSelectedId(), 0);
    EXPECT_EQ (manager->getCurrentId(), factoryId ("Howl"));
    EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), BrowserLibrary::mixOf (3));

    processor.setPlain ("Mix", 0.07f);
    EXPECT_EQ (label(), "New*");

    browser->selectNew (juce::sendNotificationAsync);
    EXPECT_EQ (label(), "New");
    deliverPendingMessages();
    EXPECT_EQ (manager->getCurrentId(), factoryId ("Default"));
    EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), BrowserLibrary::mixOf (4));
    EXPECT_EQ (label(), "Default ");
}

TEST_F (BrowserTest, UndoingALoadShowsNewAndNewStillLoadsTheDefault)
{
    start();
    processor.setPlain ("Mix", 0.05f);
    pick (factoryId ("Howl"));
    ASSERT_TRUE (processor.undo.undo());
    deliverPendingMessages();
    EXPECT_EQ (label(), "New*"); // the undone load restored the modified state before it
    EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), 0.05f);

    browser->selectNew (juce::sendNotificationAsync);
    deliverPendingMessages();
    EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), BrowserLibrary::mixOf (4));
    EXPECT_TRUE (processor.undo.canUndo());
    EXPECT_EQ (label(), "Default ");
}

TEST_F (BrowserTest, AMarkArrivingBeforeAChosenEntryIsHandledDoesNotSwallowIt)
{
    start();
    pick (factoryId ("Howl"));

    const struct
    {
        const char* what;
        std::function<void()> choose;
        int expectedId;
    } cases[] = {
        { "menu entry", [&] { browser->setSelectedId (factoryId ("Low"), juce::sendNotificationAsync); },
          factoryId ("Low") },
        { "New", [&] { browser->selectNew (juce::sendNotificationAsync); }, factoryId ("Default") },
    };

    for (const auto& c : cases)
    {
        c.choose();
        processor.setModifiedAndNotify (true); // the processor's timer, before the selection is handled
        deliverPendingMessages();
        EXPECT_EQ (manager->getCurrentId(), c.expectedId) << c.what;
        EXPECT_FALSE (processor.isModified()) << c.what;
        EXPECT_EQ (browser->getText().getLastCharacter(), ' ') << c.what;
    }
}

TEST_F (BrowserTest, AMarkFromAnotherThreadReachesTheLabelOnTheMessageThread)
{
    start();

    std::thread audio (
        [this]
        {
            if (processor.setModifiedFlag (true))
                if (auto* display = processor.display.load())
                    display->setModified (true);
        });
    audio.join();

    EXPECT_EQ (label(), "Default ");
    deliverPendingMessages();
    EXPECT_EQ (label(), "Default*");
}

TEST_F (BrowserTest, ShowInfoCallsTheEditorBack)
{
    start();
    int shown = 0;

    pick (Manager::showInfoCommandId); // no callback set: nothing happens
    browser->onShowInfo = [&] { ++shown; };
    pick (Manager::showInfoCommandId);

    EXPECT_EQ (shown, 1);
    EXPECT_EQ (label(), "Default ");
    EXPECT_EQ (manager->getCurrentId(), factoryId ("Default"));
}

TEST_F (BrowserTest, IsTheDisplayOnlyWhileItExists)
{
    start();
    EXPECT_EQ (processor.display.load(), browser.get());

    // Another browser registered meanwhile stays registered when the first one goes.
    auto second = std::make_unique<TestBrowser> (lnf, *manager);
    EXPECT_EQ (processor.display.load(), second.get());
    browser.reset();
    EXPECT_EQ (processor.display.load(), second.get());
    second.reset();
    EXPECT_EQ (processor.display.load(), nullptr);
}

TEST_F (BrowserTest, DestroyingWithMarksAndADialogPendingIsSafe)
{
    start();
    const auto chosen = userFile ("late.tw10");

    // A dialog open, a mark handed over from another thread, a chosen entry not yet handled and
    // a mark deferred behind it.
    pick (Manager::saveAsCommandId);
    auto lateAnswer = browser->pending;
    ASSERT_NE (lateAnswer, nullptr);

    std::thread ([this] { browser->setModified (true); }).join();
    browser->setSelectedId (factoryId ("Low"), juce::sendNotificationAsync);
    browser->setModified (true);

    browser.reset();
    EXPECT_EQ (processor.display.load(), nullptr);

    processor.setModifiedAndNotify (false);
    processor.setModifiedAndNotify (true); // nobody to tell any more
    deliverPendingMessages();
    lateAnswer (chosen);
    EXPECT_FALSE (chosen.exists());
    EXPECT_EQ (manager->getCurrentId(), factoryId ("Default"));
}

} // namespace tw::test
