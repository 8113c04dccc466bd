#include <gtest/gtest.h>

#include "DspTestUtils.h"

using namespace qmrk_dsp;

namespace
{
// The driver stage as the plug-in configures it: fully wet, 5..100 ms, a line of at least 4414 samples.
struct DriverFixture : ::testing::Test
{
    static constexpr int blockSize = 512;
    StereoDelay<float> driver;

    void configure (float delayMs, float feedbackPercent, bool stereo)
    {
        driver.mixer.mix.fixValue (100.0f);
        driver.delay.setRange (5.0f, 100.0f);
        driver.setMaximumDelayInSamples (4414);
        driver.delay.setValue (delayMs, false, true);
        driver.feedback.setValue (feedbackPercent, false, true);
        driver.stereo.setValue (stereo ? 1.0f : 0.0f, false, true);
    }

    void prepare (double rate, int channels) { driver.prepareLocked (tw::test::makeSpec (rate, blockSize, channels)); }

    static juce::AudioBuffer<float> impulse (int channels, int samples, float amplitude = 1.0f)
    {
        return tw::test::makeSignal (channels, samples, [=] (int, int i) { return i == 0 ? amplitude : 0.0f; });
    }

    static juce::AudioBuffer<float> noise (int channels, int samples, float amplitude, int seed)
    {
        juce::Random random (seed);
        return tw::test::makeSignal (channels, samples,
                                     [&] (int, int) { return amplitude * (random.nextFloat() * 2.0f - 1.0f); });
    }
};
} // namespace

TEST_F (DriverFixture, OutputIsTheInputDelayedBySamplesOfTheDelayTime)
{
    struct Case
    {
        double rate;
        float delayMs;
        int samples;
    };
    const Case cases[] = { { 44100.0, 100.0f, 4410 }, { 48000.0, 10.0f, 480 }, { 96000.0, 100.0f, 9600 } };

    for (const auto& c : cases)
    {
        configure (c.delayMs, 0.0f, false);
        prepare (c.rate, 2);

        const auto input = noise (2, c.samples + 3000, 0.5f, 7);
        auto buffer = input;
        tw::test::processInBlocks (driver, buffer, blockSize);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
            {
                const auto expected = i < c.samples ? 0.0f : input.getSample (ch, i - c.samples);
                ASSERT_EQ (buffer.getSample (ch, i), expected) << c.rate << " Hz, channel " << ch << ", sample " << i;
            }
    }
}

TEST_F (DriverFixture, FeedbackEchoesAlternateInSign)
{
    // 10 ms at 44100 Hz is exactly 441 samples; feedback 50 %: +1, -0.5, +0.25, -0.125 ...
    constexpr int d = 441;

    for (int channels : { 2, 1 })
    {
        configure (10.0f, 50.0f, false);
        prepare (44100.0, channels);
        auto buffer = impulse (channels, 5 * d + 10);
        tw::test::processInBlocks (driver, buffer, blockSize);

        for (int ch = 0; ch < channels; ++ch)
            for (int i = 0; i < buffer.getNumSamples(); ++i)
            {
                const auto echo = i / d;
                const auto expected =
                    (i % d == 0 && echo >= 1) ? std::pow (-0.5f, static_cast<float> (echo - 1)) : 0.0f;
                ASSERT_EQ (buffer.getSample (ch, i), expected) << channels << " channels, sample " << i;
            }
    }
}

TEST_F (DriverFixture, LineIsSizedInPrepareForTheLongestReachableDelay)
{
    struct Case
    {
        double rate;
        int minimumSize;
        int expected;
    };
    const Case cases[] = {
        { 44100.0, 4414, 4414 },  // 100 ms + 4 samples of headroom
        { 96000.0, 4414, 9604 },  // the configured size is only a lower bound
        { 48000.0, 4414, 4804 },  //
        { 44100.0, 20000, 20000 } //
    };

    for (const auto& c : cases)
    {
        StereoDelay<float> stage;
        stage.delay.setRange (5.0f, 100.0f);
        stage.setMaximumDelayInSamples (c.minimumSize);
        stage.prepareLocked (tw::test::makeSpec (c.rate, blockSize, 2));
        EXPECT_EQ (stage.getMaximumDelayInSamples(), c.expected) << c.rate;
    }
}

