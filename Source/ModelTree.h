#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** The parameter kinds, in the order their values are fixed. */
enum ParameterType
{
    Mix = 0,
    OutputGain,
    DriverFeedback,
    DriverDelay,
    PFreq,
    PRange,
    PPeriod,
    PLayers,
    TFeedback,
    TFeedbackTexture,
    Stereo,
    OscEnabled,
    CEnabled,
    CFeedback,
    CPredelay,
    CDepth,
    CPeriod,
    numParameterTypes // also "no kind"
};

/** A host parameter: its kind and the chorus stage it belongs to (-1 none, 0 a, 1 b). */
struct ParameterRef
{
    ParameterType type;
    int stage;
};

/**
    The 22 host parameters, the state tree that mirrors them and the undo manager that records
    changes to it. The single place that defines identifiers, host order, ranges and defaults.
*/
class ModelTree : public juce::AudioProcessorValueTreeState
{
public:
    static constexpr const char* stateType = "Tw10";
    static constexpr int numParameters = 22;
    static constexpr int minLayers = 1;
    static constexpr int maxLayers = 12;
    static constexpr int defaultLayers = 5;
    static constexpr float continuousDefault = 0.5f;
    static constexpr float continuousStep = 0.01f;

    /** Every host parameter, in the order the host lists them. */
    static const std::array<ParameterRef, numParameters>& hostOrder();

    explicit ModelTree (juce::AudioProcessor& owner);
    ~ModelTree() override;

    static juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout();

    /** The kind named exactly (case-sensitive) by kindName; numParameterTypes for any other text. */
    [[nodiscard]] static ParameterType getParameterType (const juce::String& kindName);

    /** The kind's name, with "_a" for stage 0 and "_b" for any stage above 0. */
    [[nodiscard]] static juce::String getParameterID (ParameterType type, int stage);

    /** Splits a parameter identifier into kind and stage; the kind is numParameterTypes when unknown. */
    [[nodiscard]] static ParameterRef resolve (const juce::String& parameterID) noexcept;

    [[nodiscard]] static bool isSwitch (ParameterType type) noexcept;

    void addParameterListeners (juce::AudioProcessorValueTreeState::Listener* listener);
    void removeParameterListeners (juce::AudioProcessorValueTreeState::Listener* listener);

    juce::UndoManager& getUndoManager() noexcept { return undoHistory; }

private:
    [[nodiscard]] static ParameterType findKind (juce::String::CharPointerType text, int length) noexcept;

    // Constructed after the base, which only stores the pointer until its first timer flush.
    juce::UndoManager undoHistory;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ModelTree)
};
