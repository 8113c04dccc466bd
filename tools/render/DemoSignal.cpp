#include "DemoSignal.h"

#include <array>
#include <cmath>
#include <vector>

namespace tw::render
{
namespace
{
constexpr double tempoBpm = 120.0;
constexpr int eighthsPerBar = 8;
constexpr double pluckRingSeconds = 1.4;
constexpr double finalChordSeconds = 1.6;
constexpr float stringDecay = 0.996f;
constexpr juce::int64 randomSeed = 0x7a6e; // the demo sounds the same on every run

// One arpeggio per bar (MIDI notes, one per eighth): A minor, F major, G major.
constexpr std::array<std::array<int, eighthsPerBar>, 3> arpeggios { {
    { 57, 60, 64, 69, 72, 69, 64, 60 },
    { 53, 57, 60, 65, 69, 65, 60, 57 },
    { 55, 59, 62, 67, 71, 67, 62, 59 },
} };
constexpr std::array<int, 5> finalChord { 45, 57, 64, 69, 72 };

double eighthSeconds() noexcept
{
    return 30.0 / tempoBpm;
}

float noteFrequency (int midiNote) noexcept
{
    return 440.0f * std::pow (2.0f, static_cast<float> (midiNote - 69) / 12.0f);
}

/** Adds `length` samples of source(n) at start, panned with equal power (0 left, 1 right). */
template <typename Source>
void addVoice (juce::AudioBuffer<float>& out, int start, int length, float pan, Source&& source)
{
    const auto left = std::cos (pan * juce::MathConstants<float>::halfPi);
    const auto right = std::sin (pan * juce::MathConstants<float>::halfPi);
    const auto end = juce::jmin (out.getNumSamples(), start + length);

    for (int i = start; i < end; ++i)
    {
        const auto s = source (i - start);
        out.addSample (0, i, s * left);
        out.addSample (1, i, s * right);
    }
}

/** A plucked string: a noise burst circulating through a loop that averages neighbours. */
void addPluck (juce::AudioBuffer<float>& out, double rate, int start, int midiNote, float gain, float pan,
               double seconds, juce::Random& random)
{
    // The two-point average delays the loop by half a sample.
    const auto period = juce::jmax (2, juce::roundToInt (rate / noteFrequency (midiNote) - 0.5));
    std::vector<float> loop (static_cast<size_t> (period));
    for (auto& s : loop)
        s = random.nextFloat() * 2.0f - 1.0f;

    const auto length = static_cast<int> (rate * seconds);
    const auto fade = juce::jmax (1, static_cast<int> (rate * 0.05));
    size_t index = 0;

    addVoice (out, start, length, pan,
              [&] (int n)
              {
                  const auto next = (index + 1) % loop.size();
                  const auto y = loop[index];
                  loop[index] = stringDecay * 0.5f * (loop[index] + loop[next]);
                  index = next;
                  const auto envelope =
                      n > length - fade ? static_cast<float> (length - n) / static_cast<float> (fade) : 1.0f;
                  return y * gain * envelope;
              });
}

void addKick (juce::AudioBuffer<float>& out, double rate, int start)
{
    double phase = 0.0;
    addVoice (out, start, static_cast<int> (rate * 0.4), 0.5f,
              [&] (int n)
              {
                  const auto t = n / rate;
                  phase += juce::MathConstants<double>::twoPi * (45.0 + 90.0 * std::exp (-t / 0.04)) / rate;
                  return static_cast<float> (0.9 * std::sin (phase) * std::exp (-t / 0.18));
              });
}

void addSnare (juce::AudioBuffer<float>& out, double rate, int start, juce::Random& random)
{
    addVoice (out, start, static_cast<int> (rate * 0.25), 0.45f,
              [&] (int n)
              {
                  const auto t = n / rate;
                  const auto noise = (random.nextFloat() * 2.0f - 1.0f) * 0.5 * std::exp (-t / 0.08);
                  const auto tone =
                      0.4 * std::sin (juce::MathConstants<double>::twoPi * 190.0 * t) * std::exp (-t / 0.05);
                  return static_cast<float> (noise + tone);
              });
}

void addHat (juce::AudioBuffer<float>& out, double rate, int start, float gain, juce::Random& random)
{
    float previous = 0.0f;
    addVoice (out, start, static_cast<int> (rate * 0.08), 0.65f,
              [&] (int n)
              {
                  // The first difference of white noise leaves mostly the top octaves.
                  const auto noise = random.nextFloat() * 2.0f - 1.0f;
                  const auto bright = noise - previous;
                  previous = noise;
                  return static_cast<float> (bright * gain * std::exp (-(n / rate) / 0.02));
              });
}
} // namespace

juce::AudioBuffer<float> makeDemoSignal (double sampleRate)
{
    const auto rate = sampleRate > 0.0 ? sampleRate : demoSampleRate;
    const auto eighth = eighthSeconds();
    const auto numEighths = static_cast<int> (arpeggios.size()) * eighthsPerBar;
    const auto totalSeconds = (numEighths + 1) * eighth + finalChordSeconds;

    juce::AudioBuffer<float> out (demoNumChannels, static_cast<int> (std::ceil (rate * totalSeconds)));
    out.clear();
    juce::Random random (randomSeed);

    const auto at = [&] (int eighthIndex) { return static_cast<int> (std::lround (eighthIndex * eighth * rate)); };

    for (int i = 0; i < numEighths; ++i)
    {
        const auto& bar = arpeggios[static_cast<size_t> (i / eighthsPerBar)];
        const auto note = bar[static_cast<size_t> (i % eighthsPerBar)];
        addPluck (out, rate, at (i), note, 0.5f, i % 2 == 0 ? 0.3f : 0.7f, pluckRingSeconds, random);

        const auto beatOfBar = (i % eighthsPerBar) / 2;
        const auto onBeat = i % 2 == 0;
        if (onBeat && (beatOfBar == 0 || beatOfBar == 2))
            addKick (out, rate, at (i));
        if (onBeat && (beatOfBar == 1 || beatOfBar == 3))
            addSnare (out, rate, at (i), random);
        addHat (out, rate, at (i), onBeat ? 0.22f : 0.12f, random);
    }

    // A strummed chord to close, a few milliseconds between strings.
    const auto closing = at (numEighths);
    for (size_t s = 0; s < finalChord.size(); ++s)
        addPluck (out, rate, closing + static_cast<int> (static_cast<double> (s) * 0.012 * rate), finalChord[s], 0.4f,
                  0.2f + 0.15f * static_cast<float> (s), finalChordSeconds, random);
    addKick (out, rate, closing);

    const auto peak = out.getMagnitude (0, out.getNumSamples());
    if (peak > 0.0f)
        out.applyGain (demoPeak / peak);

    return out;
}

} // namespace tw::render
