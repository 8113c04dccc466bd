#pragma once

#include <map>
#include <memory>
#include <vector>

namespace qmrk_gui
{
/**
    Every preset the plug-in knows and which one is current: the factory library with its
    category tree, the user's preset files below the user-preset folder, and the loose preset
    file opened or saved outside it. Each preset gets a numeric id that doubles as the browser's
    menu item id; ids come from a counter and are never reused.

    Message thread only. State goes in and out through the PresetLoader.
*/
class PresetManager
{
public:
    class PresetLoader;

    /** Ids below firstPresetId are the browser's commands. */
    enum CommandId
    {
        saveCommandId = 1,
        saveAsCommandId = 2,
        openCommandId = 3,
        newCommandId = 4,
        createPackCommandId = 5,
        importPackCommandId = 6,
        showInfoCommandId = 7,
        clearSelectionCommandId = 9
    };

    static constexpr int noPresetId = -1;
    static constexpr int firstPresetId = 10;
    /** Preset files are found in the user-preset folder and its subfolders down to this depth. */
    static constexpr int maxFolderDepth = 3;

    static constexpr const char* factoryPresetPrefix = "FactoryPreset:";
    static constexpr const char* loadedPresetProperty = "LoadedPreset";
    static constexpr const char* loadedPresetModifiedProperty = "LoadedPresetModified";
    /** Separates the levels of a factory category's full name. */
    static constexpr const char* categorySeparator = "//";

    struct FactoryPreset
    {
        int id = noPresetId;
        juce::String name;
        juce::MemoryBlock data; // the scrambled preset file
    };

    struct FactoryCategory
    {
        juce::String name; // full path, e.g. "Guitar//Clean"
        juce::Array<FactoryPreset*> presets;
        juce::Array<FactoryCategory*> subcategories;
        PresetManager* owner = nullptr;

        /** The last level of the name: "Clean" for "Guitar//Clean". */
        [[nodiscard]] juce::String getShortName() const;
    };

    struct UserPreset
    {
        juce::File file;
        juce::String name; // display name
        int id = noPresetId;
    };

    struct UserPresetFolder
    {
        juce::File folder;
        juce::String name; // display name
        juce::Array<UserPreset*> presets;
        juce::Array<UserPresetFolder*> subfolders;
        PresetManager* owner = nullptr;

        /** Rebuilds the two arrays from the disk; depth is this folder's depth below the root. */
        void rescan (int depth);

        /** Adds this folder's preset files, then those of its subfolders, as stored entries named
            relative to packRoot. Files gone since the last scan are skipped; false when a listed
            file cannot be read or is too large to be a preset. */
        bool addToZip (juce::ZipFile::Builder& builder, const juce::File& packRoot) const;
    };

    /** One preset of the factory library table (see addFactoryLibrary). */
    struct FactoryPresetInfo
    {
        juce::String name;
        const void* data = nullptr; // the embedded preset file
        int sizeInBytes = 0;
        bool isDefault = false;
    };

    /** One category of the factory library table: its own presets, registered just before it,
        and the full names of subcategories that earlier rows registered. */
    struct FactoryCategoryInfo
    {
        juce::String name;
        std::vector<FactoryPresetInfo> presets;
        juce::StringArray subcategories;
        bool isRoot = false;
    };

    /** pluginCode makes the extension: "Tw10" gives ".tw10" and ".tw10_pack". A userPresetFolder
        that exists is scanned at once, so its presets take the first ids. */
    PresetManager (PresetLoader& loader, const juce::String& pluginCode, const juce::File& userPresetFolder);
    ~PresetManager();

    //==============================================================================
    // Factory library

    FactoryPreset* addFactoryPreset (const juce::String& name, const void* data, int sizeInBytes, bool isDefault);
    FactoryCategory* addCategory (const juce::String& name, const juce::Array<FactoryPreset*>& presets);
    FactoryCategory* addCategory (const juce::String& name, const juce::Array<FactoryCategory*>& subcategories);
    FactoryCategory* addCategory (const juce::String& name, const juce::Array<FactoryPreset*>& presets,
                                  const juce::Array<FactoryCategory*>& subcategories, bool isRoot);

