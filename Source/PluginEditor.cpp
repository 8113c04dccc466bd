#include "PluginEditor.h"

#include "BinaryData.h"

namespace
{
std::shared_ptr<const qmrk_gui::EditorFonts> getEditorFonts()
{
    return qmrk_gui::EditorFonts::getShared (
        { BinaryData::SourceCodeProBold_ttf, BinaryData::SourceCodeProBold_ttfSize },
        { BinaryData::CourierPrimeBold_ttf, BinaryData::CourierPrimeBold_ttfSize });
}

/** "Tanglewave_v1-0" becomes "Tanglewave v1.0". */
juce::String getProductTitle()
{
    return juce::String (JucePlugin_Name).replaceCharacter ('_', ' ').replaceCharacter ('-', '.');
}

bool isChorusStage (int stage) noexcept
{
    return stage == 0 || stage == 1;
}

} // namespace

//==============================================================================
juce::URL PluginEditor::makeWebPage (const char* path)
{
    return juce::URL (juce::String (JucePlugin_ManufacturerWebsite) + path + webPageQuery);
}

const PluginEditor::Shortcuts& PluginEditor::getShortcuts()
{
    using Descriptions = qmrk_gui::ShortcutDescriptions;
    static const Shortcuts shortcuts { juce::KeyPress::createFromDescription (Descriptions::undo),
                                       juce::KeyPress::createFromDescription (Descriptions::redo),
                                       juce::KeyPress::createFromDescription (Descriptions::save),
                                       juce::KeyPress::createFromDescription (Descriptions::resetToDefault) };
    return shortcuts;
}

//==============================================================================
PluginEditor::PluginEditor (PluginProcessor& p)
    : juce::AudioProcessorEditor (p)
    , pluginProcessor (p)
    , fonts (getEditorFonts())
    , lookAndFeel (*fonts)
    , companyLink (JucePlugin_Manufacturer, makeWebPage (companyPagePath), lookAndFeel.titleFont,
                   lookAndFeel.accentColour, juce::Justification::bottom)
    , productLink (getProductTitle(), makeWebPage (productPagePath), lookAndFeel.subtitleFont,
                   lookAndFeel.outlineColour, juce::Justification::top)
    , infoComponent (lookAndFeel, JucePlugin_VersionString)
    , mainGrid (2, TabbedControlSuite::sliderSize, TabbedControlSuite::toggleSize, lookAndFeel,
                { qmrk_gui::LabeledSuiteGrid::sliderKind, qmrk_gui::LabeledSuiteGrid::toggleKind,
                  qmrk_gui::LabeledSuiteGrid::sliderKind, qmrk_gui::LabeledSuiteGrid::toggleKind })
    , controlBar (lookAndFeel, p.getPresetManager(), infoComponent, *this)
    , stageTabs (lookAndFeel)
    , hintLine (lookAndFeel)
    , footer (lookAndFeel, { "Help", "Share Music" },
              { makeWebPage (supportPagePath), makeWebPage (shareMusicPagePath) }, juce::Justification::bottomLeft)
{
    const auto& hints = qmrk_gui::HintTexts::get();

    companyLink.setHelpText (qmrk_gui::HintTexts::goTo (juce::URL (JucePlugin_ManufacturerWebsite).getDomain()));
    productLink.setHelpText (hints.productLink);
    addAndMakeVisible (companyLink);
    addAndMakeVisible (productLink);

    controlBar.presetComponent.setHelpText (hints.presetBrowser);
    controlBar.newButton.setHelpText (hints.newPreset);
    controlBar.undoButton.setHelpText (hints.undo);
    controlBar.redoButton.setHelpText (hints.redo);
    controlBar.reloadButton.setHelpText (hints.reload);
    controlBar.clearButton.setHelpText (hints.clear);
    controlBar.presetScroller.getLeftButton().setHelpText (hints.previousPreset);
    controlBar.presetScroller.getRightButton().setHelpText (hints.nextPreset);
    addAndMakeVisible (controlBar);

    bind (mainGrid, { { Mix, -1, hints.mix },
                      { CEnabled, 0, hints.chorus[0].enabled },
                      { OutputGain, -1, hints.outputGain },
                      { CEnabled, 1, hints.chorus[1].enabled } });
    addAndMakeVisible (mainGrid);

    for (const auto stage : { 0, 1 })
    {
        const auto& chorus = hints.chorus[stage];
        bind (stageTabs.getChorusGrid (stage), { { CPredelay, stage, chorus.delay },
                                                 { CDepth, stage, chorus.depth },
                                                 { CFeedback, stage, chorus.feedback },
                                                 { CPeriod, stage, chorus.period } });
    }

    bind (stageTabs.driverGrid,
          { { DriverFeedback, -1, hints.driverFeedback }, { DriverDelay, -1, hints.driverDelay } });
    bind (stageTabs.phaserGrid, { { PRange, -1, hints.phaserRange },
                                  { PFreq, -1, hints.phaserFreq },
                                  { PPeriod, -1, hints.phaserPeriod },
                                  { PLayers, -1, hints.phaserLayers } });
    bind (stageTabs.textureGrid, { { OscEnabled, -1, hints.oscEnabled },
                                   { TFeedback, -1, hints.textureFeedback },
                                   { Stereo, -1, hints.stereo },
                                   { TFeedbackTexture, -1, hints.textureFeedbackTexture } });
    stageTabs.getTabbedButtonBar().setHelpText (hints.stageTabs);

    addAndMakeVisible (stageTabs);
    addAndMakeVisible (hintLine);
    addAndMakeVisible (footer);
    footer.setHelpText (0, hints.help);
    footer.setHelpText (1, hints.shareMusic);

    // Shortcuts pressed anywhere in the window reach the editor; without a focused child the
    // editor itself has to take the keys.
    setWantsKeyboardFocus (true);
    addKeyListener (this);

    // Fills every label and sets the enabled states before the window is first shown.
    pluginProcessor.setLabelUpdater (this);

    addChildComponent (infoComponent);
    setSize (editorWidth, editorHeight);
}

