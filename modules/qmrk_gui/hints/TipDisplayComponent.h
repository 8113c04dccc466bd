#pragma once

#include <atomic>

namespace qmrk_gui
{
/**
    The hint line: a label that describes the control under the mouse (its help text), with a
    square toggle at its left that switches the hints off and on.

    A background thread, "TipDisplayThread", polls the component under the mouse every
    pollIntervalMs while holding the message manager's lock. The destructor stops it before any
    part of the line goes; an owner whose other children carry the hints stops it earlier, with
    stopPolling(), before destroying them.
*/
class TipDisplayComponent final : public juce::Component, public juce::Thread, public juce::Button::Listener
{
public:
    static constexpr int pollIntervalMs = 160;
    static constexpr int stopTimeoutMs = 1000;

    /** Starts the thread. */
    explicit TipDisplayComponent (const LookAndFeel& lookAndFeel);
    ~TipDisplayComponent() override;

    /** Message thread. Stops the thread, waiting up to stopTimeoutMs; the line keeps its last text.
        Safe to call more than once. */
    void stopPolling();

    /** Message thread, or with the message manager locked: the text the line shows for component. */
    [[nodiscard]] juce::String getHintFor (const juce::Component* component) const;

    /** Message thread, or with the message manager locked: shows the hint of component, unless the
        hints are off. */
    void showHintFor (const juce::Component* component);

    [[nodiscard]] bool areHintsEnabled() const noexcept { return hintsEnabled.load(); }
    [[nodiscard]] juce::String getText() const { return toggleSuite.label.getText(); }
    [[nodiscard]] ToggleButtonSuite& getToggleSuite() noexcept { return toggleSuite; }

    void resized() override;
    void run() override;
    void buttonClicked (juce::Button* button) override;

private:
    juce::Desktop& desktop;
    std::atomic<bool> hintsEnabled { true };
    ToggleButtonSuite toggleSuite;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TipDisplayComponent)
};

} // namespace qmrk_gui
