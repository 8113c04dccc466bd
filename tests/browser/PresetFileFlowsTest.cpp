#include "BrowserTestSupport.h"

namespace tw::test
{
TEST_F (BrowserTest, ChoosersHaveTheirTitlesModesAndPatterns)
{
    using FB = juce::FileBrowserComponent;
    start();

    const struct
    {
        Chooser chooser;
        const char* title;
        int flags;
        const char* pattern;
    } cases[] = {
        { Chooser::savePreset, "Save Preset", FB::saveMode | FB::canSelectFiles | FB::warnAboutOverwriting, "*.tw10" },
        { Chooser::loadPreset, "Load Preset", FB::openMode | FB::canSelectFiles, "*.tw10" },
        { Chooser::createPackFrom, "Create Preset Pack From..", FB::openMode | FB::canSelectDirectories,
          "*.tw10_pack" },
        { Chooser::savePackTo, "Save Pack To...", FB::saveMode | FB::canSelectFiles | FB::warnAboutOverwriting,
          "*.tw10_pack" },
        { Chooser::openPack, "Open Preset Pack", FB::openMode | FB::canSelectFiles, "*.tw10_pack" },
    };

    for (const auto& c : cases)
    {
        const auto& spec = Browser::getChooserSpec (c.chooser);
        EXPECT_STREQ (spec.title, c.title);
        EXPECT_EQ (spec.flags, c.flags) << c.title;
        EXPECT_EQ (browser->getChooserPattern (c.chooser), c.pattern) << c.title;
    }
}

TEST_F (BrowserTest, CommandsOpenTheirDialogsOneAtATime)
{
    start();

    const struct
    {
        int command;
        Chooser chooser;
    } cases[] = {
        { Manager::saveCommandId, Chooser::savePreset },     { Manager::saveAsCommandId, Chooser::savePreset },
        { Manager::openCommandId, Chooser::loadPreset },     { Manager::createPackCommandId, Chooser::createPackFrom },
        { Manager::importPackCommandId, Chooser::openPack },
    };

    for (const auto& c : cases)
    {
        browser->launched.clear();
        pick (c.command);
        pick (Manager::openCommandId); // while a dialog is open no second one starts

        ASSERT_EQ (browser->launched.size(), 1u) << c.command;
        EXPECT_EQ (browser->launched.front(), c.chooser) << c.command;
        EXPECT_TRUE (browser->isChooserActive());
        EXPECT_EQ (label(), "Default ") << c.command;

        // Cancelled: the current preset stays.
        ASSERT_TRUE (browser->answer ({}));
        EXPECT_FALSE (browser->isChooserActive());
        EXPECT_EQ (manager->getCurrentId(), factoryId ("Default"));
        EXPECT_EQ (label(), "Default ") << c.command;
    }
}

TEST_F (BrowserTest, SaveAsIntoTheUserFolderAddsTheItemAndSelectsIt)
{
    start();
    processor.setPlain ("Mix", 0.83f);
    EXPECT_EQ (label(), "Default*");

    pick (Manager::saveAsCommandId);
    const auto file = userFile ("my_lead.tw10");
    ASSERT_TRUE (browser->answer (file));

    ASSERT_TRUE (file.existsAsFile());
    const auto id = userId (file);
    EXPECT_EQ (label(), "My lead ");
    EXPECT_TRUE (contains (menu(), std::to_string (id) + " My lead"));
    EXPECT_EQ (manager->getCurrentId(), id);
    EXPECT_EQ (manager->getCurrentUserPreset(), manager->getUserPreset (id));
    EXPECT_FALSE (processor.isModified());

    // What was saved is what loads back.
    processor.setPlain ("Mix", 0.1f);
    pick (id);
    EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), 0.83f);
}

TEST_F (BrowserTest, SaveWritesTheCurrentUserPresetOrAsksForAFile)
{
    addUserFile ("mine.tw10");
    start();
    const auto mine = userFile ("mine.tw10");

    // No user preset current: the dialog asks, nothing is written.
    pick (Manager::saveCommandId);
    ASSERT_EQ (browser->launched, std::vector<Chooser> { Chooser::savePreset });
    browser->answer ({});

    pick (userId (mine));
    processor.setPlain ("Mix", 0.27f);
    EXPECT_EQ (label(), "Mine*");
    pick (Manager::saveCommandId);

    EXPECT_EQ (browser->launched.size(), 1u);
    EXPECT_EQ (label(), "Mine ");
    processor.setPlain ("Mix", 0.9f);
    pick (userId (mine));
    EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), 0.27f);
}