PluginEditor::~PluginEditor()
{
    // No label text may arrive any more; refreshes already posted find no updater.
    pluginProcessor.setLabelUpdater (nullptr);

    // The hint thread reads whichever widget is under the mouse: it stops before any goes.
    hintLine.stopPolling();

    removeKeyListener (this);
}

//==============================================================================
void PluginEditor::bind (qmrk_gui::LabeledSuiteGrid& grid, std::initializer_list<Binding> cells)
{
    auto index = 0;

    for (const auto& cell : cells)
    {
        if (auto* suite = grid.getSuite (index++))
        {
            suite->attach (pluginProcessor.getModel(), ModelTree::getParameterID (cell.type, cell.stage));
            suite->setHelpText (cell.hint);
        }
    }
}

void PluginEditor::showLabel (qmrk_gui::LabeledSuiteGrid& grid, int cell, const juce::String& text)
{
    if (auto* suite = grid.getSuite (cell))
        suite->setLabelText (text);
}

void PluginEditor::setCellEnabled (qmrk_gui::LabeledSuiteGrid& grid, int cell, bool enabled)
{
    if (auto* suite = grid.getSuite (cell))
        suite->setEnabled (enabled);
}

bool PluginEditor::isChorusOn (int stage)
{
    return (stage == 0 ? pluginProcessor.chain.chorusAOn : pluginProcessor.chain.chorusBOn).isOn();
}

void PluginEditor::updateChorusPeriodEnablement (int stage)
{
    // The modulation period cannot be heard without modulation depth.
    setCellEnabled (stageTabs.getChorusGrid (stage), 3,
                    isChorusOn (stage) && !pluginProcessor.isChorusDepthZero (stage));
}

//==============================================================================
void PluginEditor::paint (juce::Graphics& g)
{
    g.fillAll (lookAndFeel.backgroundColour);
}

void PluginEditor::resized()
{
    companyLink.changeWidthToFitText();
    productLink.changeWidthToFitText();
    companyLink.setBounds (10, 4, companyLink.getWidth(), 21);
    productLink.setBounds (10, 25, productLink.getWidth(), 21);

    // The bar reaches the window's right edge, unlike the rows below it.
    controlBar.setBounds (10, 52, 478, 20);
    mainGrid.setBounds (10, 72, 468, 110);
    infoComponent.setBounds (mainGrid.getBounds().reduced (4));
    stageTabs.setBounds (10, 182, 468, 110);
    hintLine.setBounds (10, 292, 468, 24);
    footer.setBounds (10, 316, 468, 24);
}

//==============================================================================
void PluginEditor::buttonClicked (juce::Button* button)
{
    if (button == &controlBar.newButton)
        controlBar.presetComponent.selectNew (juce::sendNotificationAsync);
    else if (button == &controlBar.undoButton)
        pluginProcessor.getModel().getUndoManager().undo();
    else if (button == &controlBar.redoButton)
        pluginProcessor.getModel().getUndoManager().redo();
    else if (button == &controlBar.reloadButton)
        reloadCurrentPreset();
    else if (button == &controlBar.clearButton)
        pluginProcessor.reset();
}

