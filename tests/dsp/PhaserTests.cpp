#include <gtest/gtest.h>

#include "DspTestUtils.h"

using namespace qmrk_dsp;

namespace
{
struct PhaserFixture : ::testing::Test
{
    static constexpr int blockSize = 512;
    Phaser<float> phaser;

    void prepare (double rate, int channels = 2)
    {
        phaser.prepareLocked (tw::test::makeSpec (rate, blockSize, channels));
    }

    // Fully wet, no feedback, break frequency resting at the centre.
    static void makeStaticAllPass (Phaser<float>& stage, float centreHz, int stages)
    {
        stage.mix.fixValue (100.0f);
        stage.feedback.setValue (0.0f, false, true);
        stage.centerFreq.setValue (centreHz, false, true);
        stage.oscillator.setType (Oscillator<float>::constShape);
        stage.oscillator.setShapeValue (0.5f);
        stage.setNumStages (stages);
    }

    static juce::AudioBuffer<float> noise (int channels, int samples, float amplitude, int seed)
    {
        juce::Random random (seed);
        return tw::test::makeSignal (channels, samples,
                                     [&] (int, int) { return amplitude * (random.nextFloat() * 2.0f - 1.0f); });
    }
};
} // namespace

TEST_F (PhaserFixture, BreakFrequencySweepsAroundTheCentreAndStopsBelowNyquist)
{
    struct Case
    {
        double rate;
        float centre, sweep, octaves, expected;
    };
    const Case cases[] = {
        { 44100.0, 200.0f, 0.0f, 2.0f, 50.0f },
        { 44100.0, 200.0f, 1.0f, 2.0f, 800.0f },
        { 44100.0, 200.0f, 0.5f, 2.0f, 200.0f },
        { 44100.0, 22.0f, 1.0f, 0.5f, 22.0f * std::sqrt (2.0f) },
        { 44100.0, 20.0f, 0.0f, 6.0f, 0.3125f },
        { 44100.0, 20000.0f, 1.0f, 6.0f, 22038.0f },
        { 48000.0, 20000.0f, 1.0f, 6.0f, 23988.0f },
        { 44100.0, std::numeric_limits<float>::quiet_NaN(), 0.5f, 1.0f, 22038.0f },
        { 44100.0, -5.0f, 0.5f, 1.0f, 0.0f },
    };

    for (const auto& c : cases)
    {
        prepare (c.rate);
        EXPECT_FLOAT_EQ (phaser.breakFrequency (c.centre, c.sweep, c.octaves), c.expected)
            << c.rate << " " << c.centre << " " << c.sweep << " " << c.octaves;
    }
}

TEST_F (PhaserFixture, SweepsBeyondTheCapSoundLikeTheCap)
{
    // Both settings ask for far more than 22038 Hz; capped, they are the same filter.
    const auto input = noise (2, 4096, 0.5f, 1);
    juce::AudioBuffer<float> outputs[2];
    const float octaves[] = { 6.0f, 1.0f };

    for (int k = 0; k < 2; ++k)
    {
        Phaser<float> stage;
        makeStaticAllPass (stage, 20000.0f, 6);
        stage.oscillator.setShapeValue (0.999f);
        stage.range.setValue (octaves[k], false, true);
        stage.prepareLocked (tw::test::makeSpec (44100.0, blockSize, 2));
        outputs[k] = input;
        tw::test::processInBlocks (stage, outputs[k], blockSize);
        ASSERT_TRUE (tw::test::allFinite (outputs[k]));
    }

    for (int i = 0; i < input.getNumSamples(); ++i)
        ASSERT_EQ (outputs[0].getSample (0, i), outputs[1].getSample (0, i)) << i;
}

TEST_F (PhaserFixture, AllPassChainKeepsUnitEnergy)
{
    // An all-pass filter's impulse response has energy 1 at any break frequency and stage count.
    const float centres[] = { 50.0f, 1000.0f, 8000.0f };
    const int stageCounts[] = { 2, 10, 24 };

    for (auto centre : centres)
        for (auto stages : stageCounts)
        {
            makeStaticAllPass (phaser, centre, stages);
            prepare (44100.0);
            auto buffer = tw::test::makeSignal (2, 88200, [] (int, int i) { return i == 0 ? 1.0f : 0.0f; });
            tw::test::processInBlocks (phaser, buffer, blockSize);

            double energy = 0.0;
            for (int i = 0; i < buffer.getNumSamples(); ++i)
                energy += static_cast<double> (buffer.getSample (1, i)) * buffer.getSample (1, i);

            EXPECT_NEAR (energy, 1.0, 1.0e-3) << centre << " Hz, " << stages << " stages";
        }
}

TEST_F (PhaserFixture, EachStageTurnsTheBreakFrequencyByAQuarterCycle)
{
    // At its break frequency a first-order all-pass shifts by -90 degrees: 2 stages invert, 4 restore.
    struct Case
    {
        int stages;
        float sign;
    };
    const Case cases[] = { { 2, -1.0f }, { 4, 1.0f } };

    for (const auto& c : cases)
    {
        makeStaticAllPass (phaser, 1000.0f, c.stages);
        prepare (48000.0);
        const auto sine = [] (int, int i) { return std::sin (6.2831855f * static_cast<float> (i % 48) / 48.0f); };
        const auto input = tw::test::makeSignal (2, 48000, sine);
        auto buffer = input;
        tw::test::processInBlocks (phaser, buffer, blockSize);

        for (int i = 47000; i < 48000; ++i)
            ASSERT_NEAR (buffer.getSample (0, i), c.sign * input.getSample (0, i), 2.0e-3f) << c.stages << ":" << i;
    }
}

