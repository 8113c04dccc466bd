#pragma once

#include "Renderer.h"
#include "TestHelpers.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <optional>
#include <string>

namespace tw::render::test
{
struct RunResult
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

/** Runs the renderer in this process. */
RunResult run (const juce::StringArray& args, const RunContext& context = {});

struct Audio
{
    juce::AudioBuffer<float> buffer;
    double sampleRate = 0.0;
    int bitsPerSample = 0;
    bool isFloat = false;
    juce::String formatName;
};

[[nodiscard]] std::optional<Audio> readAudio (const juce::File& file);

/** Writes a WAV (32 bits are float) or, for an .aif/.aiff name, an AIFF file. */
void writeAudio (const juce::File& file, const juce::AudioBuffer<float>& buffer, double sampleRate, int bits = 32);

/** Decaying tone bursts with a different pitch on every channel, peaks below 0.5. */
[[nodiscard]] juce::AudioBuffer<float> makeTestSignal (int numChannels, int numSamples, double sampleRate);

/** Largest absolute sample difference; infinity when the shapes differ. */
[[nodiscard]] float maxDifference (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b);

/** Every file in the folder, hidden ones included, as sorted names. */
[[nodiscard]] juce::StringArray listFolder (const juce::File& folder);

[[nodiscard]] juce::String path (const juce::File& file);

} // namespace tw::render::test