void PluginEditor::reloadCurrentPreset()
{
    auto& manager = pluginProcessor.getPresetManager();
    auto& browser = controlBar.presetComponent;

    // A file opened or saved outside the user-preset folder has no id: the current id still names
    // the preset before it, so reloading by id would load a different preset than the one shown.
    if (const auto* loose = manager.getLoosePreset(); loose != nullptr && manager.getCurrentUserPreset() == loose)
    {
        if (manager.getLoader().loadFromFile (loose->file))
            manager.clearModifiedMark();

        browser.updateDisplay();
        return;
    }

    // Loaded by id rather than by selecting the menu item, which a preset the menu has not been
    // rebuilt for yet would lack.
    if (const auto id = manager.getCurrentId(); id >= qmrk_gui::PresetManager::firstPresetId)
        browser.loadPreset (id);
}

void PluginEditor::save()
{
    if (!pluginProcessor.getPresetManager().saveCurrentUserPreset())
        controlBar.presetComponent.save();
}

bool PluginEditor::keyPressed (const juce::KeyPress& key, juce::Component*)
{
    // Mouse buttons held meanwhile do not make it another key.
    const juce::KeyPress pressed (key.getKeyCode(), key.getModifiers().withoutMouseButtons(), key.getTextCharacter());
    const auto& shortcuts = getShortcuts();

    // Each shortcut runs exactly what its button runs, later, in buttonClicked.
    if (pressed == shortcuts.undo)
        controlBar.undoButton.triggerClick();
    else if (pressed == shortcuts.redo)
        controlBar.redoButton.triggerClick();
    else if (pressed == shortcuts.save)
        save();
    else if (pressed == shortcuts.resetToDefault)
        controlBar.newButton.triggerClick();
    else
        return false;

    return true;
}

//==============================================================================
void PluginEditor::updateLabel (const juce::String& text, int typeValue, int stage)
{
    if (typeValue < 0 || typeValue >= numParameterTypes)
        return;

    const auto type = static_cast<ParameterType> (typeValue);
    const auto chorusType =
        type == CEnabled || type == CFeedback || type == CPredelay || type == CDepth || type == CPeriod;

    // A chorus text names its stage; any other stage index would land on the wrong controls.
    if (chorusType && !isChorusStage (stage))
        return;

    switch (type)
    {
        case Mix:
            showLabel (mainGrid, 0, text);
            break;
        case OutputGain:
            showLabel (mainGrid, 2, text);
            break;
        case DriverFeedback:
            showLabel (stageTabs.driverGrid, 0, text);
            break;
        case DriverDelay:
            showLabel (stageTabs.driverGrid, 1, text);
            break;
        case PFreq:
            showLabel (stageTabs.phaserGrid, 1, text);
            break;
        case PRange:
            showLabel (stageTabs.phaserGrid, 0, text);
            setCellEnabled (stageTabs.phaserGrid, 2, pluginProcessor.chain.phaser.range.isOn());
            pluginProcessor.refreshLabel (PPeriod, -1);
            break;
        case PPeriod:
            showLabel (stageTabs.phaserGrid, 2, text);
            break;
        case PLayers:
            showLabel (stageTabs.phaserGrid, 3, text);
            break;
        case TFeedback:
            showLabel (stageTabs.textureGrid, 1, text);
            setCellEnabled (stageTabs.textureGrid, 3, pluginProcessor.chain.phaser.feedback.isOn());
            break;
        case TFeedbackTexture:
            showLabel (stageTabs.textureGrid, 3, text);
            break;
        case Stereo:
            showLabel (stageTabs.textureGrid, 2, text);
            break;
        case OscEnabled:
            showLabel (stageTabs.textureGrid, 0, text);
            break;
        case CEnabled:
            showLabel (mainGrid, stage == 0 ? 1 : 3, text);

            for (const auto cell : { 0, 1, 2 })
                setCellEnabled (stageTabs.getChorusGrid (stage), cell, isChorusOn (stage));

            updateChorusPeriodEnablement (stage);
            break;
        case CFeedback:
            showLabel (stageTabs.getChorusGrid (stage), 2, text);
            break;
        case CPredelay:
            showLabel (stageTabs.getChorusGrid (stage), 0, text);
            break;
        case CDepth:
            showLabel (stageTabs.getChorusGrid (stage), 1, text);
            updateChorusPeriodEnablement (stage);
            pluginProcessor.refreshLabel (CPeriod, stage);
            break;
        case CPeriod:
            showLabel (stageTabs.getChorusGrid (stage), 3, text);
            break;
        case numParameterTypes:
            break;
    }
}
