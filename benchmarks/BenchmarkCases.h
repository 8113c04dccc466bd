// The settings the benchmarks measure, shared by the timing and the instruction-count executables.
#pragma once

#include <cstdlib>
#include <string>

#include "PluginProcessor.h"

namespace tw::bench
{
enum class Case
{
    defaultPreset, // what a new instance holds: the factory "Default" preset
    worstCase      // every stage at its most expensive
};

inline const char* caseName (Case c)
{
    return c == Case::worstCase ? "worst_case" : "default_preset";
}

inline bool parseCase (const std::string& text, Case& result)
{
    for (auto c : { Case::defaultPreset, Case::worstCase })
    {
        if (text == caseName (c))
        {
            result = c;
            return true;
        }
    }
    return false;
}

/** 24 all-pass stages, both choruses, every LFO running with stereo offsets, feedback and depths at the top. */
inline void applyWorstCase (PluginProcessor& processor)
{
    auto set = [&processor] (const juce::String& id, float plain)
    {
        auto* p = processor.getModel().getParameter (id);
        p->setValueNotifyingHost (p->convertTo0to1 (plain));
    };

    set ("PLayers", 12.0f);
    set ("OscEnabled", 1.0f);
    set ("Stereo", 1.0f);
    set ("PRange", 1.0f);
    set ("TFeedback", 1.0f);
    set ("TFeedbackTexture", 0.5f); // the texture blend is the dearer branch of the fed-back value
    set ("DriverFeedback", 1.0f);
    for (const juce::String stage : { "_a", "_b" })
    {
        set ("CEnabled" + stage, 1.0f);
        set ("CDepth" + stage, 1.0f);
        set ("CFeedback" + stage, 1.0f);
        set ("CPredelay" + stage, 1.0f);
        set ("CPeriod" + stage, 0.2f);
    }
}

inline void applyCase (PluginProcessor& processor, Case c)
{
    processor.getPresetManager().loadDefaultPreset (false);
    processor.applyAllParameters();

    if (c == Case::worstCase)
        applyWorstCase (processor);
}

/** Quiet noise, different on each channel. */
inline juce::AudioBuffer<float> makeNoise (int numSamples, juce::int64 seed)
{
    juce::AudioBuffer<float> buffer (2, numSamples);
    juce::Random random (seed);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < numSamples; ++i)
            buffer.setSample (ch, i, random.nextFloat() * 0.5f - 0.25f);
    return buffer;
}

/** Feeds noise through the processor until every parameter ramp has settled, so that what is
    measured afterwards is the steady state of the case.
*/
inline void settle (PluginProcessor& processor, juce::AudioBuffer<float>& block, double sampleRate)
{
    const auto blocks = static_cast<int> (0.3 * sampleRate / block.getNumSamples()) + 1;
    juce::MidiBuffer midi;
    for (int b = 0; b < blocks; ++b)
        processor.processBlock (block, midi);
}

/** Keeps the real home folder out of reach: user presets must not be picked up from it. */
class ScopedTemporaryHome
{
public:
    ScopedTemporaryHome()
        : home (juce::File::getSpecialLocation (juce::File::tempDirectory)
                    .getChildFile ("tanglewave-bench-home-" + juce::String (juce::Time::currentTimeMillis())))
    {
        home.createDirectory();
        setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
        setenv ("XDG_CONFIG_HOME", home.getChildFile (".config").getFullPathName().toRawUTF8(), 1);
    }

    ~ScopedTemporaryHome() { home.deleteRecursively(); }

    ScopedTemporaryHome (const ScopedTemporaryHome&) = delete;
    ScopedTemporaryHome& operator= (const ScopedTemporaryHome&) = delete;

private:
    juce::File home;
};

} // namespace tw::bench
