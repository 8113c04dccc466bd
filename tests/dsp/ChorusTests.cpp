#include <gtest/gtest.h>

#include "DspTestUtils.h"

using namespace qmrk_dsp;

namespace
{
// A chorus stage as the chain builds it (524 ms) and the plug-in configures it.
struct ChorusFixture : ::testing::Test
{
    static constexpr int blockSize = 512;
    ChorusStage<float> chorus { 524.0f };

    ChorusFixture()
    {
        chorus.mix.fixValue (100.0f);
        chorus.predelay.setRange (0.1f, 500.0f);
        chorus.depth.setRange (0.0f, 24.0f);
    }

    void prepare (double rate, int channels = 2)
    {
        chorus.prepareLocked (tw::test::makeSpec (rate, blockSize, channels));
    }

    static juce::AudioBuffer<float> impulse (int channels, int samples)
    {
        return tw::test::makeSignal (channels, samples, [] (int, int i) { return i == 0 ? 1.0f : 0.0f; });
    }

    static juce::AudioBuffer<float> noise (int channels, int samples, float amplitude, int seed)
    {
        juce::Random random (seed);
        return tw::test::makeSignal (channels, samples,
                                     [&] (int, int) { return amplitude * (random.nextFloat() * 2.0f - 1.0f); });
    }
};
} // namespace

TEST_F (ChorusFixture, FeedbackEchoesArriveOneSampleLaterEachRound)
{
    // 10 ms at 48000 Hz is 480 samples; echoes of 1/(1+f), -f/(1+f), f²/(1+f) ... at D, 2D+1, 3D+2 ...
    constexpr int d = 480;
    const float feedbacks[] = { 0.5f, 0.25f };

    for (auto f : feedbacks)
    {
        chorus.depth.setValue (0.0f, false, true);
        chorus.predelay.setValue (10.0f, false, true);
        chorus.feedback.setValue (f * 100.0f, false, true);
        prepare (48000.0);

        auto buffer = impulse (2, 4 * d + 10);
        tw::test::processInBlocks (chorus, buffer, blockSize);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
            {
                auto expected = 0.0f;

                for (int k = 0; k < 4; ++k)
                    if (i == (k + 1) * d + k)
                        expected = std::pow (-f, static_cast<float> (k)) / (1.0f + f);

                ASSERT_FLOAT_EQ (buffer.getSample (ch, i), expected) << "f " << f << ", sample " << i;
            }
    }
}

TEST_F (ChorusFixture, DryMixPassesTheInputScaledForTheFeedback)
{
    const float feedbacks[] = { 0.0f, 50.0f };

    for (auto f : feedbacks)
    {
        ChorusStage<float> dry (524.0f);
        dry.mix.setValue (0.0f, false, true);
        dry.feedback.setValue (f, false, true);
        dry.prepareLocked (tw::test::makeSpec (44100.0, blockSize, 2));

        const auto input = noise (2, 3000, 0.5f, 1);
        auto buffer = input;
        tw::test::processInBlocks (dry, buffer, blockSize);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < input.getNumSamples(); ++i)
                ASSERT_EQ (buffer.getSample (ch, i), input.getSample (ch, i) / (1.0f + f / 100.0f)) << f;
    }
}

TEST_F (ChorusFixture, LineHoldsTheLongestDelayAndDepthIsCutToFit)
{
    struct Case
    {
        double rate;
        int lineSize;
    };
    const Case cases[] = { { 44100.0, 23112 }, { 48000.0, 25156 } };

    for (const auto& c : cases)
    {
        prepare (c.rate);
        EXPECT_EQ (chorus.getMaximumDelayInSamples(), c.lineSize) << c.rate;
    }

    // Predelay 500 ms, depth 30 ms on a 524 ms stage: the depth is cut to 24 ms, and a constant
    // sweep of 0.5 rests at 500 + 12 ms = 24576 samples at 48000 Hz.
    chorus.depth.setRange (0.5f, 100.0f);
    chorus.depth.setValue (30.0f, false, true);
    chorus.predelay.setValue (500.0f, false, true);
    chorus.oscillator.setType (Oscillator<float>::constShape);
    chorus.oscillator.setShapeValue (0.5f);
    prepare (48000.0);

    auto buffer = impulse (1, 25000);
    tw::test::processInBlocks (chorus, buffer, blockSize);

    for (int i = 0; i < buffer.getNumSamples(); ++i)
        ASSERT_EQ (buffer.getSample (0, i), i == 24576 ? 1.0f : 0.0f) << i;
}

