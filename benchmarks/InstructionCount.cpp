// Runs one benchmark case for a fixed number of blocks with callgrind's collection switched on
// around processBlock only, so that `valgrind --tool=callgrind --instr-atstart=no --collect-atstart=no` counts the
// instructions of the audio path alone. Outside valgrind the client requests do nothing.
#include <valgrind/callgrind.h>

#include <cstdio>
#include <string>

#include "BenchmarkCases.h"

int main (int argc, char** argv)
{
    if (argc < 4)
    {
        std::fprintf (stderr, "usage: %s default_preset|worst_case sampleRate blockSize [blocks]\n", argv[0]);
        return 2;
    }

    tw::bench::Case which {};
    if (!tw::bench::parseCase (argv[1], which))
    {
        std::fprintf (stderr, "unknown case: %s\n", argv[1]);
        return 2;
    }

    const auto sampleRate = std::atof (argv[2]);
    const auto blockSize = std::atoi (argv[3]);
    const auto blocks = argc > 4 ? std::atoi (argv[4]) : juce::jmax (1, 16384 / juce::jmax (1, blockSize));

    if (!(sampleRate > 0.0) || blockSize <= 0 || blocks <= 0)
        return 2;

    const tw::bench::ScopedTemporaryHome home;
    const juce::ScopedJuceInitialiser_GUI juceInitialiser;

    {
        PluginProcessor processor;
        processor.prepareToPlay (sampleRate, blockSize);
        tw::bench::applyCase (processor, which);

        auto block = tw::bench::makeNoise (blockSize, 1);
        tw::bench::settle (processor, block, sampleRate);

        // A fresh stretch of noise per block keeps the input from decaying through the feedback loops.
        const auto noise = tw::bench::makeNoise (blockSize * blocks, 2);
        juce::MidiBuffer midi;

        CALLGRIND_START_INSTRUMENTATION;

        for (int b = 0; b < blocks; ++b)
        {
            for (int ch = 0; ch < 2; ++ch)
                block.copyFrom (ch, 0, noise, ch, b * blockSize, blockSize);

            CALLGRIND_TOGGLE_COLLECT;
            processor.processBlock (block, midi);
            CALLGRIND_TOGGLE_COLLECT;
        }

        CALLGRIND_STOP_INSTRUMENTATION;
        std::printf ("frames %d\n", blocks * blockSize);
    }

    return 0;
}
