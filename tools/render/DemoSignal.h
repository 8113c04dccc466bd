#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace tw::render
{
inline constexpr double demoSampleRate = 44100.0;
inline constexpr int demoNumChannels = 2;
/** Loudest sample of the demo: leaves headroom for the effect's feedback. */
inline constexpr float demoPeak = 0.5f;

/** A few seconds of plucked-string arpeggios over a small drum pattern, stereo, always the same. */
[[nodiscard]] juce::AudioBuffer<float> makeDemoSignal (double sampleRate = demoSampleRate);

} // namespace tw::render
