// Loads the built VST3 and LV2 bundles through JUCE's own hosting code, as a DAW would.
#include <gtest/gtest.h>

#include <juce_audio_processors/juce_audio_processors.h>

#include "ModelTree.h"

namespace
{
constexpr double sampleRate = 44100.0;
constexpr int blockSize = 512;

std::unique_ptr<juce::AudioPluginInstance> loadVst3()
{
    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, TW_VST3_BUNDLE);
    if (found.isEmpty())
        return nullptr;

    juce::String error;
    return format.createInstanceFromDescription (*found[0], sampleRate, blockSize, error);
}

std::unique_ptr<juce::AudioPluginInstance> loadLv2()
{
    static juce::LV2PluginFormat format;
    const juce::File bundle (TW_LV2_BUNDLE);
    const auto uris = format.searchPathsForPlugins (
        juce::FileSearchPath (bundle.getParentDirectory().getFullPathName()), false, false);

    juce::OwnedArray<juce::PluginDescription> found;
    for (const auto& uri : uris)
        if (uri.containsIgnoreCase ("tanglewave"))
            format.findAllTypesForFile (found, uri);
    if (found.isEmpty())
        return nullptr;

    juce::String error;
    return format.createInstanceFromDescription (*found[0], sampleRate, blockSize, error);
}

using Loader = std::unique_ptr<juce::AudioPluginInstance> (*)();

struct FormatCase
{
    const char* name;
    Loader load;
    bool hostSupportsMono;
    bool hostKeepsOrderAndTexts;
};

void PrintTo (const FormatCase& c, std::ostream* os)
{
    *os << c.name;
}

class HostedPlugin : public ::testing::TestWithParam<FormatCase>
{
protected:
    void SetUp() override
    {
        instance = GetParam().load();
        ASSERT_NE (instance, nullptr) << "the " << GetParam().name << " bundle did not load";
    }

    std::unique_ptr<juce::AudioPluginInstance> instance;
};

juce::AudioProcessor::BusesLayout layoutOf (const juce::AudioChannelSet& in, const juce::AudioChannelSet& out)
{
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (in);
    layout.outputBuses.add (out);
    return layout;
}
} // namespace

TEST_P (HostedPlugin, ReportsIdentityAndFixedProperties)
{
    EXPECT_EQ (instance->getName(), "Tanglewave_v1-0");
    EXPECT_EQ (instance->getPluginDescription().manufacturerName, "Quillmark");
    EXPECT_EQ (instance->getTailLengthSeconds(), 0.0);
    EXPECT_FALSE (instance->acceptsMidi());
    EXPECT_FALSE (instance->producesMidi());
    EXPECT_LE (instance->getNumPrograms(), 1);
    EXPECT_EQ (instance->getProgramName (0), "");
}

TEST_P (HostedPlugin, ListsTheParametersWithTheirDefaults)
{
    const auto& params = instance->getParameters();
    const auto& order = ModelTree::hostOrder();
    const auto keepsOrder = GetParam().hostKeepsOrderAndTexts;

    // JUCE's LV2 host adds its own bypass and lists properties by URI; VST3 keeps ours first, in order.
    ASSERT_GE (params.size(), ModelTree::numParameters);

    for (int i = 0; i < ModelTree::numParameters; ++i)
    {
        const auto ref = order[static_cast<size_t> (i)];
        const auto id = ModelTree::getParameterID (ref.type, ref.stage);

        juce::AudioProcessorParameter* p = nullptr;
        for (auto* candidate : params)
            if (candidate->getName (64) == id)
                p = candidate;
        ASSERT_NE (p, nullptr) << id;

        if (keepsOrder)
        {
            EXPECT_EQ (params[i], p) << id << " is not at position " << i;
            const auto defaultText = p->getText (p->getDefaultValue(), 64);
            if (ref.type == PLayers)
                EXPECT_EQ (defaultText, "5") << id;
            else if (ModelTree::isSwitch (ref.type))
                EXPECT_EQ (defaultText, "On") << id;
            else
                EXPECT_EQ (defaultText, "0.50") << id;
        }
        else
        {
            const auto expected = ref.type == PLayers ? 4.0f / 11.0f : (ModelTree::isSwitch (ref.type) ? 1.0f : 0.5f);
            EXPECT_NEAR (p->getDefaultValue(), expected, 1.0e-4f) << id;
        }
    }
}

