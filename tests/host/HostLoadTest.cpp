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
};

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

TEST_P (HostedPlugin, ListsTheParametersInHostOrderWithDefaultTexts)
{
    const auto& params = instance->getParameters();
    const auto& order = ModelTree::hostOrder();

    // A host may append its own bypass parameter; ours come first and in order.
    ASSERT_GE (params.size(), ModelTree::numParameters);

    for (int i = 0; i < ModelTree::numParameters; ++i)
    {
        const auto ref = order[static_cast<size_t> (i)];
        const auto id = ModelTree::getParameterID (ref.type, ref.stage);
        auto* p = params[i];
        EXPECT_EQ (p->getName (64), id) << "parameter " << i;

        const auto defaultText = p->getText (p->getDefaultValue(), 64);
        if (ref.type == PLayers)
            EXPECT_EQ (defaultText, "5") << id;
        else if (ModelTree::isSwitch (ref.type))
            EXPECT_EQ (defaultText, "On") << id;
        else
            EXPECT_EQ (defaultText, "0.50") << id;
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

INSTANTIATE_TEST_SUITE_P (Formats, HostedPlugin,
                          ::testing::Values (FormatCase { "VST3", loadVst3, true },
                                             FormatCase { "LV2", loadLv2, false }),
                          [] (const auto& info) { return std::string (info.param.name); });
