#include "PresetTestSupport.h"

#include <memory>

namespace tw::test
{
namespace
{
/** A library shaped like the product's: nested categories registered after their presets, a
    root category holding the default preset. */
struct TestLibrary
{
    TestLibrary()
    {
        FakePresetProcessor maker;

        for (int i = 0; i < 5; ++i)
            blobs.push_back (maker.makePreset (0.1f * (float) (i + 1), i + 1, i % 2 == 0));
    }

    std::vector<Manager::FactoryCategoryInfo> rows() const
    {
        const auto preset = [this] (const char* name, size_t index, bool isDefault = false) {
            return Manager::FactoryPresetInfo { name, blobs[index].getData(), (int) blobs[index].getSize(), isDefault };
        };

        return {
            { "Guitar//Clean//Modulation", { preset ("Cowboy bebop", 0), preset ("Down the well", 1) }, {}, false },
            { "Guitar//Clean", {}, { "Guitar//Clean//Modulation" }, false },
            { "Guitar", { preset ("Flangish", 2) }, { "Guitar//Clean" }, false },
            { "Root", { preset ("Default", 3, true), preset ("Low", 4) }, { "Guitar" }, true },
        };
    }

    static constexpr float defaultMix = 0.4f; // blob 3

    std::vector<juce::MemoryBlock> blobs;
};

struct PresetManagerTest : ::testing::Test
{
    PresetManagerTest() { processor.display = &display; }

    ~PresetManagerTest() override
    {
        processor.display = nullptr;
        processor.manager = nullptr;
    }

    juce::File userFile (const juce::String& relativePath) const { return users.getChildFile (relativePath); }

    juce::File addUserFile (const juce::String& relativePath, float mix = 0.5f)
    {
        const auto file = userFile (relativePath);
        EXPECT_TRUE (writeBytes (file, processor.makePreset (mix, 4, false)));
        return file;
    }

    /** The manager as the processor builds it: constructed, then started up. */
    Manager& start (bool withLibrary = true)
    {
        manager = std::make_unique<Manager> (processor, "Tw10", users);
        processor.manager = manager.get();

        if (withLibrary)
            EXPECT_TRUE (manager->initialise (library.rows()));
        else
            manager->setUserPresetFolder (users);

        display = {};
        return *manager;
    }

    int idOf (const char* factoryName) const { return manager->findFactoryPreset (factoryName)->id; }

    TempFolder temp;
    juce::File users { temp.get().getChildFile ("Presets") };
    TestLibrary library;
    FakePresetProcessor processor;
    RecordingDisplay display;
    std::unique_ptr<Manager> manager;
};
} // namespace

TEST_F (PresetManagerTest, ExtensionsComeFromThePluginCode)
{
    for (const auto* code : { "Tw10", ".tw10", "TW10" })
    {
        const Manager m (processor, code, {});
        EXPECT_EQ (m.getExtension(), ".tw10") << code;
        EXPECT_EQ (m.getPackExtension(), ".tw10_pack") << code;
    }
}

TEST_F (PresetManagerTest, IdsWithNoneAndWithTwoUserPresets)
{
    const struct
    {
        int numUserPresets;
        int cowboyId, defaultId, lowId;
    } cases[] = { { 0, 10, 13, 14 }, { 2, 12, 15, 16 } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.numUserPresets);
        users.deleteRecursively();
        ASSERT_TRUE (users.createDirectory().wasOk());

        // Listed in name order whatever order the platform gives.
        if (c.numUserPresets == 2)
        {
            addUserFile ("b_second.tw10");
            addUserFile ("a_first.tw10");
        }

        auto& m = start();
        EXPECT_EQ (idOf ("Cowboy bebop"), c.cowboyId);
        EXPECT_EQ (idOf ("Down the well"), c.cowboyId + 1);
        EXPECT_EQ (idOf ("Default"), c.defaultId);
        EXPECT_EQ (idOf ("Low"), c.lowId);
        EXPECT_EQ (m.getDefaultPreset()->id, c.defaultId);

        if (c.numUserPresets == 2)
        {
            EXPECT_EQ (m.findUserPreset (userFile ("a_first.tw10"))->id, 10);
            EXPECT_EQ (m.findUserPreset (userFile ("b_second.tw10"))->id, 11);
            EXPECT_EQ (m.getUserPreset (10)->name, "A first");
        }

        // The start-up sequence: default current, unmodified, nothing to undo.
        EXPECT_EQ (m.getCurrentId(), c.defaultId);
        EXPECT_EQ (m.getCurrentUserPreset(), nullptr);
        EXPECT_FALSE (processor.isModified());
        EXPECT_FALSE (processor.undo.canUndo());
        EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), TestLibrary::defaultMix);

        m.setCurrentId (c.lowId);
        EXPECT_EQ (m.stepPreset (+1), 10) << "from the last preset to the first";
    }
}

