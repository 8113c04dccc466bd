namespace qmrk_gui
{
namespace
{
using Browser = juce::FileBrowserComponent;

/** The label text when no known preset is current, before its one-character mark. */
constexpr const char* newPresetText = "*New";
constexpr juce::juce_wchar modifiedMark = '*';

/** Item texts never end in a space or the mark, so no display text can ever equal one: JUCE
    would select that item, and choosing it again would then go unnoticed. */
juce::String makeItemText (const juce::String& name, const juce::File& fallback = {})
{
    const auto text = name.trimCharactersAtEnd (" *");
    return text.isNotEmpty() ? text : fallback.getFileName();
}

juce::String makeUniqueName (const juce::String& name, const juce::StringArray& usedNames)
{
    if (!usedNames.contains (name, true))
        return name;

    for (int n = 2;; ++n)
    {
        const auto candidate = name + " (" + juce::String (n) + ")";

        if (!usedNames.contains (candidate, true))
            return candidate;
    }
}

bool createEmptyFile (const juce::File& file)
{
    for (int attempt = 0; attempt < FileServerManager::createAttempts; ++attempt)
    {
        if (attempt > 0)
            juce::Thread::sleep (FileServerManager::createRetryDelayMs);

        if (file.create().wasOk() && file.existsAsFile())
            return true;
    }

    return false;
}
} // namespace

//==============================================================================
const PresetComponent::ChooserSpec& PresetComponent::getChooserSpec (Chooser chooser) noexcept
{
    // Choosing a folder is an open dialog too; JUCE's own dialog insists on one of the two modes.
    static const ChooserSpec specs[] = {
        { "Save Preset", Browser::saveMode | Browser::canSelectFiles | Browser::warnAboutOverwriting, false },
        { "Load Preset", Browser::openMode | Browser::canSelectFiles, false },
        { "Create Preset Pack From..", Browser::openMode | Browser::canSelectDirectories, true },
        { "Save Pack To...", Browser::saveMode | Browser::canSelectFiles | Browser::warnAboutOverwriting, true },
        { "Open Preset Pack", Browser::openMode | Browser::canSelectFiles, true },
    };

    return specs[static_cast<size_t> (chooser)];
}

juce::String PresetComponent::getChooserPattern (Chooser chooser) const
{
    return "*" + (getChooserSpec (chooser).showsPacks ? manager.getPackExtension() : manager.getExtension());
}

PresetComponent::PresetComponent (LookAndFeel& lnf, PresetManager& presetManager)
    : manager (presetManager)
    , loader (presetManager.getLoader())
    , saveChooser (getChooserSpec (Chooser::savePreset).title, getUserFolder(), getChooserPattern (Chooser::savePreset))
    , loadChooser (getChooserSpec (Chooser::loadPreset).title, getUserFolder(), getChooserPattern (Chooser::loadPreset))
    , createPackChooser (getChooserSpec (Chooser::createPackFrom).title, getUserFolder(),
                         getChooserPattern (Chooser::createPackFrom))
    , savePackChooser (getChooserSpec (Chooser::savePackTo).title, getUserFolder(),
                       getChooserPattern (Chooser::savePackTo))
    , openPackChooser (getChooserSpec (Chooser::openPack).title, getUserFolder(), getChooserPattern (Chooser::openPack))
{
    setLookAndFeel (&lnf);
    addListener (this);
    loader.display = this;
    rescanAndRebuild();
}

PresetComponent::~PresetComponent()
{
    // First of all: no mark may reach a half-destroyed display. Another display that registered
    // meanwhile stays registered.
    PresetDisplay* self = this;
    loader.display.compare_exchange_strong (self, nullptr);
    modifiedForwarder.cancelPendingUpdate();

    removeListener (this);
    setLookAndFeel (nullptr);
}

//==============================================================================
juce::File PresetComponent::getUserFolder() const
{
    if (const auto* root = manager.getRootFolder())
        return root->folder;

    return manager.getUserPresetFolder();
}

bool PresetComponent::isInsideUserFolder (const juce::File& file) const
{
    const auto folder = getUserFolder();
    return folder.getFullPathName().isNotEmpty() && file.isAChildOf (folder);
}

juce::FileChooser& PresetComponent::getChooser (Chooser chooser) noexcept
{
    switch (chooser)
    {
        case Chooser::savePreset:
            return saveChooser;
        case Chooser::loadPreset:
            return loadChooser;
        case Chooser::createPackFrom:
            return createPackChooser;
        case Chooser::savePackTo:
            return savePackChooser;
        case Chooser::openPack:
            break;
    }

    return openPackChooser;
}

//==============================================================================
void PresetComponent::updateDisplay()
{
    const auto id = manager.getCurrentId();

    // A rescan elsewhere (a restored host state) can make a preset current that the menu lacks.
    if (manager.isUserPresetId (id) && indexOfItemId (id) < 0)
        rebuildMenu();

    setSelectedId (PresetManager::clearSelectionCommandId, juce::dontSendNotification);

    juce::String name;
    const auto* current = manager.getCurrentUserPreset();

    if (current != nullptr && current == manager.getLoosePreset())
        name = current->name;
    else if (manager.isUserPresetId (id))
        name = manager.getUserPreset (id)->name;
    else if (const auto* factory = manager.getFactoryPreset (id))
        name = factory->name;
    else
        name = newPresetText;

    setText (name + " ", juce::dontSendNotification);
    showModifiedMark (loader.isModified());
}

void PresetComponent::rebuildMenu()
{
    const auto shown = getText();
    clear (juce::dontSendNotification);

    auto& menu = *getRootMenu();
    menu.addSectionHeader ("Options:");
    menu.addItem (PresetManager::newCommandId, "New");
    menu.addItem (PresetManager::openCommandId, "Browse/Open...");
    menu.addItem (PresetManager::saveCommandId, "Save");
    menu.addItem (PresetManager::saveAsCommandId, "Save as...");
    menu.addSeparator();

    juce::PopupMenu packMenu;
    packMenu.addItem (PresetManager::importPackCommandId, "Import...");
    packMenu.addItem (PresetManager::createPackCommandId, "Create...");
    menu.addSubMenu ("Preset Pack Options", packMenu);

    menu.addItem (PresetManager::showInfoCommandId, "Show Info");
    menu.addSeparator();

    juce::StringArray usedNames;
    menu.addSectionHeader ("Factory Presets:");

    if (const auto* root = manager.getRootCategory())
        addCategoryEntries (menu, *root, usedNames);

    menu.addSectionHeader ("User Presets:");

    if (const auto* root = manager.getRootFolder())
        addFolderEntries (menu, *root, usedNames);

    // Keeps a chosen item selected when its notification is still on its way.
    setText (shown, juce::dontSendNotification);
}

void PresetComponent::addCategoryEntries (juce::PopupMenu& menu, const PresetManager::FactoryCategory& category,
                                          juce::StringArray& usedNames) const
{
    for (const auto* preset : category.presets)
    {
        if (preset == nullptr)
            continue;

        const auto text = makeItemText (preset->name);
        menu.addItem (preset->id, text);
        usedNames.add (text);
    }

    for (const auto* sub : category.subcategories)
    {
        if (sub == nullptr)
            continue;

        juce::PopupMenu subMenu;
        addCategoryEntries (subMenu, *sub, usedNames);
        menu.addSubMenu (sub->getShortName(), subMenu);
    }
}

void PresetComponent::addFolderEntries (juce::PopupMenu& menu, const UserPresetFolder& folder,
                                        juce::StringArray& usedNames) const
{
    for (const auto* preset : folder.presets)
    {
        if (preset == nullptr || preset->file.getFullPathName().isEmpty() || !preset->file.existsAsFile())
            continue;

        const auto text = makeUniqueName (makeItemText (preset->name, preset->file), usedNames);
        menu.addItem (preset->id, text);
        usedNames.add (text);
    }

    for (const auto* sub : folder.subfolders)
    {
        if (sub == nullptr)
            continue;

        juce::PopupMenu subMenu;
        addFolderEntries (subMenu, *sub, usedNames);
        menu.addSubMenu (sub->name, subMenu);
    }
}

void PresetComponent::rescanAndRebuild()
{
    manager.rescanUserPresets();
    rebuildMenu();
    updateDisplay();
}

//==============================================================================
void PresetComponent::setModified (bool isModified)
{
    if (!juce::MessageManager::existsAndIsCurrentThread())
    {
        modifiedForwarder.triggerAsyncUpdate();
        return;
    }

    // The label shows a chosen item only while its notification is on its way, and a changed text
    // would make the choice unrecognisable; the mark follows right after it.
    if (getSelectedId() != 0)
    {
        juce::MessageManager::callAsync (
            [safe = juce::Component::SafePointer<PresetComponent> (this)]
            {
                if (safe != nullptr)
                    safe->showModifiedMark (safe->loader.isModified());
            });
        return;
    }

    showModifiedMark (isModified);
}

void PresetComponent::ModifiedForwarder::handleAsyncUpdate()
{
    owner.setModified (owner.loader.isModified());
}

void PresetComponent::showModifiedMark (bool isModified)
{
    const auto text = getText();

    if (!isModified && text.getLastCharacter() == modifiedMark)
        setText (text.dropLastCharacters (1) + " ", juce::dontSendNotification);
    else if (isModified && text.getLastCharacter() != modifiedMark)
        setText (text.trimEnd() + juce::String::charToString (modifiedMark), juce::dontSendNotification);
}

void PresetComponent::selectNew (juce::NotificationType notification)
{
    JUCE_ASSERT_MESSAGE_THREAD

    setSelectedId (PresetManager::clearSelectionCommandId, juce::dontSendNotification);

    if (notification == juce::dontSendNotification)
    {
        // Shown like a display text rather than as the selected item: the label can carry the
        // mark, and choosing "New" afterwards is a change that JUCE reports.
        setText (getItemText (indexOfItemId (PresetManager::newCommandId)) + " ", juce::dontSendNotification);
        showModifiedMark (loader.isModified());
        return;
    }

    setSelectedId (PresetManager::newCommandId, notification);
}

//==============================================================================
void PresetComponent::comboBoxChanged (juce::ComboBox* box)
{
    if (box != this)
        return;

    const auto id = getSelectedId();

    switch (id)
    {
        case PresetManager::saveCommandId:
            save();
            return;
        case PresetManager::saveAsCommandId:
            launchSaveAs();
            return;
        case PresetManager::openCommandId:
            launchOpen();
            break;
        case PresetManager::newCommandId:
            manager.loadDefaultPreset (true);
            break;
        case PresetManager::createPackCommandId:
            launchCreatePresetPack();
            break;
        case PresetManager::importPackCommandId:
            launchUnpackPresetPack();
            break;
        case PresetManager::showInfoCommandId:
            if (onShowInfo != nullptr)
            {
                const juce::Component::SafePointer<PresetComponent> safe (this);
                onShowInfo();

                if (safe == nullptr)
                    return;
            }
            break;
        default:
            if (id >= PresetManager::firstPresetId)
            {
                loadPreset (id);
                return;
            }
            break;
    }

    updateDisplay();
}

void PresetComponent::loadPreset (int id)
{
    auto loaded = false;
    PresetManager::UserPreset* userPreset = nullptr;

    if (manager.isUserPresetId (id))
    {
        userPreset = manager.getUserPreset (id);
        loaded = loader.loadFromFile (userPreset->file);
    }
    else if (const auto* factory = manager.getFactoryPreset (id))
    {
        loaded = loader.loadState (factory->data, true);
    }

    // A failed load leaves the parameters as they were, so it leaves the current preset and its
    // mark as well: showing the chosen name unmodified would claim a load that never happened.
    if (loaded)
    {
        manager.setCurrentUserPreset (userPreset);
        manager.clearModifiedMark();
        manager.setCurrentId (id);
    }

    updateDisplay();
}

void PresetComponent::save()
{
    if (const auto* current = manager.getCurrentUserPreset(); current != nullptr && loader.saveToFile (current->file))
    {
        updateDisplay();
        return;
    }

    launchSaveAs();
}

//==============================================================================
void PresetComponent::launch (Chooser chooser, std::function<void (const juce::File&)> onResult)
{
    if (chooserActive)
        return;

    chooserActive = true;
    launchChooser (chooser,
                   [safe = juce::Component::SafePointer<PresetComponent> (this),
                    onResult = std::move (onResult)] (const juce::File& file)
                   {
                       if (safe == nullptr)
                           return;

                       safe->chooserActive = false;
                       onResult (file);
                   });
}

void PresetComponent::launchChooser (Chooser chooser, std::function<void (const juce::File&)> onResult)
{
    getChooser (chooser).launchAsync (getChooserSpec (chooser).flags,
                                      [onResult = std::move (onResult)] (const juce::FileChooser& fileChooser)
                                      { onResult (fileChooser.getResult()); });
}

void PresetComponent::launchSaveAs()
{
    launch (Chooser::savePreset, [this] (const juce::File& file) { saveAsTo (file); });
    updateDisplay();
}

void PresetComponent::launchOpen()
{
    launch (Chooser::loadPreset, [this] (const juce::File& file) { openFile (file); });
}

void PresetComponent::launchCreatePresetPack()
{
    launch (Chooser::createPackFrom, [this] (const juce::File& folder) { createPackFrom (folder); });
}

void PresetComponent::launchUnpackPresetPack()
{
    launch (Chooser::openPack, [this] (const juce::File& packFile) { importPack (packFile); });
}

//==============================================================================
bool PresetComponent::saveAsTo (const juce::File& file)
{
    if (file.getFullPathName().isEmpty() || file.isDirectory())
    {
        updateDisplay();
        return false;
    }

    const auto createdHere = !file.exists();

    if (createdHere && !createEmptyFile (file))
    {
        updateDisplay();
        return false;
    }

    // Saved first and adopted only then: a failed save keeps the current preset and its mark.
    if (!loader.saveToFile (file))
    {
        // Left behind, the empty file would show as a preset that loads nothing.
        if (createdHere && file.existsAsFile() && file.getSize() == 0)
            file.deleteFile();

        updateDisplay();
        return false;
    }

    adoptFile (file);
    updateDisplay();
    return true;
}

bool PresetComponent::openFile (const juce::File& file)
{
    auto opened = false;

    if (file.getFullPathName().isNotEmpty() && file.existsAsFile())
    {
        if (!loader.loadFromFile (file))
            return false;

        adoptFile (file);
        opened = true;
    }

    rescanAndRebuild();
    return opened;
}

void PresetComponent::adoptFile (const juce::File& file)
{
    if (isInsideUserFolder (file))
    {
        if (!manager.isUserPresetFile (file))
        {
            manager.rescanUserPresets();
            rebuildMenu();
        }

        // Only files the scan lists are user presets; one it skips (another extension, hidden,
        // too deep) is treated like any file outside the folder.
        if (auto* record = manager.findUserPreset (file))
        {
            manager.setCurrentUserPreset (record);
            manager.clearModifiedMark();
            manager.setCurrentId (record->id);
            return;
        }
    }

    manager.setLoosePreset (file);
}

bool PresetComponent::createPackFrom (const juce::File& folder)
{
    if (folder.getFullPathName().isEmpty())
        return false;

    const auto* record = manager.findFolder (folder);

    if (record == nullptr)
        return false;

    launch (Chooser::savePackTo,
            [this, packedFolder = record->folder] (const juce::File& packFile) { writePack (packedFolder, packFile); });
    return true;
}

bool PresetComponent::writePack (const juce::File& folder, const juce::File& packFile)
{
    if (packFile.getFullPathName().isEmpty())
        return false;

    const auto* record = manager.findFolder (folder);
    return record != nullptr && createPresetPack (*record, packFile);
}

bool PresetComponent::importPack (const juce::File& packFile)
{
    if (packFile.getFullPathName().isEmpty())
    {
        updateDisplay();
        return false;
    }

    const auto unpacked = unpackPresetPack (packFile, getUserFolder());
    rescanAndRebuild();
    return unpacked;
}

} // namespace qmrk_gui
