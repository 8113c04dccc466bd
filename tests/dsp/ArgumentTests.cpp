#include <gtest/gtest.h>

#include "DspTestUtils.h"

#include <cmath>

using namespace qmrk_dsp;

namespace
{
// Center frequency as the phaser builds it: 20 Hz to 20 kHz over log2(1000) octaves.
FreqArg<float> makeCenterFreq (float initial = 200.0f)
{
    return FreqArg<float> (20.0f, 20000.0f, initial, "Center Freq.", "Hz", static_cast<double> (std::log2 (1000.0f)));
}
} // namespace

TEST (ArgumentMappings, NormalisedSettingsMapOntoThePlainRange)
{
    PercentArg<float> percent ("Feedback", 0.0f, 0.0f, 100.0f);
    Arg<float> range (0.0f, 6.0f, 2.0f, "Range", " octs");
    ExpScalingArg<float> depth (1.35f, 0.0f, 24.0f, 20.0f, "Depth", "ms");
    PeriodArg_s<float> period (0.01f, 4.0f, 0.25f, "Period", 1.8f);
    FreqArg<float> center = makeCenterFreq();
    IntArg<float> cusps (1, 9, 2, "Shape", "");
    GainArg_dB<float> gain (-24.0f, 24.0f, 0.0f, "Output Gain", "dB");

    struct Case
    {
        Arg<float>* arg;
        float normalised;
        float expected;
        float tolerance;
    };
    const Case cases[] = {
        { &percent, 0.25f, 25.0f, 1.0e-5f },
        { &percent, 2.0f, 100.0f, 0.0f }, // clamped
        { &percent, -1.0f, 0.0f, 0.0f },
        { &range, 0.5f, 3.0f, 1.0e-6f },
        { &depth, 0.5f, 24.0f * std::pow (0.5f, 1.35f), 1.0e-4f },
        { &depth, 1.0f, 24.0f, 1.0e-5f },
        { &period, 0.3f, 0.01f + 3.99f * std::pow (0.3f, 1.8f), 1.0e-5f },
        { &center, 0.0f, 20.0f, 1.0e-4f },
        { &center, 0.5f, 632.4555f, 0.01f },
        { &center, 1.0f, 20000.0f, 0.05f },
        { &cusps, 0.0f, 1.0f, 0.0f }, // n × max = 0, clamped up to the minimum
        { &cusps, 0.5f, 4.5f, 1.0e-6f },
        { &gain, 0.75f, 12.0f, 1.0e-5f },
    };

    for (const auto& c : cases)
    {
        c.arg->setValue (c.normalised, true, true);
        EXPECT_NEAR (c.arg->getValue (false), c.expected, c.tolerance)
            << c.arg->getName().toStdString() << " at " << c.normalised;
        EXPECT_FALSE (c.arg->isRamping());
    }
}

TEST (ArgumentMappings, DspValuesOfPercentAndDecibels)
{
    GainArg_dB<float> gain (-120.0f, 24.0f, 0.0f, "Output Gain", "dB");

    struct Case
    {
        float decibels;
        float linear;
    };
    const Case cases[] = {
        { -120.0f, 0.0f },
        { -100.0f, 0.0f },
        { -99.0f, std::pow (10.0f, -99.0f * 0.05f) },
        { -24.0f, std::pow (10.0f, -1.2f) },
        { 0.0f, 1.0f },
        { 24.0f, std::pow (10.0f, 1.2f) },
    };

    for (const auto& c : cases)
        EXPECT_FLOAT_EQ (gain.toDspValue (c.decibels), c.linear) << c.decibels << " dB";

    EXPECT_NEAR (gain.toDspValue (-24.0f), 0.0631f, 1.0e-4f);
    EXPECT_NEAR (gain.toDspValue (24.0f), 15.849f, 1.0e-3f);

    PercentArg<float> percent ("Mix", 50.0f, 0.0f, 100.0f);
    EXPECT_FLOAT_EQ (percent.getDspValue(), 0.5f);

    GainArg_dB<float> quiet (-24.0f, 24.0f, -24.0f, "Output Gain", "dB");
    EXPECT_FLOAT_EQ (quiet.getDspValue(), std::pow (10.0f, -1.2f)) << "constructor publishes the mapped value";
}

