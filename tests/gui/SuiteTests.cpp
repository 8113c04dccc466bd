#include "GuiTestSupport.h"
#include "StubAudioProcessor.h"

#include <vector>

namespace
{
/** Just enough of a processor to own a parameter state with an undo manager. */
class ParameterHost : public tw::test::StubAudioProcessor
{
public:
    ParameterHost()
        : state (*this, &undoManager, "Test", makeLayout())
    {
    }

    static juce::AudioProcessorValueTreeState::ParameterLayout makeLayout()
    {
        juce::AudioProcessorValueTreeState::ParameterLayout layout;
        const juce::NormalisableRange<float> range (0.0f, 1.0f, 0.01f);
        layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "Mix", 1 }, "Mix", range, 0.5f));
        layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "OutputGain", 1 }, "OutputGain",
                                                                 range, 0.5f));
        layout.add (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID { "CEnabled_a", 1 }, "CEnabled_a",
                                                                 juce::NormalisableRange<float> (0.0f, 1.0f, 1.0f),
                                                                 0.0f));
        return layout;
    }

    float value (const juce::String& id) { return state.getParameter (id)->getValue(); }

    void setValue (const juce::String& id, float normalised)
    {
        state.getParameter (id)->setValueNotifyingHost (normalised);
    }

    juce::UndoManager undoManager;
    juce::AudioProcessorValueTreeState state;
};

using Areas = std::vector<juce::Rectangle<int>>;

Areas areasOf (qmrk_gui::LabeledSuite* suite)
{
    if (auto* slider = dynamic_cast<qmrk_gui::SliderSuite*> (suite))
        return { slider->slider.getBounds(), slider->label.getBounds() };

    if (auto* toggle = dynamic_cast<qmrk_gui::ToggleButtonSuite*> (suite))
        return { toggle->button.getBounds(), toggle->label.getBounds() };

    return {};
}

/** One mouse drag across a control as the user makes it: press, move by (dx, dy), release. */
void drag (juce::Component& control, float dx, float dy)
{
    auto source = juce::Desktop::getInstance().getMainMouseSource();
    const auto start = control.getLocalBounds().getCentre().toFloat();
    const auto end = start + juce::Point<float> (dx, dy);
    const auto time = juce::Time::getCurrentTime();

    auto event = [&] (juce::Point<float> position, bool dragged)
    {
        return juce::MouseEvent (source, position, juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier),
                                 juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                 juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                                 juce::MouseInputSource::defaultTiltY, &control, &control, time, start, time, 1,
                                 dragged);
    };

    control.mouseDown (event (start, false));
    control.mouseDrag (event (end, true));
    control.mouseUp (event (end, true));
}

std::string describe (const Areas& areas)
{
    juce::StringArray parts;

    for (const auto& area : areas)
        parts.add (area.toString());

    return parts.joinIntoString (" / ").toStdString();
}

} // namespace

//==============================================================================
using Suites = tw::test::LookAndFeelFixture;

TEST_F (Suites, GridPlacesCellsWithTiesRoundedToEven)
{
    struct Case
    {
        int rows;
        juce::Array<int> kinds;
        int width, height;
        std::vector<Areas> expected;
    };

    const Case cases[] = {
        { 2,
          { 0, 1, 0, 1 },
          468,
          110,
          { { { 8, 8, 40, 40 }, { 55, 0, 179, 55 } },
            { { 246, 12, 32, 32 }, { 289, 0, 179, 55 } },
            { { 8, 62, 40, 40 }, { 55, 55, 179, 55 } },
            { { 246, 66, 32, 32 }, { 289, 55, 179, 55 } } } },
        { 1,
          { 0, 0 },
          466,
          87,
          { { { 24, 24, 40, 40 }, { 87, 0, 146, 87 } }, { { 256, 24, 40, 40 }, { 320, 0, 146, 87 } } } },
        // A stage tab's content: 2 rows in 466 x 87 (cells 233 x 43.5), toggles in the left column.
        { 2,
          { 1, 0, 1, 0 },
          466,
          87,
          { { { 6, 6, 32, 32 }, { 44, 0, 190, 44 } },
            { { 235, 2, 40, 40 }, { 276, 0, 190, 44 } },
            { { 6, 49, 32, 32 }, { 44, 44, 190, 44 } },
            { { 235, 45, 40, 40 }, { 276, 44, 190, 44 } } } },
    };

    for (const auto& c : cases)
    {
        qmrk_gui::LabeledSuiteGrid grid (c.rows, 40.0f, 32.0f, lnf, c.kinds);
        grid.setSize (c.width, c.height);
        ASSERT_EQ (grid.getNumSuites(), c.kinds.size());

        for (int i = 0; i < c.kinds.size(); ++i)
        {
            SCOPED_TRACE (juce::String (c.width) + "x" + juce::String (c.height) + " cell " + juce::String (i));
            EXPECT_EQ (describe (areasOf (grid.getSuite (i))), describe (c.expected[(size_t) i]));
        }
    }
}

