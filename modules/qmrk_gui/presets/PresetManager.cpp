namespace qmrk_gui
{
namespace
{
juce::String makeExtension (const juce::String& pluginCode)
{
    const auto code = pluginCode.toLowerCase();
    return code.startsWithChar ('.') ? code : "." + code;
}

bool isUsableFolder (const juce::File& folder)
{
    return folder.getFullPathName().isNotEmpty() && folder.isDirectory();
}

// The platform does not sort directory listings; sorting keeps menus and new ids stable. Hidden
// entries are left out: the temporary file of an interrupted save, the system's metadata files.
juce::Array<juce::File> listSorted (const juce::File& folder, int whatToLookFor, const juce::String& pattern)
{
    auto found = folder.findChildFiles (whatToLookFor | juce::File::ignoreHiddenFiles, false, pattern);
    std::sort (found.begin(), found.end(),
               [] (const juce::File& a, const juce::File& b)
               { return a.getFileName().compareNatural (b.getFileName()) < 0; });
    return found;
}
} // namespace

//==============================================================================
juce::String PresetManager::FactoryCategory::getShortName() const
{
    return name.fromLastOccurrenceOf (categorySeparator, false, false);
}

void PresetManager::UserPresetFolder::rescan (int depth)
{
    presets.clearQuick();
    subfolders.clearQuick();

    // An empty path would list the file system's root.
    if (owner == nullptr || !isUsableFolder (folder))
        return;

    for (const auto& file : listSorted (folder, juce::File::findFiles, "*" + owner->getExtension()))
        if (auto* preset = owner->addUserPreset (file))
            presets.add (preset);

    if (depth >= maxFolderDepth)
        return;

    for (const auto& child : listSorted (folder, juce::File::findDirectories, "*"))
    {
        auto* sub = owner->findFolder (child);

        if (sub != nullptr)
            sub->rescan (depth + 1);
        else
            sub = owner->addFolder (child, depth + 1); // scans the new record

        if (sub != nullptr)
            subfolders.add (sub);
    }
}

//==============================================================================
PresetManager::PresetManager (PresetLoader& presetLoader, const juce::String& pluginCode,
                              const juce::File& presetFolder)
    : extension (makeExtension (pluginCode))
    , packExtension (extension + "_pack")
    , loader (&presetLoader)
    , userPresetFolder (presetFolder)
{
    if (isUsableFolder (userPresetFolder))
        setUserPresetFolder (userPresetFolder);
}

PresetManager::~PresetManager() = default;

//==============================================================================
PresetManager::FactoryPreset* PresetManager::addFactoryPreset (const juce::String& name, const void* data,
                                                               int sizeInBytes, bool isDefault)
{
    const auto id = nextId++;
    auto& preset = factoryPresets[id];
    preset.id = id;
    preset.name = name;

    if (data != nullptr && sizeInBytes > 0)
        preset.data.replaceAll (data, (size_t) sizeInBytes);

    if (isDefault)
        defaultPreset = &preset;

    return &preset;
}

PresetManager::FactoryCategory* PresetManager::addCategory (const juce::String& name,
                                                            const juce::Array<FactoryPreset*>& presets)
{
    return addCategory (name, presets, {}, false);
}

PresetManager::FactoryCategory* PresetManager::addCategory (const juce::String& name,
                                                            const juce::Array<FactoryCategory*>& subcategories)
{
    return addCategory (name, {}, subcategories, false);
}

PresetManager::FactoryCategory* PresetManager::addCategory (const juce::String& name,
                                                            const juce::Array<FactoryPreset*>& presets,
                                                            const juce::Array<FactoryCategory*>& subcategories,
                                                            bool isRoot)
{
    auto [position, inserted] = categories.try_emplace (name);
    auto& category = position->second;

    if (inserted)
    {
        category.name = name;
        category.presets = presets;
        category.subcategories = subcategories;
        category.owner = this;
    }

    if (isRoot)
        rootCategory = &category;

    return &category;
}

bool PresetManager::addFactoryLibrary (const std::vector<FactoryCategoryInfo>& library)
{
    auto complete = true;

    for (const auto& row : library)
    {
        juce::Array<FactoryPreset*> presets;

        for (const auto& info : row.presets)
            presets.add (addFactoryPreset (info.name, info.data, info.sizeInBytes, info.isDefault));

        juce::Array<FactoryCategory*> subcategories;

        for (const auto& subName : row.subcategories)
        {
            const auto found = categories.find (subName);

            if (found != categories.end())
                subcategories.add (&found->second);
            else
                complete = false;
        }

        addCategory (row.name, presets, subcategories, row.isRoot);
    }

    return complete && rootCategory != nullptr && defaultPreset != nullptr;
}

bool PresetManager::initialise (const std::vector<FactoryCategoryInfo>& library)
{
    addFactoryLibrary (library);
    setUserPresetFolder (userPresetFolder);
    const auto loaded = loadDefaultPreset (false);

    if (loader->undoManager != nullptr)
        loader->undoManager->clearUndoHistory();

    return loaded;
}

//==============================================================================
void PresetManager::setUserPresetFolder (const juce::File& folder)
{
    userPresetFolder = folder;
    rootFolder = addFolder (folder, 0);
}

void PresetManager::rescanUserPresets()
{
    if (rootFolder != nullptr)
        rootFolder->rescan (0);
}

PresetManager::UserPreset* PresetManager::addUserPreset (const juce::File& file)
{
    // Known files keep their id, also when they come back after having been missing.
    const auto known = userPresetsByFile.find (file);

    if (known != userPresetsByFile.end())
        return known->second;

    const auto id = nextId++;
    auto& preset = userPresets[id];
    preset.file = file;
    preset.name = makePresetDisplayName (file);
    preset.id = id;
    userPresetsByFile[file] = &preset;
    return &preset;
}

PresetManager::UserPresetFolder* PresetManager::addFolder (const juce::File& folder, int depth)
{
    if (auto* known = findFolder (folder))
        return known;

    auto [position, inserted] = folders.try_emplace (folder);
    auto& record = position->second;

    if (inserted)
    {
        record.folder = folder;
        record.name = makePresetDisplayName (folder);
        record.owner = this;
    }

    record.rescan (depth);
    return &record;
}

PresetManager::UserPreset* PresetManager::findUserPreset (const juce::File& file) const
{
    const auto found = userPresetsByFile.find (file);
    return found != userPresetsByFile.end() && file.existsAsFile() ? found->second : nullptr;
}

bool PresetManager::isUserPresetFile (const juce::File& file) const
{
    return findUserPreset (file) != nullptr;
}

bool PresetManager::isUserPresetId (int id) const
{
    const auto* preset = getUserPreset (id);
    return preset != nullptr && preset->file.getFullPathName().isNotEmpty() && preset->file.existsAsFile();
}

PresetManager::UserPreset* PresetManager::getUserPreset (int id) const
{
    const auto found = userPresets.find (id);
    return found != userPresets.end() ? const_cast<UserPreset*> (&found->second) : nullptr;
}

PresetManager::UserPresetFolder* PresetManager::findFolder (const juce::File& folder) const
{
    const auto found = folders.find (folder);
    return found != folders.end() && folder.isDirectory() ? const_cast<UserPresetFolder*> (&found->second) : nullptr;
}

void PresetManager::setLoosePreset (const juce::File& file)
{
    auto record = std::make_unique<UserPreset>();
    record->file = file;
    record->name = makePresetDisplayName (file);
    record->id = noPresetId;

    loosePreset = std::move (record);
    currentUserPreset = loosePreset.get();
    clearModifiedMark();
}

//==============================================================================
PresetManager::FactoryPreset* PresetManager::getFactoryPreset (int id) const
{
    const auto found = factoryPresets.find (id);
    return found != factoryPresets.end() ? const_cast<FactoryPreset*> (&found->second) : nullptr;
}

PresetManager::FactoryPreset* PresetManager::findFactoryPreset (const juce::String& name) const
{
    for (const auto& [id, preset] : factoryPresets)
        if (preset.name == name)
            return const_cast<FactoryPreset*> (&preset);

    return nullptr;
}

bool PresetManager::loadDefaultPreset (bool undoable)
{
    if (defaultPreset == nullptr)
        return false;

    const auto result = loader->loadState (defaultPreset->data, undoable);

    if (result)
    {
        currentUserPreset = nullptr;
        clearModifiedMark();
        currentId = defaultPreset->id;
    }

    return result;
}

int PresetManager::stepPreset (int direction) const
{
    const auto numIds = nextId - firstPresetId;

    if (direction == 0 || numIds <= 0)
        return noPresetId;

    const auto step = direction > 0 ? 1 : -1;
    auto n = currentId + direction;

    // From outside the preset range (none, "New", a command) the walk enters it at the near end;
    // each id is then visited at most once, so the walk ends even when no preset exists.
    if (n < firstPresetId || n >= nextId)
        n = step > 0 ? firstPresetId : nextId - 1;

    for (int visited = 0; visited < numIds; ++visited)
    {
        if (n == currentId)
            return noPresetId;

        if (isFactoryPresetId (n) || isUserPresetId (n))
            return n;

        n += step;

        if (n >= nextId)
            n = firstPresetId;
        else if (n < firstPresetId)
            n = nextId - 1;
    }

    return noPresetId;
}

bool PresetManager::saveCurrentUserPreset()
{
    return currentUserPreset != nullptr && loader->saveToFile (currentUserPreset->file);
}

void PresetManager::clearModifiedMark()
{
    loader->setModifiedAndNotify (false);
}

//==============================================================================
void PresetManager::writePresetInfo (juce::ValueTree& state) const
{
    juce::String name;

    if (currentId >= 1)
    {
        if (const auto* factory = getFactoryPreset (currentId))
            name = factoryPresetPrefix + factory->name;
        else if (isUserPresetId (currentId))
            name = getUserPreset (currentId)->file.getFullPathName();
    }

    state.setProperty (loadedPresetProperty, name, nullptr);
    state.setProperty (loadedPresetModifiedProperty, name.isNotEmpty() && loader->isModified(), nullptr);
}

void PresetManager::restorePresetInfo (const juce::String& loadedPreset, bool modified)
{
    if (loadedPreset.isEmpty())
        return;

    if (loadedPreset.startsWith (factoryPresetPrefix))
    {
        if (const auto* factory =
                findFactoryPreset (loadedPreset.substring (juce::String (factoryPresetPrefix).length())))
        {
            currentId = factory->id;
            currentUserPreset = nullptr;
            loader->setModifiedAndNotify (modified);
        }

        return;
    }

    // The text comes from a host project: anything but an absolute path names no file of ours.
    UserPreset* found = nullptr;

    if (juce::File::isAbsolutePath (loadedPreset))
    {
        const juce::File file (loadedPreset);
        found = findUserPreset (file);

        if (found == nullptr)
        {
            rescanUserPresets();
            found = findUserPreset (file);
        }
    }

    if (found == nullptr)
    {
        currentUserPreset = nullptr;
        clearModifiedMark();
        currentId = newCommandId;
        return;
    }

    currentUserPreset = found;
    currentId = found->id;
    loader->setModifiedAndNotify (modified);
}

} // namespace qmrk_gui
