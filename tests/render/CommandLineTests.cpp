// Options, listings and every refused command line.
#include "PluginProcessor.h"
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

namespace tw::render::test
{
namespace
{
class CommandLineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeAudio (input, makeTestSignal (2, 2000, 44100.0), 44100.0);
        ASSERT_TRUE (notAudio.replaceWithText ("just some text"));
        ASSERT_TRUE (notAPreset.replaceWithText ("just some text"));
        ASSERT_TRUE (flac.replaceWithText ("fLaC and data no reader here decodes"));
        writeAudio (threeChannels, makeTestSignal (3, 2000, 44100.0), 44100.0);
    }

    /** Replaces {in}, {out} and the other names below by their paths. */
    [[nodiscard]] juce::StringArray expand (std::initializer_list<const char*> args) const
    {
        juce::StringArray expanded;
        for (const auto* arg : args)
            expanded.add (juce::String (arg)
                              .replace ("{in}", path (input))
                              .replace ("{out}", path (output))
                              .replace ("{dir}", path (folder.get()))
                              .replace ("{text}", path (notAudio))
                              .replace ("{flac}", path (flac))
                              .replace ("{3ch}", path (threeChannels))
                              .replace ("{preset}", path (notAPreset)));
        return expanded;
    }

    tw::test::TempFolder folder;
    juce::File input = folder.get().getChildFile ("in.wav");
    juce::File output = folder.get().getChildFile ("out.wav");
    juce::File notAudio = folder.get().getChildFile ("text.wav");
    juce::File flac = folder.get().getChildFile ("song.flac");
    juce::File threeChannels = folder.get().getChildFile ("three.wav");
    juce::File notAPreset = folder.get().getChildFile ("garbage.tw10");
};

struct ErrorCase
{
    std::initializer_list<const char*> args;
    const char* message;
    int exitCode;
};

TEST_F (CommandLineTest, EveryBadCommandLineFailsWithOneLineAndWritesNothing)
{
    const ErrorCase cases[] {
        { {}, "no OUTPUT file given", exitUsage },
        { { "{dir}/missing.wav", "{out}" }, "no such file", exitFailure },
        { { "{dir}", "{out}" }, "it is a folder", exitFailure },
        { { "{text}", "{out}" }, "not a WAV or AIFF file", exitFailure },
        { { "{flac}", "{out}" }, "FLAC is not available in this build", exitFailure },
        { { "{3ch}", "{out}" }, "has 3 channels; only mono and stereo", exitFailure },
        { { "{in}", "{out}", "--preset", "No such preset" }, "unknown preset 'No such preset'", exitFailure },
        { { "{in}", "{out}", "--preset-file", "{dir}/none.tw10" }, "no such file", exitFailure },
        { { "{in}", "{out}", "--preset-file", "{preset}" }, "is not a Tanglewave preset file", exitFailure },
        { { "{in}", "{out}", "--preset", "Default", "--preset-file", "{preset}" },
          "either --preset or --preset-file",
          exitUsage },
        { { "{in}", "{out}", "--set", "Volume=0.5" }, "unknown parameter 'Volume'", exitFailure },
        { { "{in}", "{out}", "--set", "Mix=1.5" }, "'1.5' for Mix is out of range", exitFailure },
        { { "{in}", "{out}", "--set", "Mix=-0.1" }, "out of range", exitFailure },
        { { "{in}", "{out}", "--set", "Mix=loud" }, "'loud' for Mix is out of range", exitFailure },
        { { "{in}", "{out}", "--set", "Mix=nan" }, "out of range", exitFailure },
        { { "{in}", "{out}", "--set", "PLayers=13" }, "whole number from 1 to 12", exitFailure },
        { { "{in}", "{out}", "--set", "PLayers=2.5" }, "whole number from 1 to 12", exitFailure },
        { { "{in}", "{out}", "--set", "Stereo=maybe" }, "must be on or off", exitFailure },
        { { "{in}", "{out}", "--set", "Mix" }, "--set needs ID=VALUE", exitUsage },
        { { "{in}", "{out}", "--frobnicate" }, "unknown option '--frobnicate'", exitUsage },
        { { "{in}", "{out}", "--block", "0" }, "--block needs a whole number", exitUsage },
        { { "{in}", "{out}", "--block=12x" }, "--block needs a whole number", exitUsage },
        { { "{in}", "{out}", "--block" }, "--block needs a value", exitUsage },
        { { "{in}", "{out}", "--tail", "-1" }, "--tail needs a number of seconds", exitUsage },
        { { "{in}", "{out}", "--tail", "inf" }, "--tail needs a number of seconds", exitUsage },
        { { "{in}", "{out}", "--bits", "12" }, "--bits needs 16, 24 or 32", exitUsage },
        { { "{in}", "{dir}/out.aiff", "--bits", "32" }, "not available in AIFF", exitFailure },
        { { "{in}", "{dir}/no/such/folder/out.wav" }, "does not exist", exitFailure },
        { { "{in}", "{dir}/out.mp3" }, "OUTPUT must end in .wav or .aiff", exitFailure },
        { { "{in}", "{dir}/out.flac" }, "FLAC is not available", exitFailure },
        { { "{in}", "{dir}" }, "it is a folder", exitFailure },
        { { "{in}", "{out}", "{dir}/third.wav" }, "too many file names", exitUsage },
        { { "--list-presets", "{out}" }, "take no file names", exitUsage },
        { { "--help=yes" }, "--help takes no value", exitUsage },
    };

    const auto before = listFolder (folder.get());

    for (const auto& c : cases)
    {
        const auto args = expand (c.args);
        SCOPED_TRACE (args.joinIntoString (" "));
        const auto result = run (args);
        const juce::String err (result.err);

        EXPECT_EQ (result.exitCode, c.exitCode);
        EXPECT_TRUE (err.startsWith ("tanglewave-render: ")) << result.err;
        EXPECT_TRUE (err.contains (c.message)) << result.err;
        EXPECT_EQ (err.indexOfChar ('\n'), err.length() - 1) << "one line: " << result.err;
        EXPECT_TRUE (result.out.empty()) << result.out;
        EXPECT_EQ (listFolder (folder.get()), before);
    }
}

