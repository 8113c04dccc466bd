// Renders through the in-process entry point and checks the written files.
#include "PluginProcessor.h"
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

namespace tw::render::test
{
namespace
{
class RenderTest : public ::testing::Test
{
protected:
    /** Writes a test signal as in.wav and returns it. */
    juce::File makeInput (int numChannels, int numSamples, double sampleRate, const juce::String& name = "in.wav")
    {
        const auto file = folder.get().getChildFile (name);
        writeAudio (file, makeTestSignal (numChannels, numSamples, sampleRate), sampleRate);
        return file;
    }

    /** Renders input into a fresh file named outName; fails the test unless the render succeeds. */
    Audio render (const juce::File& input, const juce::String& outName, juce::StringArray options)
    {
        const auto output = folder.get().getChildFile (outName);
        options.insert (0, path (input));
        options.insert (1, path (output));
        const auto result = run (options);
        EXPECT_EQ (result.exitCode, 0) << result.err;
        auto audio = readAudio (output);
        EXPECT_TRUE (audio.has_value()) << "no readable output for " << options.joinIntoString (" ");
        return audio ? std::move (*audio) : Audio {};
    }

    tw::test::TempFolder folder;
};

struct LengthCase
{
    int numChannels;
    double sampleRate;
    int numSamples;
    const char* tail; // nullptr: the default
    int expectedTailSamples;
};

TEST_F (RenderTest, OutputHasTheInputsChannelsRateAndLengthPlusTail)
{
    const LengthCase cases[] {
        { 1, 44100.0, 11025, "0.5", 22050 },
        { 2, 48000.0, 4800, "0", 0 },
        { 2, 44100.0, 1000, nullptr, 88200 },
        { 1, 22050.0, 777, "0.25", 5513 }, // 5512.5 rounds up
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.numChannels) + " ch, " + juce::String (c.sampleRate) + " Hz");
        const auto input = makeInput (c.numChannels, c.numSamples, c.sampleRate);
        juce::StringArray options;
        if (c.tail != nullptr)
            options.addArray ({ "--tail", c.tail });

        const auto audio = render (input, "out.wav", options);
        EXPECT_EQ (audio.buffer.getNumChannels(), c.numChannels);
        EXPECT_EQ (audio.sampleRate, c.sampleRate);
        EXPECT_EQ (audio.buffer.getNumSamples(), c.numSamples + c.expectedTailSamples);
        EXPECT_EQ (audio.bitsPerSample, 32);
        EXPECT_TRUE (audio.isFloat);
        EXPECT_GT (audio.buffer.getMagnitude (0, audio.buffer.getNumSamples()), 0.01f);
    }
}

TEST_F (RenderTest, TheTailCarriesTheEchoes)
{
    const auto input = makeInput (2, 4410, 44100.0);
    const auto audio = render (input, "out.wav", { "--tail", "1", "--set", "Mix=1" });
    // The feedback delays ring on after the input stops.
    EXPECT_GT (audio.buffer.getMagnitude (4410, 4410), 1.0e-3f);
}

TEST_F (RenderTest, OutputFormatFollowsTheExtensionAndBits)
{
    const auto input = makeInput (1, 2000, 44100.0);

    const auto aiff = render (input, "out.aiff", { "--tail", "0" });
    EXPECT_TRUE (aiff.formatName.containsIgnoreCase ("AIFF")) << aiff.formatName;
    EXPECT_EQ (aiff.bitsPerSample, 24);
    EXPECT_EQ (aiff.buffer.getNumSamples(), 2000);

    const auto wav16 = render (input, "out16.wav", { "--tail", "0", "--bits", "16" });
    EXPECT_TRUE (wav16.formatName.containsIgnoreCase ("WAV")) << wav16.formatName;
    EXPECT_EQ (wav16.bitsPerSample, 16);
    EXPECT_FALSE (wav16.isFloat);
}

TEST_F (RenderTest, AiffInputIsRead)
{
    const auto input = folder.get().getChildFile ("in.aiff");
    writeAudio (input, makeTestSignal (2, 3000, 48000.0), 48000.0, 24);
    const auto audio = render (input, "out.wav", { "--tail", "0.1" });
    EXPECT_EQ (audio.buffer.getNumChannels(), 2);
    EXPECT_EQ (audio.buffer.getNumSamples(), 3000 + 4800);
}

TEST_F (RenderTest, DryMixPassesTheInputThroughSampleForSample)
{
    // Mix 0 at 0 dB output gain leaves only the untouched input: no latency, no tail.
    for (const auto numChannels : { 1, 2 })
    {
        SCOPED_TRACE (numChannels);
        const auto signal = makeTestSignal (numChannels, 5000, 44100.0);
        const auto input = folder.get().getChildFile ("in.wav");
        writeAudio (input, signal, 44100.0);

        const auto audio = render (input, "out.wav", { "--set", "Mix=0", "--set", "OutputGain=0.5", "--tail", "0.1" });
        ASSERT_EQ (audio.buffer.getNumSamples(), 5000 + 4410);

        juce::AudioBuffer<float> head (numChannels, 5000);
        for (int ch = 0; ch < numChannels; ++ch)
            head.copyFrom (ch, 0, audio.buffer, ch, 0, 5000);
        EXPECT_LT (maxDifference (head, signal), 1.0e-6f);
        EXPECT_LT (audio.buffer.getMagnitude (5000, 4410), 1.0e-6f);
    }
}

