// Replays inputs the fuzzers once found troublesome (fuzz/regressions/): each must be handled safely.
#include "ProcessorFixtures.h"

using namespace tw::test;

namespace
{
juce::Array<juce::File> regressionInputs (const char* target)
{
    return juce::File (TW_SOURCE_DIR)
        .getChildFile ("fuzz/regressions")
        .getChildFile (target)
        .findChildFiles (juce::File::findFiles, false, "*");
}

void expectCleanRender (PluginProcessor& processor, const juce::File& input)
{
    auto buffer = makeTestSignal (2, 2048, 44100.0);
    processInBlocks (processor, buffer, 256);
    EXPECT_TRUE (allFinite (buffer)) << input.getFileName();
}
} // namespace

TEST (FuzzRegressions, StateBlobsAreHandledSafely)
{
    IsolatedHome home;
    PluginProcessor processor;
    processor.prepareToPlay (44100.0, 256);

    for (const auto& input : regressionInputs ("set_state"))
    {
        juce::MemoryBlock data;
        ASSERT_TRUE (input.loadFileAsData (data));
        processor.setState (data.getData(), static_cast<int> (data.getSize()));
        expectCleanRender (processor, input);
    }
}

TEST (FuzzRegressions, PresetDataIsHandledSafely)
{
    IsolatedHome home;
    PluginProcessor processor;
    processor.prepareToPlay (44100.0, 256);

    for (const auto& input : regressionInputs ("load_state"))
    {
        juce::MemoryBlock data;
        ASSERT_TRUE (input.loadFileAsData (data));
        if (processor.loadState (data, true))
            processor.getModel().getUndoManager().undo();
        expectCleanRender (processor, input);
    }
}
