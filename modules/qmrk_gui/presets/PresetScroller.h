#pragma once

namespace qmrk_gui
{
/** Two triangle buttons beside the preset browser that load the previous or next preset,
    wrapping around at both ends. */
class PresetScroller : public juce::Component, public juce::Button::Listener
{
public:
    /** Its place in the editor's control bar. */
    static constexpr int defaultWidth = 30;
    static constexpr int defaultHeight = PresetComponent::defaultHeight;

    /** The look and feel and the preset component must outlive the scroller. */
    PresetScroller (LookAndFeel& lnf, PresetComponent& presetComponent);
    ~PresetScroller() override;

    /** Each button is a square as large as fits in half the width, at either end. */
    void resized() override;
    void buttonClicked (juce::Button* button) override;

    [[nodiscard]] TriangleButton& getLeftButton() noexcept { return leftButton; }
    [[nodiscard]] TriangleButton& getRightButton() noexcept { return rightButton; }

private:
    TriangleButton leftButton;
    TriangleButton rightButton;
    PresetComponent& presetComponent;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetScroller)
};

} // namespace qmrk_gui