TEST_F (RenderTest, OutputGainScalesTheWholeRender)
{
    const auto input = makeInput (2, 8000, 44100.0);
    const auto unity = render (input, "unity.wav", { "--set", "OutputGain=0.5", "--tail", "0.2" });
    const auto quiet = render (input, "quiet.wav", { "--set", "OutputGain=0", "--tail", "0.2" });

    auto expected = unity.buffer;
    expected.applyGain (juce::Decibels::decibelsToGain (-24.0f));
    EXPECT_GT (unity.buffer.getMagnitude (0, unity.buffer.getNumSamples()), 0.05f);
    EXPECT_LT (maxDifference (quiet.buffer, expected), 1.0e-5f);
}

TEST_F (RenderTest, APresetFileSoundsLikeTheSameSettingsGivenWithSet)
{
    const juce::StringArray changes { "Mix=0.8", "PLayers=9", "TFeedback=0.9", "DriverDelay=0.2", "Stereo=off" };

    const auto presetFile = folder.get().getChildFile ("mine.tw10");
    {
        PluginProcessor processor;
        for (const auto& change : changes)
        {
            auto* parameter = processor.getModel().getParameter (change.upToFirstOccurrenceOf ("=", false, false));
            ASSERT_NE (parameter, nullptr) << change;
            const auto text = change.fromFirstOccurrenceOf ("=", false, false);
            const auto value = text == "off" ? 0.0f : text.getFloatValue();
            parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
        }
        ASSERT_TRUE (presetFile.create());
        ASSERT_TRUE (processor.saveToFile (presetFile));
    }

    const auto input = makeInput (2, 6000, 44100.0);
    const auto plain = render (input, "plain.wav", { "--tail", "0.3" });
    const auto fromFile = render (input, "file.wav", { "--tail", "0.3", "--preset-file", path (presetFile) });

    juce::StringArray setOptions { "--tail", "0.3" };
    for (const auto& change : changes)
        setOptions.addArray ({ "--set", change });
    const auto fromSet = render (input, "set.wav", setOptions);

    EXPECT_GT (maxDifference (plain.buffer, fromFile.buffer), 0.01f);
    EXPECT_EQ (maxDifference (fromFile.buffer, fromSet.buffer), 0.0f);
}

TEST_F (RenderTest, FactoryPresetsAreFoundByNameInAnyCase)
{
    PluginProcessor processor;
    const auto& manager = processor.getPresetManager();
    const auto* root = manager.getRootCategory();
    if (root == nullptr)
        GTEST_SKIP() << "this build has no factory presets";

    // The first preset of the tree that is not the default.
    const qmrk_gui::PresetManager::FactoryPreset* other = nullptr;
    std::function<void (const qmrk_gui::PresetManager::FactoryCategory&)> find = [&] (const auto& category)
    {
        for (const auto* preset : category.presets)
            if (other == nullptr && preset != manager.getDefaultPreset())
                other = preset;
        for (const auto* sub : category.subcategories)
            find (*sub);
    };
    find (*root);
    ASSERT_NE (other, nullptr);
    ASSERT_NE (manager.getDefaultPreset(), nullptr);

    const auto input = makeInput (2, 6000, 44100.0);
    const auto plain = render (input, "plain.wav", { "--tail", "0.3" });
    const auto byDefaultName =
        render (input, "default.wav", { "--tail", "0.3", "--preset", manager.getDefaultPreset()->name.toUpperCase() });
    const auto upper = render (input, "upper.wav", { "--tail", "0.3", "--preset", other->name.toUpperCase() });
    const auto lower = render (input, "lower.wav", { "--tail", "0.3", "--preset", other->name.toLowerCase() });

    EXPECT_EQ (maxDifference (plain.buffer, byDefaultName.buffer), 0.0f);
    EXPECT_EQ (maxDifference (upper.buffer, lower.buffer), 0.0f);
    EXPECT_GT (maxDifference (plain.buffer, upper.buffer), 1.0e-3f) << other->name;
}

TEST_F (RenderTest, BlockSizeDoesNotChangeTheAudio)
{
    const auto input = makeInput (2, 13230, 44100.0);
    const juce::StringArray common { "--tail", "0.3", "--set", "TFeedback=0.8", "--set", "CDepth_a=0.9" };

    auto options = common;
    options.addArray ({ "--block", "512" });
    const auto reference = render (input, "512.wav", options);

    for (const auto* block : { "1", "37", "4096" })
    {
        SCOPED_TRACE (block);
        options = common;
        options.addArray ({ "--block", block });
        const auto audio = render (input, juce::String (block) + ".wav", options);
        EXPECT_LT (maxDifference (audio.buffer, reference.buffer), 1.0e-5f);
    }
}

