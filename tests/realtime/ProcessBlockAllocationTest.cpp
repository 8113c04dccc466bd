// processBlock and host automation must never touch the heap for blocks up to the prepared size.
#include <gtest/gtest.h>

#include <thread>

#include "AllocationCounter.h"
#include "PluginProcessor.h"
#include "TestHelpers.h"

namespace
{
struct Case
{
    double sampleRate;
    int numChannels;
};

juce::AudioProcessor::BusesLayout layoutFor (int numChannels)
{
    const auto set = numChannels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (set);
    layout.outputBuses.add (set);
    return layout;
}

class ProcessBlockAllocation : public ::testing::TestWithParam<Case>
{
protected:
    tw::test::IsolatedHome home;
};
} // namespace

TEST_P (ProcessBlockAllocation, ProcessingAndAutomationAllocateNothing)
{
    constexpr int maxBlock = 512;
    const auto sampleRate = GetParam().sampleRate;
    const auto numChannels = GetParam().numChannels;

    PluginProcessor processor;
    ASSERT_TRUE (processor.setBusesLayout (layoutFor (numChannels)));
    processor.prepareToPlay (sampleRate, maxBlock);

    // Worst case for the chain: both choruses, most phaser stages, feedback everywhere.
    for (auto* p : processor.getParameters())
        p->setValueNotifyingHost (1.0f);

    juce::AudioBuffer<float> buffer (numChannels, maxBlock);
    juce::MidiBuffer midi;
    std::size_t allocations = 0;
    const int blockSizes[] = { maxBlock, 1, 64, 333, maxBlock - 1 };

    // The host's audio thread: automation moves every parameter between blocks.
    std::thread audioThread (
        [&]
        {
            juce::Random random (42);
            const tw::test::ScopedAllocationCounter counter;
            for (int round = 0; round < 40; ++round)
                for (auto blockSize : blockSizes)
                {
                    for (auto* p : processor.getParameters())
                        p->setValueNotifyingHost (random.nextFloat());

                    juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), numChannels, 0, blockSize);
                    for (int ch = 0; ch < numChannels; ++ch)
                        for (int i = 0; i < blockSize; ++i)
                            view.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);

                    processor.processBlock (view, midi);
                    processor.processBlockBypassed (view, midi); // the one-time reset too
                    processor.processBlock (view, midi);
                }
            allocations = counter.count();
        });
    audioThread.join();

    EXPECT_EQ (allocations, 0u);
}

INSTANTIATE_TEST_SUITE_P (RatesAndLayouts, ProcessBlockAllocation,
                          ::testing::Values (Case { 44100.0, 2 }, Case { 48000.0, 2 }, Case { 96000.0, 2 },
                                             Case { 44100.0, 1 }, Case { 48000.0, 1 }, Case { 96000.0, 1 }),
                          [] (const auto& testInfo)
                          {
                              return std::to_string (static_cast<int> (testInfo.param.sampleRate)) + "Hz_" +
                                     (testInfo.param.numChannels == 1 ? "mono" : "stereo");
                          });

// Guards the guard: the counter must see an allocation made on the counting thread.
TEST (AllocationCounter, CountsHeapAllocationsOnItsThread)
{
    const tw::test::ScopedAllocationCounter counter;
    auto text = std::make_unique<juce::String> ("not a small string, so it lives on the heap");
    EXPECT_GE (counter.count(), 1u);
}
