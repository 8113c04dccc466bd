#include "EditorTestSupport.h"

using namespace tw::test;

namespace
{
/** An undo step that counts what the undo manager does with it. */
struct CountingAction : juce::UndoableAction
{
    CountingAction (int& performedCount, int& undoneCount)
        : performed (performedCount)
        , undone (undoneCount)
    {
    }

    bool perform() override
    {
        ++performed;
        return true;
    }

    bool undo() override
    {
        ++undone;
        return true;
    }

    int& performed;
    int& undone;
};

class Commands : public EditorFixture
{
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        auto& undoManager = processor->getModel().getUndoManager();
        undoManager.clearUndoHistory();
        undoManager.beginNewTransaction();
        undoManager.perform (new CountingAction (performed, undone));
        undoManager.beginNewTransaction();
        ASSERT_EQ (performed, 1);
    }

    bool press (const juce::KeyPress& key) { return ed().keyPressed (key, &ed()); }

    static juce::KeyPress ctrl (int key, bool shift = false)
    {
        const auto mods = juce::ModifierKeys::ctrlModifier | (shift ? juce::ModifierKeys::shiftModifier : 0);
        return juce::KeyPress (key, juce::ModifierKeys (mods), 0);
    }

    qmrk_gui::PresetManager& manager() { return processor->getPresetManager(); }

    int performed = 0;
    int undone = 0;
};

} // namespace

TEST_F (Commands, ShortcutsAreMadeFromTheDescriptionsTheHintsName)
{
    const auto& shortcuts = PluginEditor::getShortcuts();
    EXPECT_EQ (shortcuts.undo, ctrl ('Z'));
    EXPECT_EQ (shortcuts.redo, ctrl ('Z', true));
    EXPECT_EQ (shortcuts.save, ctrl ('S'));
    EXPECT_EQ (shortcuts.resetToDefault, ctrl ('R'));

    // The key a hint names in its brackets is the key that works.
    const auto named = [] (const juce::String& hint)
    {
        return juce::KeyPress::createFromDescription (
            hint.fromFirstOccurrenceOf ("(", false, false).upToFirstOccurrenceOf (")", false, false));
    };
    const auto& hints = qmrk_gui::HintTexts::get();
    EXPECT_EQ (named (hints.undo), shortcuts.undo);
    EXPECT_EQ (named (hints.redo), shortcuts.redo);
    EXPECT_EQ (named (hints.presetBrowser), shortcuts.save);
    EXPECT_EQ (named (hints.newPreset), shortcuts.resetToDefault);
}

TEST_F (Commands, CtrlZUndoesThroughTheUndoButton)
{
    EXPECT_TRUE (press (ctrl ('z')));
    EXPECT_EQ (undone, 0) << "the click arrives through the message queue";

    deliverPendingMessages();
    EXPECT_EQ (undone, 1);
    EXPECT_EQ (performed, 1);
}

TEST_F (Commands, CtrlShiftZRedoesAndIsNotUndo)
{
    EXPECT_TRUE (press (ctrl ('z')));
    deliverPendingMessages();
    ASSERT_EQ (undone, 1);

    // Upper-case letter as a keyboard reports it with shift held.
    EXPECT_TRUE (press (juce::KeyPress (
        'Z', juce::ModifierKeys (juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::shiftModifier), 'Z')));
    deliverPendingMessages();
    EXPECT_EQ (undone, 1);
    EXPECT_EQ (performed, 2);
}

TEST_F (Commands, ButtonClicksUndoAndRedo)
{
    ed().buttonClicked (&bar().undoButton);
    EXPECT_EQ (undone, 1);
    ed().buttonClicked (&bar().redoButton);
    EXPECT_EQ (performed, 2);
}

TEST_F (Commands, OtherKeysAreNotConsumed)
{
    const juce::KeyPress keys[] = { juce::KeyPress ('z'), juce::KeyPress ('z', juce::ModifierKeys::altModifier, 0),
                                    ctrl ('x'), ctrl ('s', true), juce::KeyPress (juce::KeyPress::escapeKey) };

    for (const auto& key : keys)
        EXPECT_FALSE (press (key)) << key.getTextDescription();

    deliverPendingMessages();
    EXPECT_EQ (undone, 0);
    EXPECT_EQ (performed, 1);
}

TEST_F (Commands, MouseButtonsHeldDoNotHideAShortcut)
{
    const auto mods = juce::ModifierKeys::ctrlModifier | juce::ModifierKeys::leftButtonModifier;
    EXPECT_TRUE (press (juce::KeyPress ('z', juce::ModifierKeys (mods), 0)));
    deliverPendingMessages();
    EXPECT_EQ (undone, 1);
}

TEST_F (Commands, CtrlRLoadsTheDefaultPresetAsAnUndoStep)
{
    const auto defaultMix = getParameter (*processor, "Mix");
    setParameter (*processor, "Mix", defaultMix > 0.5f ? 0.1f : 0.9f);
    ASSERT_TRUE (processor->isModified());

    EXPECT_TRUE (press (ctrl ('r')));
    deliverPendingMessages();

    EXPECT_FLOAT_EQ (getParameter (*processor, "Mix"), defaultMix);
    EXPECT_FALSE (processor->isModified());
    EXPECT_EQ (manager().getCurrentId(), manager().getDefaultPreset()->id);
    EXPECT_EQ (bar().presetComponent.getText(), "Default ");
}

