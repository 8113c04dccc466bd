#pragma once

#include <gtest/gtest.h>

#include "PluginProcessor.h"
#include "TestHelpers.h"

namespace tw::test
{
/** Points HOME and XDG_CONFIG_HOME at a fresh temp folder for the fixture's lifetime. */
class IsolatedHome
{
public:
    IsolatedHome();
    ~IsolatedHome();

    [[nodiscard]] const juce::File& get() const noexcept { return folder.get(); }

private:
    TempFolder folder;
    juce::String oldHome, oldConfig;
};

/** A decaying tone burst with clicks: enough to excite every stage. */
juce::AudioBuffer<float> makeTestSignal (int numChannels, int numSamples, double sampleRate);

/** Processes the whole buffer in blocks of blockSize. */
void processInBlocks (juce::AudioProcessor& processor, juce::AudioBuffer<float>& buffer, int blockSize);

[[nodiscard]] bool allFinite (const juce::AudioBuffer<float>& buffer);

/** Sets a host parameter from its plain value (0..1, 1..12 for PLayers, 0/1 for switches). */
void setParameter (PluginProcessor& processor, const juce::String& id, float plainValue);

} // namespace tw::test