    /** Registers a whole library table row by row: each row's presets in order, then the row's
        category. False (after registering what it could) when a row names a subcategory that no
        earlier row registered, or when the table has no root or default. */
    bool addFactoryLibrary (const std::vector<FactoryCategoryInfo>& library);

    /** The processor's start-up sequence: registers the library, makes the user-preset folder
        given at construction the root folder, loads the default preset without an undo step and
        clears the undo history. True when the default preset loaded. */
    bool initialise (const std::vector<FactoryCategoryInfo>& library);

    //==============================================================================
    // User presets

    void setUserPresetFolder (const juce::File& folder);
    /** Rescans the root folder (depth 0); nothing without one. */
    void rescanUserPresets();

    UserPreset* addUserPreset (const juce::File& file);
    UserPresetFolder* addFolder (const juce::File& folder, int depth);
    [[nodiscard]] UserPreset* findUserPreset (const juce::File& file) const;
    [[nodiscard]] bool isUserPresetFile (const juce::File& file) const;
    [[nodiscard]] bool isUserPresetId (int id) const;
    [[nodiscard]] UserPreset* getUserPreset (int id) const;
    [[nodiscard]] UserPresetFolder* findFolder (const juce::File& folder) const;
    void setLoosePreset (const juce::File& file);

    //==============================================================================
    // Current preset

    [[nodiscard]] FactoryPreset* getFactoryPreset (int id) const;
    [[nodiscard]] FactoryPreset* findFactoryPreset (const juce::String& name) const;
    [[nodiscard]] bool isFactoryPresetId (int id) const { return getFactoryPreset (id) != nullptr; }

    bool loadDefaultPreset (bool undoable);
    /** The id of the previous (direction < 0) or next preset that exists, wrapping around;
        -1 when there is none other than the current one. */
    [[nodiscard]] int stepPreset (int direction) const;
    bool saveCurrentUserPreset();

    /** Clears the loader's modified flag and tells the display when it was set. */
    void clearModifiedMark();

    /** Writes "LoadedPreset" and "LoadedPresetModified" into a state tree, without undo. */
    void writePresetInfo (juce::ValueTree& state) const;
    /** Takes back the current preset and its modified mark from a restored state. */
    void restorePresetInfo (const juce::String& loadedPreset, bool modified);

    //==============================================================================
    [[nodiscard]] const juce::String& getExtension() const noexcept { return extension; }
    [[nodiscard]] const juce::String& getPackExtension() const noexcept { return packExtension; }
    [[nodiscard]] PresetLoader& getLoader() const noexcept { return *loader; }
    [[nodiscard]] const juce::File& getUserPresetFolder() const noexcept { return userPresetFolder; }

    [[nodiscard]] int getCurrentId() const noexcept { return currentId; }
    void setCurrentId (int id) noexcept { currentId = id; }
    [[nodiscard]] UserPreset* getCurrentUserPreset() const noexcept { return currentUserPreset; }
    void setCurrentUserPreset (UserPreset* preset) noexcept { currentUserPreset = preset; }
    [[nodiscard]] UserPreset* getLoosePreset() const noexcept { return loosePreset.get(); }
    [[nodiscard]] FactoryCategory* getRootCategory() const noexcept { return rootCategory; }
    [[nodiscard]] FactoryPreset* getDefaultPreset() const noexcept { return defaultPreset; }
    [[nodiscard]] UserPresetFolder* getRootFolder() const noexcept { return rootFolder; }

private:
    juce::String extension;
    juce::String packExtension;
    PresetLoader* loader;
    juce::File userPresetFolder;
    int currentId = noPresetId;
    int nextId = firstPresetId;
    std::map<int, FactoryPreset> factoryPresets;
    FactoryPreset* defaultPreset = nullptr;
    std::map<juce::String, FactoryCategory> categories;
    FactoryCategory* rootCategory = nullptr;
    std::map<int, UserPreset> userPresets;
    std::map<juce::File, UserPreset*> userPresetsByFile;
    UserPreset* currentUserPreset = nullptr;
    std::map<juce::File, UserPresetFolder> folders;
    UserPresetFolder* rootFolder = nullptr;
    std::unique_ptr<UserPreset> loosePreset;

    JUCE_DECLARE_NON_COPYABLE (PresetManager)
};

} // namespace qmrk_gui
