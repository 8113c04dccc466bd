// The generator: the committed outputs match the design table, and the table's rules hold.
#include "FactoryTestSupport.h"

#include <qmrk_gui/qmrk_gui.h>

#include "PluginProcessor.h"

namespace
{
using tw::test::loadDesigns;
using tw::test::projectFolder;

juce::String parameterId (size_t index)
{
    const auto& ref = ModelTree::hostOrder()[index];
    return ModelTree::getParameterID (ref.type, ref.stage);
}

/** A small design table; each row gets neutral values unless the test overrides one column. */
struct TableBuilder
{
    struct Row
    {
        juce::String category, name;
        std::map<juce::String, juce::String> overrides;
    };

    std::vector<Row> rows;
    juce::String extraColumn;

    TableBuilder& add (juce::String category, juce::String name, std::map<juce::String, juce::String> overrides = {})
    {
        rows.push_back ({ std::move (category), std::move (name), std::move (overrides) });
        return *this;
    }

    [[nodiscard]] juce::String text() const
    {
        juce::StringArray header { "category", "name" };
        for (size_t p = 0; p < ModelTree::numParameters; ++p)
            header.add (parameterId (p));
        header.add ("intent");
        if (extraColumn.isNotEmpty())
            header.add (extraColumn);

        juce::String csv = header.joinIntoString (",") + "\n";

        for (const auto& row : rows)
        {
            juce::StringArray fields { row.category, row.name };

            for (size_t p = 0; p < ModelTree::numParameters; ++p)
            {
                const auto type = ModelTree::hostOrder()[p].type;
                const auto id = parameterId (p);
                const auto found = row.overrides.find (id);
                fields.add (found != row.overrides.end() ? found->second
                            : type == PLayers            ? juce::String ("5")
                            : ModelTree::isSwitch (type) ? juce::String ("1")
                                                         : juce::String ("0.50"));
            }

            const auto intent = row.overrides.find ("intent");
            fields.add (intent != row.overrides.end() ? intent->second : juce::String ("\"test, with a comma\""));
            if (extraColumn.isNotEmpty())
                fields.add ("x");
            csv << fields.joinIntoString (",") << "\n";
        }

        return csv;
    }

    /** A valid two-level library with its default preset. */
    static TableBuilder valid()
    {
        TableBuilder table;
        table.add ("A//X", "First one").add ("A//Y", "Second one").add ("A", "Third").add ("B", "Fourth");
        table.add ("", "Default").add ("Root", "Low");
        return table;
    }
};
} // namespace

//==============================================================================
TEST (FactoryTable, CommittedOutputsMatchWhatTheTableGenerates)
{
    juce::StringArray errors;
    const auto files = presetgen::generate (tw::test::loadDesignTable(), errors);
    ASSERT_TRUE (errors.isEmpty()) << errors.joinIntoString ("\n");
    ASSERT_EQ (files.size(), 103u); // 102 presets and the library source

    const auto differences = presetgen::findDifferences (files, projectFolder());
    EXPECT_TRUE (differences.isEmpty()) << "run scripts/generate-presets.sh; out of date:\n"
                                        << differences.joinIntoString ("\n");
}

TEST (FactoryTable, GeneratingTwiceGivesTheSameBytes)
{
    juce::StringArray errors;
    const auto first = presetgen::generate (tw::test::loadDesignTable(), errors);
    const auto second = presetgen::generate (tw::test::loadDesignTable(), errors);
    ASSERT_TRUE (errors.isEmpty());
    ASSERT_EQ (first.size(), second.size());

    for (size_t i = 0; i < first.size(); ++i)
    {
        EXPECT_EQ (first[i].relativePath, second[i].relativePath);
        EXPECT_TRUE (first[i].content == second[i].content) << first[i].relativePath;
    }
}

TEST (FactoryTable, PresetFileHoldsTheScrambledStateDocumentInHostOrder)
{
    for (const auto& design : loadDesigns())
    {
        SCOPED_TRACE (design.name.toStdString());
        const auto file = presetgen::makePresetFile (design);
        const auto blob = presetgen::makeStateBlob (design);

        // The shortest little-endian form of the shifted blob: the low bytes are zero, the last is not.
        ASSERT_GT (file.getSize(), blob.getSize());
        EXPECT_EQ (file[0], 0);
        EXPECT_NE (file[file.getSize() - 1], 0);
        EXPECT_TRUE (qmrk_gui::unscramblePresetData (file, PluginProcessor::presetShift) ==
                     juce::MemoryBlock (blob.getData(), blob.getSize() - 1));

        const auto xml = juce::AudioProcessor::getXmlFromBinary (blob.getData(), static_cast<int> (blob.getSize()));
        ASSERT_NE (xml, nullptr);
        EXPECT_EQ (xml->getTagName(), "Tw10");
        EXPECT_EQ (xml->getStringAttribute ("CompanyName"), "Quillmark");
        EXPECT_EQ (xml->getStringAttribute ("ProductNameWithoutVersion"), "Tanglewave");
        EXPECT_EQ (xml->getStringAttribute ("ProductVersion"), "1.0.1");
        EXPECT_FALSE (xml->hasAttribute ("LoadedPreset"));
        ASSERT_EQ (xml->getNumChildElements(), ModelTree::numParameters);

        for (size_t p = 0; p < ModelTree::numParameters; ++p)
        {
            const auto* child = xml->getChildElement (static_cast<int> (p));
            EXPECT_EQ (child->getTagName(), "PARAM");
            EXPECT_EQ (child->getStringAttribute ("id"), parameterId (p));
            EXPECT_DOUBLE_EQ (child->getDoubleAttribute ("value", -1.0), design.values[p]) << parameterId (p);
        }
    }
}

