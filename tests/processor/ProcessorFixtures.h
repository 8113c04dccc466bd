#pragma once

#include <gtest/gtest.h>

#include "PluginProcessor.h"
#include "TestHelpers.h"

namespace tw::test
{
/** A decaying tone burst with clicks: enough to excite every stage. */
juce::AudioBuffer<float> makeTestSignal (int numChannels, int numSamples, double sampleRate);

/** Processes the whole buffer in blocks of blockSize. */
void processInBlocks (juce::AudioProcessor& processor, juce::AudioBuffer<float>& buffer, int blockSize);

[[nodiscard]] bool allFinite (const juce::AudioBuffer<float>& buffer);

} // namespace tw::test
