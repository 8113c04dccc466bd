#pragma once

#include <qmrk_gui/qmrk_gui.h>

/**
    The tabbed panel with the controls of the effect's stages, one grid of labeled suites per tab:
    "C|a", "C|b", "Dr", "P" and "Tx". It owns the grids (the tabs only show them) and draws a frame
    around the content instead of the tabbed component's background. Which parameter each suite
    controls is the editor's business.
*/
class TabbedControlSuite : public juce::TabbedComponent
{
public:
    /** Side of a knob's square in every grid of the editor. */
    static constexpr float sliderSize = 40.0f;
    /** Side of a toggle's square in every grid of the editor. */
    static constexpr float toggleSize = 32.0f;
    static constexpr int tabBarDepth = 22;
    static constexpr float frameCornerRadius = 10.0f;
    static constexpr float frameThickness = 2.0f;

    static constexpr const char* chorusATabName = "C|a";
    static constexpr const char* chorusBTabName = "C|b";
    static constexpr const char* driverTabName = "Dr";
    static constexpr const char* phaserTabName = "P";
    static constexpr const char* textureTabName = "Tx";

    /** The look and feel must outlive the panel. */
    explicit TabbedControlSuite (qmrk_gui::LookAndFeel& lookAndFeel);
    ~TabbedControlSuite() override;

    void paint (juce::Graphics&) override;

    /** The frame's outline in the panel's coordinates. */
    [[nodiscard]] juce::Path getFramePath() const;

    /** The grid of chorus stage 0 (a) or 1 (b). */
    [[nodiscard]] qmrk_gui::LabeledSuiteGrid& getChorusGrid (int stage) noexcept;

    qmrk_gui::LabeledSuiteGrid phaserGrid;
    qmrk_gui::LabeledSuiteGrid chorusAGrid;
    qmrk_gui::LabeledSuiteGrid chorusBGrid;
    qmrk_gui::LabeledSuiteGrid driverGrid;
    qmrk_gui::LabeledSuiteGrid textureGrid;
    const juce::Colour frameColour;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TabbedControlSuite)
};
