#include "ProcessorFixtures.h"

using namespace tw::test;

namespace
{
/** Records every label the processor hands over, by slot. */
struct RecordingUpdater : qmrk_gui::LabelUpdater
{
    void updateLabel (const juce::String& text, int type, int stage) override
    {
        if (!juce::MessageManager::getInstance()->isThisTheMessageThread())
            ++callsOffMessageThread;
        calls.push_back ({ text, type, stage });
        latest[{ type, stage }] = text;
    }

    struct Call
    {
        juce::String text;
        int type, stage;
    };
    std::vector<Call> calls;
    std::map<std::pair<int, int>, juce::String> latest;
    std::atomic<int> callsOffMessageThread { 0 };
};

struct CountingDisplay : qmrk_gui::PresetManager::PresetLoader::PresetDisplay
{
    void setModified (bool m) override { modifiedCalls.push_back (m); }
    void selectNew (juce::NotificationType) override { ++newSelections; }
    std::vector<bool> modifiedCalls;
    int newSelections = 0;
};

class DispatchTest : public ::testing::Test
{
protected:
    IsolatedHome home;
    PluginProcessor processor;
};
} // namespace

TEST_F (DispatchTest, ChorusParametersReachTheirOwnStage)
{
    setParameter (processor, "CDepth_b", 1.0f);
    EXPECT_FLOAT_EQ (processor.chain.chorusB.depth.getValue (false), 24.0f);
    EXPECT_LT (processor.chain.chorusA.depth.getValue (false), 24.0f);

    processor.parameterChanged ("CDepth_x", 0.0f); // an underscore not ending in "b" means stage a
    EXPECT_FLOAT_EQ (processor.chain.chorusA.depth.getValue (false), 0.0f);
    EXPECT_FLOAT_EQ (processor.chain.chorusB.depth.getValue (false), 24.0f);
}

TEST_F (DispatchTest, ContinuousParametersMapOntoTheirStageRanges)
{
    struct Case
    {
        const char* id;
        float value;
        std::function<float (PluginProcessor&)> read;
        float expected;
        float tolerance;
    };
    const Case cases[] = {
        { "DriverDelay", 1.0f, [] (auto& p) { return p.driver.delay.getValue (false); }, 100.0f, 1.0e-4f },
        { "DriverDelay", 0.0f, [] (auto& p) { return p.driver.delay.getValue (false); }, 5.0f, 1.0e-4f },
        { "DriverDelay", 0.5f, [] (auto& p) { return p.driver.delay.getValue (false); }, 52.5f, 1.0e-4f },
        { "PFreq", 0.5f, [] (auto& p) { return p.chain.phaser.centerFreq.getValue (false); }, 632.46f, 0.05f },
        { "CDepth_a", 0.5f, [] (auto& p) { return p.chain.chorusA.depth.getValue (false); }, 9.4f, 0.05f },
        { "CPredelay_a", 0.5f, [] (auto& p) { return p.chain.chorusA.predelay.getValue (false); }, 125.075f, 0.01f },
        { "TFeedback", 1.0f, [] (auto& p) { return p.chain.phaser.feedback.getValue (false); }, 50.0f, 1.0e-4f },
        { "OutputGain", 0.0f, [] (auto& p) { return p.output.gain.getValue (false); }, -24.0f, 1.0e-4f },
        { "Mix", 0.25f, [] (auto& p) { return p.mixer.mix.getValue (false); }, 25.0f, 1.0e-4f },
        { "PRange", 0.5f, [] (auto& p) { return p.chain.phaser.range.getValue (false); }, 3.0f, 1.0e-4f },
    };
    for (const auto& c : cases)
    {
        setParameter (processor, c.id, c.value);
        EXPECT_NEAR (c.read (processor), c.expected, c.tolerance) << c.id << " = " << c.value;
    }
}

TEST_F (DispatchTest, DriverDelayAlsoSetsTheAutoPanPeriod)
{
    setParameter (processor, "DriverDelay", 1.0f);
    EXPECT_NEAR (processor.driver.panner.oscillator.getPeriod().getValue (false), 0.2f, 1.0e-6f);
    setParameter (processor, "DriverDelay", 0.0f);
    EXPECT_NEAR (processor.driver.panner.oscillator.getPeriod().getValue (false), 0.01f, 1.0e-6f);
}

TEST_F (DispatchTest, LayersDoubleIntoPhaserStages)
{
    RecordingUpdater updater;
    processor.setLabelUpdater (&updater);
    setParameter (processor, "PLayers", 7.0f);
    EXPECT_EQ (processor.chain.phaser.stages.getIntValue(), 14);
    EXPECT_EQ ((updater.latest[{ PLayers, -1 }]), "Layers: 7");
    processor.setLabelUpdater (nullptr);
}

