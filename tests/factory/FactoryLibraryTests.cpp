// The embedded library as the plug-in registers it, and how each factory preset sounds.
#include "FactoryTestSupport.h"

#include <cmath>

namespace
{
using Manager = qmrk_gui::PresetManager;

struct ExpectedCategory
{
    const char* name;
    std::vector<const char*> presets;
    std::vector<const char*> subcategories;
};

/** The product's factory library: categories in registration order with their presets. */
const std::vector<ExpectedCategory>& expectedLibrary()
{
    static const std::vector<ExpectedCategory> library {
        { "Guitar//Clean//Modulation",
          { "Cowboy bebop", "Down the well", "Johnny crypto", "Mertz machine", "Valkaries" },
          {} },
        { "Guitar//Clean//Time-based",
          { "Dont call it delay", "Flight of dragons", "Ottobar", "Pulsars", "Resonators" },
          {} },
        { "Guitar//Clean", {}, { "Guitar//Clean//Modulation", "Guitar//Clean//Time-based" } },
        { "Guitar//Lead//Modulation",
          { "Amazing race", "Doctor what", "El ofi", "Jimmy couldnt come", "Wizard of Waukesha" },
          {} },
        { "Guitar//Lead//Time-based",
          { "Cutting room floor", "Dawn treader", "Fountain of youth", "Just falling asleep", "Meditation" },
          {} },
        { "Guitar//Lead", {}, { "Guitar//Lead//Modulation", "Guitar//Lead//Time-based" } },
        { "Guitar//Chords", { "Extremely organ", "Flying partner", "Low fai", "Many tracked", "Wet" }, {} },
        { "Guitar//Heavy", { "Bright lamp", "High on cbd", "Jiggle saw", "Ricochet", "Surrealization" }, {} },
        { "Guitar", {}, { "Guitar//Clean", "Guitar//Lead", "Guitar//Chords", "Guitar//Heavy" } },
        { "Drums//Full Kit//Modulation", { "Drumhead what", "Loaf Eye", "Long shot", "Lotta goin on" }, {} },
        { "Drums//Full Kit//Time-based", { "Funky horror", "Syncophant", "Time lump", "Unplug the kit" }, {} },
        { "Drums//Full Kit", {}, { "Drums//Full Kit//Modulation", "Drums//Full Kit//Time-based" } },
        { "Drums//Hi-Hats", { "Hi hat enhancer", "Rained on", "Raygun", "Sputter" }, {} },
        { "Drums", {}, { "Drums//Full Kit", "Drums//Hi-Hats" } },
        { "Reverb//Horror", { "Bad realization", "Howl", "Suspense", "Underneath everything", "Windy night" }, {} },
        { "Reverb", { "Monks on line 1", "Organ echo", "Simply electric", "Sirens", "Streams" }, { "Reverb//Horror" } },
        { "Delay//Clean", { "Cuts deep", "Delay delayed", "Flangish", "Someone there" }, {} },
        { "Delay//Modulation", { "Breakup", "Elvira", "Mysterio", "Pax romana" }, {} },
        { "Delay", {}, { "Delay//Clean", "Delay//Modulation" } },
        { "Synth//Lead//Modulation",
          { "Conflict of interest", "Lau feigh", "Let in the draft", "Plucker up", "Kind regards" },
          {} },
        { "Synth//Lead//Time-based",
          { "Especially pretty", "Guanajuato", "Parquet lead", "Secret world", "Trickler" },
          {} },
        { "Synth//Lead", {}, { "Synth//Lead//Modulation", "Synth//Lead//Time-based" } },
        { "Synth//Pad and Ambient",
          { "3am lab", "Alien grasslands", "Blair witch", "Screamin memes", "Second temple" },
          {} },
        { "Synth", {}, { "Synth//Lead", "Synth//Pad and Ambient" } },
        { "Vocals//Enhancing", { "Body double", "Buzzcocks", "It slaps", "Phonebook" }, {} },
        { "Vocals//Creative", { "Celtic voice", "Goblin sister", "Metal room", "Singing with ghosts" }, {} },
        { "Vocals", {}, { "Vocals//Enhancing", "Vocals//Creative" } },
        { "Bass", { "Inharmonic", "Shiner", "Space bass", "Suprise its overtones", "Train underwater" }, {} },
        { "Misc//Lifelike", { "Aviary", "Rainstick", "Televators", "Whistler" }, {} },
        { "Misc//WEIRD", { "Dont bare with me", "Harsh as possible", "Space song", "Trash compactor" }, {} },
        { "Misc",
          { "Bon voyage", "Slow dream", "Long drive to hell", "Wika wika" },
          { "Misc//Lifelike", "Misc//WEIRD" } },
        { "Root", { "Default", "Low" }, { "Guitar", "Drums", "Reverb", "Delay", "Synth", "Vocals", "Bass", "Misc" } },
    };
    return library;
}

juce::StringArray toStringArray (const std::vector<const char*>& texts)
{
    juce::StringArray result;
    for (const auto* text : texts)
        result.add (text);
    return result;
}

} // namespace

