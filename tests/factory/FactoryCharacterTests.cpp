// Each category's presets do what the category promises, measured on the running processor.
#include "FactoryTestSupport.h"

#include <cmath>

namespace
{
using tw::test::FactoryEntry;

bool isTimeBased (const FactoryEntry& entry)
{
    return entry.category.contains ("Time-based") || entry.category.startsWith ("Delay");
}

bool isShortModulation (const FactoryEntry& entry)
{
    return entry.category.endsWith ("//Modulation") && !entry.category.startsWith ("Delay");
}

std::vector<FactoryEntry> presetsWhere (bool (*predicate) (const FactoryEntry&))
{
    std::vector<FactoryEntry> selected;
    for (const auto& entry : tw::test::allFactoryPresets())
        if (predicate (entry))
            selected.push_back (entry);
    return selected;
}

/** The impulse response of the preset, the dry impulse itself left out. */
struct ImpulseResponse
{
    std::vector<float> envelope;

    explicit ImpulseResponse (const FactoryEntry& entry, double seconds = 3.0)
    {
        auto processor = tw::test::makeProcessor (*entry.preset);
        envelope = tw::test::envelopeOf (tw::test::renderThrough (*processor, tw::test::makeImpulse (seconds)));
        envelope[0] = 0.0f;
    }

    [[nodiscard]] static size_t at (double seconds)
    {
        return static_cast<size_t> (seconds * tw::test::renderSampleRate);
    }

    /** The share of the energy that arrives from the given time on. */
    [[nodiscard]] double energyShareFrom (double seconds) const
    {
        double total = 0.0, late = 0.0;
        for (size_t i = 0; i < envelope.size(); ++i)
        {
            const auto energy = static_cast<double> (envelope[i]) * envelope[i];
            total += energy;
            late += i >= at (seconds) ? energy : 0.0;
        }
        return total > 0.0 ? late / total : 0.0;
    }

    /** The peak from the given time on, relative to the overall peak, in decibels. */
    [[nodiscard]] float levelFrom (double seconds) const
    {
        const auto peak = *std::max_element (envelope.begin(), envelope.end());
        const auto late =
            *std::max_element (envelope.begin() + static_cast<std::ptrdiff_t> (at (seconds)), envelope.end());
        return juce::Decibels::gainToDecibels (late / peak, -200.0f);
    }
};

float rmsOf (const juce::AudioBuffer<float>& buffer, int start)
{
    auto sum = 0.0f;
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        sum += buffer.getRMSLevel (ch, start, buffer.getNumSamples() - start);
    return sum / static_cast<float> (buffer.getNumChannels());
}

float parameter (PluginProcessor& processor, ParameterType type, int stage = -1)
{
    return processor.getModel().getRawParameterValue (ModelTree::getParameterID (type, stage))->load();
}
} // namespace

//==============================================================================
TEST (FactoryCharacter, TimeBasedPresetsAnswerWithAudibleEchoes)
{
    tw::test::ScopedEmptyHome home;
    const auto presets = presetsWhere (isTimeBased);
    ASSERT_EQ (presets.size(), 27u);

    for (const auto& entry : presets)
    {
        const ImpulseResponse response (entry);
        // Most of what the effect adds arrives well after a doubling or flanging delay would.
        EXPECT_GT (response.energyShareFrom (0.06), 0.5) << entry.preset->name;
    }
}

TEST (FactoryCharacter, ModulationPresetsSweepShortDelays)
{
    tw::test::ScopedEmptyHome home;
    const auto presets = presetsWhere (isShortModulation);
    ASSERT_EQ (presets.size(), 19u);

    for (const auto& entry : presets)
    {
        const ImpulseResponse response (entry);
        EXPECT_LT (response.energyShareFrom (0.06), 0.1) << entry.preset->name;

        auto processor = tw::test::makeProcessor (*entry.preset);
        EXPECT_TRUE (processor->oscSwitch.isOn()) << entry.preset->name;
    }
}