TEST_F (PhaserFixture, DryMixWithoutFeedbackIsTheInput)
{
    phaser.mix.setValue (0.0f, false, true);
    phaser.range.setValue (6.0f, false, true);
    prepare (44100.0);
    const auto input = noise (2, 3000, 0.7f, 2);
    auto buffer = input;
    tw::test::processInBlocks (phaser, buffer, blockSize);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < input.getNumSamples(); ++i)
            ASSERT_EQ (buffer.getSample (ch, i), input.getSample (ch, i));
}

TEST_F (PhaserFixture, FullTextureFeedsBackOnlyTheMagnitude)
{
    // Mix 0 shows u = x - e: after an impulse, the fed-back value alone.
    struct Case
    {
        float texture;
        bool anyPositive;
    };
    const Case cases[] = { { 100.0f, false }, { 0.0f, true } };

    for (const auto& c : cases)
    {
        phaser.mix.setValue (0.0f, false, true);
        phaser.feedback.setValue (50.0f, false, true);
        phaser.texture.setValue (c.texture, false, true);
        prepare (44100.0);
        auto buffer = tw::test::makeSignal (1, 2000, [] (int, int i) { return i == 0 ? 1.0f : 0.0f; });
        tw::test::processInBlocks (phaser, buffer, blockSize);

        auto positive = false;
        auto negative = false;
        for (int i = 1; i < buffer.getNumSamples(); ++i)
        {
            positive = positive || buffer.getSample (0, i) > 0.0f;
            negative = negative || buffer.getSample (0, i) < 0.0f;
        }

        EXPECT_EQ (positive, c.anyPositive) << c.texture;
        EXPECT_TRUE (negative) << c.texture;
    }
}

TEST_F (PhaserFixture, StageCountRestartsTheChainFromSilence)
{
    Phaser<float> fresh;
    makeStaticAllPass (phaser, 300.0f, 24);
    makeStaticAllPass (fresh, 300.0f, 2);
    phaser.feedback.setValue (40.0f, false, true);
    fresh.feedback.setValue (40.0f, false, true);
    prepare (44100.0);
    fresh.prepareLocked (tw::test::makeSpec (44100.0, blockSize, 2));

    auto warmUp = noise (2, 4096, 0.8f, 3);
    tw::test::processInBlocks (phaser, warmUp, blockSize);

    phaser.setNumStages (2);
    EXPECT_EQ (phaser.getNumStages(), 2);
    EXPECT_EQ (phaser.stages.getText (0), "Stages: 2");

    const auto input = noise (2, 2048, 0.8f, 4);
    auto a = input;
    auto b = input;
    tw::test::processInBlocks (phaser, a, blockSize);
    tw::test::processInBlocks (fresh, b, blockSize);

    for (int i = 0; i < input.getNumSamples(); ++i)
        ASSERT_EQ (a.getSample (1, i), b.getSample (1, i)) << i;

    const int requests[][2] = { { 0, 1 }, { -3, 1 }, { 14, 14 }, { 99, Phaser<float>::maxStages } };

    for (const auto& r : requests)
    {
        phaser.setNumStages (r[0]);
        EXPECT_EQ (phaser.getNumStages(), r[1]);
        EXPECT_EQ (phaser.stages.getIntValue(), r[1]);
    }
}

TEST_F (PhaserFixture, FeedbackAtAnySettingStaysFinite)
{
    struct Case
    {
        float feedback, texture;
        bool decays;
    };
    const Case cases[] = {
        { 50.0f, 0.0f, true },   { 50.0f, 100.0f, true },  { 90.0f, 50.0f, true },
        { 100.0f, 0.0f, false }, { 100.0f, 50.0f, false }, { 100.0f, 100.0f, false },
    };

    for (const auto& c : cases)
    {
        phaser.mix.setValue (100.0f, false, true);
        phaser.feedback.setValue (c.feedback, false, true);
        phaser.texture.setValue (c.texture, false, true);
        phaser.centerFreq.setValue (20000.0f, false, true);
        phaser.range.setValue (6.0f, false, true);
        phaser.oscillator.setType (Oscillator<float>::sineShape);
        phaser.oscillator.getPeriod().setValue (0.1f, false, true);
        phaser.setNumStages (24);
        prepare (44100.0);

        auto loud = noise (2, 22050, 1000.0f, 5);
        loud.setSample (0, 10, std::numeric_limits<float>::quiet_NaN());
        loud.setSample (1, 20, -std::numeric_limits<float>::infinity());
        tw::test::processInBlocks (phaser, loud, blockSize);

        auto tail = tw::test::makeSignal (2, 44100 * 5, [] (int, int) { return 0.0f; });
        tw::test::processInBlocks (phaser, tail, blockSize);

        ASSERT_TRUE (tw::test::allFinite (loud)) << c.feedback << " " << c.texture;
        ASSERT_TRUE (tw::test::allFinite (tail)) << c.feedback << " " << c.texture;

        const auto early = tw::test::peak (tail, 0, 4410);
        const auto late = tw::test::peak (tail, tail.getNumSamples() - 4410, 4410);
        EXPECT_LE (late, early) << c.feedback << " " << c.texture;

        if (c.decays)
        {
            EXPECT_EQ (late, 0.0f) << c.feedback << " " << c.texture;
        }
    }
}

TEST_F (PhaserFixture, ChannelsBeyondThePreparedOnesPassThrough)
{
    prepare (44100.0, 1);
    const auto input = noise (3, 1000, 0.5f, 6);
    auto buffer = input;
    tw::test::processInBlocks (phaser, buffer, blockSize);

    ASSERT_TRUE (tw::test::allFinite (buffer));
    for (int ch = 1; ch < 3; ++ch)
        for (int i = 0; i < input.getNumSamples(); ++i)
            ASSERT_EQ (buffer.getSample (ch, i), input.getSample (ch, i));
}
