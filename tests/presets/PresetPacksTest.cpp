#include "PresetTestSupport.h"

#include <memory>

namespace tw::test
{
namespace
{
struct LocalEntry
{
    juce::String name;
    int method;
};

// The local headers in file order, read straight from the bytes (ZipFile hides the method).
std::vector<LocalEntry> readLocalEntries (const juce::File& pack)
{
    std::vector<LocalEntry> entries;
    const auto bytes = readBytes (pack);
    const auto* data = static_cast<const juce::uint8*> (bytes.getData());
    size_t offset = 0;

    while (offset + 30 <= bytes.getSize() && juce::ByteOrder::littleEndianInt (data + offset) == 0x04034b50)
    {
        const auto method = juce::ByteOrder::littleEndianShort (data + offset + 8);
        const auto compressedSize = juce::ByteOrder::littleEndianInt (data + offset + 18);
        const auto nameLength = juce::ByteOrder::littleEndianShort (data + offset + 26);
        const auto extraLength = juce::ByteOrder::littleEndianShort (data + offset + 28);
        entries.push_back ({ juce::String::fromUTF8 ((const char*) data + offset + 30, nameLength), method });
        offset += 30u + nameLength + extraLength + compressedSize;
    }

    return entries;
}

juce::StringArray listRelative (const juce::File& root)
{
    juce::StringArray found;

    for (const auto& f : root.findChildFiles (juce::File::findFilesAndDirectories, true, "*"))
        found.add (f.getRelativePathFrom (root));

    found.sort (false);
    return found;
}

struct PresetPacksTest : ::testing::Test
{
    PresetPacksTest()
    {
        for (const auto* name : { "Packed/a.tw10", "Packed/Live/b.tw10" })
            EXPECT_TRUE (writeBytes (users.getChildFile (name), processor.makePreset (0.3f, 2, true)));

        manager = std::make_unique<Manager> (processor, "Tw10", users);
    }

    Manager::UserPresetFolder& packedFolder() const { return *manager->findFolder (users.getChildFile ("Packed")); }

    /** An archive whose entries are written exactly as named. */
    juce::File craftArchive (const juce::String& fileName,
                             const std::vector<std::pair<juce::String, juce::MemoryBlock>>& entries,
                             int compression = 0) const
    {
        juce::ZipFile::Builder builder;

        for (const auto& [name, content] : entries)
            builder.addEntry (new juce::MemoryInputStream (content, true), compression, name,
                              juce::Time::getCurrentTime());

        const auto file = temp.get().getChildFile (fileName);
        EXPECT_TRUE (file.deleteFile()); // an output stream appends to an existing file
        juce::FileOutputStream out (file);
        EXPECT_TRUE (out.openedOk() && builder.writeToStream (out, nullptr));
        return file;
    }

