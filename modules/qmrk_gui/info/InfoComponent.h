#pragma once

namespace qmrk_gui
{
/** A framed overlay with the plug-in's version and a "Close" button.

    Return, Escape or Delete without shift, ctrl or alt hide it while it is visible.
*/
class InfoComponent : public juce::Component, public juce::KeyListener, public juce::Button::Listener
{
public:
    /** version is shown after "Version: "; the owner passes the plug-in's one version string. */
    InfoComponent (const LookAndFeel& lookAndFeel, const juce::String& version);
    ~InfoComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    using juce::Component::keyPressed;
    bool keyPressed (const juce::KeyPress& key, juce::Component* originatingComponent) override;
    void buttonClicked (juce::Button* button) override;

    [[nodiscard]] const BasicLabel& getVersionLabel() const noexcept { return versionLabel; }
    [[nodiscard]] MouseoverTextButton& getCloseButton() noexcept { return closeButton; }

private:
    const LookAndFeel& lookAndFeel;
    BasicLabel versionLabel;
    MouseoverTextButton closeButton;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (InfoComponent)
};

} // namespace qmrk_gui
