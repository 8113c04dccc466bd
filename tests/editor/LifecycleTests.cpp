#include "EditorTestSupport.h"

#include <atomic>

using namespace tw::test;

namespace
{
/** Plays audio through the processor as a host's audio thread does, automating a few parameters
    from that thread on the way. */
class AudioThread : public juce::Thread
{
public:
    explicit AudioThread (PluginProcessor& p)
        : juce::Thread ("test audio")
        , processor (p)
    {
        startThread();
    }

    ~AudioThread() override { stopThread (5000); }

    void run() override
    {
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;
        auto* mix = processor.getModel().getParameter ("Mix");
        auto* depth = processor.getModel().getParameter ("CDepth_a");
        auto* range = processor.getModel().getParameter ("PRange");

        for (int n = 0; !threadShouldExit(); ++n)
        {
            for (int i = 0; i < blockSize; ++i)
                for (int ch = 0; ch < 2; ++ch)
                    buffer.setSample (ch, i, (i % 64) == 0 ? 0.5f : 0.0f);

            processor.processBlock (buffer, midi);

            if (n % 4 == 0)
            {
                const auto x = static_cast<float> ((n / 4) % 10) / 10.0f;
                mix->setValueNotifyingHost (x);
                depth->setValueNotifyingHost (1.0f - x);
                range->setValueNotifyingHost (x);
            }

            blocks = n + 1;
            juce::Thread::yield();
        }
    }

    static constexpr int blockSize = 256;
    std::atomic<int> blocks { 0 };

private:
    PluginProcessor& processor;
};

} // namespace

TEST (EditorLifecycle, OpensAndClosesRepeatedlyWhileAudioRuns)
{
    IsolatedHome home;
    PluginProcessor processor;
    processor.prepareToPlay (44100.0, AudioThread::blockSize);
    AudioThread audio (processor);
    ASSERT_TRUE (pumpUntil ([&] { return audio.blocks.load() > 10; }));

    for (int round = 0; round < 12; ++round)
    {
        SCOPED_TRACE (round);
        auto editor = std::make_unique<PluginEditor> (processor);
        auto& hintLine = editor->getHintLine();
        EXPECT_TRUE (hintLine.isThreadRunning());

        // Labels of changes made on the audio thread arrive on the message thread.
        auto& mixLabel = labelOf (editor->getMainGrid().getSuite (0));
        mixLabel.setText ("stale", juce::dontSendNotification);
        EXPECT_TRUE (pumpUntil ([&] { return mixLabel.getText() != "stale"; }));
        EXPECT_TRUE (mixLabel.getText().startsWith ("Mix: "));

        // Odd rounds close while the hint thread waits for the message lock, which the message
        // thread (busy here) can never grant.
        if (round % 2 == 1)
            juce::Thread::sleep (qmrk_gui::TipDisplayComponent::pollIntervalMs + 20);

        editor.reset();
        tw::test::pumpMessages (5);
    }

    // Refreshes posted after the last editor closed find no updater.
    tw::test::pumpMessages (100);
    EXPECT_GT (audio.blocks.load(), 10);
}

TEST (EditorLifecycle, AnEditorCreatedByTheProcessorIsItsActiveEditor)
{
    IsolatedHome home;
    PluginProcessor processor;
    ASSERT_TRUE (processor.hasEditor());

    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditorIfNeeded());
    ASSERT_NE (dynamic_cast<PluginEditor*> (editor.get()), nullptr);
    EXPECT_EQ (processor.getActiveEditor(), editor.get());

    // As a host's wrapper closes it.
    processor.editorBeingDeleted (editor.get());
    editor.reset();
    EXPECT_EQ (processor.getActiveEditor(), nullptr);
    deliverPendingMessages();
}

TEST (EditorLifecycle, ClosingClearsTheLabelUpdaterAndStopsHints)
{
    IsolatedHome home;
    PluginProcessor processor;

    {
        PluginEditor editor (processor);
        setParameter (processor, "Mix", 0.3f);
    }

    // A change after closing reaches no editor (a dangling updater would crash here).
    setParameter (processor, "Mix", 0.7f);
    processor.refreshLabel (Mix, -1);

    // A reopened editor starts from the current state, on the first tab, with hints on.
    PluginEditor editor (processor);
    EXPECT_EQ (labelOf (editor.getMainGrid().getSuite (0)).getText(), processor.getLabelText (Mix, -1));
    EXPECT_EQ (editor.getStageTabs().getCurrentTabIndex(), 0);
    EXPECT_TRUE (editor.getHintLine().areHintsEnabled());
    EXPECT_FALSE (editor.getInfoComponent().isVisible());
    EXPECT_EQ (editor.getControlBar().presetComponent.getText(), "Default*");
}
