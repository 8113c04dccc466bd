#include <gtest/gtest.h>

#include "DspTestUtils.h"

#include <thread>

using namespace qmrk_dsp;
using Osc = Oscillator<float>;

namespace
{
constexpr float twoPi = 6.2831855f;

struct OscillatorFixture : ::testing::Test
{
    static constexpr int maxBlock = 2048;
    Osc osc { "Osc Type" };
    std::vector<std::vector<float>> stereo { 2, std::vector<float> (maxBlock) };
    std::vector<float> mono = std::vector<float> (maxBlock);

    void prepare (double rate) { osc.prepare (tw::test::makeSpec (rate, maxBlock, 2)); }
};
} // namespace

TEST (OscillatorShapes, ValuesAtKnownPositions)
{
    const auto g2 = static_cast<float> (std::pow (2.0, 1.4));

    struct Case
    {
        int type;
        float x;
        float s;
        int channel;
        float expected;
    };
    const Case cases[] = {
        { Osc::constShape, 0.3f, 0.25f, 0, 0.25f },
        { Osc::sineShape, 0.0f, 0.0f, 0, 0.5f },
        { Osc::sineShape, 0.25f, 0.0f, 0, 1.0f },
        { Osc::sineShape, 0.75f, 0.0f, 1, 0.0f },
        { Osc::sineTriShape, 0.25f, 0.9f, 0, 1.0f },
        { Osc::sineTriShape, 1.0f / 12.0f, 0.9f, 0, std::asin (0.45f) / (2.0f * std::asin (0.9f)) + 0.5f },
        { Osc::sineSqrShape, 0.25f, 2.0f, 0, 1.0f },
        { Osc::sineSqrShape, 1.0f / 12.0f, 2.0f, 0, std::tanh (0.5f * g2) / (2.0f * std::tanh (g2)) + 0.5f },
        { Osc::teardropShape, 0.0f, 0.0f, 0, 0.0f },
        { Osc::teardropShape, 0.5f, 0.0f, 0, 1.0f },
        { Osc::teardropShape, 0.25f, 0.0f, 0, 2.0f / 3.0f },
        { Osc::teardropShape, 0.0f, 1.0f, 0, 1.0f },
        { Osc::teardropShape, 0.5f, 1.0f, 0, 0.0f },
        { Osc::epicycloidShape, 0.0f, 2.0f, 0, 0.75f },
        { Osc::epicycloidShape, 0.0f, 2.0f, 1, 0.5f },
        { Osc::epicycloidShape, 0.25f, 2.0f, 0, 0.5f },
        { Osc::epicycloidShape, 0.25f, 2.0f, 1, 1.0f },
        { 7, 0.4f, 0.0f, 0, 1.0f },
        { -1, 0.4f, 0.0f, 0, 1.0f },
    };

    for (const auto& c : cases)
        EXPECT_NEAR (Osc::shape (c.type, c.x, c.s, c.channel), c.expected, 2.0e-6f)
            << "type " << c.type << " x " << c.x << " s " << c.s << " channel " << c.channel;
}

TEST (OscillatorShapes, StayInsideTheUnitRangeForAnyShapeValue)
{
    const float shapeValues[] = { -5.0f, 0.0f, 1.0e-9f, 0.5f, 0.999f, 1.0f, 3.0f, 8.0f, 9.0f };

    for (int type = Osc::sineShape; type < Osc::numShapes; ++type)
        for (auto s : shapeValues)
            for (int step = 0; step < 64; ++step)
                for (int channel = 0; channel < 2; ++channel)
                {
                    const auto y = Osc::shape (type, static_cast<float> (step) / 64.0f, s, channel);
                    ASSERT_TRUE (std::isfinite (y)) << type << " " << s;
                    ASSERT_GE (y, -1.0e-6f) << type << " " << s;
                    ASSERT_LE (y, 1.0f + 1.0e-6f) << type << " " << s;
                }
}

TEST_F (OscillatorFixture, SineOffsetsGiveAntiphaseAndAFullOffsetIsNone)
{
    prepare (48000.0);
    osc.getPeriod().setValue (0.01f, false, true); // 480 samples per cycle
    osc.getPhaseR().setValue (0.5f, false, true);
    osc.renderStereo (stereo, 960);

    for (int i = 0; i < 960; ++i)
    {
        const auto x = static_cast<float> (i) / 480.0f;
        ASSERT_NEAR (stereo[0][(size_t) i], (std::sin (twoPi * x) + 1.0f) / 2.0f, 1.0e-4f) << i;
        ASSERT_NEAR (stereo[1][(size_t) i], (1.0f - std::sin (twoPi * x)) / 2.0f, 1.0e-4f) << i;
    }

    osc.reset();
    osc.getPhaseL().setValue (1.0f, false, true);
    osc.getPhaseR().setValue (0.0f, false, true);
    osc.renderStereo (stereo, 480);

    for (size_t i = 0; i < 480; ++i)
        ASSERT_NEAR (stereo[0][i], stereo[1][i], 1.0e-6f) << i;
}

