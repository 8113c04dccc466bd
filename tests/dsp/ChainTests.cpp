#include <gtest/gtest.h>

#include "DspTestUtils.h"

#include <thread>

using namespace qmrk_dsp;

namespace
{
constexpr int blockSize = 256;
constexpr double rate = 44100.0;

juce::AudioBuffer<float> noise (int channels, int samples, int seed)
{
    juce::Random random (seed);
    return tw::test::makeSignal (channels, samples, [&] (int, int) { return random.nextFloat() - 0.5f; });
}

template <typename Stage>
void prepare (Stage& stage, int channels = 2)
{
    stage.prepareLocked (tw::test::makeSpec (rate, blockSize, channels));
}

void expectIdentical (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    ASSERT_EQ (a.getNumChannels(), b.getNumChannels());

    for (int ch = 0; ch < a.getNumChannels(); ++ch)
        for (int i = 0; i < a.getNumSamples(); ++i)
            ASSERT_EQ (a.getSample (ch, i), b.getSample (ch, i)) << "channel " << ch << ", sample " << i;
}

// The chain with its own mix fixed fully wet, as the plug-in runs it, and the chorus switches given.
struct Chain
{
    Zarader<float> zarader;

    Chain (bool aOn, bool bOn)
    {
        zarader.mixer.mix.fixValue (100.0f);
        zarader.chorusAOn.setValue (aOn ? 1.0f : 0.0f, false, true);
        zarader.chorusBOn.setValue (bOn ? 1.0f : 0.0f, false, true);
    }
};

void makeChorusB (ChorusStage<float>& chorus)
{
    chorus.feedback.setValue (30.0f, false, true);
    chorus.predelay.setValue (11.0f, false, true);
    chorus.oscillator.getPeriod().setValue (0.3f, false, true);
}
} // namespace

TEST (EffectChain, WithBothChorusesOffTheTwoPhasersRunInSeries)
{
    Chain chain (false, false);
    Phaser<float> first, last;
    prepare (chain.zarader);
    prepare (first);
    prepare (last);

    const auto input = noise (2, 3000, 1);
    auto viaChain = input;
    auto viaStages = input;
    tw::test::processInBlocks (chain.zarader, viaChain, blockSize);
    tw::test::processInBlocks (first, viaStages, blockSize);
    tw::test::processInBlocks (last, viaStages, blockSize);

    expectIdentical (viaChain, viaStages);
}

TEST (EffectChain, ParallelChorusesAreAveraged)
{
    Chain chain (true, true);
    makeChorusB (chain.zarader.chorusB);
    Phaser<float> first, last;
    ChorusStage<float> a (524.0f), b (524.0f);
    makeChorusB (b);

    for (auto* stage : std::initializer_list<Processor<float>*> { &chain.zarader, &first, &last, &a, &b })
        prepare (*stage);

    const auto input = noise (2, 3000, 2);
    auto viaChain = input;
    tw::test::processInBlocks (chain.zarader, viaChain, blockSize);

    auto viaStages = input;
    tw::test::processInBlocks (first, viaStages, blockSize);
    auto branch = viaStages;
    tw::test::processInBlocks (a, viaStages, blockSize);
    tw::test::processInBlocks (b, branch, blockSize);

    for (int ch = 0; ch < 2; ++ch)
    {
        juce::FloatVectorOperations::add (viaStages.getWritePointer (ch), branch.getReadPointer (ch), 3000);
        juce::FloatVectorOperations::multiply (viaStages.getWritePointer (ch), 0.5f, 3000);
    }

    tw::test::processInBlocks (last, viaStages, blockSize);
    expectIdentical (viaChain, viaStages);
}

TEST (EffectChain, IdenticalParallelChorusesSoundLikeOne)
{
    Chain both (true, true);
    Chain single (true, false);
    prepare (both.zarader);
    prepare (single.zarader);

    auto a = noise (2, 3000, 3);
    auto b = a;
    tw::test::processInBlocks (both.zarader, a, blockSize);
    tw::test::processInBlocks (single.zarader, b, blockSize);
    expectIdentical (a, b);
}