TEST_F (CommandLineTest, HelpNamesEveryOptionAndTheMissingFlac)
{
    for (const auto* flag : { "--help", "-h" })
    {
        const auto result = run ({ flag });
        EXPECT_EQ (result.exitCode, 0);
        EXPECT_TRUE (result.err.empty());

        const juce::String help (result.out);
        EXPECT_TRUE (help.startsWith ("Usage: tanglewave-render [INPUT] OUTPUT [options]"));
        EXPECT_TRUE (help.contains ("FLAC is not available in this build"));
        for (const auto* option : { "--preset ", "--preset-file", "--set", "--block", "--tail", "--bits",
                                    "--list-presets", "--list-parameters" })
            EXPECT_TRUE (help.contains (option)) << option;
        for (const auto* id : { "CEnabled_a", "CEnabled_b", "OscEnabled", "Stereo" })
            EXPECT_TRUE (help.contains (id)) << id;
    }
}

TEST_F (CommandLineTest, OptionsAcceptTheEqualsFormAndComeAnywhere)
{
    const auto result = run (expand ({ "--tail=0", "{in}", "--block=64", "{out}", "--set=Mix=0", "--set",
                                       "OutputGain=0.5", "--set", "stereo=OFF" }));
    ASSERT_EQ (result.exitCode, 0) << result.err;

    const auto audio = readAudio (output);
    ASSERT_TRUE (audio.has_value());
    EXPECT_EQ (audio->buffer.getNumSamples(), 2000);
    EXPECT_LT (maxDifference (audio->buffer, makeTestSignal (2, 2000, 44100.0)), 1.0e-6f);
}

TEST_F (CommandLineTest, AFileNameMayStartWithADashAfterTheSeparator)
{
    const auto dashed = folder.get().getChildFile ("-out.wav");
    const auto previous = juce::File::getCurrentWorkingDirectory();
    folder.get().setAsCurrentWorkingDirectory();
    const auto result = run ({ "--tail", "0", "--", "in.wav", "-out.wav" });
    previous.setAsCurrentWorkingDirectory();

    EXPECT_EQ (result.exitCode, 0) << result.err;
    EXPECT_TRUE (dashed.existsAsFile());
}

