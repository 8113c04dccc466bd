#include "FuzzSupport.h"

#include <cstdlib>

namespace tw::fuzz
{
namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 128;

struct Environment
{
    Environment()
    {
        const auto home =
            juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("tanglewave-fuzz-home");
        home.createDirectory();
        setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
        setenv ("XDG_CONFIG_HOME", home.getChildFile (".config").getFullPathName().toRawUTF8(), 1);
        plugin = std::make_unique<PluginProcessor>();
        plugin->prepareToPlay (sampleRate, blockSize);
    }

    juce::ScopedJuceInitialiser_GUI juce;
    std::unique_ptr<PluginProcessor> plugin;
};
} // namespace

PluginProcessor& processor()
{
    static Environment environment;
    return *environment.plugin;
}

void renderAndCheck (PluginProcessor& p)
{
    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    for (int block = 0; block < 4; ++block)
    {
        for (int i = 0; i < blockSize; ++i)
            for (int ch = 0; ch < 2; ++ch)
                buffer.setSample (ch, i, (i % 32) == 0 ? 1.0f : 0.0f);

        p.processBlock (buffer, midi);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < blockSize; ++i)
                if (!std::isfinite (buffer.getSample (ch, i)))
                    __builtin_trap();
    }
}

} // namespace tw::fuzz
