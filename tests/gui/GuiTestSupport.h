#pragma once

#include <BinaryData.h>
#include <gtest/gtest.h>
#include <qmrk_gui/qmrk_gui.h>

#include "TestHelpers.h"

#include <functional>

namespace tw::test
{
/** The embedded editor fonts, held until the test run ends. */
const qmrk_gui::EditorFonts& embeddedFonts();

/** A cleared ARGB image with something painted into it. */
inline juce::Image paintToImage (int width, int height, const std::function<void (juce::Graphics&)>& paint)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    juce::Graphics g (image);
    paint (g);
    return image;
}

/** A component (and its children) painted as it would be on screen. */
inline juce::Image snapshot (juce::Component& component)
{
    return paintToImage (component.getWidth(), component.getHeight(),
                         [&] (juce::Graphics& g) { component.paintEntireComponent (g, false); });
}

inline int countPixels (const juce::Image& image, const std::function<bool (juce::Colour)>& predicate)
{
    int count = 0;

    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (predicate (image.getPixelAt (x, y)))
                ++count;

    return count;
}

inline bool sameImage (const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds())
        return false;

    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                return false;

    return true;
}

inline std::string hex (juce::Colour c)
{
    return c.toDisplayString (true).toStdString();
}

/** The editor's look and feel, built from the embedded fonts. */
struct LookAndFeelFixture : public ::testing::Test
{
    qmrk_gui::LookAndFeel lnf { embeddedFonts() };
};

} // namespace tw::test