/** The lines of the parameter listing after its header, split into columns. */
std::vector<juce::StringArray> listParameterRows (const juce::StringArray& extraArgs)
{
    auto args = extraArgs;
    args.insert (0, "--list-parameters");
    const auto result = run (args);
    EXPECT_EQ (result.exitCode, 0) << result.err;

    auto lines = juce::StringArray::fromLines (juce::String (result.out).trimEnd());
    EXPECT_TRUE (lines[0].startsWith ("Identifier"));
    lines.remove (0);

    std::vector<juce::StringArray> rows;
    for (const auto& line : lines)
    {
        juce::StringArray row;
        row.add (line.substring (0, 18).trim());
        row.add (line.substring (18, 25).trim());
        row.add (line.substring (25, 42).trim());
        row.add (line.substring (42));
        rows.push_back (row);
    }
    return rows;
}

TEST_F (CommandLineTest, ParameterListingFollowsHostOrderAndShowsSettings)
{
    const auto rows = listParameterRows ({ "--set", "PLayers=7", "--set", "Stereo=off", "--set", "PFreq=0" });
    ASSERT_EQ (rows.size(), static_cast<size_t> (ModelTree::numParameters));

    for (size_t i = 0; i < rows.size(); ++i)
    {
        const auto& ref = ModelTree::hostOrder()[i];
        const auto& row = rows[i];
        EXPECT_EQ (row[0], ModelTree::getParameterID (ref.type, ref.stage));
        EXPECT_EQ (row[2], ModelTree::isSwitch (ref.type) ? "on/off"
                           : ref.type == PLayers          ? "1..12 whole"
                                                          : "0..1 step 0.01")
            << row[0];
        EXPECT_FALSE (row[3].isEmpty()) << row[0];
    }

    const auto find = [&] (const char* id)
    {
        for (const auto& row : rows)
            if (row[0] == id)
                return row;
        return juce::StringArray();
    };
    EXPECT_EQ (find ("PLayers")[1], "7");
    EXPECT_EQ (find ("PLayers")[3], "Layers: 7");
    EXPECT_EQ (find ("Stereo")[1], "off");
    EXPECT_EQ (find ("PFreq")[1], "0.00");

    // The label text is the stage argument's: it moves with the setting.
    const auto high = listParameterRows ({ "--set", "PFreq=1" });
    const auto highFreq = std::find_if (high.begin(), high.end(), [] (const auto& r) { return r[0] == "PFreq"; });
    ASSERT_NE (highFreq, high.end());
    EXPECT_NE ((*highFreq)[3], find ("PFreq")[3]);
    EXPECT_TRUE ((*highFreq)[3].startsWith ("Center Freq.: ")) << (*highFreq)[3];
}

TEST_F (CommandLineTest, PresetListingIndentsTheCategoryTree)
{
    const auto result = run ({ "--list-presets" });
    ASSERT_EQ (result.exitCode, 0) << result.err;
    const auto lines = juce::StringArray::fromLines (juce::String (result.out).trimEnd());

    PluginProcessor processor;
    const auto& manager = processor.getPresetManager();
    if (manager.getRootCategory() == nullptr)
    {
        EXPECT_EQ (lines, juce::StringArray ({ "No factory presets in this build." }));
        return;
    }

    const auto indentOf = [] (const juce::String& line) { return line.length() - line.trimStart().length(); };

    // Every preset is listed once, two spaces deeper than the category line above it.
    std::function<void (const qmrk_gui::PresetManager::FactoryCategory&, int)> check =
        [&] (const auto& category, int depth)
    {
        for (const auto* preset : category.presets)
        {
            auto text = preset->name;
            if (preset == manager.getDefaultPreset())
                text << "  (default)";
            int matches = 0;
            for (const auto& line : lines)
                if (line.trimStart() == text)
                {
                    ++matches;
                    EXPECT_EQ (indentOf (line), 2 * depth) << text;
                }
            EXPECT_EQ (matches, 1) << text;
        }
        for (const auto* sub : category.subcategories)
        {
            EXPECT_TRUE (lines.contains (juce::String::repeatedString ("  ", depth) + sub->getShortName() + "/"))
                << sub->name;
            check (*sub, depth + 1);
        }
    };
    check (*manager.getRootCategory(), 0);
}

} // namespace
} // namespace tw::render::test
