#pragma once

#include <functional>

namespace qmrk_gui
{
/**
    The preset browser: a combo box that shows the current preset's name with its modified mark
    ("Default " or "Default*") and whose menu holds the preset commands, the factory library as a
    category tree and the user presets as a folder tree. It is the loader's display while it
    exists and owns the file choosers for saving, opening and packs.

    Menu selections arrive asynchronously, the dialogs' results later still; every deferred call
    is guarded, so the component may be destroyed at any time on the message thread.
*/
class PresetComponent : public juce::ComboBox,
                        public juce::ComboBox::Listener,
                        public PresetManager::PresetLoader::PresetDisplay
{
public:
    using UserPresetFolder = PresetManager::UserPresetFolder;

    /** Its place in the editor's control bar. */
    static constexpr int defaultWidth = 294;
    static constexpr int defaultHeight = 20;

    /** The five file dialogs. */
    enum class Chooser
    {
        savePreset,
        loadPreset,
        createPackFrom,
        savePackTo,
        openPack
    };

    struct ChooserSpec
    {
        const char* title;
        int flags; // juce::FileBrowserComponent flags given to launchAsync
        bool showsPacks;
    };

    [[nodiscard]] static const ChooserSpec& getChooserSpec (Chooser chooser) noexcept;

    /** Registers as the manager's loader's display and builds the menu. The look and feel and the
        manager must outlive the component. */
    PresetComponent (LookAndFeel& lnf, PresetManager& manager);
    /** Stops being the display before anything else is torn down. */
    ~PresetComponent() override;

    //==============================================================================
    /** Shows the current preset's name with its modified mark; selects no item. */
    void updateDisplay();
    /** Rebuilds the menu from the manager's trees; the shown text stays. */
    void rebuildMenu();
    /** Rescans the user-preset folder, then rebuilds the menu and the display. */
    void rescanAndRebuild();
    /** Writes the current user preset's file, or asks for a file when there is none or that fails. */
    void save();
    /** Loads a preset by id as one undo step, as choosing it in the menu does; a preset that fails
        to load changes nothing. */
    void loadPreset (int id);

    /** "Show Info": the editor shows its info panel here. */
    std::function<void()> onShowInfo;

    //==============================================================================
    void comboBoxChanged (juce::ComboBox*) override;

    /** Message thread. A call from any other thread is handed to the message thread, which then
        shows the loader's flag; the caller must still keep the component alive meanwhile. */
    void setModified (bool isModified) override;
    /** Shows "New"; with a notification "New" is chosen, which loads the default preset.
        Message thread. */
    void selectNew (juce::NotificationType notification) override;

    //==============================================================================
    // What the dialogs do with their result; an empty file is a cancelled dialog.

    /** "Save as...": saves into file, creating it if needed, and makes it the current preset.
        False, leaving no new file behind and the current preset as it was, when that fails. */
    bool saveAsTo (const juce::File& file);
    /** "Browse/Open...": loads file as one undo step and makes it the current preset. False,
        changing nothing, for a file that is not a preset of this plug-in. */
    bool openFile (const juce::File& file);
    /** "Create...", first dialog: asks for the pack file when folder is a known user-preset
        folder; false otherwise. */
    bool createPackFrom (const juce::File& folder);
    /** "Create...", second dialog: writes the pack of that folder. */
    bool writePack (const juce::File& folder, const juce::File& packFile);
    /** "Import...": unpacks into a new subfolder of the user-preset folder and shows its presets. */
    bool importPack (const juce::File& packFile);

    //==============================================================================
    [[nodiscard]] PresetManager& getManager() const noexcept { return manager; }
    /** "*" followed by the extension the dialog shows. */
    [[nodiscard]] juce::String getChooserPattern (Chooser chooser) const;
    /** True while a dialog is open; a second one is not started meanwhile. */
    [[nodiscard]] bool isChooserActive() const noexcept { return chooserActive; }

protected:
    /** Starts the dialog; onResult gets the chosen file, or an empty one when cancelled. Tests
        answer here instead of a dialog. */
    virtual void launchChooser (Chooser chooser, std::function<void (const juce::File&)> onResult);

private:
    using PresetLoader = PresetManager::PresetLoader;

    struct ModifiedForwarder : juce::AsyncUpdater
    {
        explicit ModifiedForwarder (PresetComponent& c)
            : owner (c)
        {
        }
        ~ModifiedForwarder() override { cancelPendingUpdate(); }
        void handleAsyncUpdate() override;
        PresetComponent& owner;
    };

    void launch (Chooser chooser, std::function<void (const juce::File&)> onResult);
    void launchSaveAs();
    void launchOpen();
    void launchCreatePresetPack();
    void launchUnpackPresetPack();

    void showModifiedMark (bool isModified);
    /** Makes a file just saved or opened the current preset: a user preset inside the user-preset
        folder, a loose one elsewhere. */
    void adoptFile (const juce::File& file);
    [[nodiscard]] bool isInsideUserFolder (const juce::File& file) const;
    [[nodiscard]] juce::File getUserFolder() const;

    void addCategoryEntries (juce::PopupMenu& menu, const PresetManager::FactoryCategory& category,
                             juce::StringArray& usedNames) const;
    void addFolderEntries (juce::PopupMenu& menu, const UserPresetFolder& folder, juce::StringArray& usedNames) const;

    [[nodiscard]] juce::FileChooser& getChooser (Chooser chooser) noexcept;

    PresetManager& manager;
    PresetLoader& loader;
    juce::FileChooser saveChooser;
    juce::FileChooser loadChooser;
    juce::FileChooser createPackChooser;
    juce::FileChooser savePackChooser;
    juce::FileChooser openPackChooser;
    bool chooserActive = false;
    ModifiedForwarder modifiedForwarder { *this };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (PresetComponent)
};

} // namespace qmrk_gui
