// Regenerates the factory presets from their design table: tw_presetgen [--check] [project folder]
#include "FactoryPresetGenerator.h"

#include <iostream>

namespace
{
int fail (const juce::StringArray& errors)
{
    for (const auto& error : errors)
        std::cerr << "tw_presetgen: " << error << '\n';
    return 1;
}
} // namespace

int main (int argc, char* argv[])
{
    auto checkOnly = false;
    juce::File projectFolder (TW_SOURCE_DIR);

    for (int i = 1; i < argc; ++i)
    {
        const juce::String argument (argv[i]);

        if (argument == "--check")
            checkOnly = true;
        else if (!argument.startsWith ("-"))
            projectFolder = juce::File::getCurrentWorkingDirectory().getChildFile (argument);
        else
        {
            std::cerr << "usage: tw_presetgen [--check] [project folder]\n"
                         "  Reads "
                      << presetgen::ProjectPaths::table << " and writes the preset files into "
                      << presetgen::ProjectPaths::presetFolder << " and the library table into "
                      << presetgen::ProjectPaths::librarySource
                      << ".\n"
                         "  --check  only reports the outputs that differ; exits with 1 when any does.\n";
            return 2;
        }
    }

    const auto table = projectFolder.getChildFile (presetgen::ProjectPaths::table);
    if (!table.existsAsFile())
        return fail ({ "no design table at " + table.getFullPathName() });

    juce::StringArray errors;
    const auto files = presetgen::generate (table.loadFileAsString(), errors);
    if (!errors.isEmpty())
        return fail (errors);

    const auto differences = presetgen::findDifferences (files, projectFolder);

    if (checkOnly)
    {
        for (const auto& path : differences)
            std::cout << "out of date: " << path << '\n';
        return differences.isEmpty() ? 0 : 1;
    }

    if (!presetgen::writeOutputs (files, projectFolder, errors))
        return fail (errors);

    std::cout << "tw_presetgen: " << files.size() - 1 << " presets; " << differences.size() << " file(s) changed\n";
    return 0;
}