//==============================================================================
TEST (FactoryLibrary, TableMatchesTheProductsLibrary)
{
    const auto& library = FactoryLibrary::get();
    const auto& expected = expectedLibrary();
    ASSERT_EQ (library.size(), expected.size());

    for (size_t i = 0; i < library.size(); ++i)
    {
        SCOPED_TRACE (expected[i].name);
        EXPECT_EQ (library[i].name, expected[i].name);
        EXPECT_EQ (library[i].subcategories, toStringArray (expected[i].subcategories));
        EXPECT_EQ (library[i].isRoot, i + 1 == library.size());
        ASSERT_EQ (library[i].presets.size(), expected[i].presets.size());

        for (size_t j = 0; j < library[i].presets.size(); ++j)
        {
            const auto& preset = library[i].presets[j];
            EXPECT_EQ (preset.name, expected[i].presets[j]);
            EXPECT_EQ (preset.isDefault, preset.name == "Default");
            EXPECT_NE (preset.data, nullptr);
            EXPECT_GT (preset.sizeInBytes, 0);
        }
    }
}

TEST (FactoryLibrary, EmbeddedDataIsTheCommittedPresetFile)
{
    const auto folder = tw::test::projectFolder().getChildFile (presetgen::ProjectPaths::presetFolder);
    int count = 0;

    for (const auto& category : FactoryLibrary::get())
    {
        for (const auto& preset : category.presets)
        {
            juce::MemoryBlock file;
            ASSERT_TRUE (folder.getChildFile (presetgen::makeFileName (preset.name)).loadFileAsData (file))
                << preset.name;
            EXPECT_TRUE (file == juce::MemoryBlock (preset.data, static_cast<size_t> (preset.sizeInBytes)))
                << preset.name;
            ++count;
        }
    }

    EXPECT_EQ (count, 102);
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles, "*.tw10"), 102);
}

