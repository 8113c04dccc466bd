#pragma once

namespace qmrk_gui
{
/** Supplies the bit shift that scrambles preset files; one constant per product. */
class PresetShiftSource
{
public:
    virtual ~PresetShiftSource() = default;
    virtual int getPresetShift() = 0;
};

/** Limits that keep preset and pack handling bounded whatever the files on disk hold. */
struct PresetFileLimits
{
    /** Presets are about 1 KB; anything larger is not one of ours and is never read whole. */
    static constexpr juce::int64 maxPresetFileSize = 1 << 20;
    /** Shifts outside this range would either not scramble or blow the data up for nothing. */
    static constexpr int minShift = 1;
    static constexpr int maxShift = 64;

    [[nodiscard]] static constexpr bool isValidShift (int shift) noexcept
    {
        return shift >= minShift && shift <= maxShift;
    }
};

/** The blob shifted left by shift bits as a little-endian integer, in its shortest form.
    Empty when the shift is out of range or the blob holds no set bit. */
[[nodiscard]] juce::MemoryBlock scramblePresetData (const juce::MemoryBlock& blob, int shift);

/** The inverse of scramblePresetData, except that zero bytes at the end of the original blob
    do not come back. Empty when the shift is out of range. */
[[nodiscard]] juce::MemoryBlock unscramblePresetData (const juce::MemoryBlock& data, int shift);

/** Writes the bytes into a hidden file beside the target and moves it over the target only when
    every byte reached the disk, so a failed write leaves the old content in place. */
[[nodiscard]] bool replaceFileAtomically (const juce::File& file, const void* data, size_t numBytes);

/** The name a user preset file or folder shows in the browser: the file name without its last
    extension, underscores as spaces, the first character in upper case. */
[[nodiscard]] juce::String makePresetDisplayName (const juce::File& file);

} // namespace qmrk_gui