TEST_F (PresetManagerTest, CategoryTreeFollowsTheTable)
{
    auto& m = start();
    const auto* root = m.getRootCategory();
    ASSERT_NE (root, nullptr);
    EXPECT_EQ (root->name, "Root");
    ASSERT_EQ (root->presets.size(), 2);
    EXPECT_EQ (root->presets[0]->name, "Default");
    ASSERT_EQ (root->subcategories.size(), 1);

    const auto* guitar = root->subcategories[0];
    EXPECT_EQ (guitar->getShortName(), "Guitar");
    ASSERT_EQ (guitar->subcategories.size(), 1);
    EXPECT_EQ (guitar->subcategories[0]->getShortName(), "Clean");
    EXPECT_EQ (guitar->subcategories[0]->subcategories[0]->name, "Guitar//Clean//Modulation");
    EXPECT_EQ (guitar->subcategories[0]->subcategories[0]->presets[1]->name, "Down the well");

    // A row naming a subcategory that was never registered is reported.
    Manager other (processor, "Tw10", {});
    EXPECT_FALSE (other.addFactoryLibrary ({ { "Root", {}, { "Nowhere" }, true } }));
}

TEST_F (PresetManagerTest, SteppingWrapsAndSkipsMissingFiles)
{
    ASSERT_TRUE (users.createDirectory().wasOk());
    addUserFile ("a.tw10");
    const auto second = addUserFile ("b.tw10");
    auto& m = start(); // users 10, 11; factory 12 to 16

    const struct
    {
        int from, direction, expected;
    } cases[] = {
        { 16, +1, 10 }, { 10, -1, 16 }, { 4, +1, 10 },  { 4, -1, 16 },
        { -1, +1, 10 }, { 12, -1, 11 }, { 11, +1, 12 }, { 13, 0, -1 },
    };

    for (const auto& c : cases)
    {
        m.setCurrentId (c.from);
        EXPECT_EQ (m.stepPreset (c.direction), c.expected) << c.from << " " << c.direction;
    }

    ASSERT_TRUE (second.deleteFile());
    EXPECT_FALSE (m.isUserPresetId (11));
    ASSERT_NE (m.getUserPreset (11), nullptr) << "the record and its id stay";

    m.setCurrentId (12);
    EXPECT_EQ (m.stepPreset (-1), 10);
    m.setCurrentId (10);
    EXPECT_EQ (m.stepPreset (+1), 12);
}

TEST_F (PresetManagerTest, SteppingEndsWhenThereIsNothingElse)
{
    ASSERT_TRUE (users.createDirectory().wasOk());
    const auto only = addUserFile ("only.tw10");
    auto& m = start (false);

    m.setCurrentId (10);
    EXPECT_EQ (m.stepPreset (+1), -1);
    EXPECT_EQ (m.stepPreset (-1), -1);

    ASSERT_TRUE (only.deleteFile());

    for (const auto from : { -1, 4, 10 })
        for (const auto direction : { -1, +1 })
        {
            m.setCurrentId (from);
            EXPECT_EQ (m.stepPreset (direction), -1) << from << " " << direction;
        }

    const Manager empty (processor, "Tw10", {});
    EXPECT_EQ (empty.stepPreset (+1), -1);
}

TEST_F (PresetManagerTest, ScanReachesThreeLevelsAndOnlyPresetFiles)
{
    addUserFile ("x0.tw10");
    addUserFile ("d1/x1.tw10");
    addUserFile ("d1/d2/x2.tw10");
    addUserFile ("d1/d2/d3/x3.tw10");
    addUserFile ("d1/d2/d3/d4/x4.tw10");
    addUserFile ("pack.tw10_pack");
    addUserFile ("notes.txt");
    addUserFile (".interrupted_temp1234.tw10");
    addUserFile (".meta/x.tw10");
    addUserFile ("a_b.tw10");
    addUserFile ("A b.tw10");

    auto& m = start (false);

    for (const auto* found : { "x0.tw10", "d1/x1.tw10", "d1/d2/x2.tw10", "d1/d2/d3/x3.tw10" })
        EXPECT_TRUE (m.isUserPresetFile (userFile (found))) << found;

    for (const auto* ignored :
         { "d1/d2/d3/d4/x4.tw10", "pack.tw10_pack", "notes.txt", ".interrupted_temp1234.tw10", ".meta/x.tw10" })
        EXPECT_FALSE (m.isUserPresetFile (userFile (ignored))) << ignored;

    EXPECT_EQ (m.findUserPreset (userFile ("a_b.tw10"))->name, "A b");
    EXPECT_EQ (m.findUserPreset (userFile ("A b.tw10"))->name, "A b");

    const auto* root = m.getRootFolder();
    ASSERT_NE (root, nullptr);
    EXPECT_EQ (root->presets.size(), 3);
    ASSERT_EQ (root->subfolders.size(), 1);
    EXPECT_EQ (root->subfolders[0]->name, "D1");
    const auto* d3 = root->subfolders[0]->subfolders[0]->subfolders[0];
    EXPECT_EQ (d3->presets.size(), 1);
    EXPECT_TRUE (d3->subfolders.isEmpty()) << "depth 3 lists no subfolders";
}

