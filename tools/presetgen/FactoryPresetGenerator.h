#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <vector>

#include "ModelTree.h"

/**
    Turns the factory preset design table into the embedded preset files and the registration
    table of the factory library. Kept apart from the command-line front end so that the tests
    can regenerate everything in memory and compare it with what is committed.
*/
namespace presetgen
{
/** Where the inputs and outputs live, relative to the project folder. */
struct ProjectPaths
{
    static constexpr const char* table = "tools/presetgen/factory_presets.csv";
    static constexpr const char* presetFolder = "Resources/FactoryPresets";
    static constexpr const char* librarySource = "Source/FactoryLibrary.cpp";
};

/** The table's category for presets of the root category; an empty cell means the same. */
inline constexpr const char* rootCategoryName = "Root";
/** The one root preset the plug-in loads at start-up. */
inline constexpr const char* defaultPresetName = "Default";

/** One row of the design table: a factory preset. */
struct PresetDesign
{
    juce::String category; // full path with "//" between levels; rootCategoryName for the root
    juce::String name;
    /** Host values in host order: 0..1 in steps of 0.01, 1..12 for PLayers, 0 or 1 for switches. */
    std::array<double, ModelTree::numParameters> values {};
    juce::String intent;
    int line = 0; // in the table, for messages
};

/** One row of the library table, as PresetManager::addFactoryLibrary takes it. */
struct CategoryEntry
{
    juce::String name;
    std::vector<int> presets; // indices into the design list
    juce::StringArray subcategories;
    bool isRoot = false;
};

struct GeneratedFile
{
    juce::String relativePath; // from the project folder, with '/' separators
    juce::MemoryBlock content;
};

/** Reads the design table; problems are appended to errors with their line numbers. */
[[nodiscard]] std::vector<PresetDesign> parseTable (const juce::String& csvText, juce::StringArray& errors);

/** "cowboy_bebop.tw10" for "Cowboy bebop". */
[[nodiscard]] juce::String makeFileName (const juce::String& presetName);

/** The identifier the binary-data build step gives that file: "cowboy_bebop_tw10", "_3am_lab_tw10". */
[[nodiscard]] juce::String makeResourceName (const juce::String& presetName);

/** The unscrambled state blob the preset file holds, as the plug-in writes it for a preset. */
[[nodiscard]] juce::MemoryBlock makeStateBlob (const PresetDesign& preset);

/** The preset file: the state blob, scrambled. */
[[nodiscard]] juce::MemoryBlock makePresetFile (const PresetDesign& preset);

/**
    The categories in registration order: a post-order walk of the category tree in the order the
    table first names each category. The table must list the presets in the order this walk
    registers them, since that order gives the preset ids; any other order is reported.
*/
[[nodiscard]] std::vector<CategoryEntry> buildLibrary (const std::vector<PresetDesign>& presets,
                                                       juce::StringArray& errors);

/** The source of Source/FactoryLibrary.cpp. */
[[nodiscard]] juce::String makeLibrarySource (const std::vector<PresetDesign>& presets,
                                              const std::vector<CategoryEntry>& library);

/** Every output for the table: the preset files, then the library source. Empty on any error. */
[[nodiscard]] std::vector<GeneratedFile> generate (const juce::String& csvText, juce::StringArray& errors);

/** Writes the outputs below projectFolder, leaving files that already hold the right bytes
    untouched, and deletes preset files in the preset folder that the table no longer names. */
[[nodiscard]] bool writeOutputs (const std::vector<GeneratedFile>& files, const juce::File& projectFolder,
                                 juce::StringArray& errors);

/** The outputs that differ from (or are missing in) projectFolder, plus stale preset files. */
[[nodiscard]] juce::StringArray findDifferences (const std::vector<GeneratedFile>& files,
                                                 const juce::File& projectFolder);

} // namespace presetgen
