#include "ControlBar.h"

#include "BinaryData.h"

ControlBar::ControlBar (qmrk_gui::LookAndFeel& lnf, qmrk_gui::PresetManager& manager, qmrk_gui::InfoComponent& info,
                        juce::Button::Listener& buttonListener)
    : lookAndFeel (lnf)
    , presetComponent (lnf, manager)
    , presetScroller (lnf, presetComponent)
    , newButton (BinaryData::new_svg, BinaryData::new_svgSize, lnf.outlineColour, "NewButton", &buttonListener)
    , undoButton (BinaryData::undo_svg, BinaryData::undo_svgSize, lnf.outlineColour, "UndoButton", &buttonListener)
    , redoButton (BinaryData::redo_svg, BinaryData::redo_svgSize, lnf.outlineColour, "RedoButton", &buttonListener)
    , reloadButton (BinaryData::reload_svg, BinaryData::reload_svgSize, lnf.outlineColour, "ReloadButton",
                    &buttonListener)
    , clearButton (BinaryData::c_svg, BinaryData::c_svgSize, lnf.outlineColour, "ClearButton", &buttonListener)
    , listener (buttonListener)
{
    presetComponent.onShowInfo = [&info]
    {
        info.setVisible (true);

        // Its keys (Return, Escape, Delete) close it only when it has the focus.
        if (info.isShowing())
            info.grabKeyboardFocus();
    };

    addAndMakeVisible (presetComponent);
    addAndMakeVisible (newButton);
    addAndMakeVisible (undoButton);
    addAndMakeVisible (redoButton);
    addAndMakeVisible (reloadButton);
    addAndMakeVisible (clearButton);
    addAndMakeVisible (presetScroller);
}

ControlBar::~ControlBar()
{
    presetComponent.onShowInfo = nullptr;

    for (auto* button : { &newButton, &undoButton, &redoButton, &reloadButton, &clearButton })
        button->removeListener (&listener);
}

std::array<ControlBar::Item, 12> ControlBar::getItems() noexcept
{
    return { { { &undoButton, iconButtonWidth },
               { &redoButton, iconButtonWidth },
               { nullptr, gapWidth },
               { &presetComponent, qmrk_gui::PresetComponent::defaultWidth },
               { nullptr, gapWidth },
               { &presetScroller, qmrk_gui::PresetScroller::defaultWidth },
               { nullptr, gapWidth },
               { &reloadButton, iconButtonWidth },
               { nullptr, gapWidth },
               { &newButton, iconButtonWidth },
               { nullptr, gapWidth },
               { &clearButton, iconButtonWidth } } };
}

int ControlBar::getNaturalWidth() noexcept
{
    auto total = 0;

    for (const auto& item : getItems())
        total += item.width;

    return total;
}

void ControlBar::resized()
{
    // Whole pixels throughout, so every position and width is already an integer.
    auto x = 0;
    auto remaining = juce::jmax (0, getWidth());

    for (const auto& item : getItems())
    {
        const auto width = juce::jmin (remaining, item.width);

        if (item.component != nullptr)
            item.component->setBounds (x, 0, width, getHeight());

        x += width;
        remaining -= width;
    }
}
