#pragma once

#include <gtest/gtest.h>

#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "TestHelpers.h"

#include <memory>

namespace juce
{
// JUCE's own hook for running one message of the native queue (not in its public headers).
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace tw::test
{
/** Points HOME and XDG_CONFIG_HOME at a fresh temp folder for the object's lifetime. */
class IsolatedHome
{
public:
    IsolatedHome();
    ~IsolatedHome();

    [[nodiscard]] const juce::File& get() const noexcept { return folder.get(); }

private:
    TempFolder folder;
    juce::String oldHome, oldConfig;
};

/** Delivers every message already posted (asynchronous clicks, selections, deferred calls). */
void deliverPendingMessages();

/** Runs the message loop until condition holds or about timeoutMs passed; the condition's result. */
bool pumpUntil (const std::function<bool()>& condition, int timeoutMs = 5000);

/** Sets a host parameter from its plain value (0..1, 1..12 for PLayers, 0/1 for switches). */
void setParameter (PluginProcessor& processor, const juce::String& id, float plainValue);
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