TEST_F (Commands, CtrlSWritesTheCurrentUserPresetWithoutADialog)
{
    const auto file = manager().getUserPresetFolder().getChildFile ("mine" + manager().getExtension());
    ASSERT_TRUE (bar().presetComponent.saveAsTo (file));
    ASSERT_NE (manager().getCurrentUserPreset(), nullptr);
    juce::MemoryBlock contentBefore;
    ASSERT_TRUE (file.loadFileAsData (contentBefore));

    setParameter (*processor, "PLayers", 11.0f);
    ASSERT_TRUE (processor->isModified());
    EXPECT_TRUE (bar().presetComponent.getText().endsWith ("*"));

    EXPECT_TRUE (press (ctrl ('s')));
    EXPECT_FALSE (processor->isModified());
    EXPECT_FALSE (bar().presetComponent.isChooserActive());
    juce::MemoryBlock contentAfter;
    ASSERT_TRUE (file.loadFileAsData (contentAfter));
    EXPECT_NE (contentAfter, contentBefore);
    EXPECT_TRUE (bar().presetComponent.getText().endsWith (" "));

    // The written file holds the new value.
    setParameter (*processor, "PLayers", 2.0f);
    ASSERT_TRUE (processor->loadFromFile (file));
    EXPECT_FLOAT_EQ (getParameter (*processor, "PLayers"), 11.0f);
}

//==============================================================================
TEST_F (Commands, ReloadWithNewCurrentDoesNothing)
{
    manager().setCurrentId (qmrk_gui::PresetManager::newCommandId);
    setParameter (*processor, "Mix", 0.13f);
    auto& undoManager = processor->getModel().getUndoManager();
    undoManager.beginNewTransaction();
    const auto undoSteps = undoManager.getNumActionsInCurrentTransaction();

    bar().reloadButton.triggerClick();
    deliverPendingMessages();

    EXPECT_FLOAT_EQ (getParameter (*processor, "Mix"), 0.13f);
    EXPECT_EQ (manager().getCurrentId(), qmrk_gui::PresetManager::newCommandId);
    EXPECT_EQ (undoManager.getNumActionsInCurrentTransaction(), undoSteps);
    EXPECT_TRUE (processor->isModified());
}

TEST_F (Commands, ReloadLoadsTheCurrentFactoryPresetAgain)
{
    const auto defaultMix = getParameter (*processor, "Mix");
    setParameter (*processor, "Mix", defaultMix > 0.5f ? 0.1f : 0.9f);

    bar().reloadButton.triggerClick();
    deliverPendingMessages();

    EXPECT_FLOAT_EQ (getParameter (*processor, "Mix"), defaultMix);
    EXPECT_FALSE (processor->isModified());
    EXPECT_EQ (bar().presetComponent.getText(), "Default ");

    // As one undo step: undoing brings the change back.
    ed().buttonClicked (&bar().undoButton);
    EXPECT_NE (getParameter (*processor, "Mix"), defaultMix);
}

TEST_F (Commands, ReloadOfAFileOutsideTheUserFolderReloadsThatFile)
{
    TempFolder elsewhere;
    const auto file = elsewhere.get().getChildFile ("loose" + manager().getExtension());
    setParameter (*processor, "Mix", 0.2f);
    ASSERT_TRUE (bar().presetComponent.saveAsTo (file));
    ASSERT_EQ (manager().getCurrentUserPreset(), manager().getLoosePreset());
    EXPECT_EQ (bar().presetComponent.getText(), "Loose ");

    setParameter (*processor, "Mix", 0.9f);
    ed().buttonClicked (&bar().reloadButton);

    EXPECT_FLOAT_EQ (getParameter (*processor, "Mix"), 0.2f);
    EXPECT_FALSE (processor->isModified());
    EXPECT_EQ (bar().presetComponent.getText(), "Loose ");
}

TEST_F (Commands, NewButtonLoadsTheDefaultPreset)
{
    setParameter (*processor, "DriverDelay", 0.01f);
    bar().newButton.triggerClick();
    deliverPendingMessages();
    EXPECT_FALSE (processor->isModified());
    EXPECT_EQ (manager().getCurrentId(), manager().getDefaultPreset()->id);
}

TEST_F (Commands, ClearSilencesRingingFeedback)
{
    constexpr int blockSize = 512;
    processor->prepareToPlay (44100.0, blockSize);
    setParameter (*processor, "Mix", 1.0f);
    setParameter (*processor, "DriverFeedback", 1.0f);
    setParameter (*processor, "CFeedback_a", 1.0f);

    auto runSilence = [&]
    {
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;
        buffer.clear();
        processor->processBlock (buffer, midi);
        return buffer.getMagnitude (0, blockSize);
    };

    auto excite = [&]
    {
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;
        for (int i = 0; i < blockSize; ++i)
            for (int ch = 0; ch < 2; ++ch)
                buffer.setSample (ch, i, (i % 50) == 0 ? 0.8f : 0.0f);
        for (int n = 0; n < 8; ++n)
            processor->processBlock (buffer, midi);
    };

    excite();
    ASSERT_GT (runSilence(), 1.0e-4f) << "the effect should still ring without clearing";

    excite();
    ed().buttonClicked (&bar().clearButton);
    EXPECT_LT (runSilence(), 1.0e-6f);
}
