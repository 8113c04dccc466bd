#include "ModelTree.h"

namespace
{
constexpr std::array<const char*, numParameterTypes> kindNames {
    "Mix",      "OutputGain", "DriverFeedback", "DriverDelay",      "PFreq",   "PRange",
    "PPeriod",  "PLayers",    "TFeedback",      "TFeedbackTexture", "Stereo",  "OscEnabled",
    "CEnabled", "CFeedback",  "CPredelay",      "CDepth",           "CPeriod",
};
} // namespace

const std::array<ParameterRef, ModelTree::numParameters>& ModelTree::hostOrder()
{
    static const std::array<ParameterRef, numParameters> order {
        ParameterRef { OutputGain, -1 },
        { Mix, -1 },
        { DriverFeedback, -1 },
        { DriverDelay, -1 },
        { CEnabled, 0 },
        { CPredelay, 0 },
        { CDepth, 0 },
        { CFeedback, 0 },
        { CPeriod, 0 },
        { CEnabled, 1 },
        { CPredelay, 1 },
        { CDepth, 1 },
        { CFeedback, 1 },
        { CPeriod, 1 },
        { PRange, -1 },
        { PFreq, -1 },
        { PPeriod, -1 },
        { PLayers, -1 },
        { OscEnabled, -1 },
        { Stereo, -1 },
        { TFeedback, -1 },
        { TFeedbackTexture, -1 },
    };
    return order;
}

ModelTree::ModelTree (juce::AudioProcessor& owner)
    : juce::AudioProcessorValueTreeState (owner, &undoManager, stateType, createParameterLayout())
{
}

ModelTree::~ModelTree() = default;

juce::AudioProcessorValueTreeState::ParameterLayout ModelTree::createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    for (const auto& ref : hostOrder())
    {
        const auto id = getParameterID (ref.type, ref.stage);
        const juce::ParameterID versionedId { id, 0 };

        if (ref.type == PLayers)
            layout.add (
                std::make_unique<juce::AudioParameterInt> (versionedId, id, minLayers, maxLayers, defaultLayers));
        else if (isSwitch (ref.type))
            layout.add (std::make_unique<juce::AudioParameterBool> (versionedId, id, true));
        else
            layout.add (std::make_unique<juce::AudioParameterFloat> (
                versionedId, id, juce::NormalisableRange<float> (0.0f, 1.0f, continuousStep), continuousDefault));
    }

    return layout;
}

ParameterType ModelTree::getParameterType (const juce::String& kindName)
{
    for (size_t i = 0; i < kindNames.size(); ++i)
        if (kindName == kindNames[i])
            return static_cast<ParameterType> (i);

    return numParameterTypes;
}

juce::String ModelTree::getParameterID (ParameterType type, int stage)
{
    jassert (type >= 0 && type < numParameterTypes);
    juce::String id (kindNames[static_cast<size_t> (juce::jlimit (0, numParameterTypes - 1, static_cast<int> (type)))]);

    if (stage == 0)
        return id + "_a";
    if (stage > 0)
        return id + "_b";
    return id;
}

ParameterRef ModelTree::resolve (const juce::String& parameterID)
{
    int stage = -1;
    if (parameterID.containsChar ('_'))
        stage = parameterID.endsWithChar ('b') ? 1 : 0;

    return { getParameterType (parameterID.upToFirstOccurrenceOf ("_", false, false)), stage };
}

bool ModelTree::isSwitch (ParameterType type) noexcept
{
    return type == CEnabled || type == OscEnabled || type == Stereo;
}

void ModelTree::addParameterListeners (juce::AudioProcessorValueTreeState::Listener* listener)
{
    for (const auto& ref : hostOrder())
        addParameterListener (getParameterID (ref.type, ref.stage), listener);
}

void ModelTree::removeParameterListeners (juce::AudioProcessorValueTreeState::Listener* listener)
{
    for (const auto& ref : hostOrder())
        removeParameterListener (getParameterID (ref.type, ref.stage), listener);
}