TEST (ArgumentMappings, NormalisedPositionsInvertTheMappings)
{
    PercentArg<float> percent ("Mix", 30.0f, 0.0f, 100.0f);
    FreqArg<float> center = makeCenterFreq (632.4555f);
    ExpScalingArg<float> predelay (2.0f, 0.5f, 100.0f, 0.5f + 99.5f * 0.16f, "Predelay", "ms");
    IntArg<float> stages (1, 24, 12, "Stages", "");

    EXPECT_NEAR (percent.getValue (true), 0.3f, 1.0e-6f);
    EXPECT_NEAR (center.getValue (true), 0.5f, 1.0e-5f);
    EXPECT_NEAR (predelay.getValue (true), 0.4f, 1.0e-5f);
    EXPECT_NEAR (stages.getValue (true), 0.5f, 1.0e-6f);
}

TEST (ArgumentMappings, DegenerateRangesGiveFiniteValues)
{
    Arg<float> constant (0.5f, "Value", "");
    FreqArg<float> zeroHertz (0.0f, "Freq", "Hz");
    IntArg<float> zeroMaximum (0, 0, 0, "Stages", "");
    ExpScalingArg<float> flat (2.0f, 3.0f, 3.0f, 3.0f, "Depth", "ms");
    ExpScalingArg<float> curve (1.35f, 0.0f, 24.0f, 1.0f, "Depth", "ms");

    const float values[] = { constant.getValue (true),     zeroHertz.getValue (true),    zeroMaximum.getValue (true),
                             flat.getValue (true),         curve.fromNormalised (-0.5f), zeroHertz.toNormalised (0.0f),
                             constant.toNormalised (1.0f), flat.fromNormalised (0.5f) };

    for (auto v : values)
        EXPECT_TRUE (std::isfinite (v)) << v;

    curve.setValue (-0.5f, true, true);
    EXPECT_FLOAT_EQ (curve.getValue (false), 0.0f);
}

TEST (ArgumentMappings, NonFiniteSettingsAreIgnored)
{
    PercentArg<float> percent ("Mix", 30.0f, 0.0f, 100.0f);
    const float bad[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity() };

    for (auto x : bad)
    {
        percent.setValue (x, false, true);
        percent.setValue (x, true, false);
        percent.fixValue (x);
    }

    EXPECT_FLOAT_EQ (percent.getValue (false), 30.0f);
    EXPECT_FALSE (percent.isFixed());
}

TEST (ArgumentTexts, LabelsShowTheTargetInItsUnit)
{
    auto center = makeCenterFreq();
    PeriodArg_s<float> period (0.01f, 4.0f, 0.25f, "Period", 1.8f);
    BoolArg<float> stereo (true, "Stereo");
    BoolArg<float> unnamed (false, "");
    IntArg<float> stages (1, 24, 10, "Stages", "");
    const juce::StringArray shapes { "Const", "Sine", "SineTri" };
    ChoiceArg<float> shape ("Osc Type", &shapes, 1.0f);
    Arg<float> range (0.0f, 6.0f, 2.0f, "Range", " octs");
    PercentArg<float> feedback ("Feedback", 12.5f, 0.0f, 100.0f);
    GainArg_dB<float> gain (-24.0f, 24.0f, -3.26f, "Output Gain", "dB");

    struct Case
    {
        Arg<float>* arg;
        float value;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        { &center, 200.0f, 1, "Center Freq.: 200Hz" },
        { &center, 632.4555f, 1, "Center Freq.: 632Hz" },
        { &center, 632.4555f, 2, "Center Freq.: 632.5Hz" },
        { &center, 2500.0f, 1, "Center Freq.: 2.50kHz" },
        { &center, 15000.0f, 1, "Center Freq.: 15.0kHz" },
        { &center, 50.0f, 1, "Center Freq.: 50.0Hz" },
        { &period, 0.05f, 1, "Period: 50.0ms" },
        { &period, 0.25f, 1, "Period: 250ms" },
        { &period, 0.25f, 2, "Period: 250.0ms" },
        { &period, 2.0f, 1, "Period: 2.00s" },
        { &stereo, 1.0f, 0, "Stereo: On" },
        { &unnamed, 0.0f, 0, "Off" },
        { &stages, 14.0f, 0, "Stages: 14" },
        { &shape, 1.0f, 0, "Osc Type: Sine" },
        { &shape, 0.0f, 0, "Osc Type: Const" },
        { &shape, 2.0f, 0, "Osc Type: SineTri" },
        { &range, 2.0f, 1, "Range: 2.0 octs" },
        { &feedback, 12.5f, 1, "Feedback: 12.5%" },
        { &feedback, 12.5f, 0, "Feedback: 12.5%" }, // no fixed decimals: JUCE's default formatting
        { &gain, -3.26f, 1, "Output Gain: -3.3dB" },
    };

    for (const auto& c : cases)
    {
        c.arg->setValue (c.value, false, true);
        EXPECT_EQ (c.arg->getText (c.decimals), juce::String (c.text));
    }
}

