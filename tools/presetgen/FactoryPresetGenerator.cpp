#include "FactoryPresetGenerator.h"

#include "PluginProcessor.h"

#include <qmrk_gui/qmrk_gui.h>

#include <algorithm>
#include <functional>
#include <map>

namespace presetgen
{
namespace
{
constexpr const char* presetExtension = ".tw10";
constexpr const char* categoryColumn = "category";
constexpr const char* nameColumn = "name";
constexpr const char* intentColumn = "intent";
constexpr const char* nameCharacters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
constexpr const char* categoryLevelCharacters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -";

juce::String lineMessage (int line, const juce::String& text)
{
    return "line " + juce::String (line) + ": " + text;
}

/** Splits one CSV record; quoted fields may hold commas and doubled quotes. False on an open quote. */
bool splitRecord (const juce::String& line, juce::StringArray& fields)
{
    fields.clear();
    juce::String field;
    auto quoted = false;

    for (auto p = line.getCharPointer(); !p.isEmpty(); ++p)
    {
        const auto c = *p;

        if (quoted)
        {
            if (c != '"')
                field += juce::String::charToString (c);
            else if (*(p + 1) == '"')
            {
                field += "\"";
                ++p;
            }
            else
                quoted = false;
        }
        else if (c == '"')
            quoted = true;
        else if (c == ',')
        {
            fields.add (field.trim());
            field.clear();
        }
        else
            field += juce::String::charToString (c);
    }

    fields.add (field.trim());
    return !quoted;
}

/** "0.35" or "1.00": two decimals, 0 to 1. */
bool parseContinuous (const juce::String& text, double& value)
{
    const auto isDigit = [] (juce::juce_wchar c) { return c >= '0' && c <= '9'; };

    if (text.length() != 4 || text[1] != '.' || !isDigit (text[0]) || !isDigit (text[2]) || !isDigit (text[3]))
        return false;

    const auto hundredths = (text[0] - '0') * 100 + (text[2] - '0') * 10 + (text[3] - '0');

    if (hundredths > 100)
        return false;

    value = hundredths / 100.0;
    return true;
}

bool parseInteger (const juce::String& text, int minimum, int maximum, double& value)
{
    if (text.isEmpty() || !text.containsOnly ("0123456789") || text.length() > 2)
        return false;

    const auto number = text.getIntValue();

    if (number < minimum || number > maximum)
        return false;

    value = number;
    return true;
}

/** The levels of a full category name; the separator is a whole string, not a set of characters. */
juce::StringArray splitCategory (const juce::String& category)
{
    const juce::String separator (qmrk_gui::PresetManager::categorySeparator);
    juce::StringArray levels;
    auto rest = category;

    for (auto at = rest.indexOf (separator); at >= 0; at = rest.indexOf (separator))
    {
        levels.add (rest.substring (0, at));
        rest = rest.substring (at + separator.length());
    }

    levels.add (rest);
    return levels;
}

juce::String checkName (const juce::String& name)
{
    if (name.isEmpty())
        return "empty preset name";
    if (!name.containsOnly (nameCharacters))
        return "preset name \"" + name + "\" may hold only letters, digits and spaces";
    if (name != name.trim() || name.contains ("  "))
        return "preset name \"" + name + "\" has stray spaces";
    return {};
}

juce::String checkCategory (const juce::String& category)
{
    if (category == rootCategoryName)
        return {};

    const auto levels = splitCategory (category);

    if (levels[0] == rootCategoryName)
        return "category \"" + category + "\": the root category has no subcategories of its own name";

    for (const auto& level : levels)
        if (level.isEmpty() || level != level.trim() || !level.containsOnly (categoryLevelCharacters))
            return "category \"" + category + "\" has an empty or malformed level";

    return {};
}

/** The design table's numbers as the state document writes them. */
juce::String formatValue (ParameterType type, double value)
{
    if (type == PLayers || ModelTree::isSwitch (type))
        return juce::String (juce::roundToInt (value));
    return juce::String (value, 2);
}

juce::String cppString (const juce::String& text)
{
    return "\"" + text.replace ("\\", "\\\\").replace ("\"", "\\\"") + "\"";
}

juce::String joinPath (const juce::String& parent, const juce::String& level)
{
    return parent.isEmpty() ? level : parent + qmrk_gui::PresetManager::categorySeparator + level;
}
} // namespace

//==============================================================================
std::vector<PresetDesign> parseTable (const juce::String& csvText, juce::StringArray& errors)
{
    const auto& order = ModelTree::hostOrder();
    std::vector<PresetDesign> presets;
    juce::StringArray lines;
    lines.addLines (csvText);

    int categoryIndex = -1, nameIndex = -1, intentIndex = -1;
    std::array<int, ModelTree::numParameters> valueIndex;
    valueIndex.fill (-1);
    auto headerSeen = false;
    juce::StringArray fields;

    for (int i = 0; i < lines.size(); ++i)
    {
        const auto lineNumber = i + 1;

        if (lines[i].trim().isEmpty())
            continue;

        if (!splitRecord (lines[i], fields))
        {
            errors.add (lineMessage (lineNumber, "unterminated quote"));
            continue;
        }

        if (!headerSeen)
        {
            headerSeen = true;

            for (int column = 0; column < fields.size(); ++column)
            {
                const auto& title = fields[column];
                auto known = false;

                if (title == categoryColumn)
                    categoryIndex = column, known = true;
                else if (title == nameColumn)
                    nameIndex = column, known = true;
                else if (title == intentColumn)
                    intentIndex = column, known = true;

                for (size_t p = 0; p < order.size() && !known; ++p)
                {
                    if (title == ModelTree::getParameterID (order[p].type, order[p].stage))
                    {
                        known = valueIndex[p] < 0;
                        valueIndex[p] = column;
                    }
                }

                if (!known)
                    errors.add (lineMessage (lineNumber, "unknown or repeated column \"" + title + "\""));
            }

            if (categoryIndex < 0 || nameIndex < 0 || intentIndex < 0)
                errors.add (lineMessage (lineNumber, "the header needs the columns category, name and intent"));

            for (size_t p = 0; p < order.size(); ++p)
                if (valueIndex[p] < 0)
                    errors.add (lineMessage (
                        lineNumber, "no column for " + ModelTree::getParameterID (order[p].type, order[p].stage)));

            if (!errors.isEmpty())
                return {};

            continue;
        }

        if (fields.size() != static_cast<int> (order.size()) + 3)
        {
            errors.add (lineMessage (lineNumber, "expected " + juce::String (order.size() + 3) + " fields, found " +
                                                     juce::String (fields.size())));
            continue;
        }

        PresetDesign preset;
        preset.line = lineNumber;
        preset.category = fields[categoryIndex].isEmpty() ? juce::String (rootCategoryName) : fields[categoryIndex];
        preset.name = fields[nameIndex];
        preset.intent = fields[intentIndex];

        for (const auto& problem : { checkName (preset.name), checkCategory (preset.category) })
            if (problem.isNotEmpty())
                errors.add (lineMessage (lineNumber, problem));

        if (preset.intent.isEmpty())
            errors.add (lineMessage (lineNumber, "\"" + preset.name + "\" has no intent"));

        for (size_t p = 0; p < order.size(); ++p)
        {
            const auto type = order[p].type;
            const auto& text = fields[valueIndex[p]];
            auto& value = preset.values[p];
            const auto ok = type == PLayers ? parseInteger (text, ModelTree::minLayers, ModelTree::maxLayers, value)
                            : ModelTree::isSwitch (type) ? parseInteger (text, 0, 1, value)
                                                         : parseContinuous (text, value);
            if (!ok)
                errors.add (lineMessage (lineNumber, ModelTree::getParameterID (type, order[p].stage) + " of \"" +
                                                         preset.name + "\" is \"" + text + "\""));
        }

        presets.push_back (preset);
    }

    if (!headerSeen)
        errors.add ("the table is empty");

    // Preset files are named after their presets; two names must not make one file.
    std::map<juce::String, int> fileNames;
    for (const auto& preset : presets)
    {
        const auto [position, inserted] = fileNames.emplace (makeFileName (preset.name), preset.line);
        if (!inserted)
            errors.add (lineMessage (preset.line, "\"" + preset.name + "\" has the same file name as line " +
                                                      juce::String (position->second)));
    }

    return presets;
}

juce::String makeFileName (const juce::String& presetName)
{
    return presetName.toLowerCase().replaceCharacter (' ', '_') + presetExtension;
}

juce::String makeResourceName (const juce::String& presetName)
{
    const auto name = makeFileName (presetName).replaceCharacter ('.', '_');
    return juce::CharacterFunctions::isDigit (name[0]) ? "_" + name : name;
}

juce::MemoryBlock makeStateBlob (const PresetDesign& preset)
{
    const auto& order = ModelTree::hostOrder();
    juce::XmlElement document (ModelTree::stateType);
    document.setAttribute ("CompanyName", JucePlugin_Manufacturer);
    document.setAttribute ("ProductNameWithoutVersion", PluginProcessor::productNameWithoutVersion);
    document.setAttribute ("ProductVersion", JucePlugin_VersionString);

    for (size_t p = 0; p < order.size(); ++p)
    {
        auto* child = document.createNewChildElement ("PARAM");
        child->setAttribute ("id", ModelTree::getParameterID (order[p].type, order[p].stage));
        child->setAttribute ("value", formatValue (order[p].type, preset.values[p]));
    }

    juce::MemoryBlock blob;
    juce::AudioProcessor::copyXmlToBinary (document, blob);
    return blob;
}

juce::MemoryBlock makePresetFile (const PresetDesign& preset)
{
    return qmrk_gui::scramblePresetData (makeStateBlob (preset), PluginProcessor::presetShift);
}

//==============================================================================
std::vector<CategoryEntry> buildLibrary (const std::vector<PresetDesign>& presets, juce::StringArray& errors)
{
    struct Node
    {
        juce::String name;
        std::vector<int> presets;
        std::vector<size_t> children;
    };

    std::vector<Node> nodes (1); // the root
    std::map<juce::String, size_t> byName;
    auto defaults = 0;

    for (size_t i = 0; i < presets.size(); ++i)
    {
        const auto& preset = presets[i];
        size_t node = 0;

        if (preset.category != rootCategoryName)
        {
            juce::String path;

            for (const auto& level : splitCategory (preset.category))
            {
                path = joinPath (path, level);
                const auto [position, inserted] = byName.emplace (path, nodes.size());

                if (inserted)
                {
                    nodes[node].children.push_back (nodes.size());
                    nodes.push_back ({ path, {}, {} });
                }

                node = position->second;
            }
        }

        nodes[node].presets.push_back (static_cast<int> (i));

        if (preset.name == defaultPresetName)
        {
            ++defaults;
            if (node != 0)
                errors.add (lineMessage (preset.line, "the default preset belongs in the root category"));
        }
    }

    if (defaults != 1)
        errors.add ("the table needs exactly one preset named \"" + juce::String (defaultPresetName) + "\"");

    std::vector<CategoryEntry> library;
    const std::function<void (size_t)> visit = [&] (size_t index)
    {
        const auto& node = nodes[index];
        CategoryEntry entry;

        for (const auto child : node.children)
        {
            visit (child);
            entry.subcategories.add (nodes[child].name);
        }

        entry.name = index == 0 ? juce::String (rootCategoryName) : node.name;
        entry.presets = node.presets;
        entry.isRoot = index == 0;
        library.push_back (entry);
    };
    visit (0);

    // Registration order decides the preset ids; the table is meant to read in that order.
    int expected = 0;
    for (const auto& entry : library)
    {
        for (const auto index : entry.presets)
        {
            if (index != expected)
            {
                const auto& preset = presets[static_cast<size_t> (index)];
                errors.add (lineMessage (preset.line, "\"" + preset.name + "\" is registered as preset " +
                                                          juce::String (expected + 1) +
                                                          " (a category's own presets follow those of its "
                                                          "subcategories); move the row there"));
                return library;
            }
            ++expected;
        }
    }

    return library;
}

juce::String makeLibrarySource (const std::vector<PresetDesign>& presets, const std::vector<CategoryEntry>& library)
{
    const auto flag = [] (bool value) { return value ? "true" : "false"; };

    juce::String text;
    text << "// Generated by tw_presetgen from " << ProjectPaths::table
         << " (scripts/generate-presets.sh); do not edit.\n"
         << "#include \"FactoryLibrary.h\"\n"
         << "\n"
         << "#include \"BinaryData.h\"\n"
         << "\n"
         << "const std::vector<qmrk_gui::PresetManager::FactoryCategoryInfo>& FactoryLibrary::get()\n"
         << "{\n"
         << "    // clang-format off\n"
         << "    static const std::vector<qmrk_gui::PresetManager::FactoryCategoryInfo> library {\n";

    for (const auto& entry : library)
    {
        text << "        { " << cppString (entry.name) << ",\n";

        if (entry.presets.empty())
            text << "          {},\n";
        else
        {
            text << "          {\n";
            for (const auto index : entry.presets)
            {
                const auto& preset = presets[static_cast<size_t> (index)];
                const auto resource = "BinaryData::" + makeResourceName (preset.name);
                text << "              { " << cppString (preset.name) << ", " << resource << ", " << resource
                     << "Size, " << flag (preset.name == defaultPresetName) << " },\n";
            }
            text << "          },\n";
        }

        juce::StringArray subcategories;
        for (const auto& sub : entry.subcategories)
            subcategories.add (cppString (sub));

        text << "          " << (subcategories.isEmpty() ? "{}" : "{ " + subcategories.joinIntoString (", ") + " }")
             << ",\n"
             << "          " << flag (entry.isRoot) << " },\n";
    }

    text << "    };\n"
         << "    // clang-format on\n"
         << "\n"
         << "    return library;\n"
         << "}\n";
    return text;
}

//==============================================================================
std::vector<GeneratedFile> generate (const juce::String& csvText, juce::StringArray& errors)
{
    const auto firstError = errors.size();
    const auto presets = parseTable (csvText, errors);
    const auto library = buildLibrary (presets, errors);

    if (errors.size() > firstError)
        return {};

    std::vector<GeneratedFile> files;

    for (const auto& preset : presets)
        files.push_back (
            { juce::String (ProjectPaths::presetFolder) + "/" + makeFileName (preset.name), makePresetFile (preset) });

    const auto source = makeLibrarySource (presets, library);
    files.push_back (
        { ProjectPaths::librarySource, juce::MemoryBlock (source.toRawUTF8(), source.getNumBytesAsUTF8()) });
    return files;
}

namespace
{
bool holds (const juce::File& file, const juce::MemoryBlock& content)
{
    juce::MemoryBlock existing;
    return file.existsAsFile() && file.loadFileAsData (existing) && existing == content;
}

juce::Array<juce::File> findStalePresets (const std::vector<GeneratedFile>& files, const juce::File& projectFolder)
{
    juce::Array<juce::File> stale;
    const auto folder = projectFolder.getChildFile (ProjectPaths::presetFolder);

    for (const auto& file : folder.findChildFiles (juce::File::findFiles, false, juce::String ("*") + presetExtension))
    {
        const auto relative = juce::String (ProjectPaths::presetFolder) + "/" + file.getFileName();
        const auto known =
            std::any_of (files.begin(), files.end(),
                         [&] (const GeneratedFile& generated) { return generated.relativePath == relative; });
        if (!known)
            stale.add (file);
    }

    return stale;
}
} // namespace

bool writeOutputs (const std::vector<GeneratedFile>& files, const juce::File& projectFolder, juce::StringArray& errors)
{
    const auto firstError = errors.size();

    for (const auto& generated : files)
    {
        const auto target = projectFolder.getChildFile (generated.relativePath);

        if (holds (target, generated.content))
            continue;

        if (!target.getParentDirectory().createDirectory() ||
            !target.replaceWithData (generated.content.getData(), generated.content.getSize()))
            errors.add ("cannot write " + target.getFullPathName());
    }

    for (const auto& file : findStalePresets (files, projectFolder))
        if (!file.deleteFile())
            errors.add ("cannot delete " + file.getFullPathName());

    return errors.size() == firstError;
}

juce::StringArray findDifferences (const std::vector<GeneratedFile>& files, const juce::File& projectFolder)
{
    juce::StringArray differences;

    for (const auto& generated : files)
        if (!holds (projectFolder.getChildFile (generated.relativePath), generated.content))
            differences.add (generated.relativePath);

    for (const auto& file : findStalePresets (files, projectFolder))
        differences.add (juce::String (ProjectPaths::presetFolder) + "/" + file.getFileName() + " (not in the table)");

    return differences;
}

} // namespace presetgen
