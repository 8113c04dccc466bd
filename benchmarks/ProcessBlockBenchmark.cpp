// Real-time factor of processBlock: seconds of audio processed per second of CPU time.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "PluginProcessor.h"

namespace
{
enum class Setting
{
    constructedDefaults,
    worstCase
};

void applyWorstCase (PluginProcessor& processor)
{
    auto set = [&processor] (const char* id, float plain)
    {
        auto* p = processor.getModel().getParameter (id);
        p->setValueNotifyingHost (p->convertTo0to1 (plain));
    };

    set ("PLayers", 12.0f); // 24 all-pass stages
    set ("OscEnabled", 1.0f);
    set ("Stereo", 1.0f);
    set ("TFeedback", 1.0f);
    set ("TFeedbackTexture", 0.5f);
    set ("DriverFeedback", 1.0f);
    for (const char* stage : { "_a", "_b" })
    {
        const juce::String s (stage);
        set (("CEnabled" + s).toRawUTF8(), 1.0f);
        set (("CDepth" + s).toRawUTF8(), 1.0f);
        set (("CFeedback" + s).toRawUTF8(), 1.0f);
        set (("CPredelay" + s).toRawUTF8(), 1.0f);
        set (("CPeriod" + s).toRawUTF8(), 0.2f);
    }
}

void processBlockBenchmark (benchmark::State& state, Setting setting)
{
    const auto sampleRate = static_cast<double> (state.range (0));
    const auto blockSize = static_cast<int> (state.range (1));

    PluginProcessor processor;
    processor.prepareToPlay (sampleRate, blockSize);
    if (setting == Setting::worstCase)
        applyWorstCase (processor);
    else
        processor.applyAllParameters(); // the values the instance holds after construction

    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::Random random (1);
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < blockSize; ++i)
            buffer.setSample (ch, i, random.nextFloat() * 0.5f - 0.25f);
    juce::MidiBuffer midi;

    for (auto _ : state)
    {
        processor.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }

    const auto audioSeconds = static_cast<double> (state.iterations()) * blockSize / sampleRate;
    state.counters["realtime_factor"] = benchmark::Counter (audioSeconds, benchmark::Counter::kIsRate);
}

void arguments (benchmark::internal::Benchmark* b)
{
    for (auto rate : { 44100, 48000 })
        for (auto block : { 32, 128, 512, 2048 })
            b->Args ({ rate, block });
    b->ArgNames ({ "rate", "block" });
}
} // namespace

BENCHMARK_CAPTURE (processBlockBenchmark, defaults, Setting::constructedDefaults)->Apply (arguments);
BENCHMARK_CAPTURE (processBlockBenchmark, worst_case, Setting::worstCase)->Apply (arguments);

int main (int argc, char** argv)
{
    // User presets must not be picked up from the real home folder.
    const auto home = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("tanglewave-bench-home");
    home.createDirectory();
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
    setenv ("XDG_CONFIG_HOME", home.getChildFile (".config").getFullPathName().toRawUTF8(), 1);

    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    home.deleteRecursively();
    return 0;
}
