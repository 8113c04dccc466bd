#pragma once

#include <StubAudioProcessor.h>
#include <TestHelpers.h>
#include <gtest/gtest.h>
#include <qmrk_gui/qmrk_gui.h>

#include <vector>

namespace tw::test
{
using Manager = qmrk_gui::PresetManager;
using Loader = qmrk_gui::PresetManager::PresetLoader;

/** Counts what the preset system tells the display. */
struct RecordingDisplay : Loader::PresetDisplay
{
    void setModified (bool isModified) override { (isModified ? markedCount : clearedCount)++; }
    void selectNew (juce::NotificationType notification) override { selectNewCalls.push_back (notification); }

    int markedCount = 0;
    int clearedCount = 0;
    std::vector<juce::NotificationType> selectNewCalls;
};

/**
    A small processor standing in for the plug-in: three parameters in a value-tree state of type
    "Tw10" with its own undo manager, the state blob written with copyXmlToBinary, and the preset
    information handed to a manager when one is attached. Parameter changes mark the loaded
    preset modified, as the plug-in's dispatch does.
*/
class FakePresetProcessor : public tw::test::StubAudioProcessor,
                            public Loader,
                            public qmrk_gui::PresetShiftSource,
                            private juce::AudioProcessorValueTreeState::Listener
{
public:
    static constexpr int testShift = 13; // not a whole number of bytes

    FakePresetProcessor()
        : parameters (*this, &undo, "Tw10", createLayout())
    {
        undoManager = &undo;
        shiftSource = this;

        for (const auto* id : { "Mix", "PLayers", "Stereo" })
            parameters.addParameterListener (id, this);
    }

    ~FakePresetProcessor() override
    {
        for (const auto* id : { "Mix", "PLayers", "Stereo" })
            parameters.removeParameterListener (id, this);
    }

    //==============================================================================
    void getState (juce::MemoryBlock& destData, bool includePresetInfo) override
    {
        auto copy = parameters.copyState();
        copy.setProperty ("CompanyName", "Quillmark", nullptr);
        copy.setProperty ("ProductNameWithoutVersion", "Tanglewave", nullptr);
        copy.setProperty ("ProductVersion", "1.0.1", nullptr);

        if (includePresetInfo && manager != nullptr)
            manager->writePresetInfo (copy);

        destData.reset();

        if (auto xml = copy.createXml(); xml != nullptr && !produceEmptyState)
            copyXmlToBinary (*xml, destData);
    }

    bool setState (const void* data, int sizeInBytes) override
    {
        const auto xml = getXmlFromBinary (data, sizeInBytes);

        if (xml == nullptr || !xml->hasTagName (parameters.state.getType()))
            return false;

        parameters.replaceState (juce::ValueTree::fromXml (*xml));
        const auto loaded = parameters.state.getProperty (Manager::loadedPresetProperty).toString();

        if (loaded.isNotEmpty() && manager != nullptr)
            manager->restorePresetInfo (loaded,
                                        parameters.state.getProperty (Manager::loadedPresetModifiedProperty, false));

        return true;
    }

    int getPresetShift() override { return presetShift; }

    //==============================================================================
    void setPlain (const juce::String& id, float value)
    {
        auto* parameter = parameters.getParameter (id);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
    }

    [[nodiscard]] float getPlain (const juce::String& id) const { return parameters.getRawParameterValue (id)->load(); }

    /** The state blob, unscrambled, without preset information. */
    [[nodiscard]] juce::MemoryBlock getBlob()
    {
        juce::MemoryBlock blob;
        getState (blob, false);
        return blob;
    }

    /** A preset file holding these values (the current values are left as they were). */
    [[nodiscard]] juce::MemoryBlock makePreset (float mix, int layers, bool stereo)
    {
        const auto saved = getBlob();
        setPlain ("Mix", mix);
        setPlain ("PLayers", (float) layers);
        setPlain ("Stereo", stereo ? 1.0f : 0.0f);
        auto preset = qmrk_gui::scramblePresetData (getBlob(), presetShift);
        setState (saved.getData(), (int) saved.getSize());
        return preset;
    }

    //==============================================================================
    juce::UndoManager undo;
    juce::AudioProcessorValueTreeState parameters;
    Manager* manager = nullptr;
    bool produceEmptyState = false;
    int presetShift = testShift;

    //==============================================================================
    void getStateInformation (juce::MemoryBlock& destData) override { getState (destData, true); }
    void setStateInformation (const void* data, int sizeInBytes) override { setState (data, sizeInBytes); }

private:
    static juce::AudioProcessorValueTreeState::ParameterLayout createLayout()
    {
        juce::AudioProcessorValueTreeState::ParameterLayout layout;
        layout.add (std::make_unique<juce::AudioParameterFloat> (
            juce::ParameterID { "Mix", 1 }, "Mix", juce::NormalisableRange<float> (0.0f, 1.0f, 0.01f), 0.5f));
        layout.add (
            std::make_unique<juce::AudioParameterInt> (juce::ParameterID { "PLayers", 1 }, "PLayers", 1, 12, 5));
        layout.add (std::make_unique<juce::AudioParameterBool> (juce::ParameterID { "Stereo", 1 }, "Stereo", false));
        return layout;
    }

    void parameterChanged (const juce::String&, float) override { setModifiedAndNotify (true); }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FakePresetProcessor)
};

inline bool writeBytes (const juce::File& file, const juce::MemoryBlock& data)
{
    return file.getParentDirectory().createDirectory().wasOk() && file.replaceWithData (data.getData(), data.getSize());
}

inline juce::MemoryBlock readBytes (const juce::File& file)
{
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    return data;
}

} // namespace tw::test
