// Runs the built executable as a user would.
#include "DemoSignal.h"
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

namespace tw::render::test
{
namespace
{
struct ProcessResult
{
    int exitCode = -1;
    juce::String output; // stdout and stderr together
};

ProcessResult runTool (const juce::StringArray& args)
{
    const juce::File tool (TW_RENDER_TOOL);
    EXPECT_TRUE (tool.existsAsFile()) << TW_RENDER_TOOL;

    auto command = args;
    command.insert (0, tool.getFullPathName());

    juce::ChildProcess process;
    ProcessResult result;
    if (!process.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
        return result;

    result.output = process.readAllProcessOutput();
    // Debug builds of JUCE announce their version on start-up; that line is not the tool's.
    if (result.output.startsWith ("JUCE v"))
        result.output = result.output.fromFirstOccurrenceOf ("\n", false, false);
    EXPECT_TRUE (process.waitForProcessToFinish (120000));
    result.exitCode = static_cast<int> (process.getExitCode());
    return result;
}

TEST (RenderToolTest, RendersAFileWithSettings)
{
    tw::test::TempFolder folder;
    const auto input = folder.get().getChildFile ("mono.wav");
    const auto output = folder.get().getChildFile ("wet.wav");
    writeAudio (input, makeTestSignal (1, 4410, 44100.0), 44100.0, 24);

    const auto result = runTool ({ path (input), path (output), "--set", "PLayers=3", "--tail", "0.5" });
    EXPECT_EQ (result.exitCode, 0) << result.output;
    EXPECT_TRUE (result.output.contains ("[mono, 44100 Hz")) << result.output;
    EXPECT_TRUE (result.output.contains ("x real time")) << result.output;
    // Not a terminal: no progress bar.
    EXPECT_FALSE (result.output.containsChar ('\r'));

    const auto audio = readAudio (output);
    ASSERT_TRUE (audio.has_value());
    EXPECT_EQ (audio->buffer.getNumChannels(), 1);
    EXPECT_EQ (audio->buffer.getNumSamples(), 4410 + 22050);
}

TEST (RenderToolTest, RendersTheDemoWithoutInput)
{
    tw::test::TempFolder folder;
    const auto output = folder.get().getChildFile ("demo.wav");

    const auto result = runTool ({ path (output) });
    EXPECT_EQ (result.exitCode, 0) << result.output;
    EXPECT_TRUE (result.output.contains ("the demo signal")) << result.output;

    const auto audio = readAudio (output);
    ASSERT_TRUE (audio.has_value());
    EXPECT_EQ (audio->sampleRate, demoSampleRate);
    EXPECT_EQ (audio->buffer.getNumChannels(), 2);
    EXPECT_EQ (audio->buffer.getNumSamples(),
               makeDemoSignal().getNumSamples() + static_cast<int> (defaultTailSeconds * demoSampleRate));
    EXPECT_GT (audio->buffer.getRMSLevel (0, 0, audio->buffer.getNumSamples()), 0.01f);
}

TEST (RenderToolTest, AnErrorExitsNonZeroWithItsMessage)
{
    tw::test::TempFolder folder;
    const auto output = folder.get().getChildFile ("out.wav");

    const auto result = runTool ({ path (output), "--set", "Loudness=1" });
    EXPECT_EQ (result.exitCode, exitFailure);
    EXPECT_EQ (result.output, "tanglewave-render: unknown parameter 'Loudness'; see --list-parameters\n");
    EXPECT_FALSE (output.exists());
    EXPECT_TRUE (listFolder (folder.get()).isEmpty());
}

TEST (RenderToolTest, HelpExitsZero)
{
    const auto result = runTool ({ "--help" });
    EXPECT_EQ (result.exitCode, 0);
    EXPECT_TRUE (result.output.startsWith ("Usage: tanglewave-render"));
}

} // namespace
} // namespace tw::render::test
