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
    : juce::AudioProcessorValueTreeState (owner, &undoHistory, stateType, createParameterLayout())
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
    return findKind (kindName.getCharPointer(), kindName.length());
}

ParameterType ModelTree::findKind (juce::String::CharPointerType text, int length) noexcept
{
    // Compares in place: parameter changes arrive on the audio thread, where nothing may allocate.
    for (size_t i = 0; i < kindNames.size(); ++i)
    {
        const auto* name = kindNames[i];
        if (static_cast<int> (std::strlen (name)) == length &&
            juce::CharacterFunctions::compareUpTo (text, juce::CharPointer_ASCII (name), length) == 0)
            return static_cast<ParameterType> (i);
    }
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

ParameterRef ModelTree::resolve (const juce::String& parameterID) noexcept
{
    const auto underscore = parameterID.indexOfChar ('_');
    const auto stage = underscore < 0 ? -1 : (parameterID.endsWithChar ('b') ? 1 : 0);
    const auto kindLength = underscore < 0 ? parameterID.length() : underscore;
    return { findKind (parameterID.getCharPointer(), kindLength), stage };
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
