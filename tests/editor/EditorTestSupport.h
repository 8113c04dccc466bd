#pragma once

#include <gtest/gtest.h>

#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "TestHelpers.h"

#include <memory>

namespace tw::test
{
[[nodiscard]] float getParameter (PluginProcessor& processor, const juce::String& id);

/** The label and the control of a suite of the editor's grids. */
[[nodiscard]] juce::Label& labelOf (qmrk_gui::LabeledSuite* suite);
[[nodiscard]] juce::Component& controlOf (qmrk_gui::LabeledSuite* suite);

/** Where the editor shows a parameter: a grid and a cell. */
struct Cell
{
    qmrk_gui::LabeledSuiteGrid* grid;
    int index;

    [[nodiscard]] qmrk_gui::LabeledSuite* suite() const { return grid->getSuite (index); }
    [[nodiscard]] juce::Label& label() const { return labelOf (suite()); }
    [[nodiscard]] juce::Component& control() const { return controlOf (suite()); }
    /** Both the label and the control. */
    [[nodiscard]] bool isEnabled() const;
};

/** A cell of the editor with the parameter it shows. */
struct Placement
{
    ParameterType type;
    int stage;
    Cell cell;
};

/** A processor in its own home folder and an editor for it, never put on the desktop. */
class EditorFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    [[nodiscard]] PluginEditor& ed() { return *editor; }
    [[nodiscard]] TabbedControlSuite& tabs() { return editor->getStageTabs(); }
    [[nodiscard]] ControlBar& bar() { return editor->getControlBar(); }

    /** The cell that shows a parameter, as the editor lays them out. */
    [[nodiscard]] Cell cellOf (ParameterType type, int stage);

    [[nodiscard]] std::vector<Placement> allPlacements();

    IsolatedHome home;
    std::unique_ptr<PluginProcessor> processor;
    std::unique_ptr<PluginEditor> editor;
};

} // namespace tw::test
