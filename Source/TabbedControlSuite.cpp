#include "TabbedControlSuite.h"

namespace
{
using Kind = qmrk_gui::LabeledSuiteGrid::Kind;

const juce::Array<int> fourKnobs { Kind::sliderKind, Kind::sliderKind, Kind::sliderKind, Kind::sliderKind };
const juce::Array<int> twoKnobs { Kind::sliderKind, Kind::sliderKind };
const juce::Array<int> switchesAndKnobs { Kind::toggleKind, Kind::sliderKind, Kind::toggleKind, Kind::sliderKind };

} // namespace

TabbedControlSuite::TabbedControlSuite (qmrk_gui::LookAndFeel& lnf)
    : juce::TabbedComponent (juce::TabbedButtonBar::TabsAtTop)
    , phaserGrid (2, sliderSize, toggleSize, lnf, fourKnobs)
    , chorusAGrid (2, sliderSize, toggleSize, lnf, fourKnobs)
    , chorusBGrid (2, sliderSize, toggleSize, lnf, fourKnobs)
    , driverGrid (1, sliderSize, toggleSize, lnf, twoKnobs)
    , textureGrid (2, sliderSize, toggleSize, lnf, switchesAndKnobs)
    , frameColour (lnf.outlineColour)
{
    // The tab bar and its buttons inherit it and so draw the editor's tabs.
    setLookAndFeel (&lnf);
    setTabBarDepth (tabBarDepth);

    setColour (juce::TabbedComponent::backgroundColourId, lnf.backgroundColour);
    auto& bar = getTabbedButtonBar();
    bar.setColour (juce::TabbedButtonBar::tabOutlineColourId, lnf.outlineColour);
    bar.setColour (juce::TabbedButtonBar::tabTextColourId, lnf.textColour);
    bar.setColour (juce::TabbedButtonBar::frontOutlineColourId, lnf.accentColour);
    bar.setColour (juce::TabbedButtonBar::frontTextColourId, lnf.backgroundColour);

    // The first tab added becomes the current one, so every new editor starts on "C|a".
    addTab (chorusATabName, lnf.backgroundColour, &chorusAGrid, false);
    addTab (chorusBTabName, lnf.backgroundColour, &chorusBGrid, false);
    addTab (driverTabName, lnf.backgroundColour, &driverGrid, false);
    addTab (phaserTabName, lnf.backgroundColour, &phaserGrid, false);
    addTab (textureTabName, lnf.backgroundColour, &textureGrid, false);
}

TabbedControlSuite::~TabbedControlSuite()
{
    // Let go of the grids while they still exist; they are members and die before the base.
    clearTabs();
    setLookAndFeel (nullptr);
}

qmrk_gui::LabeledSuiteGrid& TabbedControlSuite::getChorusGrid (int stage) noexcept
{
    return stage > 0 ? chorusBGrid : chorusAGrid;
}

juce::Path TabbedControlSuite::getFramePath() const
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();
    const auto top = h - juce::jmin (h, h - (float) getTabBarDepth());

    // Starting halfway down the left edge lets the rounding skip the top-left corner, which stays
    // square under the first tab once the path is closed.
    juce::Path outline;
    outline.startNewSubPath (0.0f, top);
    outline.lineTo (w, top);
    outline.lineTo (w, h);
    outline.lineTo (0.0f, h);
    outline.lineTo (0.0f, top + (h - top) * 0.5f);

    auto frame = outline.createPathWithRoundedCorners (frameCornerRadius);
    frame.closeSubPath();
    return frame;
}

void TabbedControlSuite::paint (juce::Graphics& g)
{
    // No background: the editor's shows through.
    g.setColour (frameColour);
    g.strokePath (getFramePath(), juce::PathStrokeType (frameThickness));
}