TEST_F (DispatchTest, StereoSwitchesTheDriverAndFourPhaseOffsets)
{
    auto offsets = [this]
    {
        return std::array<float, 4> { processor.chain.phaser.oscillator.getPhaseL().getValue (false),
                                      processor.chain.finalPhaser.oscillator.getPhaseR().getValue (false),
                                      processor.chain.chorusA.oscillator.getPhaseL().getValue (false),
                                      processor.chain.chorusB.oscillator.getPhaseR().getValue (false) };
    };

    setParameter (processor, "Stereo", 0.0f);
    EXPECT_FALSE (processor.driver.stereo.isOn());
    for (auto v : offsets())
        EXPECT_EQ (v, 0.0f);

    setParameter (processor, "Stereo", 1.0f);
    EXPECT_TRUE (processor.driver.stereo.isOn());
    for (auto v : offsets())
        EXPECT_EQ (v, 0.5f);
}

TEST_F (DispatchTest, OscillatorSwitchFreezesEveryLfoAtMidSweep)
{
    processor.prepareToPlay (44100.0, 256);
    setParameter (processor, "OscEnabled", 0.0f);
    EXPECT_FALSE (processor.oscSwitch.isOn());

    for (auto* osc : { &processor.driver.panner.oscillator, &processor.chain.phaser.oscillator,
                       &processor.chain.finalPhaser.oscillator, &processor.chain.chorusA.oscillator,
                       &processor.chain.chorusB.oscillator })
    {
        EXPECT_EQ (osc->getType(), qmrk_dsp::Oscillator<float>::constShape);
        ASSERT_NE (osc->getShapeArg(), nullptr);
        EXPECT_FLOAT_EQ (osc->getShapeArg()->getValue (false), 0.5f);
    }

    setParameter (processor, "OscEnabled", 1.0f);
    EXPECT_EQ (processor.chain.phaser.oscillator.getType(), qmrk_dsp::Oscillator<float>::sineShape);
}

TEST_F (DispatchTest, DisablingAChorusClearsItsMemory)
{
    processor.prepareToPlay (44100.0, 512);
    setParameter (processor, "CEnabled_b", 0.0f);
    setParameter (processor, "CPredelay_a", 0.2f);
    setParameter (processor, "CFeedback_a", 0.9f);

    auto loud = makeTestSignal (2, 8192, 44100.0);
    processInBlocks (processor, loud, 512);

    // Off clears the delay line; on again starts from silence: the chorus adds nothing to silence.
    setParameter (processor, "CEnabled_a", 0.0f);
    setParameter (processor, "CEnabled_a", 1.0f);
    auto& chorusA = processor.chain.chorusA;
    juce::AudioBuffer<float> silence (2, 512);
    silence.clear();
    juce::dsp::AudioBlock<float> block (silence);
    chorusA.process (block, block);
    EXPECT_EQ (silence.getMagnitude (0, 512), 0.0f);
}

TEST_F (DispatchTest, UnknownIdentifiersChangeNothing)
{
    CountingDisplay display;
    RecordingUpdater updater;
    processor.setModifiedFlag (false);
    processor.display = &display;
    processor.setLabelUpdater (&updater);
    updater.calls.clear();

    processor.parameterChanged ("Bogus", 1.0f);
    processor.parameterChanged ("mix", 1.0f);
    EXPECT_FALSE (processor.isModified());
    EXPECT_TRUE (updater.calls.empty());
    EXPECT_TRUE (display.modifiedCalls.empty());

    processor.setLabelUpdater (nullptr);
    processor.display = nullptr;
}

TEST_F (DispatchTest, FirstChangeMarksThePresetModifiedOnce)
{
    CountingDisplay display;
    processor.setModifiedFlag (false);
    processor.display = &display;

    setParameter (processor, "Mix", 0.3f);
    setParameter (processor, "Mix", 0.4f);
    EXPECT_TRUE (processor.isModified());
    EXPECT_EQ (display.modifiedCalls, std::vector<bool> { true });
    processor.display = nullptr;
}