TEST (FactoryTable, FileAndResourceNamesFollowThePresetName)
{
    const struct
    {
        const char* preset;
        const char* file;
        const char* resource;
    } cases[] = {
        { "Cowboy bebop", "cowboy_bebop.tw10", "cowboy_bebop_tw10" },
        { "3am lab", "3am_lab.tw10", "_3am_lab_tw10" },
        { "Default", "default.tw10", "default_tw10" },
        { "Monks on line 1", "monks_on_line_1.tw10", "monks_on_line_1_tw10" },
        { "Wizard of Waukesha", "wizard_of_waukesha.tw10", "wizard_of_waukesha_tw10" },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (presetgen::makeFileName (c.preset), c.file);
        EXPECT_EQ (presetgen::makeResourceName (c.preset), c.resource);
    }
}

TEST (FactoryTable, LibraryIsAPostOrderWalkInTableOrder)
{
    juce::StringArray errors;
    const auto designs = presetgen::parseTable (TableBuilder::valid().text(), errors);
    const auto library = presetgen::buildLibrary (designs, errors);
    ASSERT_TRUE (errors.isEmpty()) << errors.joinIntoString ("\n");

    const struct
    {
        const char* name;
        std::vector<int> presets;
        juce::StringArray subcategories;
        bool isRoot;
    } expected[] = {
        { "A//X", { 0 }, {}, false },
        { "A//Y", { 1 }, {}, false },
        { "A", { 2 }, { "A//X", "A//Y" }, false },
        { "B", { 3 }, {}, false },
        { "Root", { 4, 5 }, { "A", "B" }, true },
    };

    ASSERT_EQ (library.size(), std::size (expected));
    for (size_t i = 0; i < library.size(); ++i)
    {
        EXPECT_EQ (library[i].name, expected[i].name);
        EXPECT_EQ (library[i].presets, expected[i].presets) << expected[i].name;
        EXPECT_EQ (library[i].subcategories, expected[i].subcategories) << expected[i].name;
        EXPECT_EQ (library[i].isRoot, expected[i].isRoot) << expected[i].name;
    }

    const auto source = presetgen::makeLibrarySource (designs, library);
    EXPECT_TRUE (source.startsWith ("// Generated by tw_presetgen"));
    EXPECT_TRUE (source.contains ("{ \"Default\", BinaryData::default_tw10, BinaryData::default_tw10Size, true }"));
    EXPECT_TRUE (source.contains ("{ \"Low\", BinaryData::low_tw10, BinaryData::low_tw10Size, false }"));
    EXPECT_TRUE (source.contains ("{ \"A//X\", \"A//Y\" }"));
    EXPECT_LT (source.indexOf ("{ \"A//X\",\n"), source.indexOf ("{ \"A\",\n"));
}