TEST_F (BrowserTest, AFailedSaveAsLeavesNoFileAndKeepsTheMark)
{
    addUserFile ("existing.tw10");
    start();
    processor.setPlain ("Mix", 0.44f);

    const struct
    {
        const char* name;
        bool existsBefore;
    } cases[] = { { "brand_new.tw10", false }, { "existing.tw10", true } };

    for (const auto& c : cases)
    {
        const auto file = userFile (c.name);
        const auto before = readBytes (file);
        const auto menuBefore = menu();

        processor.produceEmptyState = true; // the state cannot be written
        EXPECT_FALSE (browser->saveAsTo (file)) << c.name;
        processor.produceEmptyState = false;

        EXPECT_EQ (file.existsAsFile(), c.existsBefore) << c.name;
        EXPECT_EQ (readBytes (file), before) << c.name;
        EXPECT_TRUE (processor.isModified()) << c.name;
        EXPECT_EQ (manager->getCurrentId(), factoryId ("Default")) << c.name;
        EXPECT_EQ (manager->getCurrentUserPreset(), nullptr) << c.name;
        EXPECT_EQ (label(), "Default*") << c.name;
        EXPECT_EQ (menu(), menuBefore) << c.name;
    }

    // A folder is no file to save into, and it stays.
    EXPECT_FALSE (browser->saveAsTo (users));
    EXPECT_TRUE (users.isDirectory());
}

TEST_F (BrowserTest, SaveAsOutsideTheUserFolderMakesALoosePreset)
{
    start();
    const auto outside = temp.get().getChildFile ("elsewhere/take_two.tw10");
    ASSERT_TRUE (outside.getParentDirectory().createDirectory().wasOk());
    const auto menuBefore = menu();

    ASSERT_TRUE (browser->saveAsTo (outside));
    EXPECT_EQ (label(), "Take two ");
    EXPECT_EQ (manager->getCurrentUserPreset(), manager->getLoosePreset());
    EXPECT_EQ (manager->getCurrentId(), factoryId ("Default"));
    EXPECT_EQ (menu(), menuBefore);
}

TEST_F (BrowserTest, OpeningAForeignFileChangesNothing)
{
    start();
    processor.setPlain ("Mix", 0.12f);
    addUserFile ("unscanned.tw10"); // would show only after a rescan

    const auto foreign = temp.get().getChildFile ("foreign.tw10");
    const struct
    {
        const char* what;
        juce::MemoryBlock content;
    } cases[] = {
        { "unscrambled blob", processor.getBlob() },
        { "text", juce::MemoryBlock ("not a preset at all", 19) },
        { "wrong shift", qmrk_gui::scramblePresetData (processor.getBlob(), FakePresetProcessor::testShift + 3) },
    };

    for (const auto& c : cases)
    {
        ASSERT_TRUE (writeBytes (foreign, c.content));
        const auto menuBefore = menu();
        processor.undo.clearUndoHistory();

        pick (Manager::openCommandId);
        ASSERT_TRUE (browser->answer (foreign));

        EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), 0.12f) << c.what;
        EXPECT_EQ (manager->getCurrentId(), factoryId ("Default")) << c.what;
        EXPECT_EQ (manager->getLoosePreset(), nullptr) << c.what;
        EXPECT_TRUE (processor.isModified()) << c.what;
        EXPECT_FALSE (processor.undo.canUndo()) << c.what;
        EXPECT_EQ (label(), "Default*") << c.what;
        EXPECT_EQ (menu(), menuBefore) << c.what;
    }
}

