#include <gtest/gtest.h>

#include "ModelTree.h"
#include "PluginProcessor.h"

TEST (ModelTree, ParameterIdentifiersFollowTheStageSuffixRule)
{
    struct Case
    {
        ParameterType type;
        int stage;
        const char* id;
    };
    const Case cases[] = {
        { CDepth, 0, "CDepth_a" },
        { CDepth, 1, "CDepth_b" },
        { CDepth, 5, "CDepth_b" },
        { Mix, -1, "Mix" },
        { TFeedbackTexture, -1, "TFeedbackTexture" },
    };
    for (const auto& c : cases)
        EXPECT_EQ (ModelTree::getParameterID (c.type, c.stage), c.id);
}

TEST (ModelTree, KindLookupIsExactAndCaseSensitive)
{
    struct Case
    {
        const char* text;
        int type;
    };
    const Case cases[] = {
        { "CDepth", 15 }, { "Mix", 0 }, { "CPeriod", 16 }, { "CDepth_a", 17 }, { "", 17 }, { "mix", 17 },
    };
    for (const auto& c : cases)
        EXPECT_EQ (static_cast<int> (ModelTree::getParameterType (c.text)), c.type) << c.text;
}

TEST (ModelTree, ResolvesIdentifiersIntoKindAndStage)
{
    struct Case
    {
        const char* id;
        ParameterType type;
        int stage;
    };
    const Case cases[] = {
        { "CDepth_b", CDepth, 1 },          { "CDepth_a", CDepth, 0 }, { "Mix", Mix, -1 },
        { "CDepth_x", CDepth, 0 }, // an underscore that does not end in "b" selects stage a
        { "Nope_b", numParameterTypes, 1 },
    };
    for (const auto& c : cases)
    {
        const auto ref = ModelTree::resolve (c.id);
        EXPECT_EQ (ref.type, c.type) << c.id;
        EXPECT_EQ (ref.stage, c.stage) << c.id;
    }
}

TEST (ModelTree, LayoutHasTheHostParametersWithTheirRangesAndDefaults)
{
    PluginProcessor processor;
    const auto& params = processor.getParameters();
    ASSERT_EQ (params.size(), ModelTree::numParameters);

    for (int i = 0; i < params.size(); ++i)
    {
        const auto ref = ModelTree::hostOrder()[static_cast<size_t> (i)];
        auto* p = dynamic_cast<juce::RangedAudioParameter*> (params[i]);
        ASSERT_NE (p, nullptr);
        EXPECT_EQ (p->getParameterID(), ModelTree::getParameterID (ref.type, ref.stage));
        EXPECT_EQ (p->getName (64), p->getParameterID());

        if (ref.type == PLayers)
        {
            auto* layers = dynamic_cast<juce::AudioParameterInt*> (p);
            ASSERT_NE (layers, nullptr);
            EXPECT_EQ (layers->getRange().getStart(), 1);
            EXPECT_EQ (layers->getRange().getEnd(), 12);
            EXPECT_EQ (p->convertFrom0to1 (p->getDefaultValue()), 5.0f);
        }
        else if (ModelTree::isSwitch (ref.type))
        {
            ASSERT_NE (dynamic_cast<juce::AudioParameterBool*> (p), nullptr);
            EXPECT_EQ (p->getDefaultValue(), 1.0f);
        }
        else
        {
            ASSERT_NE (dynamic_cast<juce::AudioParameterFloat*> (p), nullptr);
            EXPECT_EQ (p->getNormalisableRange().interval, 0.01f);
            EXPECT_EQ (p->getNormalisableRange().skew, 1.0f);
            EXPECT_FLOAT_EQ (p->getDefaultValue(), 0.5f);
            EXPECT_EQ (p->getText (p->getDefaultValue(), 16), "0.50");
        }
    }
}

TEST (ModelTree, ValuesOutsideTheRangeAreClamped)
{
    PluginProcessor processor;
    auto& model = processor.getModel();

    auto* layers = model.getParameter ("PLayers");
    layers->setValueNotifyingHost (layers->convertTo0to1 (40.0f));
    EXPECT_EQ (model.getRawParameterValue ("PLayers")->load(), 12.0f);

    auto* delay = model.getParameter ("DriverDelay");
    delay->setValueNotifyingHost (3.0f);
    EXPECT_EQ (model.getRawParameterValue ("DriverDelay")->load(), 1.0f);
}