// The LV2 bundle itself declares the parameters in host order.
TEST (Lv2Bundle, DeclaresTheParametersInHostOrder)
{
    const auto ttl = juce::File (TW_LV2_BUNDLE).getChildFile ("dsp.ttl").loadFileAsString();
    int position = 0;
    for (const auto& ref : ModelTree::hostOrder())
    {
        const auto label = "rdfs:label \"" + ModelTree::getParameterID (ref.type, ref.stage) + "\"";
        const auto found = ttl.indexOf (position, label);
        ASSERT_GT (found, position) << label;
        position = found;
    }
}

TEST_P (HostedPlugin, AcceptsOnlyMatchingMonoOrStereoLayouts)
{
    const auto mono = juce::AudioChannelSet::mono();
    const auto stereo = juce::AudioChannelSet::stereo();

    EXPECT_TRUE (instance->checkBusesLayoutSupported (layoutOf (stereo, stereo)));
    if (GetParam().hostSupportsMono)
    {
        EXPECT_TRUE (instance->checkBusesLayoutSupported (layoutOf (mono, mono)));
    }

    EXPECT_FALSE (instance->checkBusesLayoutSupported (layoutOf (mono, stereo)));
    EXPECT_FALSE (instance->checkBusesLayoutSupported (layoutOf (stereo, mono)));
    EXPECT_FALSE (instance->checkBusesLayoutSupported (
        layoutOf (juce::AudioChannelSet::create5point1(), juce::AudioChannelSet::create5point1())));
}

TEST_P (HostedPlugin, ProcessesABlock)
{
    instance->setPlayConfigDetails (2, 2, sampleRate, blockSize);
    instance->prepareToPlay (sampleRate, blockSize);

    juce::AudioBuffer<float> buffer (2, blockSize);
    for (int i = 0; i < blockSize; ++i)
        for (int ch = 0; ch < 2; ++ch)
            buffer.setSample (ch, i, 0.5f * std::sin (0.05f * static_cast<float> (i)));

    juce::MidiBuffer midi;
    for (int b = 0; b < 8; ++b)
        instance->processBlock (buffer, midi);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < blockSize; ++i)
            ASSERT_TRUE (std::isfinite (buffer.getSample (ch, i)));
    EXPECT_GT (buffer.getMagnitude (0, blockSize), 0.0f);

    instance->releaseResources();
}

TEST_P (HostedPlugin, StateRoundTripsThroughTheHost)
{
    juce::AudioProcessorParameter* mix = nullptr;
    for (auto* p : instance->getParameters())
        if (p->getName (64) == "Mix")
            mix = p;
    ASSERT_NE (mix, nullptr);

    // Hosts hand parameter changes to an LV2 plug-in while it runs: run a block on each side.
    auto runABlock = [] (juce::AudioPluginInstance& plugin)
    {
        plugin.setPlayConfigDetails (2, 2, sampleRate, blockSize);
        plugin.prepareToPlay (sampleRate, blockSize);
        juce::AudioBuffer<float> buffer (2, blockSize);
        buffer.clear();
        juce::MidiBuffer midi;
        plugin.processBlock (buffer, midi);
        plugin.releaseResources();
    };

    mix->setValueNotifyingHost (0.25f);
    runABlock (*instance);
    juce::MemoryBlock state;
    instance->getStateInformation (state);
    ASSERT_GT (state.getSize(), 0u);

    auto second = GetParam().load();
    ASSERT_NE (second, nullptr);
    second->setStateInformation (state.getData(), static_cast<int> (state.getSize()));

    runABlock (*second);

    for (auto* p : second->getParameters())
    {
        if (p->getName (64) == "Mix")
        {
            EXPECT_NEAR (p->getValue(), 0.25f, 1.0e-4f);
        }
    }
}

INSTANTIATE_TEST_SUITE_P (Formats, HostedPlugin,
                          ::testing::Values (FormatCase { "VST3", loadVst3, true, true },
                                             FormatCase { "LV2", loadLv2, false, false }),
                          [] (const auto& testInfo) { return std::string (testInfo.param.name); });
