#pragma once

namespace qmrk_gui
{
/** One control with a text label beside it, attached to one parameter.

    The label shows whatever its owner writes into it (the parameter's name and value).
*/
class LabeledSuite
{
public:
    virtual ~LabeledSuite() = default;

    /** Sets the label's text without notifying its listeners. */
    virtual void setLabelText (const juce::String& text) = 0;

    /** Makes the parts visible children of parent. */
    virtual void addTo (juce::Component& parent) = 0;

    /** areas[0] is the control's, areas[1] the label's; each coordinate is rounded to the
        nearest integer, ties to even. */
    virtual void setAreas (juce::Array<juce::Rectangle<float>> areas) = 0;

    virtual void setEnabled (bool enabled) = 0;
    virtual void setVisible (bool visible) = 0;

    /** The hint shown for both the control and the label. */
    virtual void setHelpText (const juce::String& text) = 0;

    /** Connects the control to a parameter of state, replacing any earlier connection. Nothing is
        connected when state has no such parameter. The user's gestures become undo steps in the
        state's undo manager. */
    virtual void attach (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID) = 0;

    /** The area as the suites place components: x, y, width and height each rounded on their own. */
    static juce::Rectangle<int> roundArea (juce::Rectangle<float> area) noexcept;
};

//==============================================================================
/** A rotary knob without a text box, drawn by the look and feel. */
class SliderSuite : public LabeledSuite
{
public:
    explicit SliderSuite (LookAndFeel& lookAndFeel);
    ~SliderSuite() override;

    void setLabelText (const juce::String& text) override;
    void addTo (juce::Component& parent) override;
    void setAreas (juce::Array<juce::Rectangle<float>> areas) override;
    void setEnabled (bool enabled) override;
    void setVisible (bool visible) override;
    void setHelpText (const juce::String& text) override;
    void attach (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID) override;

    /** Pixels of drag that cover the whole range: twice JUCE's default, for finer control. */
    static constexpr int dragDistanceForFullRange = 500;

    BasicLabel label;
    juce::Slider slider;

    [[nodiscard]] bool isAttached() const noexcept { return attachment != nullptr; }

private:
    std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> attachment;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SliderSuite)
};

//==============================================================================
/** A square toggle. */
class ToggleButtonSuite : public LabeledSuite
{
public:
    explicit ToggleButtonSuite (const LookAndFeel& lookAndFeel);
    ~ToggleButtonSuite() override;

    void setLabelText (const juce::String& text) override;
    void addTo (juce::Component& parent) override;
    void setAreas (juce::Array<juce::Rectangle<float>> areas) override;
    void setEnabled (bool enabled) override;
    void setVisible (bool visible) override;
    void setHelpText (const juce::String& text) override;
    void attach (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID) override;

    BasicLabel label;
    BoxToggleButton button;

    [[nodiscard]] bool isAttached() const noexcept { return attachment != nullptr; }

private:
    std::unique_ptr<juce::AudioProcessorValueTreeState::ButtonAttachment> attachment;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ToggleButtonSuite)
};

//==============================================================================
/** A one-line text field with a fixed caption; it is not tied to a parameter. */
class TextEditorSuite : public LabeledSuite
{
public:
    TextEditorSuite (const LookAndFeel& lookAndFeel, const juce::String& labelText);
    ~TextEditorSuite() override;

    void setLabelText (const juce::String& text) override;
    void addTo (juce::Component& parent) override;
    void setAreas (juce::Array<juce::Rectangle<float>> areas) override;
    void setEnabled (bool enabled) override;
    void setVisible (bool visible) override;
    void setHelpText (const juce::String& text) override;
    void attach (juce::AudioProcessorValueTreeState& state, const juce::String& parameterID) override;

    /** Empties the field without notifying its listeners. */
    void clearText();

    BasicTextEditor editor;
    BasicLabel label;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TextEditorSuite)
};

} // namespace qmrk_gui