TEST_F (ChorusFixture, LeftSweepDrivesChannelZeroAndTheRightOneTheRest)
{
    chorus.depth.setValue (10.0f, false, true);
    chorus.predelay.setValue (5.0f, false, true);
    chorus.oscillator.getPeriod().setValue (0.05f, false, true);
    prepare (44100.0, 3);

    ChorusStage<float> mono (524.0f);
    mono.mix.fixValue (100.0f);
    mono.depth.setValue (10.0f, false, true);
    mono.predelay.setValue (5.0f, false, true);
    mono.oscillator.getPeriod().setValue (0.05f, false, true);
    mono.prepareLocked (tw::test::makeSpec (44100.0, blockSize, 1));

    const auto source = noise (1, 4000, 0.5f, 2);
    auto three = tw::test::makeSignal (3, 4000, [&] (int, int i) { return source.getSample (0, i); });
    auto one = source;
    tw::test::processInBlocks (chorus, three, blockSize);
    tw::test::processInBlocks (mono, one, blockSize);

    auto channelsDiffer = false;

    for (int i = 0; i < 4000; ++i)
    {
        ASSERT_EQ (three.getSample (1, i), three.getSample (2, i)) << i;
        ASSERT_EQ (three.getSample (0, i), one.getSample (0, i)) << i;
        channelsDiffer = channelsDiffer || three.getSample (0, i) != three.getSample (1, i);
    }

    EXPECT_TRUE (channelsDiffer) << "left and right sweeps are half a cycle apart";
}

TEST_F (ChorusFixture, ResetClearsTheDelayMemory)
{
    chorus.feedback.setValue (70.0f, false, true);
    prepare (44100.0);
    auto loud = noise (2, 8000, 0.9f, 3);
    tw::test::processInBlocks (chorus, loud, blockSize);

    chorus.resetLocked();
    auto silence = tw::test::makeSignal (2, 30000, [] (int, int) { return 0.0f; });
    tw::test::processInBlocks (chorus, silence, blockSize);
    EXPECT_EQ (tw::test::peak (silence, 0, silence.getNumSamples()), 0.0f);
}

TEST_F (ChorusFixture, FeedbackAtAnySettingStaysFinite)
{
    struct Case
    {
        float feedback;
        bool decays;
    };
    const Case cases[] = { { 50.0f, true }, { 100.0f, false } };

    for (const auto& c : cases)
    {
        chorus.feedback.setValue (c.feedback, false, true);
        chorus.depth.setValue (24.0f, false, true);
        chorus.predelay.setValue (0.1f, false, true);
        chorus.oscillator.getPeriod().setValue (0.01f, false, true);
        prepare (44100.0);

        auto loud = noise (2, 22050, 1000.0f, 4);
        loud.setSample (0, 30, std::numeric_limits<float>::quiet_NaN());
        loud.setSample (1, 40, std::numeric_limits<float>::infinity());
        tw::test::processInBlocks (chorus, loud, blockSize);

        auto tail = tw::test::makeSignal (2, 44100 * 5, [] (int, int) { return 0.0f; });
        tw::test::processInBlocks (chorus, tail, blockSize);

        ASSERT_TRUE (tw::test::allFinite (loud)) << c.feedback;
        ASSERT_TRUE (tw::test::allFinite (tail)) << c.feedback;

        const auto early = tw::test::peak (tail, 0, 4410);
        const auto late = tw::test::peak (tail, tail.getNumSamples() - 4410, 4410);
        EXPECT_LE (late, early) << c.feedback;

        if (c.decays)
        {
            EXPECT_EQ (late, 0.0f) << c.feedback;
        }
    }
}
