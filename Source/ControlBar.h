#pragma once

#include <qmrk_gui/qmrk_gui.h>

/**
    The bar across the top of the editor: undo, redo, the preset browser with its scroller, reload,
    new and clear. It only builds and places its children; the editor gives them their hints and
    receives the icon buttons' clicks.
*/
class ControlBar : public juce::Component
{
public:
    /** Side of each icon button. */
    static constexpr int iconButtonWidth = 20;
    /** Space between the groups of the bar. */
    static constexpr int gapWidth = 8;

    /** listener gets the five icon buttons' clicks; "Show Info" in the browser shows info. All four
        must outlive the bar. */
    ControlBar (qmrk_gui::LookAndFeel& lookAndFeel, qmrk_gui::PresetManager& manager, qmrk_gui::InfoComponent& info,
                juce::Button::Listener& listener);
    ~ControlBar() override;

    /** One row from the left, each item as high as the bar; items that no longer fit get what
        width remains, down to none. */
    void resized() override;

    /** The width all items take together. */
    [[nodiscard]] int getNaturalWidth() noexcept;

    qmrk_gui::LookAndFeel& lookAndFeel;
    qmrk_gui::PresetComponent presetComponent;
    qmrk_gui::PresetScroller presetScroller;
    qmrk_gui::IconButton newButton;
    qmrk_gui::IconButton undoButton;
    qmrk_gui::IconButton redoButton;
    qmrk_gui::IconButton reloadButton;
    qmrk_gui::IconButton clearButton;

private:
    struct Item
    {
        juce::Component* component; // none for a gap
        int width;
    };

    [[nodiscard]] std::array<Item, 12> getItems() noexcept;

    juce::Button::Listener& listener;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ControlBar)
};