TEST (FactoryCharacter, HiHatPresetsSweepFast)
{
    tw::test::ScopedEmptyHome home;
    const auto presets = presetsWhere ([] (const FactoryEntry& entry) { return entry.category == "Drums//Hi-Hats"; });
    ASSERT_EQ (presets.size(), 4u);

    for (const auto& entry : presets)
    {
        auto processor = tw::test::makeProcessor (*entry.preset);
        auto& chain = processor->chain;
        EXPECT_TRUE (processor->oscSwitch.isOn()) << entry.preset->name;
        EXPECT_LE (chain.phaser.oscillator.getPeriod().getValue (false), 0.25f) << entry.preset->name;

        if (chain.chorusAOn.isOn())
        {
            EXPECT_LE (chain.chorusA.oscillator.getPeriod().getValue (false), 0.1f) << entry.preset->name;
        }
        if (chain.chorusBOn.isOn())
        {
            EXPECT_LE (chain.chorusB.oscillator.getPeriod().getValue (false), 0.1f) << entry.preset->name;
        }
    }
}

TEST (FactoryCharacter, ReverbPresetsFeedBothChorusesAndRingOn)
{
    tw::test::ScopedEmptyHome home;
    const auto presets = presetsWhere ([] (const FactoryEntry& entry) { return entry.category.startsWith ("Reverb"); });
    ASSERT_EQ (presets.size(), 10u);

    for (const auto& entry : presets)
    {
        auto processor = tw::test::makeProcessor (*entry.preset);
        auto& chain = processor->chain;
        EXPECT_TRUE (chain.chorusAOn.isOn() && chain.chorusBOn.isOn()) << entry.preset->name;
        EXPECT_GE (chain.chorusA.feedback.getValue (false), 50.0f) << entry.preset->name;
        EXPECT_GE (chain.chorusB.feedback.getValue (false), 50.0f) << entry.preset->name;

        const ImpulseResponse response (entry);
        EXPECT_GT (response.levelFrom (0.75), -40.0f) << entry.preset->name;
    }
}

TEST (FactoryCharacter, BassPresetsKeepTheLowEndWithAGentleMix)
{
    tw::test::ScopedEmptyHome home;
    const auto presets = presetsWhere ([] (const FactoryEntry& entry) { return entry.category == "Bass"; });
    ASSERT_EQ (presets.size(), 5u);
    const auto sine = tw::test::makeSine (55.0, 0.5f, 2.0);
    const auto halfway = sine.getNumSamples() / 2;

    for (const auto& entry : presets)
    {
        auto processor = tw::test::makeProcessor (*entry.preset);
        EXPECT_LE (processor->mixer.mix.getValue (false), 40.0f) << entry.preset->name;

        const auto output = tw::test::renderThrough (*processor, sine);
        const auto level = juce::Decibels::gainToDecibels (rmsOf (output, halfway) / rmsOf (sine, halfway));
        EXPECT_GT (level, -1.5f) << entry.preset->name << ": a 55 Hz tone comes out " << level << " dB";
    }
}

TEST (FactoryCharacter, WeirdPresetsPushParametersToTheirLimits)
{
    tw::test::ScopedEmptyHome home;
    const auto presets = presetsWhere ([] (const FactoryEntry& entry) { return entry.category == "Misc//WEIRD"; });
    ASSERT_EQ (presets.size(), 4u);

    for (const auto& entry : presets)
    {
        auto processor = tw::test::makeProcessor (*entry.preset);
        int atLimit = 0;

        for (const auto& ref : ModelTree::hostOrder())
        {
            if (ref.type == PLayers || ModelTree::isSwitch (ref.type))
                continue;
            const auto value = parameter (*processor, ref.type, ref.stage);
            atLimit += value == 0.0f || value == 1.0f ? 1 : 0;
        }

        EXPECT_GE (atLimit, 4) << entry.preset->name;
        EXPECT_GE (parameter (*processor, PLayers), 9.0f) << entry.preset->name;
    }
}
