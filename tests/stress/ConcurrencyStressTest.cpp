// Every thread a host drives the plug-in from, all at once: an audio thread processing blocks of
// changing sizes (now and then bypassed), a host thread automating every parameter, another
// saving and restoring the session, and the message thread loading factory presets, undoing and
// redoing, restoring host state and opening and closing the editor. CI runs this binary under
// ThreadSanitizer, which fails it on any race.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "PluginProcessor.h"
#include "TestHelpers.h"

namespace
{
constexpr int maxBlock = 512;

// TW_STRESS_SECONDS lengthens the run (the sanitizer job gives it more time than a plain build).
int stressMilliseconds()
{
    const auto seconds = juce::SystemStats::getEnvironmentVariable ("TW_STRESS_SECONDS", "3").getIntValue();
    return juce::jlimit (1, 600, seconds) * 1000;
}

struct MessageThreadCounts
{
    int presetLoads = 0, undos = 0, restores = 0, editors = 0;
};

std::vector<qmrk_gui::PresetManager::FactoryPreset*> factoryPresets (qmrk_gui::PresetManager& manager)
{
    std::vector<qmrk_gui::PresetManager::FactoryPreset*> presets;
    for (int id = qmrk_gui::PresetManager::firstPresetId; id < qmrk_gui::PresetManager::firstPresetId + 1000; ++id)
        if (auto* preset = manager.getFactoryPreset (id))
            presets.push_back (preset);
    return presets;
}

bool allFinite (const juce::AudioBuffer<float>& buffer, int numSamples)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < numSamples; ++i)
            if (!std::isfinite (buffer.getSample (ch, i)))
                return false;
    return true;
}
} // namespace

TEST (ConcurrencyStress, AudioAutomationAndMessageThreadWorkTogether)
{
    const tw::test::IsolatedHome home;
    PluginProcessor processor;
    processor.prepareToPlay (48000.0, maxBlock);

    auto& manager = processor.getPresetManager();
    auto& undo = processor.getModel().getUndoManager();
    const auto presets = factoryPresets (manager);
    ASSERT_GT (presets.size(), 1u);

    // A host's saved session to restore now and then: a non-default setting.
    tw::test::setParameter (processor, "PLayers", 9.0f);
    tw::test::setParameter (processor, "CEnabled_b", 1.0f);
    juce::MemoryBlock savedSession;
    processor.getStateInformation (savedSession);

    std::atomic<bool> stop { false };
    std::atomic<bool> nonFinite { false };
    std::atomic<int> blocksProcessed { 0 }, bypassedBlocks { 0 }, automationRounds { 0 };

    std::thread audioThread (
        [&]
        {
            juce::Random random (1);
            juce::AudioBuffer<float> buffer (2, maxBlock);
            juce::MidiBuffer midi;
            while (!stop.load())
            {
                const auto numSamples = 1 + random.nextInt (maxBlock);
                juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), 2, 0, numSamples);
                for (int ch = 0; ch < 2; ++ch)
                    for (int i = 0; i < numSamples; ++i)
                        view.setSample (ch, i, random.nextFloat() - 0.5f);

                if (random.nextInt (20) == 0)
                {
                    processor.processBlockBypassed (view, midi);
                    ++bypassedBlocks;
                }
                else
                {
                    processor.processBlock (view, midi);
                }

                if (!allFinite (view, numSamples))
                    nonFinite = true;
                ++blocksProcessed;
            }
        });

    // Hosts set a parameter's value and then tell its listeners, from their own thread.
    std::thread automationThread (
        [&]
        {
            juce::Random random (2);
            const auto& parameters = processor.getParameters();
            while (!stop.load())
            {
                for (auto* p : parameters)
                {
                    const auto value = random.nextFloat();
                    p->setValue (value);
                    p->sendValueChangedMessageToListeners (value);
                }
                ++automationRounds;
                std::this_thread::sleep_for (std::chrono::microseconds (300));
            }
        });

    // A host saving and restoring the session from a thread of its own, as hosts without a run
    // loop for the plug-in do (JUCE then runs its own message thread beside them).
    std::atomic<int> hostSaves { 0 }, hostRestores { 0 }, hostInstances { 0 };
    std::atomic<bool> hostDone { false };
    std::thread hostThread (
        [&]
        {
            while (!stop.load())
            {
                juce::MemoryBlock session;
                processor.getStateInformation (session);
                ++hostSaves;
                processor.setStateInformation (savedSession.getData(), static_cast<int> (savedSession.getSize()));
                ++hostRestores;

                // Hosts also create and destroy instances on such threads, while the message thread
                // already runs the new instance's timers.
                if (hostRestores % 8 == 0)
                {
                    PluginProcessor another;
                    another.setStateInformation (session.getData(), static_cast<int> (session.getSize()));
                    ++hostInstances;
                }
                std::this_thread::sleep_for (std::chrono::milliseconds (7));
            }
            hostDone = true;
        });

    MessageThreadCounts counts;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
    const auto deadline = juce::Time::getMillisecondCounter() + static_cast<juce::uint32> (stressMilliseconds());
    for (int round = 0; juce::Time::getMillisecondCounter() < deadline; ++round)
    {
        switch (round % 6)
        {
            case 0:
            {
                // Load and undo within one message: the host thread's restores, which clear the
                // history, cannot come between them.
                auto* preset = presets[static_cast<size_t> (round / 6) % presets.size()];
                if (manager.getLoader().loadState (preset->data, true))
                {
                    manager.setCurrentId (preset->id);
                    ++counts.presetLoads;
                    if (undo.undo())
                        ++counts.undos;
                }
                break;
            }
            case 1:
                if (undo.undo())
                    ++counts.undos;
                break;
            case 2:
                (void) undo.redo(); // parameter changes the tree recorded may be redone
                break;
            case 3:
                processor.setStateInformation (savedSession.getData(), static_cast<int> (savedSession.getSize()));
                ++counts.restores;
                break;
            case 4:
                editor.reset (processor.createEditorIfNeeded());
                ASSERT_NE (editor, nullptr);
                ++counts.editors;
                break;
            case 5:
                if (editor != nullptr)
                    (void) editor->createComponentSnapshot (editor->getLocalBounds());
                editor.reset();
                break;
            default:
                break;
        }
        tw::test::pumpMessages (5);
    }
    editor.reset();

    stop = true;
    audioThread.join();
    automationThread.join();
    // The host thread may be waiting for the message thread, which must keep dispatching for it.
    while (!hostDone.load())
        tw::test::pumpMessages (5);
    hostThread.join();

    EXPECT_FALSE (nonFinite.load());
    // Each kind of work really ran alongside the others.
    EXPECT_GT (blocksProcessed.load(), 100);
    EXPECT_GT (bypassedBlocks.load(), 0);
    EXPECT_GT (automationRounds.load(), 10);
    EXPECT_GT (hostSaves.load(), 0);
    EXPECT_GT (hostRestores.load(), 0);
    EXPECT_GT (hostInstances.load(), 0);
    EXPECT_GT (counts.presetLoads, 0);
    EXPECT_GT (counts.undos, 0);
    EXPECT_GT (counts.restores, 0);
    EXPECT_GT (counts.editors, 0);

    // Afterwards the instance still works: its state round-trips through a fresh one unchanged.
    juce::MemoryBlock state, restored;
    processor.getState (state, false);
    PluginProcessor fresh;
    ASSERT_TRUE (fresh.setState (state.getData(), static_cast<int> (state.getSize())));
    fresh.getState (restored, false);
    EXPECT_EQ (restored, state);
}