TEST (ArgumentTexts, TextFollowsTheTargetWhileRamping)
{
    PercentArg<float> mix ("Mix", 0.0f, 0.0f, 100.0f);
    mix.setValue (100.0f, false, false);
    ASSERT_TRUE (mix.isRamping());
    EXPECT_EQ (mix.getText (0), "Mix: 100%");

    mix.setName ("Wet");
    EXPECT_EQ (mix.getText (0), "Wet: 100%");
}

TEST (ArgumentLifecycle, FixedValueIgnoresLaterChanges)
{
    PercentArg<float> mix ("Mix", 50.0f, 0.0f, 100.0f);
    mix.fixValue (100.0f);
    mix.setValue (0.3f, true, true);
    mix.setValue (0.3f, true, false);

    EXPECT_FLOAT_EQ (mix.getValue (false), 100.0f);
    EXPECT_FLOAT_EQ (mix.getDspValue(), 1.0f);
    EXPECT_EQ (mix.getText (0), "Mix: 100%");

    mix.setRange (0.0f, 50.0f);
    EXPECT_FLOAT_EQ (mix.getValue (false), 100.0f) << "a fixed value keeps its value when the range moves";
    EXPECT_FLOAT_EQ (mix.getMaximum(), 50.0f);
}

TEST (ArgumentLifecycle, NarrowedRangeMovesTheValueAtOnce)
{
    Arg<float> delay (5.0f, 500.0f, 200.0f, "Delay", "ms");
    delay.setRange (5.0f, 100.0f);

    EXPECT_FLOAT_EQ (delay.getValue (false), 100.0f);
    EXPECT_FLOAT_EQ (delay.getCurrentValue(), 100.0f);
    EXPECT_FALSE (delay.isRamping());

    delay.setRange (150.0f, 300.0f);
    EXPECT_FLOAT_EQ (delay.getValue (false), 150.0f) << "the minimum wins below the range";
}

TEST (ArgumentLifecycle, RampReachesTargetAfterWholeRampLength)
{
    // 64-sample blocks: the 4410-step ramp ends inside block ceil (4410 / 64) = 69.
    constexpr int blockSize = 64;
    constexpr int blocksToTarget = (Arg<float>::initialRampSteps + blockSize - 1) / blockSize;
    PercentArg<float> percent ("Mix", 0.0f, 0.0f, 100.0f);
    std::vector<float> values (blockSize);

    percent.setValue (2.0f, true, false);
    ASSERT_FLOAT_EQ (percent.getValue (false), 100.0f);

    for (int block = 1; block < blocksToTarget; ++block)
        EXPECT_FALSE (percent.readDspBlock (values, blockSize, true)) << "block " << block;

    EXPECT_LT (percent.getDspValue(), 1.0f);

    // While a setter holds the lock the audio side repeats the last value and the ramp stands still.
    const auto before = percent.getDspValue();
    {
        const juce::SpinLock::ScopedLockType busy (percent.lock);
        for (int block = 0; block < 3; ++block)
        {
            EXPECT_TRUE (percent.readDspBlock (values, blockSize, true));
            EXPECT_FLOAT_EQ (values[blockSize - 1], before);
        }
    }

    percent.readDspBlock (values, blockSize, true);
    EXPECT_FLOAT_EQ (percent.getDspValue(), 1.0f);
    EXPECT_FLOAT_EQ (values[blockSize - 1], 1.0f);
    EXPECT_FALSE (percent.isRamping());
}

TEST (ArgumentLifecycle, PreparedRampLengthFollowsTheSampleRate)
{
    Arg<float> arg (0.0f, 1000.0f, 0.0f, "Delay", "ms");
    arg.prepareRamp (48000.0, 0.1);
    arg.setValue (480.0f, false, false);

    std::vector<float> values (4800);
    EXPECT_FALSE (arg.readPlainBlock (values, 4799, false, true));
    EXPECT_NEAR (values[0], 0.1f, 1.0e-4f) << "one step of 480 / 4800";
    EXPECT_TRUE (arg.isRamping());

    EXPECT_TRUE (arg.readPlainBlock (values, 1, false, true));
    EXPECT_FLOAT_EQ (values[0], 480.0f);
    EXPECT_FALSE (arg.isRamping());
}