TEST_F (Suites, CellAreasBeforeRounding)
{
    const qmrk_gui::LabeledSuiteGrid grid (2, 40.0f, 32.0f, lnf, { 0, 1, 0, 1 });
    const auto areas = grid.getCellAreas (3, 468.0f, 110.0f);
    ASSERT_EQ (areas.size(), 2);
    EXPECT_EQ (areas[0], juce::Rectangle<float> (245.5f, 66.5f, 32.0f, 32.0f));
    EXPECT_EQ (areas[1], juce::Rectangle<float> (289.0f, 55.0f, 179.0f, 55.0f));
}

TEST_F (Suites, ControlLargerThanItsCellOverhangsEvenly)
{
    qmrk_gui::LabeledSuiteGrid grid (1, 40.0f, 32.0f, lnf, { 0, 1 });
    grid.setSize (200, 20); // cells 100 x 20, square 20

    EXPECT_EQ (describe (areasOf (grid.getSuite (0))), describe ({ { -10, -10, 40, 40 }, { 20, 0, 80, 20 } }));
    EXPECT_EQ (describe (areasOf (grid.getSuite (1))), describe ({ { 94, -6, 32, 32 }, { 120, 0, 80, 20 } }));
}

TEST_F (Suites, GridOwnsItsSuitesInCellOrder)
{
    qmrk_gui::LabeledSuiteGrid grid (2, 40.0f, 32.0f, lnf, { 1, 0, 1, 0 });

    ASSERT_EQ (grid.getNumSuites(), 4);
    EXPECT_NE (dynamic_cast<qmrk_gui::ToggleButtonSuite*> (grid.getSuite (0)), nullptr);
    EXPECT_NE (dynamic_cast<qmrk_gui::SliderSuite*> (grid.getSuite (1)), nullptr);
    EXPECT_NE (dynamic_cast<qmrk_gui::ToggleButtonSuite*> (grid.getSuite (2)), nullptr);
    EXPECT_NE (dynamic_cast<qmrk_gui::SliderSuite*> (grid.getSuite (3)), nullptr);
    EXPECT_EQ (grid.getSuite (4), nullptr);
    EXPECT_EQ (grid.getSuite (-1), nullptr);

    // Label then control, both visible children of the grid.
    ASSERT_EQ (grid.getNumChildComponents(), 8);
    auto* slider = dynamic_cast<qmrk_gui::SliderSuite*> (grid.getSuite (1));
    EXPECT_EQ (grid.getIndexOfChildComponent (&slider->label), 2);
    EXPECT_EQ (grid.getIndexOfChildComponent (&slider->slider), 3);
    EXPECT_TRUE (slider->slider.isVisible());
    EXPECT_TRUE (slider->label.isVisible());

    // An unknown kind leaves its cell empty without moving the others.
    qmrk_gui::LabeledSuiteGrid odd (1, 40.0f, 32.0f, lnf, { 7, 0 });
    odd.setSize (466, 87);
    EXPECT_EQ (odd.getSuite (0), nullptr);
    EXPECT_EQ (describe (areasOf (odd.getSuite (1))), describe ({ { 256, 24, 40, 40 }, { 320, 0, 146, 87 } }));
}