    TempFolder temp;
    juce::File users { temp.get().getChildFile ("Presets") };
    juce::File outside { temp.get().getChildFile ("outside") };
    FakePresetProcessor processor;
    std::unique_ptr<Manager> manager;
};

const auto sep = juce::String (juce::File::getSeparatorString());
} // namespace

TEST_F (PresetPacksTest, PackHoldsStoredEntriesInFolderOrderAndUnpacksIntoANewFolder)
{
    const auto pack = temp.get().getChildFile ("Set.tw10_pack");
    ASSERT_TRUE (qmrk_gui::createPresetPack (packedFolder(), pack));

    const auto entries = readLocalEntries (pack);
    ASSERT_EQ (entries.size(), (size_t) 2);
    EXPECT_EQ (entries[0].name, "a.tw10");
    EXPECT_EQ (entries[1].name, "Live" + sep + "b.tw10");
    EXPECT_EQ (entries[0].method, 0);
    EXPECT_EQ (entries[1].method, 0);

    ASSERT_TRUE (qmrk_gui::unpackPresetPack (pack, users));
    const auto set = users.getChildFile ("Set");

    for (const auto* name : { "a.tw10", "Live/b.tw10" })
        EXPECT_EQ (readBytes (set.getChildFile (name)), readBytes (users.getChildFile ("Packed").getChildFile (name)))
            << name;

    manager->rescanUserPresets();
    const auto* imported = manager->findFolder (set);
    ASSERT_NE (imported, nullptr);
    EXPECT_EQ (imported->name, "Set");
    ASSERT_EQ (imported->presets.size(), 1);
    EXPECT_EQ (imported->presets[0]->name, "A");
    ASSERT_EQ (imported->subfolders.size(), 1);
    EXPECT_EQ (imported->subfolders[0]->name, "Live");
    EXPECT_EQ (imported->subfolders[0]->presets[0]->name, "B");

    FakePresetProcessor loader;
    EXPECT_TRUE (loader.loadFromFile (set.getChildFile ("Live/b.tw10")));

    // Importing again writes into the same folder and keeps the ids.
    const auto idBefore = imported->presets[0]->id;
    ASSERT_TRUE (qmrk_gui::unpackPresetPack (pack, users));
    manager->rescanUserPresets();
    EXPECT_EQ (manager->findFolder (set)->presets[0]->id, idBefore);
}

TEST_F (PresetPacksTest, OverwritingAPackLeavesExactlyTheNewArchive)
{
    const auto fresh = temp.get().getChildFile ("fresh.tw10_pack");
    const auto existing = temp.get().getChildFile ("existing.tw10_pack");
    ASSERT_TRUE (existing.replaceWithText (juce::String::repeatedString ("old pack ", 2000)));

    ASSERT_TRUE (qmrk_gui::createPresetPack (packedFolder(), fresh));
    ASSERT_TRUE (qmrk_gui::createPresetPack (packedFolder(), existing));
    EXPECT_EQ (readBytes (existing), readBytes (fresh));
}

TEST_F (PresetPacksTest, FilesGoneSinceTheScanAreLeftOutAndFoldersAreNoTarget)
{
    ASSERT_TRUE (users.getChildFile ("Packed/a.tw10").deleteFile());
    const auto pack = temp.get().getChildFile ("partial.tw10_pack");
    ASSERT_TRUE (qmrk_gui::createPresetPack (packedFolder(), pack));

    const auto entries = readLocalEntries (pack);
    ASSERT_EQ (entries.size(), (size_t) 1);
    EXPECT_EQ (entries[0].name, "Live" + sep + "b.tw10");

    EXPECT_FALSE (qmrk_gui::createPresetPack (packedFolder(), temp.get()));
    EXPECT_FALSE (qmrk_gui::createPresetPack (packedFolder(), juce::File()));
}

TEST_F (PresetPacksTest, PackTargetIsAlwaysANewChildOfThePresetFolder)
{
    const struct
    {
        const char* packName;
        const char* expectedFolder; // empty: refused
    } cases[] = {
        { "Set.tw10_pack", "Set" },
        { "My.Pack.tw10_pack", "My.Pack" },
        { "NoExtension", "NoExtension" },
        { "...tw10_pack", "" },
        { "..tw10_pack", "" },
    };

    for (const auto& c : cases)
    {
        const auto target = qmrk_gui::getPresetPackTarget (temp.get().getChildFile (c.packName), users);
        const auto expected =
            juce::String (c.expectedFolder).isEmpty() ? juce::File() : users.getChildFile (c.expectedFolder);
        EXPECT_EQ (target, expected) << c.packName;
    }

    EXPECT_EQ (qmrk_gui::getPresetPackTarget (temp.get().getChildFile ("Set.tw10_pack"), juce::File()), juce::File());
}

TEST_F (PresetPacksTest, HostileArchivesWriteNothing)
{
    ASSERT_TRUE (outside.createDirectory().wasOk());
    const juce::MemoryBlock preset = processor.makePreset (0.5f, 5, false);
    const juce::MemoryBlock big ((size_t) qmrk_gui::PresetPackLimits::maxEntrySize + 1, true);

    const struct
    {
        const char* what;
        juce::String entryName;
        juce::MemoryBlock content;
        int compression;
    } cases[] = {
        { "parent", "../outside/evil.tw10", preset, 0 },
        { "parent, backslashes", "..\\outside\\evil.tw10", preset, 0 },
        { "parent inside", "sub/../../outside/evil.tw10", preset, 0 },
        { "absolute", outside.getChildFile ("evil.tw10").getFullPathName(), preset, 0 },
        { "home", "~/evil.tw10", preset, 0 },
        { "larger than a preset, deflated", "big.tw10", big, 9 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        // A harmless entry first: nothing at all may be extracted.
        const auto pack =
            craftArchive ("Hostile.tw10_pack", { { "good.tw10", preset }, { c.entryName, c.content } }, c.compression);

        EXPECT_FALSE (qmrk_gui::unpackPresetPack (pack, users));
        EXPECT_FALSE (users.getChildFile ("Hostile").exists());
        EXPECT_TRUE (listRelative (outside).isEmpty());
        EXPECT_FALSE (temp.get().getChildFile ("evil.tw10").exists());
    }

    // JUCE's own extraction refuses the escaping entry too.
    const auto pack = craftArchive ("Escape.tw10_pack", { { "../outside/evil.tw10", preset } });
    const auto juceTarget = temp.get().getChildFile ("juce_target");
    ASSERT_TRUE (juceTarget.createDirectory().wasOk());
    juce::ZipFile zip (pack);
    ASSERT_EQ (zip.getNumEntries(), 1);
    EXPECT_EQ (zip.getEntry (0)->filename, "../outside/evil.tw10");
    EXPECT_TRUE (zip.uncompressTo (juceTarget, true).failed());
    EXPECT_TRUE (listRelative (outside).isEmpty());
}

TEST_F (PresetPacksTest, LinksInArchivesOrOnTheWayAreRefused)
{
    ASSERT_TRUE (outside.createDirectory().wasOk());
    const auto preset = processor.makePreset (0.5f, 5, false);

    // An archive entry that is a symbolic link.
    const auto linked = temp.get().getChildFile ("linked_preset.tw10");
    ASSERT_TRUE (writeBytes (linked, preset));
    const auto link = temp.get().getChildFile ("link.tw10");
    ASSERT_TRUE (juce::File::createSymbolicLink (link, linked.getFullPathName(), true));
    juce::ZipFile::Builder builder;
    builder.addFile (link, 0, "link.tw10");
    const auto linkPack = temp.get().getChildFile ("Linked.tw10_pack");
    {
        juce::FileOutputStream out (linkPack);
        ASSERT_TRUE (builder.writeToStream (out, nullptr));
    }
    ASSERT_TRUE (juce::ZipFile (linkPack).getEntry (0)->isSymbolicLink);
    EXPECT_FALSE (qmrk_gui::unpackPresetPack (linkPack, users));
    EXPECT_FALSE (users.getChildFile ("Linked").exists());

    // A folder of the target that links elsewhere.
    const auto target = users.getChildFile ("Routed");
    ASSERT_TRUE (target.createDirectory().wasOk());
    ASSERT_TRUE (juce::File::createSymbolicLink (target.getChildFile ("Live"), outside.getFullPathName(), true));
    const auto routed = craftArchive ("Routed.tw10_pack", { { "Live/b.tw10", preset } });
    EXPECT_FALSE (qmrk_gui::unpackPresetPack (routed, users));
    EXPECT_TRUE (listRelative (outside).isEmpty());
}

TEST_F (PresetPacksTest, NonArchivesAndMissingFoldersImportNothing)
{
    const auto notZip = temp.get().getChildFile ("Broken.tw10_pack");
    ASSERT_TRUE (notZip.replaceWithText ("this is not an archive"));
    EXPECT_FALSE (qmrk_gui::unpackPresetPack (notZip, users));
    EXPECT_FALSE (users.getChildFile ("Broken").exists());

    const auto pack = temp.get().getChildFile ("Set.tw10_pack");
    ASSERT_TRUE (qmrk_gui::createPresetPack (packedFolder(), pack));
    EXPECT_FALSE (qmrk_gui::unpackPresetPack (pack, juce::File()));
    EXPECT_FALSE (qmrk_gui::unpackPresetPack (pack, temp.get().getChildFile ("no_such_folder")));
    EXPECT_FALSE (temp.get().getChildFile ("no_such_folder").exists());
    EXPECT_FALSE (qmrk_gui::unpackPresetPack (temp.get().getChildFile ("missing.tw10_pack"), users));
}

} // namespace tw::test