TEST_F (BrowserTest, OpeningAPresetFileMakesItCurrent)
{
    start();
    const auto outside = temp.get().getChildFile ("elsewhere/my_take.tw10");
    ASSERT_TRUE (writeBytes (outside, maker.makePreset (0.61f, 3, true)));
    const auto inside = addUserFile ("Live/added_later.tw10", 0.37f);

    const struct
    {
        juce::File file;
        float mix;
        std::string text;
        bool listed;
    } cases[] = { { outside, 0.61f, "My take ", false }, { inside, 0.37f, "Added later ", true } };

    for (const auto& c : cases)
    {
        processor.setPlain ("Mix", 0.02f);
        ASSERT_TRUE (browser->openFile (c.file)) << c.text;

        EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), c.mix) << c.text;
        EXPECT_TRUE (processor.undo.canUndo()) << c.text;
        EXPECT_FALSE (processor.isModified()) << c.text;
        EXPECT_EQ (label(), c.text);

        const auto* record = manager->findUserPreset (c.file);
        EXPECT_EQ (record != nullptr, c.listed) << c.text;

        if (record != nullptr)
        {
            EXPECT_EQ (manager->getCurrentId(), record->id);
            EXPECT_TRUE (contains (menu(), "  " + std::to_string (record->id) + " Added later"));
        }
    }

    // The next "Save" writes back to the opened outside file, without a dialog.
    ASSERT_TRUE (browser->openFile (outside));
    processor.setPlain ("Mix", 0.19f);
    pick (Manager::saveCommandId);
    EXPECT_TRUE (browser->launched.empty());
    processor.setPlain ("Mix", 0.5f);
    ASSERT_TRUE (browser->openFile (outside));
    EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), 0.19f);
}

TEST_F (BrowserTest, PackRoundTripThroughTheDialogs)
{
    addUserFile ("Set/a.tw10", 0.21f);
    addUserFile ("Set/Live/b.tw10", 0.42f);
    start();
    const auto pack = temp.get().getChildFile ("Gig.tw10_pack");

    pick (Manager::createPackCommandId);
    ASSERT_TRUE (browser->answer (userFile ("Set")));
    ASSERT_EQ (browser->launched, (std::vector<Chooser> { Chooser::createPackFrom, Chooser::savePackTo }));
    ASSERT_TRUE (browser->answer (pack));

    juce::ZipFile zip (pack);
    ASSERT_EQ (zip.getNumEntries(), 2);
    EXPECT_EQ (zip.getEntry (0)->filename, "a.tw10");
    EXPECT_EQ (zip.getEntry (1)->filename, userFile ("Set/Live/b.tw10").getRelativePathFrom (userFile ("Set")));

    pick (Manager::importPackCommandId);
    ASSERT_TRUE (browser->answer (pack));
    ASSERT_TRUE (userFile ("Gig/Live/b.tw10").existsAsFile());

    const auto a = userId (userFile ("Gig/a.tw10"));
    const auto b = userId (userFile ("Gig/Live/b.tw10"));
    const auto lines = menu();
    const auto gig = std::find (lines.begin(), lines.end(), "Gig >");
    ASSERT_NE (gig, lines.end());
    // Listed before "Set", the unpacked copies take the plain names.
    const std::vector<std::string> expected { "Gig >", "  " + std::to_string (a) + " A", "  Live >",
                                              "    " + std::to_string (b) + " B" };
    ASSERT_LE (expected.size(), (size_t) std::distance (gig, lines.end()));
    EXPECT_EQ (std::vector<std::string> (gig, gig + (long) expected.size()), expected);

    pick (b);
    EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), 0.42f);
    EXPECT_EQ (label(), "B ");
}

TEST_F (BrowserTest, PackingAFolderOutsideTheUserFolderAsksNothingMore)
{
    start();
    const auto elsewhere = temp.get().getChildFile ("elsewhere");
    ASSERT_TRUE (elsewhere.createDirectory().wasOk());

    for (const auto& folder : { elsewhere, juce::File() })
    {
        browser->launched.clear();
        pick (Manager::createPackCommandId);
        ASSERT_TRUE (browser->answer (folder));
        EXPECT_EQ (browser->launched, std::vector<Chooser> { Chooser::createPackFrom });
        EXPECT_FALSE (browser->isChooserActive());
    }
}

TEST_F (BrowserTest, ImportingABrokenPackOrCancellingChangesNoPreset)
{
    start();
    processor.setPlain ("Mix", 0.66f);
    const auto broken = temp.get().getChildFile ("Broken.tw10_pack");
    ASSERT_TRUE (writeBytes (broken, juce::MemoryBlock ("PK but not really", 17)));

    for (const auto& packFile : { broken, juce::File() })
    {
        EXPECT_FALSE (browser->importPack (packFile));
        EXPECT_EQ (label(), "Default*");
        EXPECT_TRUE (processor.isModified());
        EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), 0.66f);
    }
}

} // namespace tw::test
