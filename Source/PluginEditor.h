#pragma once

#include "PluginProcessor.h"

/** The plug-in's editor window. */
class PluginEditor : public juce::GenericAudioProcessorEditor
{
public:
    explicit PluginEditor (PluginProcessor& p);
};
