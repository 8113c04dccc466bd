#include "ProcessorFixtures.h"

namespace tw::test
{
juce::AudioBuffer<float> makeTestSignal (int numChannels, int numSamples, double sampleRate)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);
    const auto period = static_cast<int> (sampleRate * 0.25);
    for (int i = 0; i < numSamples; ++i)
    {
        const auto t = static_cast<double> (i % period) / sampleRate;
        const auto note = 0.6 * std::exp (-8.0 * t) * std::sin (2.0 * juce::MathConstants<double>::pi * 220.0 * t);
        const auto click = (i % period) == 0 ? 0.9 : 0.0;
        for (int ch = 0; ch < numChannels; ++ch)
            buffer.setSample (ch, i, static_cast<float> ((note + click) * (ch == 0 ? 1.0 : 0.8)));
    }
    return buffer;
}

void processInBlocks (juce::AudioProcessor& processor, juce::AudioBuffer<float>& buffer, int blockSize)
{
    juce::MidiBuffer midi;
    for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
    {
        const auto n = juce::jmin (blockSize, buffer.getNumSamples() - start);
        juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), buffer.getNumChannels(), start, n);
        processor.processBlock (view, midi);
    }
}

bool allFinite (const juce::AudioBuffer<float>& buffer)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (!std::isfinite (buffer.getSample (ch, i)))
                return false;
    return true;
}

} // namespace tw::test