TEST (FactoryLibrary, ProcessorRegistersThePresetsWithConsecutiveIds)
{
    tw::test::ScopedEmptyHome home;
    PluginProcessor processor;
    auto& manager = processor.getPresetManager();

    std::vector<const char*> names;
    for (const auto& category : expectedLibrary())
        names.insert (names.end(), category.presets.begin(), category.presets.end());
    ASSERT_EQ (names.size(), 102u);

    for (size_t i = 0; i < names.size(); ++i)
    {
        const auto* preset = manager.getFactoryPreset (Manager::firstPresetId + static_cast<int> (i));
        ASSERT_NE (preset, nullptr) << names[i];
        EXPECT_EQ (preset->name, names[i]);
    }

    EXPECT_EQ (manager.getFactoryPreset (111 + 1), nullptr);
    EXPECT_EQ (manager.getFactoryPreset (10)->name, "Cowboy bebop");
    EXPECT_EQ (manager.getFactoryPreset (109)->name, "Wika wika");
    EXPECT_EQ (manager.getFactoryPreset (111)->name, "Low");
    ASSERT_NE (manager.getDefaultPreset(), nullptr);
    EXPECT_EQ (manager.getDefaultPreset()->id, 110);
    EXPECT_EQ (manager.getDefaultPreset()->name, "Default");
    EXPECT_EQ (manager.getCurrentId(), 110);

    const auto* root = manager.getRootCategory();
    ASSERT_NE (root, nullptr);
    EXPECT_EQ (root->name, "Root");
    ASSERT_EQ (root->subcategories.size(), 8);
    EXPECT_EQ (root->subcategories[0]->name, "Guitar");
    EXPECT_EQ (root->subcategories[2]->subcategories[0]->name, "Reverb//Horror");
}

TEST (FactoryLibrary, LoadingAPresetSetsEveryParameterToItsDesign)
{
    tw::test::ScopedEmptyHome home;
    PluginProcessor processor;
    const auto designs = tw::test::loadDesigns();
    const auto& order = ModelTree::hostOrder();
    size_t index = 0;

    for (const auto& category : FactoryLibrary::get())
    {
        for (const auto& preset : category.presets)
        {
            ASSERT_LT (index, designs.size());
            const auto& design = designs[index++];
            ASSERT_EQ (design.name, preset.name);
            ASSERT_TRUE (
                processor.loadState (juce::MemoryBlock (preset.data, static_cast<size_t> (preset.sizeInBytes)), false))
                << preset.name;

            for (size_t p = 0; p < order.size(); ++p)
            {
                const auto id = ModelTree::getParameterID (order[p].type, order[p].stage);
                EXPECT_NEAR (processor.getModel().getRawParameterValue (id)->load(), design.values[p], 1.0e-6)
                    << preset.name << " " << id;
            }
        }
    }
}

TEST (FactoryLibrary, EveryPresetSoundsAndStaysWithinTwelveDecibelsOfTheInput)
{
    const auto maxRatio = juce::Decibels::decibelsToGain (12.0f);
    const auto minRatio = juce::Decibels::decibelsToGain (-40.0f);

    tw::test::ScopedEmptyHome home;
    const auto input = tw::test::makePluckedSignal();
    const auto inputPeak = input.getMagnitude (0, input.getNumSamples());

    auto lowest = std::numeric_limits<float>::max(), highest = 0.0f;
    juce::String lowestName, highestName;

    for (const auto& entry : tw::test::allFactoryPresets())
    {
        const auto& name = entry.preset->name;
        SCOPED_TRACE (name.toStdString());
        auto processor = tw::test::makeProcessor (*entry.preset);
        const auto output = tw::test::renderThrough (*processor, input);

        auto finite = true;
        for (int ch = 0; ch < output.getNumChannels(); ++ch)
            for (int i = 0; i < output.getNumSamples(); ++i)
                finite = finite && std::isfinite (output.getSample (ch, i));

        const auto ratio = output.getMagnitude (0, output.getNumSamples()) / inputPeak;
        EXPECT_TRUE (finite);
        EXPECT_GT (ratio, minRatio) << "silent";
        EXPECT_GT (output.getRMSLevel (0, 0, output.getNumSamples()), 1.0e-3f) << "silent";
        EXPECT_LE (ratio, maxRatio) << juce::Decibels::gainToDecibels (ratio) << " dB above the input peak";

        if (ratio < lowest)
            lowest = ratio, lowestName = name;
        if (ratio > highest)
            highest = ratio, highestName = name;
    }

    std::cout << "output peak / input peak: lowest " << juce::Decibels::gainToDecibels (lowest) << " dB (" << lowestName
              << "), highest " << juce::Decibels::gainToDecibels (highest) << " dB (" << highestName << ")\n";
}
