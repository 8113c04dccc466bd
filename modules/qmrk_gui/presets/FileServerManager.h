#pragma once

namespace qmrk_gui
{
/**
    Locates the plug-in's application-data folder, "<base>/<company>/<plug-in name>", once at
    construction, and the user-preset folder "Presets" inside it. An existing folder under any
    candidate base wins; otherwise the first candidate that can be created. When none can be
    used both folders are empty paths and the plug-in works without user presets.

    On Linux nothing is ever created under /usr or /opt: the bases are $XDG_CONFIG_HOME (when set
    and absolute, else ~/.config), the documents folder and the home folder.
*/
class FileServerManager
{
public:
    static constexpr const char* presetFolderName = "Presets";
    static constexpr int createAttempts = 5;
    static constexpr int createRetryDelayMs = 100;

    /** companyName "Quillmark", productName "Tanglewave" and version "1.0.1" give the folder
        "Quillmark/Tanglewave_v1-0". */
    FileServerManager (const juce::String& companyName, const juce::String& productName, const juce::String& version);

    /** "Tanglewave" and "1.0.1" give "Tanglewave_v1-0": major and minor version only. */
    [[nodiscard]] static juce::String makePluginName (const juce::String& productName, const juce::String& version);

    /** The bases to try, in order, for this platform and environment. */
    [[nodiscard]] static juce::Array<juce::File> getCandidateBases();

    /** Creates the folder, trying a few times; the tries end early when the calling thread has
        been asked to stop. True when the folder exists afterwards. */
    static bool createFolder (const juce::File& folder);

    [[nodiscard]] const juce::String& getCompanyFolderName() const noexcept { return companyFolderName; }
    [[nodiscard]] const juce::String& getPluginFolderName() const noexcept { return pluginFolderName; }
    [[nodiscard]] const juce::File& getApplicationDataFolder() const noexcept { return applicationDataFolder; }
    [[nodiscard]] const juce::File& getUserPresetFolder() const noexcept { return userPresetFolder; }

private:
    juce::String companyFolderName; // "Quillmark"
    juce::String pluginFolderName;  // "Tanglewave_v1-0"
    juce::File applicationDataFolder;
    juce::File userPresetFolder;

    JUCE_DECLARE_NON_COPYABLE (FileServerManager)
};

} // namespace qmrk_gui