TEST_F (DispatchTest, LabelTextsShowPhysicalValues)
{
    RecordingUpdater updater;
    processor.setLabelUpdater (&updater);

    struct Case
    {
        const char* id;
        float value;
        ParameterType type;
        int stage;
        const char* text;
    };
    const Case cases[] = {
        { "PFreq", 0.5f, PFreq, -1, "Center Freq.: 632Hz" },
        { "PFreq", 1.0f, PFreq, -1, "Center Freq.: 20.0kHz" },
        { "Mix", 0.5f, Mix, -1, "Mix: 50%" },
        { "OutputGain", 0.75f, OutputGain, -1, "Output Gain: 12.0dB" },
        { "DriverDelay", 0.5f, DriverDelay, -1, "Delay: 52.5ms" },
        { "CDepth_b", 1.0f, CDepth, 1, "Mod Depth: 24.00ms" },
        { "CPredelay_a", 0.0f, CPredelay, 0, "Delay: 0.1ms" },
        { "CEnabled_a", 0.0f, CEnabled, 0, "C|a: Off" },
        { "Stereo", 1.0f, Stereo, -1, "Stereo: On" },
        { "OscEnabled", 0.0f, OscEnabled, -1, "OSC: Off" },
        { "TFeedback", 0.5f, TFeedback, -1, "Feedback: 25.0%" },
        { "PRange", 0.5f, PRange, -1, "Range: 3.0 octs" },
        { "CPeriod_a", 0.0f, CPeriod, 0, "Mod Period: 10.0ms" },
        { "PPeriod", 1.0f, PPeriod, -1, "Period: 4.00s" },
    };
    for (const auto& c : cases)
    {
        setParameter (processor, c.id, c.value);
        EXPECT_EQ ((updater.latest[{ c.type, c.stage }]), c.text) << c.id;
    }
    processor.setLabelUpdater (nullptr);
}

TEST_F (DispatchTest, RegisteringAnUpdaterRefreshesEveryLabelInOrder)
{
    RecordingUpdater updater;
    processor.setLabelUpdater (&updater);
    ASSERT_EQ (updater.calls.size(), static_cast<size_t> (ModelTree::numParameters));
    EXPECT_EQ (updater.calls.front().type, DriverFeedback);
    EXPECT_EQ (updater.calls[10].type, CPeriod);
    EXPECT_EQ (updater.calls[10].stage, 0);
    EXPECT_EQ (updater.calls.back().type, TFeedbackTexture);
    processor.setLabelUpdater (nullptr);
}

TEST_F (DispatchTest, LabelsMatchTheKnobsRightAfterConstruction)
{
    RecordingUpdater updater;
    processor.setLabelUpdater (&updater);
    // Whatever the loaded preset holds, each label equals what its parameter's value maps to.
    for (const auto& ref : ModelTree::hostOrder())
    {
        const auto id = ModelTree::getParameterID (ref.type, ref.stage);
        const auto before = updater.latest[{ ref.type, ref.stage }];
        processor.parameterChanged (id, processor.getModel().getRawParameterValue (id)->load());
        EXPECT_EQ ((updater.latest[{ ref.type, ref.stage }]), before) << id;
    }
    processor.setLabelUpdater (nullptr);
}

TEST_F (DispatchTest, AudioThreadChangesReachTheLabelsOnTheMessageThread)
{
    RecordingUpdater updater;
    processor.setLabelUpdater (&updater);
    updater.calls.clear();

    std::thread audio ([this] { processor.parameterChanged ("PRange", 1.0f); });
    audio.join();
    EXPECT_TRUE (updater.calls.empty()); // nothing ran on the other thread

    const auto deadline = juce::Time::getMillisecondCounter() + 2000;
    while (updater.calls.empty() && juce::Time::getMillisecondCounter() < deadline)
        pumpMessages (20);

    ASSERT_EQ (updater.calls.size(), 1u);
    EXPECT_EQ (updater.calls[0].text, "Range: 6.0 octs");

    // After the editor is gone, pending refreshes go nowhere.
    std::thread audio2 ([this] { processor.parameterChanged ("PRange", 0.0f); });
    audio2.join();
    processor.setLabelUpdater (nullptr);
    pumpMessages (100);
    EXPECT_EQ (updater.calls.size(), 1u);
}

TEST_F (DispatchTest, StateRestoredOnAnotherThreadRefreshesLabelsOnTheMessageThread)
{
    setParameter (processor, "PRange", 1.0f);
    juce::MemoryBlock blob;
    processor.getStateInformation (blob);
    setParameter (processor, "PRange", 0.0f);

    RecordingUpdater updater;
    processor.setLabelUpdater (&updater);
    updater.calls.clear();

    std::thread host ([&] { EXPECT_TRUE (processor.setState (blob.getData(), static_cast<int> (blob.getSize()))); });
    host.join();
    EXPECT_EQ (updater.callsOffMessageThread.load(), 0);

    EXPECT_TRUE (pumpUntil ([&] { return updater.latest[{ PRange, -1 }] == "Range: 6.0 octs"; }));
    EXPECT_EQ (updater.callsOffMessageThread.load(), 0);
    processor.setLabelUpdater (nullptr);
}
