#pragma once

#include <FactoryPresetGenerator.h>
#include <TestHelpers.h>
#include <gtest/gtest.h>

#include "FactoryLibrary.h"
#include "PluginProcessor.h"

#include <memory>

namespace tw::test
{
[[nodiscard]] inline juce::File projectFolder()
{
    return juce::File (TW_SOURCE_DIR);
}

[[nodiscard]] inline juce::String loadDesignTable()
{
    return projectFolder().getChildFile (presetgen::ProjectPaths::table).loadFileAsString();
}

/** The committed design table, parsed; fails the calling test on any table error. */
[[nodiscard]] inline std::vector<presetgen::PresetDesign> loadDesigns()
{
    juce::StringArray errors;
    auto designs = presetgen::parseTable (loadDesignTable(), errors);
    EXPECT_TRUE (errors.isEmpty()) << errors.joinIntoString ("\n");
    return designs;
}

/** A processor constructed while this lives finds no user presets: the factory ids come first. */
using ScopedEmptyHome = IsolatedHome;

//==============================================================================
constexpr double renderSampleRate = 44100.0;
constexpr int renderBlockSize = 512;

/** A factory preset as the library registers it, with its category. */
struct FactoryEntry
{
    juce::String category;
    const qmrk_gui::PresetManager::FactoryPresetInfo* preset = nullptr;
};

/** Every preset of the embedded library, in registration order. */
[[nodiscard]] std::vector<FactoryEntry> allFactoryPresets();

/** A prepared stereo processor at renderSampleRate with the preset loaded and every stage reset.
    Call with an empty HOME in place (ScopedEmptyHome). */
[[nodiscard]] std::unique_ptr<PluginProcessor> makeProcessor (const qmrk_gui::PresetManager::FactoryPresetInfo& preset);

/** The processor's output for the input, fed in blocks of renderBlockSize. */
[[nodiscard]] juce::AudioBuffer<float> renderThrough (PluginProcessor& processor,
                                                      const juce::AudioBuffer<float>& input);

/** Two seconds of plucked notes with a few clicks, stereo, peaking at 0.5. */
[[nodiscard]] juce::AudioBuffer<float> makePluckedSignal();

/** A stereo unit impulse at the start of the given number of seconds of silence. */
[[nodiscard]] juce::AudioBuffer<float> makeImpulse (double seconds);

/** A stereo sine of the given frequency and amplitude. */
[[nodiscard]] juce::AudioBuffer<float> makeSine (double frequency, float amplitude, double seconds);

/** Per sample, the larger magnitude of the two channels. */
[[nodiscard]] std::vector<float> envelopeOf (const juce::AudioBuffer<float>& buffer);

} // namespace tw::test