TEST_F (Suites, SliderSuiteIsARotaryKnobDrawnByTheLookAndFeel)
{
    qmrk_gui::SliderSuite suite (lnf);

    EXPECT_EQ (suite.slider.getSliderStyle(), juce::Slider::RotaryHorizontalVerticalDrag);
    EXPECT_EQ (suite.slider.getTextBoxPosition(), juce::Slider::NoTextBox);
    EXPECT_EQ (suite.slider.getMouseDragSensitivity(), 500);
    EXPECT_EQ (&suite.slider.getLookAndFeel(), &lnf);
    EXPECT_EQ (suite.label.getFont().getTypefaceName(), "Source Code Pro");

    suite.setLabelText ("Mix: 50%");
    suite.setHelpText ("Overall dry/wet mix.");
    EXPECT_EQ (suite.label.getText(), "Mix: 50%");
    EXPECT_EQ (suite.label.getHelpText(), "Overall dry/wet mix.");
    EXPECT_EQ (suite.slider.getHelpText(), "Overall dry/wet mix.");

    suite.setEnabled (false);
    EXPECT_FALSE (suite.slider.isEnabled());
    EXPECT_FALSE (suite.label.isEnabled());
    EXPECT_EQ (suite.label.getText(), "Mix: 50%");
    suite.setEnabled (true);
    EXPECT_TRUE (suite.slider.isEnabled());

    suite.setVisible (false);
    EXPECT_FALSE (suite.slider.isVisible());
    EXPECT_FALSE (suite.label.isVisible());
}

TEST_F (Suites, TextEditorSuite)
{
    juce::Component parent;
    qmrk_gui::TextEditorSuite suite (lnf, "Name");

    struct Counter : juce::TextEditor::Listener
    {
        void textEditorTextChanged (juce::TextEditor&) override { ++changes; }
        int changes = 0;
    } counter;
    suite.editor.addListener (&counter);

    suite.addTo (parent);
    EXPECT_EQ (parent.getIndexOfChildComponent (&suite.editor), 0);
    EXPECT_EQ (parent.getIndexOfChildComponent (&suite.label), 1);
    EXPECT_EQ (suite.label.getText(), "Name");

    juce::Array<juce::Rectangle<float>> areas;
    areas.add ({ 0.5f, 1.5f, 100.0f, 20.0f });
    areas.add ({ 100.0f, 0.0f, 60.5f, 20.0f });
    suite.setAreas (areas);
    EXPECT_EQ (suite.editor.getBounds(), juce::Rectangle<int> (0, 2, 100, 20));
    EXPECT_EQ (suite.label.getBounds(), juce::Rectangle<int> (100, 0, 60, 20));

    suite.editor.setText ("My preset", false);
    suite.clearText();
    tw::test::deliverPendingMessages();
    EXPECT_TRUE (suite.editor.getText().isEmpty());
    EXPECT_EQ (counter.changes, 0);

    ParameterHost host;
    suite.attach (host.state, "Mix"); // not a parameter control: nothing happens
    suite.editor.removeListener (&counter);
}

//==============================================================================
TEST_F (Suites, SliderAttachmentFollowsTheParameter)
{
    ParameterHost host;
    host.setValue ("Mix", 0.3f);

    qmrk_gui::SliderSuite suite (lnf);
    suite.attach (host.state, "Mix");
    ASSERT_TRUE (suite.isAttached());
    EXPECT_NEAR (suite.slider.getValue(), 0.3, 1.0e-6);

    host.setValue ("Mix", 0.8f);
    EXPECT_NEAR (suite.slider.getValue(), 0.8, 1.0e-6);

    suite.slider.setValue (0.6, juce::sendNotificationSync);
    EXPECT_NEAR (host.value ("Mix"), 0.6f, 1.0e-6f);
}

