#include "ProcessorFixtures.h"

using namespace tw::test;

namespace
{
juce::AudioProcessor::BusesLayout layoutOf (const juce::AudioChannelSet& in, const juce::AudioChannelSet& out)
{
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (in);
    layout.outputBuses.add (out);
    return layout;
}

float maxAbsDifference (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    float diff = 0.0f;
    for (int ch = 0; ch < a.getNumChannels(); ++ch)
        for (int i = 0; i < a.getNumSamples(); ++i)
            diff = juce::jmax (diff, std::abs (a.getSample (ch, i) - b.getSample (ch, i)));
    return diff;
}

class ProcessorTest : public ::testing::Test
{
protected:
    IsolatedHome home;
};
} // namespace

TEST_F (ProcessorTest, AcceptsOnlyMatchingMonoAndStereoLayouts)
{
    PluginProcessor processor;
    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();
    const auto surround = juce::AudioChannelSet::create5point1();

    struct Case
    {
        juce::AudioChannelSet in, out;
        bool accepted;
    };
    const Case cases[] = {
        { mono, mono, true },    { stereo, stereo, true },      { mono, stereo, false },
        { stereo, mono, false }, { surround, surround, false }, { juce::AudioChannelSet::disabled(), stereo, false },
    };
    for (const auto& c : cases)
        EXPECT_EQ (processor.checkBusesLayoutSupported (layoutOf (c.in, c.out)), c.accepted)
            << c.in.getDescription() << " -> " << c.out.getDescription();
}

TEST_F (ProcessorTest, ReportsTheFixedHostProperties)
{
    PluginProcessor processor;
    EXPECT_EQ (processor.getName(), "Tanglewave_v1-0");
    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), "");
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_FALSE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_EQ (processor.getLatencySamples(), 0);
}

TEST_F (ProcessorTest, PassesAudioThroughBeforeTheFirstPrepare)
{
    PluginProcessor processor;
    auto buffer = makeTestSignal (2, 256, 44100.0);
    const auto input = buffer;
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
    EXPECT_EQ (maxAbsDifference (buffer, input), 0.0f);
}

TEST_F (ProcessorTest, OversizedHostBlocksSoundLikePreparedSizedBlocks)
{
    PluginProcessor chunked, reference;
    for (auto* p : { &chunked, &reference })
    {
        p->setRateAndBufferSizeDetails (44100.0, 64);
        p->prepareToPlay (44100.0, 64);
    }

    auto big = makeTestSignal (2, 4096, 44100.0);
    auto small = big;
    processInBlocks (chunked, big, 1000);   // larger than announced
    processInBlocks (reference, small, 40); // 1000 = 25 x 40, so chunk boundaries differ

    ASSERT_TRUE (allFinite (big));
    // The stage ramps advance per sample, so only float rounding may differ.
    EXPECT_LT (maxAbsDifference (big, small), 1.0e-4f);
}

TEST_F (ProcessorTest, FirstBypassedBlockAfterProcessingResetsEveryStage)
{
    PluginProcessor used, fresh;
    for (auto* p : { &used, &fresh })
        p->prepareToPlay (44100.0, 512);

    auto warmUp = makeTestSignal (2, 8192, 44100.0);
    processInBlocks (used, warmUp, 512);

    juce::MidiBuffer midi;
    auto bypassed = makeTestSignal (2, 512, 44100.0);
    const auto untouched = bypassed;
    used.processBlockBypassed (bypassed, midi);
    used.processBlockBypassed (bypassed, midi);
    EXPECT_EQ (maxAbsDifference (bypassed, untouched), 0.0f);

    // After the reset the effect starts from silence, like a fresh instance.
    auto a = makeTestSignal (2, 2048, 44100.0);
    auto b = a;
    processInBlocks (used, a, 512);
    processInBlocks (fresh, b, 512);
    EXPECT_LT (maxAbsDifference (a, b), 1.0e-5f);
}

TEST_F (ProcessorTest, LowCutCutoffScalesWithTheHostRate)
{
    PluginProcessor processor;
    const auto& coefficients = *processor.lowCut.state;
    // Computed once for 44100 Hz: at 48 kHz the -3 dB point moves to 110 * 48000 / 44100 Hz.
    EXPECT_NEAR (coefficients.getMagnitudeForFrequency (110.0 * 48000.0 / 44100.0, 48000.0), std::sqrt (0.5), 1.0e-3);
    EXPECT_NEAR (coefficients.getMagnitudeForFrequency (110.0, 44100.0), std::sqrt (0.5), 1.0e-3);
    EXPECT_LT (coefficients.getMagnitudeForFrequency (20.0, 44100.0), 0.05);
}

TEST_F (ProcessorTest, MonoLayoutProcessesOneChannel)
{
    PluginProcessor processor;
    ASSERT_TRUE (processor.setBusesLayout (layoutOf (juce::AudioChannelSet::mono(), juce::AudioChannelSet::mono())));
    processor.prepareToPlay (48000.0, 256);

    auto buffer = makeTestSignal (1, 48000, 48000.0);
    processInBlocks (processor, buffer, 256);
    EXPECT_TRUE (allFinite (buffer));
    EXPECT_GT (buffer.getMagnitude (0, 0, buffer.getNumSamples()), 0.01f);
}

// Extreme settings at every supported rate and several block sizes: the output stays finite.
TEST_F (ProcessorTest, NoSettingRateOrBlockSizeProducesNonFiniteOutput)
{
    const double rates[] = { 22050.0, 44100.0, 96000.0, 192000.0 };
    const int blockSizes[] = { 1, 37, 512, 4096 };
    juce::Random random (1234);

    for (auto rate : rates)
        for (auto blockSize : blockSizes)
        {
            PluginProcessor processor;
            processor.prepareToPlay (rate, blockSize);

            for (auto* parameter : processor.getParameters())
                parameter->setValueNotifyingHost (random.nextBool() ? 1.0f
                                                                    : (random.nextBool() ? 0.0f : random.nextFloat()));

            auto buffer = makeTestSignal (2, static_cast<int> (rate * 0.5), rate);
            buffer.applyGain (8.0f); // far beyond full scale
            processInBlocks (processor, buffer, blockSize);
            ASSERT_TRUE (allFinite (buffer)) << rate << " Hz, block " << blockSize;
        }
}

TEST_F (ProcessorTest, StartsOnTheDefaultPresetUnmodifiedWithNoHistory)
{
    PluginProcessor processor;
    auto& presets = processor.getPresetManager();
    ASSERT_NE (presets.getDefaultPreset(), nullptr);
    EXPECT_EQ (presets.getCurrentId(), 110);
    EXPECT_EQ (presets.getCurrentId(), presets.getDefaultPreset()->id);
    EXPECT_EQ (presets.getDefaultPreset()->name, "Default");
    EXPECT_FALSE (processor.isModified());
    EXPECT_FALSE (processor.getModel().getUndoManager().canUndo());
    EXPECT_FALSE (processor.getModel().getUndoManager().canRedo());

    // The model's timer writes parameter values into the state tree; that must not add history.
    pumpMessages (300);
    EXPECT_FALSE (processor.getModel().getUndoManager().canUndo());
    EXPECT_FALSE (processor.isModified());
}
