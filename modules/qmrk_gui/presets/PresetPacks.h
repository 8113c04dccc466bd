#pragma once

namespace qmrk_gui
{
/** Limits on what an imported pack may write, whatever its headers claim. */
struct PresetPackLimits
{
    static constexpr int maxEntries = 10000;
    static constexpr juce::int64 maxEntrySize = PresetFileLimits::maxPresetFileSize;
    static constexpr juce::int64 maxTotalSize = juce::int64 (256) << 20;
};

/** Packs the preset files of a user-preset folder record and of its subfolders, as the last scan
    found them, into a ZIP archive of stored entries named relative to the folder. The archive
    replaces packFile only once it is complete. True on success. */
bool createPresetPack (const PresetManager::UserPresetFolder& folder, const juce::File& packFile);

/** The folder a pack unpacks into: userPresetFolder / the pack's name without its extension.
    An empty path when that would not be a new child of userPresetFolder. */
[[nodiscard]] juce::File getPresetPackTarget (const juce::File& packFile, const juce::File& userPresetFolder);

/** Creates the target folder if needed and extracts the pack's entries into it, overwriting
    files of the same names, stopping at the first failure. An archive with an entry that would
    land outside the target (a "../" or absolute name, a symbolic link, a path through a link),
    or that is larger than a preset pack can be, writes nothing. True when every entry was
    extracted. The caller rescans the user-preset folder. */
bool unpackPresetPack (const juce::File& packFile, const juce::File& userPresetFolder);

} // namespace qmrk_gui
