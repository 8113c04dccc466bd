#include <gtest/gtest.h>

#include "DspTestUtils.h"

using namespace qmrk_dsp;

namespace
{
struct GainFixture : ::testing::Test
{
    static constexpr int blockSize = 256;
    Gain<float> stage { "Output Gain", -120.0f, 24.0f, 0.0f, "dB" };

    void SetUp() override { stage.prepareLocked (tw::test::makeSpec (44100.0, blockSize, 2)); }

    static juce::AudioBuffer<float> noise (int samples)
    {
        juce::Random random (42);
        return tw::test::makeSignal (2, samples, [&] (int, int) { return random.nextFloat() * 2.0f - 1.0f; });
    }
};
} // namespace

TEST_F (GainFixture, UnityCopiesExactlyAndTheFloorSilences)
{
    struct Case
    {
        float decibels;
        float factor;
    };
    const Case cases[] = { { 0.0f, 1.0f }, { -100.0f, 0.0f }, { -120.0f, 0.0f }, { 6.0f, std::pow (10.0f, 0.3f) } };

    for (const auto& c : cases)
    {
        stage.gain.setValue (c.decibels, false, true);
        const auto input = noise (blockSize);
        auto buffer = input;
        tw::test::processInBlocks (stage, buffer, blockSize);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < blockSize; ++i)
                ASSERT_EQ (buffer.getSample (ch, i), input.getSample (ch, i) * c.factor) << c.decibels << " dB";
    }
}

TEST_F (GainFixture, RampIsLinearInDecibels)
{
    // 0 to +6 dB over 4410 samples: sample k carries (k + 1) × 6 / 4410 dB.
    stage.gain.setValue (6.0f, false, false);
    auto buffer = tw::test::makeSignal (2, 4410, [] (int, int) { return 1.0f; });
    tw::test::processInBlocks (stage, buffer, blockSize);

    for (int k : { 0, 1102, 2204, 3307, 4409 })
    {
        const auto decibels = static_cast<float> (k + 1) * 6.0f / 4410.0f;
        EXPECT_NEAR (buffer.getSample (1, k), std::pow (10.0f, decibels / 20.0f), 1.0e-4f) << k;
    }
}

TEST_F (GainFixture, OversizedBlockIsProcessedInPreparedSlices)
{
    stage.gain.setValue (-6.0f, false, true);
    const auto input = noise (blockSize * 3 + 17);
    auto buffer = input;
    tw::test::Block block (buffer);
    stage.process (block, block);

    const auto factor = std::pow (10.0f, -0.3f);

    for (int i = 0; i < buffer.getNumSamples(); ++i)
        ASSERT_FLOAT_EQ (buffer.getSample (0, i), input.getSample (0, i) * factor) << i;
}