TEST_F (PresetManagerTest, FilesKeepTheirIdsAcrossRescansAndAbsences)
{
    const auto first = addUserFile ("first.tw10");
    auto& m = start();
    const auto firstId = m.findUserPreset (first)->id;
    EXPECT_EQ (firstId, 10);

    const auto later = addUserFile ("later.tw10");
    EXPECT_FALSE (m.isUserPresetFile (later));
    m.rescanUserPresets();
    EXPECT_EQ (m.findUserPreset (later)->id, 16) << "after the factory ids";

    const auto content = readBytes (first);
    ASSERT_TRUE (first.deleteFile());
    m.rescanUserPresets();
    EXPECT_FALSE (m.isUserPresetId (firstId));

    ASSERT_TRUE (writeBytes (first, content));
    m.rescanUserPresets();
    EXPECT_EQ (m.findUserPreset (first)->id, firstId);
    EXPECT_EQ (m.getRootFolder()->presets.size(), 2);
}

TEST_F (PresetManagerTest, WritePresetInfoNamesTheCurrentPreset)
{
    const auto user = addUserFile ("mine.tw10");
    auto& m = start();

    const struct
    {
        const char* what;
        int currentId;
        bool modified;
        juce::String expectedName;
        bool expectedModified;
    } cases[] = {
        { "factory", idOf ("Cowboy bebop"), false, "FactoryPreset:Cowboy bebop", false },
        { "factory modified", idOf ("Cowboy bebop"), true, "FactoryPreset:Cowboy bebop", true },
        { "new", Manager::newCommandId, true, {}, false },
        { "none", Manager::noPresetId, false, {}, false },
        { "user", 10, true, user.getFullPathName(), true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        m.setCurrentId (c.currentId);
        processor.setModifiedFlag (c.modified);
        juce::ValueTree state ("Tw10");
        m.writePresetInfo (state);
        EXPECT_EQ (state.getProperty (Manager::loadedPresetProperty).toString(), c.expectedName);
        EXPECT_EQ ((bool) state.getProperty (Manager::loadedPresetModifiedProperty), c.expectedModified);
    }

    // A loose preset leaves the id of the preset current before it.
    m.setCurrentId (idOf ("Flangish"));
    m.setLoosePreset (temp.get().getChildFile ("elsewhere.tw10"));
    juce::ValueTree state ("Tw10");
    m.writePresetInfo (state);
    EXPECT_EQ (state.getProperty (Manager::loadedPresetProperty).toString(), "FactoryPreset:Flangish");

    ASSERT_TRUE (user.deleteFile());
    m.setCurrentId (10);
    m.writePresetInfo (state);
    EXPECT_EQ (state.getProperty (Manager::loadedPresetProperty).toString(), "");
}

TEST_F (PresetManagerTest, RestorePresetInfoCases)
{
    const auto known = addUserFile ("known.tw10");
    auto& m = start();
    const auto unscanned = addUserFile ("sub/unscanned.tw10");

    const struct
    {
        const char* what;
        juce::String loadedPreset;
        bool storedModified;
        bool modifiedBefore;
        int expectedId; // 0: unchanged
        bool expectUserRecord;
        bool expectedModified;
    } cases[] = {
        { "factory marked", "FactoryPreset:Flangish", true, false, idOf ("Flangish"), false, true },
        { "factory clean", "FactoryPreset:Down the well", false, true, idOf ("Down the well"), false, false },
        { "unknown factory", "FactoryPreset:Nothing like it", true, false, 0, false, false },
        { "prefix only", "FactoryPreset:", true, false, 0, false, false },
        { "empty", "", true, false, 0, false, false },
        { "known user file", known.getFullPathName(), true, false, 10, true, true },
        { "unscanned user file", unscanned.getFullPathName(), false, true, -2, true, false },
        { "missing user file", users.getChildFile ("gone.tw10").getFullPathName(), true, true, 4, false, false },
        { "not a path", "gone.tw10", false, true, 4, false, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        const auto idBefore = idOf ("Low");
        m.setCurrentId (idBefore);
        m.setCurrentUserPreset (nullptr);
        processor.setModifiedFlag (c.modifiedBefore);
        display = {};

        m.restorePresetInfo (c.loadedPreset, c.storedModified);

        const auto expectedId = c.expectedId == 0 ? idBefore : c.expectedId;

        if (c.expectedId == -2)
        {
            ASSERT_NE (m.findUserPreset (unscanned), nullptr) << "found by the rescan";
            EXPECT_EQ (m.getCurrentId(), m.findUserPreset (unscanned)->id);
        }
        else
        {
            EXPECT_EQ (m.getCurrentId(), expectedId);
        }

        EXPECT_EQ (m.getCurrentUserPreset() != nullptr, c.expectUserRecord);
        EXPECT_EQ (processor.isModified(), c.expectedModified);
        const auto changed = c.modifiedBefore != c.expectedModified;
        EXPECT_EQ (display.markedCount + display.clearedCount, changed ? 1 : 0);
    }
}

TEST_F (PresetManagerTest, HostStateCarriesTheCurrentPresetToAFreshInstance)
{
    auto& m = start();

    for (const auto modified : { true, false })
    {
        SCOPED_TRACE (modified ? "modified" : "clean");
        ASSERT_TRUE (m.getLoader().loadState (m.findFactoryPreset ("Flangish")->data, true));
        m.setCurrentId (idOf ("Flangish"));
        processor.setPlain ("Mix", modified ? 0.77f : 0.23f);
        processor.setModifiedAndNotify (modified);

        juce::MemoryBlock hostState;
        processor.getStateInformation (hostState);

        FakePresetProcessor fresh;
        Manager freshManager (fresh, "Tw10", users);
        fresh.manager = &freshManager;
        ASSERT_TRUE (freshManager.initialise (library.rows()));
        fresh.setStateInformation (hostState.getData(), (int) hostState.getSize());

        EXPECT_EQ (freshManager.getCurrentId(), freshManager.findFactoryPreset ("Flangish")->id);
        EXPECT_EQ (fresh.isModified(), modified) << "as stored, although the restore changed parameters";
        EXPECT_FLOAT_EQ (fresh.getPlain ("Mix"), modified ? 0.77f : 0.23f);
        fresh.manager = nullptr;
    }
}

TEST_F (PresetManagerTest, LoosePresetBecomesTheSaveTarget)
{
    auto& m = start();
    EXPECT_FALSE (m.saveCurrentUserPreset()) << "no user preset current after start-up";

    const auto loose = temp.get().getChildFile ("outside.tw10");
    ASSERT_TRUE (loose.create().wasOk());
    const auto idBefore = m.getCurrentId();
    processor.setModifiedAndNotify (true);

    m.setLoosePreset (loose);
    EXPECT_EQ (m.getCurrentUserPreset(), m.getLoosePreset());
    EXPECT_EQ (m.getLoosePreset()->name, "Outside");
    EXPECT_EQ (m.getLoosePreset()->id, Manager::noPresetId);
    EXPECT_EQ (m.getCurrentId(), idBefore);
    EXPECT_FALSE (processor.isModified());

    processor.setPlain ("Mix", 0.12f);
    ASSERT_TRUE (m.saveCurrentUserPreset());

    FakePresetProcessor other;
    ASSERT_TRUE (other.loadFromFile (loose));
    EXPECT_FLOAT_EQ (other.getPlain ("Mix"), 0.12f);
}

TEST_F (PresetManagerTest, DefaultPresetLoads)
{
    auto& m = start();
    processor.setPlain ("Mix", 0.9f);
    m.setCurrentId (idOf ("Low"));

    ASSERT_TRUE (m.loadDefaultPreset (true));
    EXPECT_EQ (m.getCurrentId(), idOf ("Default"));
    EXPECT_FALSE (processor.isModified());
    EXPECT_TRUE (processor.undo.canUndo()) << "the browser's New is undoable";
    EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), TestLibrary::defaultMix);

    Manager withoutDefault (processor, "Tw10", {});
    withoutDefault.setCurrentId (12);
    EXPECT_FALSE (withoutDefault.loadDefaultPreset (false));
    EXPECT_EQ (withoutDefault.getCurrentId(), 12);
}

} // namespace tw::test
