#include "PresetTestSupport.h"

namespace tw::test
{
namespace
{
constexpr auto shift = FakePresetProcessor::testShift;

struct Values
{
    float mix;
    float layers;
    float stereo;
};

Values valuesOf (const FakePresetProcessor& p)
{
    return { p.getPlain ("Mix"), p.getPlain ("PLayers"), p.getPlain ("Stereo") };
}

void expectValues (const FakePresetProcessor& p, Values expected)
{
    EXPECT_FLOAT_EQ (p.getPlain ("Mix"), expected.mix);
    EXPECT_FLOAT_EQ (p.getPlain ("PLayers"), expected.layers);
    EXPECT_FLOAT_EQ (p.getPlain ("Stereo"), expected.stereo);
}

struct PresetLoaderTest : ::testing::Test
{
    PresetLoaderTest() { processor.display = &display; }
    ~PresetLoaderTest() override { processor.display = nullptr; }

    juce::File makeFile (const juce::String& name, const juce::MemoryBlock& content) const
    {
        const auto file = temp.get().getChildFile (name);
        EXPECT_TRUE (writeBytes (file, content));
        return file;
    }

    TempFolder temp;
    FakePresetProcessor processor;
    RecordingDisplay display;
};
} // namespace

TEST_F (PresetLoaderTest, SavedFileLoadsBackEveryValue)
{
    FakePresetProcessor source;
    source.setPlain ("Mix", 0.83f);
    source.setPlain ("PLayers", 11.0f);
    source.setPlain ("Stereo", 1.0f);

    const auto file = temp.get().getChildFile ("saved.tw10");
    ASSERT_TRUE (file.create().wasOk());
    ASSERT_TRUE (source.saveToFile (file));

    const auto bytes = readBytes (file);
    ASSERT_GT (bytes.getSize(), (size_t) shift / 8);

    for (int i = 0; i < shift / 8; ++i)
        EXPECT_EQ (bytes[(size_t) i], 0);

    EXPECT_NE (bytes[bytes.getSize() - 1], 0);

    ASSERT_TRUE (processor.loadFromFile (file));
    expectValues (processor, { 0.83f, 11.0f, 1.0f });
}

TEST_F (PresetLoaderTest, FilesThatAreNotPresetsOfThisShiftAreRefused)
{
    FakePresetProcessor source;
    source.setPlain ("Mix", 0.1f);
    const auto blob = source.getBlob();

    auto foreignXml = source.parameters.copyState().createXml();
    foreignXml->setTagName ("Other");
    juce::MemoryBlock foreignBlob;
    FakePresetProcessor::copyXmlToBinary (*foreignXml, foreignBlob);

    const struct
    {
        const char* name;
        juce::MemoryBlock content;
    } cases[] = {
        { "unscrambled", blob },
        { "other shift", qmrk_gui::scramblePresetData (blob, shift + 3) },
        { "foreign root", qmrk_gui::scramblePresetData (foreignBlob, shift) },
        { "text", juce::MemoryBlock ("hello preset", 12) },
        { "empty", {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto before = valuesOf (processor);
        EXPECT_FALSE (processor.loadFromFile (makeFile (juce::String (c.name) + ".tw10", c.content)));
        expectValues (processor, before);
        EXPECT_FALSE (processor.undo.canUndo());
    }
}

TEST_F (PresetLoaderTest, LoadFromFileRefusesMissingFilesAndFolders)
{
    EXPECT_FALSE (processor.loadFromFile (juce::File()));
    EXPECT_FALSE (processor.loadFromFile (temp.get()));
    EXPECT_FALSE (processor.loadFromFile (temp.get().getChildFile ("missing.tw10")));
}

TEST_F (PresetLoaderTest, SaveToFileNeedsAnExistingFileAndCreatesNothing)
{
    const juce::File targets[] = { juce::File(), temp.get(), temp.get().getChildFile ("missing.tw10") };

    for (const auto& target : targets)
    {
        SCOPED_TRACE (target.getFullPathName());
        processor.setModifiedFlag (true);
        EXPECT_FALSE (processor.saveToFile (target));
        EXPECT_TRUE (processor.isModified());
        EXPECT_EQ (display.clearedCount, 0);
    }

    EXPECT_FALSE (temp.get().getChildFile ("missing.tw10").exists());
    EXPECT_TRUE (temp.get().isDirectory());
    EXPECT_EQ (temp.get().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
}

TEST_F (PresetLoaderTest, SavingClearsTheMarkAndTellsTheDisplayOnce)
{
    const struct
    {
        bool modifiedBefore;
        bool emptyState;
        bool expectedResult;
        bool expectedModifiedAfter;
        int expectedClearedCalls;
    } cases[] = {
        { true, false, true, false, 1 },
        { false, false, true, false, 0 },
        { true, true, false, true, 0 }, // a failed save keeps the mark, and the display was never told
        { false, true, false, false, 0 },
    };

    const auto original = juce::MemoryBlock ("original", 8);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String ("modified ") + (c.modifiedBefore ? "yes" : "no") + (c.emptyState ? ", empty" : ""));
        const auto file = makeFile ("mark.tw10", original);
        display = {};
        processor.setModifiedFlag (c.modifiedBefore);
        processor.produceEmptyState = c.emptyState;

        EXPECT_EQ (processor.saveToFile (file), c.expectedResult);
        EXPECT_EQ (processor.isModified(), c.expectedModifiedAfter);
        EXPECT_EQ (display.clearedCount, c.expectedClearedCalls);
        EXPECT_EQ (display.markedCount, 0);

        if (!c.expectedResult)
        {
            EXPECT_EQ (readBytes (file), original) << "a failed save leaves the file as it was";
        }
    }
}

TEST_F (PresetLoaderTest, ParameterChangesMarkTheDisplayOnce)
{
    processor.setPlain ("Mix", 0.2f);
    processor.setPlain ("Mix", 0.3f);
    processor.setPlain ("PLayers", 7.0f);
    EXPECT_TRUE (processor.isModified());
    EXPECT_EQ (display.markedCount, 1);

    EXPECT_FALSE (processor.setModifiedFlag (true)) << "already set: nothing to tell";
    EXPECT_TRUE (processor.setModifiedFlag (false));
    EXPECT_FALSE (processor.setModifiedFlag (false));
    EXPECT_EQ (display.clearedCount, 0) << "the flag-only variant never calls the display";
}

TEST_F (PresetLoaderTest, UndoingALoadRestoresValuesAndLeavesAWorkingEmptyHistory)
{
    processor.setPlain ("Mix", 0.4f);
    processor.setPlain ("PLayers", 3.0f);
    const auto preset = processor.makePreset (0.9f, 12, true);
    processor.undo.clearUndoHistory();

    ASSERT_TRUE (processor.loadState (preset, true));
    expectValues (processor, { 0.9f, 12.0f, 1.0f });
    EXPECT_TRUE (processor.undo.canUndo());
    EXPECT_FALSE (processor.undo.canRedo());
    EXPECT_EQ (processor.undo.getUndoDescriptions().size(), 1) << "the load is the only step";

    ASSERT_TRUE (processor.undo.undo());
    expectValues (processor, { 0.4f, 3.0f, 0.0f });
    EXPECT_FALSE (processor.undo.canUndo());
    EXPECT_FALSE (processor.undo.canRedo());
    ASSERT_EQ (display.selectNewCalls.size(), (size_t) 1);
    EXPECT_EQ (display.selectNewCalls[0], juce::dontSendNotification);

    // The history must still record and undo the next change.
    processor.undo.beginNewTransaction();
    processor.parameters.state.setProperty ("probe", 1, &processor.undo);
    ASSERT_TRUE (processor.undo.canUndo());
    ASSERT_TRUE (processor.undo.undo());
    EXPECT_FALSE (processor.parameters.state.hasProperty ("probe"));
}

TEST_F (PresetLoaderTest, LoadWithoutUndoRecordsNothingAndEmptiesTheHistory)
{
    const auto preset = processor.makePreset (0.15f, 2, false);
    processor.undo.beginNewTransaction();
    processor.parameters.state.setProperty ("probe", 1, &processor.undo);
    ASSERT_TRUE (processor.undo.canUndo());

    ASSERT_TRUE (processor.loadState (preset, false));
    expectValues (processor, { 0.15f, 2.0f, 0.0f });
    EXPECT_FALSE (processor.undo.canUndo());
    EXPECT_FALSE (processor.undo.canRedo());
}

TEST_F (PresetLoaderTest, RefusedUndoableLoadKeepsTheHistory)
{
    processor.undo.beginNewTransaction();
    processor.parameters.state.setProperty ("probe", 1, &processor.undo);

    EXPECT_FALSE (processor.loadState (juce::MemoryBlock ("not a preset", 12), true));
    EXPECT_TRUE (processor.undo.canUndo());
    EXPECT_EQ (processor.undo.getUndoDescriptions().size(), 1);
}

TEST_F (PresetLoaderTest, FilesAboveTheSizeCapAreRefusedWithoutBeingRead)
{
    const auto cap = qmrk_gui::PresetFileLimits::maxPresetFileSize;
    const auto preset = processor.makePreset (0.66f, 9, true);

    // Zero bytes at the top of a scrambled file change nothing once it is read, so the padded
    // file is a valid preset of exactly the given size.
    const auto padded = [&] (juce::int64 size)
    {
        auto data = preset;
        data.setSize ((size_t) size, true);
        return data;
    };

    const auto atCap = makeFile ("at_cap.tw10", padded (cap));
    const auto aboveCap = makeFile ("above_cap.tw10", padded (cap + 1));

    const auto before = valuesOf (processor);
    EXPECT_FALSE (processor.loadFromFile (aboveCap));
    expectValues (processor, before);

    // A sparse file far larger than memory: reading it whole would not come back.
    const auto huge = temp.get().getChildFile ("huge.tw10");
    {
        juce::FileOutputStream out (huge);
        ASSERT_TRUE (out.openedOk());
        ASSERT_TRUE (out.setPosition ((juce::int64) 64 << 30));
        ASSERT_TRUE (out.writeByte (1));
    }
    EXPECT_FALSE (processor.loadFromFile (huge));
    expectValues (processor, before);

    EXPECT_TRUE (processor.loadFromFile (atCap));
    expectValues (processor, { 0.66f, 9.0f, 1.0f });
}

} // namespace tw::test