TEST_F (Suites, EachKnobDragIsOneUndoStep)
{
    ParameterHost host;
    qmrk_gui::SliderSuite suite (lnf);
    suite.slider.setSize (40, 40);
    suite.attach (host.state, "Mix");
    host.state.copyState();
    host.undoManager.clearUndoHistory();

    // 500 pixels of drag cover the whole range: 100 pixels right is a fifth, 50 up a tenth.
    drag (suite.slider, 100.0f, 0.0f);
    EXPECT_NEAR (host.value ("Mix"), 0.7f, 1.0e-6f);
    host.state.copyState(); // the model writes pending values into its tree, through the undo manager
    drag (suite.slider, 0.0f, -50.0f);
    EXPECT_NEAR (host.value ("Mix"), 0.8f, 1.0e-6f);
    host.state.copyState();

    ASSERT_TRUE (host.undoManager.undo());
    EXPECT_NEAR (host.value ("Mix"), 0.7f, 1.0e-6f);
    EXPECT_NEAR (suite.slider.getValue(), 0.7, 1.0e-6);
    ASSERT_TRUE (host.undoManager.undo());
    EXPECT_NEAR (host.value ("Mix"), 0.5f, 1.0e-6f);
    EXPECT_NEAR (suite.slider.getValue(), 0.5, 1.0e-6);
    EXPECT_FALSE (host.undoManager.canUndo());

    ASSERT_TRUE (host.undoManager.redo());
    EXPECT_NEAR (suite.slider.getValue(), 0.7, 1.0e-6);
}

TEST_F (Suites, AttachingAgainReplacesTheFirstAttachment)
{
    ParameterHost host;
    qmrk_gui::SliderSuite suite (lnf);

    suite.attach (host.state, "Mix");
    suite.attach (host.state, "OutputGain");
    suite.slider.setValue (0.9, juce::sendNotificationSync);

    EXPECT_NEAR (host.value ("OutputGain"), 0.9f, 1.0e-6f);
    EXPECT_NEAR (host.value ("Mix"), 0.5f, 1.0e-6f);

    host.setValue ("Mix", 0.1f);
    EXPECT_NEAR (suite.slider.getValue(), 0.9, 1.0e-6);
}

TEST_F (Suites, UnknownParameterLeavesTheControlFree)
{
    ParameterHost host;
    qmrk_gui::SliderSuite suite (lnf);
    suite.attach (host.state, "Mix");
    suite.attach (host.state, "NoSuchParameter");
    EXPECT_FALSE (suite.isAttached());

    suite.slider.setValue (0.2, juce::sendNotificationSync);
    EXPECT_NEAR (suite.slider.getValue(), 0.2, 1.0e-6);
    EXPECT_NEAR (host.value ("Mix"), 0.5f, 1.0e-6f);

    qmrk_gui::ToggleButtonSuite toggle (lnf);
    toggle.attach (host.state, "NoSuchParameter");
    EXPECT_FALSE (toggle.isAttached());
}

TEST_F (Suites, ToggleAttachmentSwitchesTheParameter)
{
    ParameterHost host;
    qmrk_gui::ToggleButtonSuite suite (lnf);
    suite.attach (host.state, "CEnabled_a");
    ASSERT_TRUE (suite.isAttached());
    EXPECT_FALSE (suite.button.getToggleState());

    host.setValue ("CEnabled_a", 1.0f);
    EXPECT_TRUE (suite.button.getToggleState());
    host.state.copyState();
    host.undoManager.clearUndoHistory();

    suite.button.setToggleState (false, juce::sendNotificationSync);
    EXPECT_FLOAT_EQ (host.value ("CEnabled_a"), 0.0f);
    host.state.copyState();

    ASSERT_TRUE (host.undoManager.undo());
    EXPECT_FLOAT_EQ (host.value ("CEnabled_a"), 1.0f);
    EXPECT_TRUE (suite.button.getToggleState());
}

TEST_F (Suites, GridSuitesDetachWhenTheGridGoes)
{
    ParameterHost host;
    {
        qmrk_gui::LabeledSuiteGrid grid (2, 40.0f, 32.0f, lnf, { 0, 1, 0, 1 });
        grid.getSuite (0)->attach (host.state, "Mix");
        grid.getSuite (1)->attach (host.state, "CEnabled_a");
        grid.getSuite (2)->attach (host.state, "OutputGain");
        host.setValue ("Mix", 0.25f);
        EXPECT_NEAR (dynamic_cast<qmrk_gui::SliderSuite*> (grid.getSuite (0))->slider.getValue(), 0.25, 1.0e-6);
    }

    // Parameter changes after the grid is gone reach no deleted control.
    host.setValue ("Mix", 0.75f);
    host.setValue ("CEnabled_a", 1.0f);
    EXPECT_NEAR (host.value ("Mix"), 0.75f, 1.0e-6f);
}
