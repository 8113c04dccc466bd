#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_dsp/juce_dsp.h>
#include <qmrk_dsp/qmrk_dsp.h>
#include <qmrk_gui/qmrk_gui.h>

#include "MessageThreadHold.h"
#include "ModelTree.h"

/** The audio processor the host creates for each plug-in instance. */
class PluginProcessor : public juce::AudioProcessor,
                        public juce::AudioProcessorValueTreeState::Listener,
                        public qmrk_gui::PresetManager::PresetLoader,
                        public qmrk_gui::PresetShiftSource,
                        private juce::Timer
{
public:
    /** The left shift that scrambles every preset file and factory preset of this product. */
    static constexpr int presetShift = 13;
    static constexpr const char* productNameWithoutVersion = "Tanglewave";
    static constexpr const char* pluginCode = "Tw10";
    static constexpr double lowCutSampleRate = 44100.0;
    static constexpr float lowCutFrequency = 110.0f;
    /** How often label refreshes and modified marks from other threads reach the message thread. */
    static constexpr int messageDrainIntervalMs = 30;

    PluginProcessor();
    ~PluginProcessor() override;

    using juce::AudioProcessor::processBlock;
    using juce::AudioProcessor::processBlockBypassed;

    const juce::String getName() const override;
    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    void processBlockBypassed (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    void reset() override;
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    void parameterChanged (const juce::String& parameterID, float newValue) override;

    void getState (juce::MemoryBlock& destData, bool includePresetInfo) override;
    bool setState (const void* data, int sizeInBytes) override;

    int getPresetShift() override { return presetShift; }

    //==============================================================================
    /** Message thread. Refreshes every label at once when an updater is given. */
    void setLabelUpdater (qmrk_gui::LabelUpdater* updater);
    /** Message thread, with a label updater registered. */
    void refreshLabel (ParameterType type, int stage);
    [[nodiscard]] juce::String getLabelText (ParameterType type, int stage);
    [[nodiscard]] bool isChorusDepthZero (int stage);

    /** Sets every stage argument from its parameter's current value, without marking the preset
        modified. JUCE reports only changed values, so this runs after construction and restores. */
    void applyAllParameters();

    ModelTree& getModel() noexcept { return model; }
    qmrk_gui::PresetManager& getPresetManager() noexcept { return presetManager; }
    const qmrk_gui::FileServerManager& getFileServer() const noexcept { return fileServer; }

private:
    // Members in construction order. The hold comes first: while the constructor runs and until
    // the last member is gone, a host thread that creates or destroys the processor keeps the
    // message thread's timers away from it.
    MessageThreadHold messageThreadHold;
    ModelTree model;
    qmrk_gui::FileServerManager fileServer;
    qmrk_gui::PresetManager presetManager;
    std::atomic<qmrk_gui::LabelUpdater*> labelUpdater { nullptr };
    juce::AudioBuffer<float> workBuffer;

public:
    //==============================================================================
    // The stages; the editor reads their arguments, tests drive them directly.
    qmrk_dsp::StereoDelay<float> driver;
    qmrk_dsp::Zarader<float> chain;
    juce::dsp::ProcessorDuplicator<juce::dsp::IIR::Filter<float>, juce::dsp::IIR::Coefficients<float>> lowCut;
    qmrk_dsp::Mixer<float> mixer;
    qmrk_dsp::Gain<float> output;
    qmrk_dsp::BoolArg<float> oscSwitch;

private:
    void configureChain();
    void applyParameter (ParameterRef ref, float newValue);
    void requestLabelRefresh (ParameterRef ref, bool onMessageThread);
    [[nodiscard]] qmrk_dsp::ChorusStage<float>& chorus (int stage) noexcept;
    [[nodiscard]] qmrk_dsp::BoolArg<float>& chorusSwitch (int stage) noexcept;
    [[nodiscard]] static int labelSlot (ParameterType type, int stage) noexcept;

    void processChunk (juce::AudioBuffer<float>& buffer, int startSample, int numSamples);
    void resetLowCutIfRequested() noexcept;
    void timerCallback() override;

    int preparedBlockSize = 0;
    int preparedChannels = 0;
    bool processed = false;

    // Changes made away from the message thread leave flags here; the timer hands them on.
    static constexpr int numLabelSlots = numParameterTypes + 5;
    std::array<std::atomic<bool>, numLabelSlots> labelDirty {};
    std::atomic<bool> anyLabelDirty { false };
    std::atomic<bool> modifiedMarkPending { false };
    // The low-cut filters have no lock of their own: a reset asked for outside the audio
    // callback is carried out at the start of the next block.
    std::atomic<bool> lowCutResetPending { false };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginProcessor)
};