TEST_F (OscillatorFixture, PhaseRunsOnSeamlesslyAcrossBlocks)
{
    // 512-sample blocks with a period of 441 samples: each block advances 512/441 cycles.
    prepare (44100.0);
    osc.getPeriod().setValue (0.01f, false, true);

    for (int block = 0; block < 3; ++block)
    {
        osc.renderStereo (stereo, 512);

        for (int i = 0; i < 512; ++i)
        {
            const auto x = static_cast<float> (block * 512 + i) / 441.0f;
            ASSERT_NEAR (stereo[0][(size_t) i], (std::sin (twoPi * x) + 1.0f) / 2.0f, 2.0e-4f) << block << ":" << i;
        }

        const auto cycles = static_cast<double> ((block + 1) * 512) / 441.0;
        EXPECT_NEAR (osc.getPhase(), cycles - std::floor (cycles), 1.0e-4);
    }
}

TEST_F (OscillatorFixture, MonoOutputIsScaledIntoItsRange)
{
    prepare (48000.0);
    osc.getPeriod().setValue (0.01f, false, true);
    osc.getMinimum().setValue (0.2f, false, true);
    osc.getMaximum().setValue (0.6f, false, true);
    osc.renderMono (mono, 480);

    EXPECT_NEAR (mono[0], 0.4f, 1.0e-5f);
    EXPECT_NEAR (mono[120], 0.6f, 1.0e-4f);
    EXPECT_NEAR (mono[360], 0.2f, 1.0e-4f);

    osc.setType (9); // no such shape: a constant 1, the maximum of the mono range
    osc.renderMono (mono, 16);
    EXPECT_FLOAT_EQ (mono[5], 0.6f);
}

TEST_F (OscillatorFixture, ShapeArgumentKeepsItsPositionAcrossShapes)
{
    prepare (44100.0);

    struct Step
    {
        int type;
        float setTo; // < 0: leave
        float expected;
    };
    const Step steps[] = {
        { Osc::sineTriShape, -1.0f, 0.9f },                            // after Sine: initial value
        { Osc::constShape, 0.5f, 0.5f },                               //
        { Osc::sineTriShape, -1.0f, 0.5f + 0.499f * (0.5f / 0.999f) }, // carried over normalised
        { Osc::sineShape, -1.0f, -1.0f },                              // no argument
        { Osc::sineTriShape, -1.0f, 0.9f },                            // starts afresh after Sine
        { Osc::epicycloidShape, -1.0f, 9.0f * ((0.9f - 0.5f) / 0.499f) },
        { Osc::sineSqrShape, -1.0f, 0.1f + 2.9f * (9.0f * ((0.9f - 0.5f) / 0.499f) / 9.0f) },
    };

    for (const auto& step : steps)
    {
        osc.setType (step.type);
        EXPECT_EQ (osc.getType(), step.type);
        EXPECT_EQ (osc.getTypeArg().getText (0), "Osc Type: " + getOscillatorShapeNames()[step.type]);

        if (step.setTo >= 0.0f)
            osc.setShapeValue (step.setTo);

        auto* arg = osc.getShapeArg();

        if (step.expected < 0.0f)
        {
            EXPECT_EQ (arg, nullptr);
            continue;
        }

        ASSERT_NE (arg, nullptr);
        EXPECT_NEAR (arg->getValue (false), step.expected, 1.0e-4f) << "type " << step.type;
    }
}

TEST_F (OscillatorFixture, ShapeArgumentsExistBeforeTheyAreChosen)
{
    // Changing the shape reuses arguments built with the oscillator, so it never allocates.
    prepare (44100.0);
    osc.setType (Osc::constShape);
    auto* constArg = osc.getShapeArg();
    osc.setType (Osc::teardropShape);
    auto* teardropArg = osc.getShapeArg();
    osc.setType (Osc::sineShape);
    osc.setType (Osc::constShape);
    EXPECT_EQ (osc.getShapeArg(), constArg);
    osc.setType (Osc::teardropShape);
    EXPECT_EQ (osc.getShapeArg(), teardropArg);
}

TEST_F (OscillatorFixture, ConstOutputAndShapeRamp)
{
    prepare (44100.0);
    osc.setType (Osc::constShape);
    osc.setShapeValue (0.5f);
    osc.renderStereo (stereo, 64);
    EXPECT_FLOAT_EQ (stereo[0][63], 0.5f);
    EXPECT_FLOAT_EQ (stereo[1][63], 0.5f);

    // A shape argument set with a ramp moves one step per sample.
    osc.getShapeArg()->setValue (0.9f, false, false);
    osc.renderStereo (stereo, 2048);
    EXPECT_NEAR (stereo[0][0], 0.5f + 0.4f / 4410.0f, 1.0e-6f);
    EXPECT_NEAR (stereo[0][2047], 0.5f + 0.4f * 2048.0f / 4410.0f, 1.0e-4f);
}

