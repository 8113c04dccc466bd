// Real-time factor of processBlock: seconds of audio processed per second of CPU time.
#include <benchmark/benchmark.h>

#include "BenchmarkCases.h"

namespace
{
void processBlockBenchmark (benchmark::State& state, tw::bench::Case which)
{
    const auto sampleRate = static_cast<double> (state.range (0));
    const auto blockSize = static_cast<int> (state.range (1));

    PluginProcessor processor;
    processor.prepareToPlay (sampleRate, blockSize);
    tw::bench::applyCase (processor, which);

    auto buffer = tw::bench::makeNoise (blockSize, 1);
    tw::bench::settle (processor, buffer, sampleRate);

    // A fresh input each block keeps the feedback loops from decaying to silence; the copy costs
    // a few instructions per frame against hundreds for the block.
    const auto input = tw::bench::makeNoise (blockSize, 2);
    juce::MidiBuffer midi;

    for (auto _ : state)
    {
        for (int ch = 0; ch < 2; ++ch)
            buffer.copyFrom (ch, 0, input, ch, 0, blockSize);

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

BENCHMARK_CAPTURE (processBlockBenchmark, default_preset, tw::bench::Case::defaultPreset)->Apply (arguments);
BENCHMARK_CAPTURE (processBlockBenchmark, worst_case, tw::bench::Case::worstCase)->Apply (arguments);

int main (int argc, char** argv)
{
    const tw::bench::ScopedTemporaryHome home;
    const juce::ScopedJuceInitialiser_GUI juceInitialiser;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