TEST (FactoryTable, MistakesInTheTableAreReported)
{
    const auto withRow = [] (const char* category, const char* name, std::map<juce::String, juce::String> overrides)
    { return TableBuilder::valid().add (category, name, std::move (overrides)); };

    const struct
    {
        const char* what;
        TableBuilder table;
        const char* message;
    } cases[] = {
        { "three decimals", withRow ("B", "Fifth", { { "Mix", "0.355" } }), "Mix of \"Fifth\" is \"0.355\"" },
        { "one decimal", withRow ("B", "Fifth", { { "Mix", "0.5" } }), "Mix of \"Fifth\"" },
        { "above one", withRow ("B", "Fifth", { { "CDepth_b", "1.01" } }), "CDepth_b of \"Fifth\"" },
        { "too many layers", withRow ("B", "Fifth", { { "PLayers", "13" } }), "PLayers of \"Fifth\"" },
        { "no layers", withRow ("B", "Fifth", { { "PLayers", "0" } }), "PLayers of \"Fifth\"" },
        { "switch not 0 or 1", withRow ("B", "Fifth", { { "Stereo", "2" } }), "Stereo of \"Fifth\"" },
        { "switch as fraction", withRow ("B", "Fifth", { { "CEnabled_a", "0.50" } }), "CEnabled_a of \"Fifth\"" },
        { "same file name", withRow ("B", "first One", {}), "same file name as line 2" },
        { "name with underscore", withRow ("B", "Fifth_one", {}), "only letters, digits and spaces" },
        { "empty category level", withRow ("B////C", "Fifth", {}), "malformed level" },
        { "no intent", withRow ("B", "Fifth", { { "intent", "" } }), "has no intent" },
        { "second default", withRow ("B", "Default", {}), "same file name" },
        { "category's own preset before its subcategory's",
          TableBuilder().add ("A", "Third").add ("A//X", "First one").add ("", "Default"),
          "\"First one\" is registered as preset 1" },
        { "no default", TableBuilder().add ("A", "Third"), "exactly one preset named \"Default\"" },
        { "default outside the root", TableBuilder().add ("A", "Default"), "belongs in the root category" },
    };

    for (const auto& c : cases)
    {
        juce::StringArray errors;
        const auto files = presetgen::generate (c.table.text(), errors);
        EXPECT_TRUE (files.empty()) << c.what;
        EXPECT_TRUE (errors.joinIntoString ("\n").contains (c.message))
            << c.what << ": " << errors.joinIntoString ("\n");
    }
}

TEST (FactoryTable, MalformedHeaderOrRowsAreReported)
{
    auto extra = TableBuilder::valid();
    extra.extraColumn = "Volume";

    const struct
    {
        const char* what;
        juce::String text;
        const char* message;
    } cases[] = {
        { "unknown column", extra.text(), "unknown or repeated column \"Volume\"" },
        { "missing column", TableBuilder::valid().text().replace (",TFeedbackTexture", ""),
          "no column for TFeedbackTexture" },
        { "repeated column", TableBuilder::valid().text().replace (",Mix,", ",OutputGain,"),
          "repeated column \"OutputGain\"" },
        { "short row", TableBuilder::valid().text() + "B,Sixth,0.50\n", "line 8: expected 25 fields, found 3" },
        { "open quote", TableBuilder::valid().text() + "B,\"Sixth\n", "unterminated quote" },
        { "empty", "", "the table is empty" },
    };

    for (const auto& c : cases)
    {
        juce::StringArray errors;
        EXPECT_TRUE (presetgen::generate (c.text, errors).empty()) << c.what;
        EXPECT_TRUE (errors.joinIntoString ("\n").contains (c.message))
            << c.what << ": " << errors.joinIntoString ("\n");
    }
}

TEST (FactoryTable, WritingReplacesChangedFilesAndRemovesStaleOnesOnly)
{
    tw::test::TempFolder project;
    juce::StringArray errors;
    const auto files = presetgen::generate (TableBuilder::valid().text(), errors);
    ASSERT_TRUE (presetgen::writeOutputs (files, project.get(), errors)) << errors.joinIntoString ("\n");
    EXPECT_TRUE (presetgen::findDifferences (files, project.get()).isEmpty());

    const auto presets = project.get().getChildFile (presetgen::ProjectPaths::presetFolder);
    const auto untouched = presets.getChildFile ("third.tw10");
    const auto changed = presets.getChildFile ("fourth.tw10");
    const auto stale = presets.getChildFile ("removed_preset.tw10");
    const auto other = presets.getChildFile ("notes.txt");
    const juce::Time longAgo (2001, 0, 1, 0, 0);
    ASSERT_TRUE (untouched.setLastModificationTime (longAgo));
    ASSERT_TRUE (changed.replaceWithText ("edited by hand"));
    ASSERT_TRUE (stale.replaceWithText ("left over"));
    ASSERT_TRUE (other.replaceWithText ("not a preset"));

    const auto differences = presetgen::findDifferences (files, project.get());
    EXPECT_EQ (differences.size(), 2);
    EXPECT_TRUE (differences.contains ("Resources/FactoryPresets/fourth.tw10"));

    ASSERT_TRUE (presetgen::writeOutputs (files, project.get(), errors));
    EXPECT_TRUE (presetgen::findDifferences (files, project.get()).isEmpty());
    EXPECT_FALSE (stale.exists());
    EXPECT_TRUE (other.existsAsFile());
    EXPECT_EQ (untouched.getLastModificationTime(), longAgo);
}

TEST (FactoryTable, EveryPresetDiffersFromEveryOther)
{
    const auto designs = loadDesigns();
    ASSERT_EQ (designs.size(), 102u);

    for (size_t i = 0; i < designs.size(); ++i)
        for (size_t j = i + 1; j < designs.size(); ++j)
            EXPECT_NE (designs[i].values, designs[j].values) << designs[i].name << " and " << designs[j].name;
}