TEST_F (DriverFixture, DelayChangesNeverResizeOrClearTheLine)
{
    configure (20.0f, 50.0f, true);
    prepare (44100.0, 2);
    const auto size = driver.getMaximumDelayInSamples();

    auto buffer = noise (2, 44100, 0.5f, 3);

    for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
    {
        driver.delay.setValue (static_cast<float> ((start / blockSize) % 2), true, false); // 5 ms <-> 100 ms
        const auto length = juce::jmin (blockSize, buffer.getNumSamples() - start);
        tw::test::Block block = tw::test::Block (buffer).getSubBlock ((size_t) start, (size_t) length);
        const juce::SpinLock::ScopedLockType sl (driver.lock);
        driver.process (block, block);
        ASSERT_EQ (driver.getMaximumDelayInSamples(), size);
    }

    // A range widened after prepare cannot grow the line: the delay waits at its longest until the next prepare.
    driver.delay.setRange (5.0f, 500.0f);
    driver.delay.setValue (500.0f, false, true);
    tw::test::processInBlocks (driver, buffer, blockSize);
    EXPECT_EQ (driver.getMaximumDelayInSamples(), size);
    EXPECT_FLOAT_EQ (driver.getDelayInSamples(), static_cast<float> (size - StereoDelay<float>::headroomSamples));

    prepare (44100.0, 2);
    EXPECT_EQ (driver.getMaximumDelayInSamples(), 22050 + StereoDelay<float>::headroomSamples);
}

TEST_F (DriverFixture, DelayTimeGlidesOverTheRamp)
{
    configure (20.0f, 0.0f, false);
    prepare (44100.0, 2);
    driver.delay.setValue (100.0f, false, false);

    auto buffer = noise (2, 2205, 0.1f, 5);
    tw::test::processInBlocks (driver, buffer, blockSize);
    EXPECT_NEAR (driver.getDelayInSamples(), 60.0f * 44.1f, 0.5f) << "half way: 60 ms";

    tw::test::processInBlocks (driver, buffer, blockSize);
    EXPECT_NEAR (driver.getDelayInSamples(), 4410.0f, 0.01f);
}

TEST_F (DriverFixture, MonoIsDelayedAndPassesTheAutoPannerUnchanged)
{
    configure (10.0f, 0.0f, true);
    prepare (44100.0, 1);

    const auto input = noise (1, 3000, 0.5f, 11);
    auto buffer = input;
    tw::test::processInBlocks (driver, buffer, blockSize);

    for (int i = 0; i < buffer.getNumSamples(); ++i)
        ASSERT_EQ (buffer.getSample (0, i), i < 441 ? 0.0f : input.getSample (0, i - 441)) << i;
}

TEST_F (DriverFixture, ResetDuringSilenceLeavesSilence)
{
    configure (10.0f, 80.0f, true);
    prepare (44100.0, 2);
    auto buffer = impulse (2, 600);
    tw::test::processInBlocks (driver, buffer, blockSize);
    ASSERT_GT (tw::test::peak (buffer, 0, 600), 0.5f);

    driver.resetLocked();
    auto silence = tw::test::makeSignal (2, 3000, [] (int, int) { return 0.0f; });
    tw::test::processInBlocks (driver, silence, blockSize);
    EXPECT_EQ (tw::test::peak (silence, 0, 3000), 0.0f);
}

TEST_F (DriverFixture, FeedbackTailsStayFiniteAndDieOut)
{
    struct Case
    {
        float feedbackPercent;
        bool decays;
    };
    const Case cases[] = { { 50.0f, true }, { 90.0f, true }, { 100.0f, false } };

    for (const auto& c : cases)
    {
        configure (20.0f, c.feedbackPercent, true);
        prepare (44100.0, 2);

        auto loud = noise (2, 22050, 1000.0f, 13);
        loud.setSample (0, 100, std::numeric_limits<float>::quiet_NaN());
        loud.setSample (1, 200, std::numeric_limits<float>::infinity());
        tw::test::processInBlocks (driver, loud, blockSize);

        auto tail = tw::test::makeSignal (2, 44100 * 12, [] (int, int) { return 0.0f; });
        tw::test::processInBlocks (driver, tail, blockSize);

        ASSERT_TRUE (tw::test::allFinite (loud)) << c.feedbackPercent;
        ASSERT_TRUE (tw::test::allFinite (tail)) << c.feedbackPercent;

        const auto early = tw::test::peak (tail, 0, 4410);
        const auto late = tw::test::peak (tail, tail.getNumSamples() - 4410, 4410);
        EXPECT_LE (late, early * 1.5f) << c.feedbackPercent;

        if (c.decays)
        {
            EXPECT_EQ (late, 0.0f) << "a decaying tail ends in true zeros, not denormals: " << c.feedbackPercent;
        }
    }
}

TEST_F (DriverFixture, OversizedBlockMatchesPreparedBlocks)
{
    StereoDelay<float> reference;
    reference.mixer.mix.fixValue (100.0f);
    reference.delay.setValue (10.0f, false, true);
    configure (10.0f, 40.0f, true);
    reference.feedback.setValue (40.0f, false, true);
    prepare (44100.0, 2);
    reference.prepareLocked (tw::test::makeSpec (44100.0, blockSize, 2));

    const auto input = noise (2, blockSize * 3 + 17, 0.5f, 17);
    auto whole = input;
    auto sliced = input;
    tw::test::Block block (whole);
    driver.process (block, block);
    tw::test::processInBlocks (reference, sliced, blockSize);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < whole.getNumSamples(); ++i)
            ASSERT_EQ (whole.getSample (ch, i), sliced.getSample (ch, i)) << i;
}
