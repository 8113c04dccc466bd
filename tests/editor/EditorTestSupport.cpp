#include "EditorTestSupport.h"

namespace tw::test
{
float getParameter (PluginProcessor& processor, const juce::String& id)
{
    auto* value = processor.getModel().getRawParameterValue (id);
    return value != nullptr ? value->load() : -1.0f;
}

juce::Label& labelOf (qmrk_gui::LabeledSuite* suite)
{
    if (auto* slider = dynamic_cast<qmrk_gui::SliderSuite*> (suite))
        return slider->label;

    return dynamic_cast<qmrk_gui::ToggleButtonSuite&> (*suite).label;
}

juce::Component& controlOf (qmrk_gui::LabeledSuite* suite)
{
    if (auto* slider = dynamic_cast<qmrk_gui::SliderSuite*> (suite))
        return slider->slider;

    return dynamic_cast<qmrk_gui::ToggleButtonSuite&> (*suite).button;
}

bool Cell::isEnabled() const
{
    const auto labelEnabled = label().isEnabled();
    EXPECT_EQ (labelEnabled, control().isEnabled()) << "label and control of a suite disagree";
    return labelEnabled && control().isEnabled();
}

//==============================================================================
void EditorFixture::SetUp()
{
    processor = std::make_unique<PluginProcessor>();
    editor = std::make_unique<PluginEditor> (*processor);
}

void EditorFixture::TearDown()
{
    editor.reset();
    deliverPendingMessages();
    processor.reset();
}

Cell EditorFixture::cellOf (ParameterType type, int stage)
{
    for (auto& placement : allPlacements())
        if (placement.type == type && placement.stage == stage)
            return placement.cell;

    ADD_FAILURE() << "no cell for type " << type << " stage " << stage;
    return { &editor->getMainGrid(), 0 };
}

std::vector<Placement> EditorFixture::allPlacements()
{
    auto* main = &editor->getMainGrid();
    auto& t = tabs();

    return { { Mix, -1, { main, 0 } },
             { CEnabled, 0, { main, 1 } },
             { OutputGain, -1, { main, 2 } },
             { CEnabled, 1, { main, 3 } },
             { CPredelay, 0, { &t.chorusAGrid, 0 } },
             { CDepth, 0, { &t.chorusAGrid, 1 } },
             { CFeedback, 0, { &t.chorusAGrid, 2 } },
             { CPeriod, 0, { &t.chorusAGrid, 3 } },
             { CPredelay, 1, { &t.chorusBGrid, 0 } },
             { CDepth, 1, { &t.chorusBGrid, 1 } },
             { CFeedback, 1, { &t.chorusBGrid, 2 } },
             { CPeriod, 1, { &t.chorusBGrid, 3 } },
             { DriverFeedback, -1, { &t.driverGrid, 0 } },
             { DriverDelay, -1, { &t.driverGrid, 1 } },
             { PRange, -1, { &t.phaserGrid, 0 } },
             { PFreq, -1, { &t.phaserGrid, 1 } },
             { PPeriod, -1, { &t.phaserGrid, 2 } },
             { PLayers, -1, { &t.phaserGrid, 3 } },
             { OscEnabled, -1, { &t.textureGrid, 0 } },
             { TFeedback, -1, { &t.textureGrid, 1 } },
             { Stereo, -1, { &t.textureGrid, 2 } },
             { TFeedbackTexture, -1, { &t.textureGrid, 3 } } };
}

} // namespace tw::test