TEST (EffectChain, OnlyTheSwitchedOnChorusRuns)
{
    Chain chain (false, true);
    makeChorusB (chain.zarader.chorusB);
    Phaser<float> first, last;
    ChorusStage<float> b (524.0f);
    makeChorusB (b);

    for (auto* stage : std::initializer_list<Processor<float>*> { &chain.zarader, &first, &last, &b })
        prepare (*stage);

    const auto input = noise (2, 3000, 4);
    auto viaChain = input;
    auto viaStages = input;
    tw::test::processInBlocks (chain.zarader, viaChain, blockSize);

    for (auto* stage : std::initializer_list<Processor<float>*> { &first, &b, &last })
        tw::test::processInBlocks (*stage, viaStages, blockSize);

    expectIdentical (viaChain, viaStages);
    EXPECT_EQ (chain.zarader.chorusA.oscillator.getPhase(), 0.0f) << "the switched-off stage stands still";
}

TEST (EffectChain, DryChainMixIsTheInput)
{
    Zarader<float> chain;
    chain.mixer.mix.setValue (0.0f, false, true);
    prepare (chain);

    const auto input = noise (2, 2000, 5);
    auto buffer = input;
    tw::test::processInBlocks (chain, buffer, blockSize);
    expectIdentical (buffer, input);
}

TEST (EffectChain, FrozenSweepsMakeTheChainTimeInvariant)
{
    // With every oscillator resting at Const 0.5 a periodic input gives a periodic output.
    const auto maxDifferenceOverOnePeriod = [] (bool freeze)
    {
        Chain chain (true, true);
        auto& z = chain.zarader;

        for (auto* osc :
             { &z.phaser.oscillator, &z.finalPhaser.oscillator, &z.chorusA.oscillator, &z.chorusB.oscillator })
        {
            osc->setType (freeze ? Oscillator<float>::constShape : Oscillator<float>::sineShape);
            osc->setShapeValue (0.5f);
        }

        prepare (z);
        auto buffer = tw::test::makeSignal (
            2, 88200, [] (int, int i) { return std::sin (6.2831855f * static_cast<float> (i % 100) / 100.0f); });
        tw::test::processInBlocks (z, buffer, blockSize);

        auto difference = 0.0f;
        for (int i = 66150; i < 88100; ++i)
            difference = juce::jmax (difference, std::abs (buffer.getSample (0, i) - buffer.getSample (0, i + 100)));

        return difference;
    };

    EXPECT_LT (maxDifferenceOverOnePeriod (true), 1.0e-4f);
    EXPECT_GT (maxDifferenceOverOnePeriod (false), 1.0e-2f);
}

TEST (EffectChain, OversizedBlockMatchesPreparedBlocks)
{
    Chain whole (true, true);
    Chain sliced (true, true);
    prepare (whole.zarader);
    prepare (sliced.zarader);

    const auto input = noise (2, blockSize * 4 + 33, 6);
    auto a = input;
    auto b = input;
    tw::test::Block block (a);
    whole.zarader.process (block, block);
    tw::test::processInBlocks (sliced.zarader, b, blockSize);
    expectIdentical (a, b);
}

TEST (EffectChain, MonoChainProcessesOneChannel)
{
    Chain mono (true, true);
    Chain stereo (true, true);
    prepare (mono.zarader, 1);
    prepare (stereo.zarader, 2);

    const auto input = noise (1, 3000, 7);
    auto one = input;
    auto two = tw::test::makeSignal (2, 3000, [&] (int, int i) { return input.getSample (0, i); });
    tw::test::processInBlocks (mono.zarader, one, blockSize);
    tw::test::processInBlocks (stereo.zarader, two, blockSize);

    for (int i = 0; i < 3000; ++i)
        ASSERT_EQ (one.getSample (0, i), two.getSample (0, i)) << i;
}

TEST (EffectChain, ChorusSwitchesAndResetsFromAnotherThread)
{
    Chain chain (true, true);
    prepare (chain.zarader);
    std::atomic<bool> done { false };

    std::thread parameterThread (
        [&]
        {
            for (int k = 0; k < 500 && !done.load(); ++k)
            {
                const auto on = (k % 2) == 0;
                chain.zarader.chorusAOn.setValue (on ? 1.0f : 0.0f, false, true);
                if (!on)
                    chain.zarader.chorusA.resetLocked();
                chain.zarader.phaser.setNumStages (2 + 2 * (k % 12));
            }
        });

    auto buffer = noise (2, blockSize * 200, 8);
    tw::test::processInBlocks (chain.zarader, buffer, blockSize);
    done = true;
    parameterThread.join();

    EXPECT_TRUE (tw::test::allFinite (buffer));
}
