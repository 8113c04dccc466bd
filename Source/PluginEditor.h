#pragma once

#include "ControlBar.h"
#include "PluginProcessor.h"
#include "TabbedControlSuite.h"

/**
    The plug-in's editor window, 488 x 340 on black: header links, the control bar, the main grid
    (mix, output gain, the chorus switches), the stage tabs, the hint line and the footer links,
    with the info panel hidden over the main grid.

    It receives the processor's label texts as its label updater and keeps the modulation
    controls that cannot be heard greyed out.
*/
class PluginEditor : public juce::AudioProcessorEditor,
                     public juce::Button::Listener,
                     public qmrk_gui::LabelUpdater,
                     public juce::KeyListener
{
public:
    static constexpr int editorWidth = 488;
    static constexpr int editorHeight = 340;

    /** Appended to every web page's address. */
    static constexpr const char* webPageQuery =
        "?utm_source=tanglewave&utm_medium=app&utm_campaign=app_general&utm_id=0001";
    static constexpr const char* companyPagePath = "/";
    static constexpr const char* productPagePath = "/tanglewave/";
    static constexpr const char* supportPagePath = "/support/";
    static constexpr const char* shareMusicPagePath = "/share-music/";

    /** The maker's web page at path, with the common query. */
    [[nodiscard]] static juce::URL makeWebPage (const char* path);

    /** The four keyboard shortcuts, made once from the descriptions the hints name. */
    struct Shortcuts
    {
        juce::KeyPress undo, redo, save, resetToDefault;
    };
    [[nodiscard]] static const Shortcuts& getShortcuts();

    explicit PluginEditor (PluginProcessor& processor);
    ~PluginEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;
    void updateLabel (const juce::String& text, int type, int stage) override;

    using juce::Component::keyPressed;
    bool keyPressed (const juce::KeyPress& key, juce::Component* originatingComponent) override;

    //==============================================================================
    [[nodiscard]] qmrk_gui::LookAndFeel& getEditorLookAndFeel() noexcept { return lookAndFeel; }
    [[nodiscard]] qmrk_gui::HyperlinkLabel& getCompanyLink() noexcept { return companyLink; }
    [[nodiscard]] qmrk_gui::HyperlinkLabel& getProductLink() noexcept { return productLink; }
    [[nodiscard]] qmrk_gui::InfoComponent& getInfoComponent() noexcept { return infoComponent; }
    [[nodiscard]] qmrk_gui::LabeledSuiteGrid& getMainGrid() noexcept { return mainGrid; }
    [[nodiscard]] ControlBar& getControlBar() noexcept { return controlBar; }
    [[nodiscard]] TabbedControlSuite& getStageTabs() noexcept { return stageTabs; }
    [[nodiscard]] qmrk_gui::TipDisplayComponent& getHintLine() noexcept { return hintLine; }
    [[nodiscard]] qmrk_gui::HyperlinkLabelRow& getFooter() noexcept { return footer; }

private:
    struct Binding
    {
        ParameterType type;
        int stage;
        const juce::String& hint;
    };

    void bind (qmrk_gui::LabeledSuiteGrid& grid, std::initializer_list<Binding> cells);
    void showLabel (qmrk_gui::LabeledSuiteGrid& grid, int cell, const juce::String& text);
    void setCellEnabled (qmrk_gui::LabeledSuiteGrid& grid, int cell, bool enabled);
    [[nodiscard]] bool isChorusOn (int stage);
    void updateChorusPeriodEnablement (int stage);
    void reloadCurrentPreset();
    void save();

    // Construction order; destruction runs in reverse, so the look and feel outlives every widget.
    PluginProcessor& pluginProcessor;
    std::shared_ptr<const qmrk_gui::EditorFonts> fonts;
    qmrk_gui::LookAndFeel lookAndFeel;
    qmrk_gui::HyperlinkLabel companyLink;
    qmrk_gui::HyperlinkLabel productLink;
    qmrk_gui::InfoComponent infoComponent;
    qmrk_gui::LabeledSuiteGrid mainGrid;
    ControlBar controlBar;
    TabbedControlSuite stageTabs;
    qmrk_gui::TipDisplayComponent hintLine;
    qmrk_gui::HyperlinkLabelRow footer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PluginEditor)
};
