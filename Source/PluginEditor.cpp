#include "PluginEditor.h"

PluginEditor::PluginEditor (PluginProcessor& p)
    : juce::GenericAudioProcessorEditor (p)
{
}