TEST_F (RenderTest, RenderingOverTheInputFileReplacesItWhenDone)
{
    const auto input = makeInput (1, 3000, 44100.0);
    const auto result = run ({ path (input), path (input), "--tail", "0.5" });
    ASSERT_EQ (result.exitCode, 0) << result.err;

    const auto audio = readAudio (input);
    ASSERT_TRUE (audio.has_value());
    EXPECT_EQ (audio->buffer.getNumSamples(), 3000 + 22050);
    EXPECT_EQ (listFolder (folder.get()), juce::StringArray ({ "in.wav" }));
}

TEST_F (RenderTest, AFailedRenderKeepsTheEarlierOutputAndLeavesNoTemporaryFile)
{
    auto signal = makeTestSignal (2, 6000, 44100.0);
    signal.setSample (1, 5000, std::numeric_limits<float>::quiet_NaN());
    const auto input = folder.get().getChildFile ("in.wav");
    writeAudio (input, signal, 44100.0);

    const auto output = folder.get().getChildFile ("out.wav");
    ASSERT_TRUE (output.replaceWithText ("an earlier render"));

    const auto result = run ({ path (input), path (output), "--block", "256" });
    EXPECT_EQ (result.exitCode, exitFailure);
    EXPECT_TRUE (juce::String (result.err).contains ("not a finite number")) << result.err;
    EXPECT_EQ (output.loadFileAsString(), "an earlier render");
    EXPECT_EQ (listFolder (folder.get()), juce::StringArray ({ "in.wav", "out.wav" }));
}

TEST_F (RenderTest, AnInterruptedRenderLeavesNothing)
{
    const auto input = makeInput (2, 5000, 44100.0);
    const auto output = folder.get().getChildFile ("out.wav");
    const std::atomic<bool> cancelled { true };
    RunContext context;
    context.cancelled = &cancelled;

    const auto result = run ({ path (input), path (output) }, context);
    EXPECT_EQ (result.exitCode, exitInterrupted);
    EXPECT_EQ (listFolder (folder.get()), juce::StringArray ({ "in.wav" }));
}

TEST_F (RenderTest, TheProgressBarAppearsOnlyWhenAskedFor)
{
    const auto input = makeInput (1, 20000, 44100.0);

    const auto quiet = run ({ path (input), path (folder.get().getChildFile ("a.wav")) });
    EXPECT_EQ (quiet.exitCode, 0);
    EXPECT_TRUE (quiet.err.empty()) << quiet.err;

    RunContext context;
    context.showProgress = true;
    const auto shown = run ({ path (input), path (folder.get().getChildFile ("b.wav")) }, context);
    EXPECT_EQ (shown.exitCode, 0);
    EXPECT_NE (shown.err.find ("100%"), std::string::npos) << shown.err;
    // The bar is wiped at the end, so the summary on the other stream starts on a clean line.
    EXPECT_EQ (shown.err.back(), '\r');
}

TEST_F (RenderTest, TheSummaryReportsLevelsAndSpeed)
{
    const auto input = makeInput (2, 4410, 44100.0);
    const auto result = run ({ path (input), path (folder.get().getChildFile ("out.wav")), "--set", "Mix=0.3" });
    ASSERT_EQ (result.exitCode, 0) << result.err;

    const juce::String summary (result.out);
    EXPECT_EQ (summary.indexOfChar ('\n'), summary.length() - 1) << "one line: " << result.out;
    EXPECT_TRUE (summary.contains ("stereo, 44100 Hz"));
    const auto inputPeak = makeTestSignal (2, 4410, 44100.0).getMagnitude (0, 4410);
    const auto peakText = "input peak " + juce::String (juce::Decibels::gainToDecibels (inputPeak), 1) + " dBFS";
    EXPECT_TRUE (summary.contains (peakText)) << peakText << " in " << result.out;
    EXPECT_TRUE (summary.contains ("output peak"));
    EXPECT_TRUE (summary.contains ("x real time"));
    EXPECT_TRUE (summary.contains ("+ 1 --set"));
}

TEST_F (RenderTest, IntegerOutputThatClipsIsReported)
{
    const auto input = makeInput (2, 4410, 44100.0);
    const juce::StringArray loud { "--set", "OutputGain=1", "--set", "Mix=0", "--tail", "0" };

    auto options = loud;
    options.insert (0, path (input));
    options.insert (1, path (folder.get().getChildFile ("float.wav")));
    const auto asFloat = run (options);
    EXPECT_EQ (asFloat.exitCode, 0);
    EXPECT_TRUE (asFloat.err.empty()) << asFloat.err;

    options.set (1, path (folder.get().getChildFile ("int.aiff")));
    const auto asInteger = run (options);
    EXPECT_EQ (asInteger.exitCode, 0);
    EXPECT_NE (asInteger.err.find ("clips in 24-bit samples"), std::string::npos) << asInteger.err;
}

} // namespace
} // namespace tw::render::test
