#include "FactoryTestSupport.h"

#include <cmath>

namespace tw::test
{
std::vector<FactoryEntry> allFactoryPresets()
{
    std::vector<FactoryEntry> entries;

    for (const auto& category : FactoryLibrary::get())
        for (const auto& preset : category.presets)
            entries.push_back ({ category.name, &preset });

    return entries;
}

std::unique_ptr<PluginProcessor> makeProcessor (const qmrk_gui::PresetManager::FactoryPresetInfo& preset)
{
    auto processor = std::make_unique<PluginProcessor>();
    processor->setRateAndBufferSizeDetails (renderSampleRate, renderBlockSize);
    processor->prepareToPlay (renderSampleRate, renderBlockSize);
    EXPECT_TRUE (
        processor->loadState (juce::MemoryBlock (preset.data, static_cast<size_t> (preset.sizeInBytes)), false))
        << preset.name;
    // Starts from silence with every argument at its target rather than on its way from the default.
    processor->reset();
    return processor;
}

juce::AudioBuffer<float> renderThrough (PluginProcessor& processor, const juce::AudioBuffer<float>& input)
{
    juce::AudioBuffer<float> output (input);
    juce::AudioBuffer<float> block (input.getNumChannels(), renderBlockSize);
    juce::MidiBuffer midi;

    for (int start = 0; start < input.getNumSamples(); start += renderBlockSize)
    {
        const auto n = std::min (renderBlockSize, input.getNumSamples() - start);
        block.setSize (input.getNumChannels(), n, false, false, true);

        for (int ch = 0; ch < input.getNumChannels(); ++ch)
            block.copyFrom (ch, 0, input, ch, start, n);

        processor.processBlock (block, midi);

        for (int ch = 0; ch < input.getNumChannels(); ++ch)
            output.copyFrom (ch, start, block, ch, 0, n);
    }

    return output;
}

juce::AudioBuffer<float> makePluckedSignal()
{
    const auto sampleRate = renderSampleRate;
    const auto numSamples = static_cast<int> (2.0 * sampleRate);
    juce::AudioBuffer<float> signal (2, numSamples);
    signal.clear();

    const struct
    {
        double start, frequency, decay;
    } notes[] = { { 0.0, 82.41, 0.6 }, { 0.25, 196.0, 0.35 }, { 0.5, 329.63, 0.3 },
                  { 0.9, 110.0, 0.5 }, { 1.2, 523.25, 0.2 },  { 1.45, 246.94, 0.4 } };

    for (const auto& note : notes)
    {
        const auto first = static_cast<int> (note.start * sampleRate);

        for (int i = first; i < numSamples; ++i)
        {
            const auto t = (i - first) / sampleRate;
            const auto envelope = std::exp (-t / note.decay) * std::min (1.0, t * 1000.0);
            double left = 0.0, right = 0.0;

            // Plucked-string partials: the upper ones weaker and shorter.
            for (int k = 1; k <= 8; ++k)
            {
                const auto partial = std::sin (juce::MathConstants<double>::twoPi * note.frequency * k * t) *
                                     std::exp (-t * k * 0.8) / k;
                left += partial;
                right += k % 2 == 0 ? 0.8 * partial : partial;
            }

            signal.addSample (0, i, static_cast<float> (envelope * left));
            signal.addSample (1, i, static_cast<float> (envelope * right));
        }
    }

    for (const auto seconds : { 0.15, 0.7, 1.05, 1.7 })
    {
        const auto i = static_cast<int> (seconds * sampleRate);
        signal.addSample (0, i, 1.5f);
        signal.addSample (1, i + 3, -1.5f);
    }

    signal.applyGain (0.5f / signal.getMagnitude (0, numSamples));
    return signal;
}

juce::AudioBuffer<float> makeImpulse (double seconds)
{
    juce::AudioBuffer<float> impulse (2, static_cast<int> (seconds * renderSampleRate));
    impulse.clear();
    impulse.setSample (0, 0, 1.0f);
    impulse.setSample (1, 0, 1.0f);
    return impulse;
}

juce::AudioBuffer<float> makeSine (double frequency, float amplitude, double seconds)
{
    juce::AudioBuffer<float> sine (2, static_cast<int> (seconds * renderSampleRate));

    for (int i = 0; i < sine.getNumSamples(); ++i)
    {
        const auto value =
            amplitude *
            static_cast<float> (std::sin (juce::MathConstants<double>::twoPi * frequency * i / renderSampleRate));
        sine.setSample (0, i, value);
        sine.setSample (1, i, value);
    }

    return sine;
}

std::vector<float> envelopeOf (const juce::AudioBuffer<float>& buffer)
{
    std::vector<float> envelope (static_cast<size_t> (buffer.getNumSamples()), 0.0f);

    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            envelope[static_cast<size_t> (i)] =
                std::max (envelope[static_cast<size_t> (i)], std::abs (buffer.getSample (ch, i)));

    return envelope;
}

} // namespace tw::test