TEST_F (OscillatorFixture, UnusablePeriodHoldsThePhase)
{
    prepare (44100.0);
    osc.replace (Osc::Standard::period, std::make_unique<Arg<float>> (0.0f, 1.0f, 0.0f, "Period", "s"));
    osc.renderStereo (stereo, 256);

    EXPECT_FLOAT_EQ (osc.getPhase(), 0.0f);
    EXPECT_FLOAT_EQ (stereo[0][255], 0.5f);
}

TEST_F (OscillatorFixture, ShapeChangesFromAnotherThreadDuringRendering)
{
    prepare (44100.0);
    std::atomic<bool> done { false };

    std::thread changer (
        [&]
        {
            for (int k = 0; k < 2000 && !done.load(); ++k)
            {
                osc.setType (k % Osc::numShapes);
                osc.setShapeValue (static_cast<float> (k % 7) / 7.0f);
            }
        });

    for (int block = 0; block < 400; ++block)
    {
        osc.renderStereo (stereo, 256);

        for (size_t i = 0; i < 256; ++i)
        {
            ASSERT_TRUE (std::isfinite (stereo[0][i]) && std::isfinite (stereo[1][i]));
            ASSERT_LE (std::abs (stereo[0][i] - 0.5f), 0.5f + 1.0e-6f);
        }
    }

    done = true;
    changer.join();
}

//==============================================================================
namespace
{
struct PannerFixture : ::testing::Test
{
    static constexpr int blockSize = 480;
    StereoOscPanner<float> panner;

    void prepare (int channels)
    {
        panner.prepareLocked (tw::test::makeSpec (48000.0, blockSize, channels));
        panner.oscillator.getPeriod().setValue (0.01f, false, true);
    }

    static juce::AudioBuffer<float> ramp (int channels)
    {
        return tw::test::makeSignal (channels, blockSize,
                                     [] (int ch, int i)
                                     { return 0.001f * static_cast<float> (i) - 0.2f * static_cast<float> (ch); });
    }
};
} // namespace

TEST_F (PannerFixture, EqualPowerGainsFollowTheSine)
{
    prepare (2);
    const auto input = ramp (2);
    auto buffer = input;
    tw::test::processInBlocks (panner, buffer, blockSize);

    for (int i = 0; i < blockSize; i += 7)
    {
        const auto p = (std::sin (twoPi * static_cast<float> (i) / 480.0f) + 1.0f) / 2.0f;
        ASSERT_NEAR (buffer.getSample (0, i), std::sqrt (1.0f - p) * std::sqrt (2.0f) * input.getSample (0, i),
                     2.0e-4f);
        ASSERT_NEAR (buffer.getSample (1, i), std::sqrt (p) * std::sqrt (2.0f) * input.getSample (1, i), 2.0e-4f);
    }
}

TEST_F (PannerFixture, NoDepthOrCentredConstPassesAtUnity)
{
    for (int setting = 0; setting < 2; ++setting)
    {
        prepare (2);

        if (setting == 0)
        {
            panner.depth.setValue (0.0f, false, true);
        }
        else
        {
            panner.oscillator.setType (Osc::constShape);
            panner.oscillator.setShapeValue (0.5f);
        }

        const auto input = ramp (2);
        auto buffer = input;
        tw::test::processInBlocks (panner, buffer, blockSize);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < blockSize; ++i)
                ASSERT_NEAR (buffer.getSample (ch, i), input.getSample (ch, i), 1.0e-6f) << setting;
    }
}

TEST_F (PannerFixture, MonoPassesThroughWhileTheSweepRuns)
{
    prepare (1);
    const auto input = ramp (1);
    auto buffer = input;
    tw::test::processInBlocks (panner, buffer, blockSize / 2);
    tw::test::Block half = tw::test::Block (buffer).getSubBlock (0, blockSize / 2);

    for (int i = 0; i < blockSize; ++i)
        ASSERT_EQ (buffer.getSample (0, i), input.getSample (0, i));

    EXPECT_NEAR (panner.oscillator.getPhase(), 0.0f, 1.0e-3f) << "one cycle of 480 samples has run";

    const juce::SpinLock::ScopedLockType sl (panner.lock);
    panner.process (half, half);
    EXPECT_NEAR (panner.oscillator.getPhase(), 0.5f, 1.0e-3f);
}

TEST_F (PannerFixture, ChannelsBeyondTheSecondPassThrough)
{
    prepare (3);
    const auto input = ramp (3);
    auto buffer = input;
    tw::test::processInBlocks (panner, buffer, blockSize);

    for (int i = 0; i < blockSize; ++i)
        ASSERT_EQ (buffer.getSample (2, i), input.getSample (2, i));
}
