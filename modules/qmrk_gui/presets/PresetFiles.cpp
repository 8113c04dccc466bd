namespace qmrk_gui
{
juce::MemoryBlock scramblePresetData (const juce::MemoryBlock& blob, int shift)
{
    if (!PresetFileLimits::isValidShift (shift))
        return {};

    juce::BigInteger value;
    value.loadFromMemoryBlock (blob);
    value.shiftBits (shift, 0);
    return value.toMemoryBlock();
}

juce::MemoryBlock unscramblePresetData (const juce::MemoryBlock& data, int shift)
{
    if (!PresetFileLimits::isValidShift (shift))
        return {};

    juce::BigInteger value;
    value.loadFromMemoryBlock (data);
    value.shiftBits (-shift, 0);
    return value.toMemoryBlock();
}

bool replaceFileAtomically (const juce::File& file, const void* data, size_t numBytes)
{
    if (file.getFullPathName().isEmpty() || file.isDirectory() || (data == nullptr && numBytes > 0))
        return false;

    juce::TemporaryFile temp (file, juce::TemporaryFile::useHiddenFile);

    {
        juce::FileOutputStream out (temp.getFile());

        if (out.failedToOpen())
            return false;

        if (numBytes > 0 && !out.write (data, numBytes))
            return false;

        out.flush();

        if (out.getStatus().failed())
            return false;
    }

    // File::replaceWithData would move a short temporary file over the target all the same.
    if (temp.getFile().getSize() != (juce::int64) numBytes)
        return false;

    return temp.overwriteTargetFileWithTemporary();
}

juce::String makePresetDisplayName (const juce::File& file)
{
    const auto path = file.getFullPathName();
    const auto separator = path.lastIndexOfChar (juce::File::getSeparatorChar());
    const auto dot = path.lastIndexOfChar ('.');

    auto name = separator + 1 < dot ? path.substring (separator + 1, dot) : path.substring (separator + 1);
    name = name.replaceCharacter ('_', ' ');
    return name.substring (0, 1).toUpperCase() + name.substring (1);
}

} // namespace qmrk_gui
