#pragma once

#include <qmrk_dsp/qmrk_dsp.h>

#include <functional>

namespace tw::test
{
using Block = juce::dsp::AudioBlock<float>;

inline juce::dsp::ProcessSpec makeSpec (double sampleRate, int blockSize, int channels)
{
    return { sampleRate, static_cast<juce::uint32> (blockSize), static_cast<juce::uint32> (channels) };
}

/** A buffer whose channel ch, sample i holds fn (ch, i). */
inline juce::AudioBuffer<float> makeSignal (int channels, int samples, const std::function<float (int, int)>& fn)
{
    juce::AudioBuffer<float> buffer (channels, samples);

    for (int ch = 0; ch < channels; ++ch)
        for (int i = 0; i < samples; ++i)
            buffer.setSample (ch, i, fn (ch, i));

    return buffer;
}

/** Runs a stage in place over the whole buffer in blocks of blockSize samples. */
template <typename Stage>
void processInBlocks (Stage& stage, juce::AudioBuffer<float>& buffer, int blockSize)
{
    for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
    {
        const auto length = juce::jmin (blockSize, buffer.getNumSamples() - start);
        Block block = Block (buffer).getSubBlock (static_cast<size_t> (start), static_cast<size_t> (length));
        const juce::SpinLock::ScopedLockType sl (stage.lock);
        stage.process (block, block);
    }
}

inline bool allFinite (const juce::AudioBuffer<float>& buffer)
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (!std::isfinite (buffer.getSample (ch, i)))
                return false;

    return true;
}

inline float peak (const juce::AudioBuffer<float>& buffer, int start, int length)
{
    float result = 0.0f;

    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = start; i < start + length; ++i)
            result = juce::jmax (result, std::abs (buffer.getSample (ch, i)));

    return result;
}

} // namespace tw::test