TEST (ArgumentLifecycle, IdleBlocksWriteOneValueUnlessAllAreAsked)
{
    Arg<float> arg (0.0f, 1.0f, 0.25f, "Value", "");
    std::vector<float> values (8, -1.0f);

    EXPECT_TRUE (arg.readDspBlock (values, 8, false));
    EXPECT_FLOAT_EQ (values[0], 0.25f);
    EXPECT_FLOAT_EQ (values[1], -1.0f);

    EXPECT_TRUE (arg.readPlainBlock (values, 8, true, true));
    for (auto v : values)
        EXPECT_FLOAT_EQ (v, 0.25f);

    // A count beyond the storage is clipped rather than written past the end.
    std::vector<float> shortStorage (4, -1.0f);
    arg.setValue (1.0f, false, false);
    arg.readDspBlock (shortStorage, 64, true);
    EXPECT_GT (shortStorage[3], 0.25f);
}

TEST (ArgumentLifecycle, PrepareRampEndsARunningRamp)
{
    PercentArg<float> mix ("Mix", 0.0f, 0.0f, 100.0f);
    mix.setValue (80.0f, false, false);
    ASSERT_TRUE (mix.isRamping());

    mix.prepareRamp (44100.0, 0.1);
    EXPECT_FALSE (mix.isRamping());
    EXPECT_FLOAT_EQ (mix.getDspValue(), 0.8f);
}

TEST (ArgumentLifecycle, IntegerAndSwitchReads)
{
    IntArg<float> stages (1, 24, 10, "Stages", "");
    stages.setValue (7.9f, false, true);
    EXPECT_EQ (stages.getIntValue(), 7);

    BoolArg<float> on (true, "Stereo");
    EXPECT_TRUE (on.isOn());
    on.setValue (0.0f, false, true);
    EXPECT_FALSE (on.isOn());
}

TEST (Mixer, BlendsLinearlyAndCopiesAtTheEnds)
{
    constexpr int n = 32;
    auto wet = tw::test::makeSignal (2, n, [] (int ch, int i) { return 0.01f * static_cast<float> (i + ch); });
    auto dry =
        tw::test::makeSignal (2, n, [] (int ch, int i) { return -0.5f + 0.003f * static_cast<float> (i * (ch + 1)); });

    struct Case
    {
        float mix;
        bool fix;
    };
    const Case cases[] = { { 50.0f, false }, { 100.0f, true }, { 0.0f, false }, { 25.0f, false } };

    for (const auto& c : cases)
    {
        Mixer<float> mixer;
        mixer.prepare (tw::test::makeSpec (44100.0, n, 2));

        if (c.fix)
            mixer.mix.fixValue (c.mix);
        else
            mixer.mix.setValue (c.mix, false, true);

        auto out = tw::test::makeSignal (2, n, [] (int, int) { return 7.0f; });
        tw::test::Block outBlock (out);
        mixer.process (tw::test::Block (wet), tw::test::Block (dry), outBlock);

        const auto m = c.mix / 100.0f;

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < n; ++i)
            {
                const auto expected = (1.0f - m) * dry.getSample (ch, i) + m * wet.getSample (ch, i);

                if (c.mix >= 100.0f)
                    ASSERT_EQ (out.getSample (ch, i), wet.getSample (ch, i)) << "exact copy of the wet block";
                else
                    ASSERT_NEAR (out.getSample (ch, i), expected, 1.0e-6f) << "mix " << c.mix;
            }
    }
}

TEST (Mixer, RampedMixMovesPerSampleInPlace)
{
    constexpr int n = 4410;
    Mixer<float> mixer;
    mixer.prepare (tw::test::makeSpec (44100.0, n, 1));
    mixer.mix.setValue (0.0f, false, true);
    mixer.mix.setValue (100.0f, false, false);

    auto wet = tw::test::makeSignal (1, n, [] (int, int) { return 1.0f; });
    auto buffer = tw::test::makeSignal (1, n, [] (int, int) { return 0.0f; });
    tw::test::Block block (buffer);
    mixer.process (tw::test::Block (wet), block, block);

    EXPECT_NEAR (buffer.getSample (0, 0), 1.0f / 4410.0f, 1.0e-6f);
    EXPECT_NEAR (buffer.getSample (0, 2204), 0.5f, 1.0e-4f);
    EXPECT_FLOAT_EQ (buffer.getSample (0, n - 1), 1.0f);
}
