// Replays inputs the fuzzers once found troublesome (fuzz/regressions/): each must be handled safely.
#include "ProcessorFixtures.h"

using namespace tw::test;

namespace
{
/** Feeds every kept input of a fuzz target (crash regressions and the committed corpus) to apply,
    then renders: the output must stay finite. */
void replay (const char* target, const std::function<void (PluginProcessor&, const juce::MemoryBlock&)>& apply)
{
    IsolatedHome home;
    PluginProcessor processor;
    processor.prepareToPlay (44100.0, 256);

    const auto fuzz = juce::File (TW_SOURCE_DIR).getChildFile ("fuzz");
    auto inputs = fuzz.getChildFile ("regressions").getChildFile (target).findChildFiles (juce::File::findFiles, false);
    inputs.addArray (fuzz.getChildFile ("corpus").getChildFile (target).findChildFiles (juce::File::findFiles, false));
    ASSERT_FALSE (inputs.isEmpty()) << target;

    for (const auto& input : inputs)
    {
        juce::MemoryBlock data;
        ASSERT_TRUE (input.loadFileAsData (data));
        apply (processor, data);

        auto buffer = makeTestSignal (2, 2048, 44100.0);
        processInBlocks (processor, buffer, 256);
        EXPECT_TRUE (allFinite (buffer)) << input.getFileName();
    }
}
} // namespace

TEST (FuzzRegressions, StateBlobsAreHandledSafely)
{
    replay ("set_state", [] (PluginProcessor& processor, const juce::MemoryBlock& data)
            { processor.setState (data.getData(), static_cast<int> (data.getSize())); });
}

TEST (FuzzRegressions, PresetDataIsHandledSafely)
{
    replay ("load_state",
            [] (PluginProcessor& processor, const juce::MemoryBlock& data)
            {
                if (processor.loadState (data, true))
                    processor.getModel().getUndoManager().undo();
            });
}
