#include "DemoSignal.h"

#include <gtest/gtest.h>

namespace tw::render::test
{
namespace
{
TEST (DemoSignalTest, IsAFewSecondsOfStereoThatStartAtOnce)
{
    const auto demo = makeDemoSignal();
    const auto seconds = demo.getNumSamples() / demoSampleRate;

    EXPECT_EQ (demo.getNumChannels(), 2);
    EXPECT_GE (seconds, 3.0);
    EXPECT_LE (seconds, 10.0);
    EXPECT_FLOAT_EQ (demo.getMagnitude (0, demo.getNumSamples()), demoPeak);
    EXPECT_GT (demo.getMagnitude (0, static_cast<int> (0.01 * demoSampleRate)), 0.05f);

    // Sound all the way through: no quarter second of silence before the closing chord ends.
    const auto window = static_cast<int> (0.25 * demoSampleRate);
    for (int start = 0; start + window <= demo.getNumSamples() - window; start += window)
        EXPECT_GT (demo.getRMSLevel (0, start, window) + demo.getRMSLevel (1, start, window), 0.01f) << start;
}

TEST (DemoSignalTest, IsTheSameOnEveryRunAndWide)
{
    const auto a = makeDemoSignal();
    const auto b = makeDemoSignal();
    ASSERT_EQ (a.getNumSamples(), b.getNumSamples());

    float sameRunDifference = 0.0f, channelDifference = 0.0f;
    for (int i = 0; i < a.getNumSamples(); ++i)
    {
        for (int ch = 0; ch < 2; ++ch)
            sameRunDifference = juce::jmax (sameRunDifference, std::abs (a.getSample (ch, i) - b.getSample (ch, i)));
        channelDifference = juce::jmax (channelDifference, std::abs (a.getSample (0, i) - a.getSample (1, i)));
    }
    EXPECT_EQ (sameRunDifference, 0.0f);
    EXPECT_GT (channelDifference, 0.05f);
}

TEST (DemoSignalTest, FollowsTheSampleRate)
{
    const auto at44 = makeDemoSignal (44100.0);
    const auto at96 = makeDemoSignal (96000.0);
    EXPECT_NEAR (at96.getNumSamples() / 96000.0, at44.getNumSamples() / 44100.0, 1.0e-3);
    EXPECT_FLOAT_EQ (at96.getMagnitude (0, at96.getNumSamples()), demoPeak);
}

} // namespace
} // namespace tw::render::test
