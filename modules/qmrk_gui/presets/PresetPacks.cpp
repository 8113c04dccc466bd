namespace qmrk_gui
{
namespace
{
constexpr int packWriteBufferSize = 16384;

bool isSafeEntryName (const juce::String& name)
{
    if (juce::File::isAbsolutePath (name) || name.startsWithChar ('/') || name.startsWithChar ('\\') ||
        (name.length() > 1 && name[1] == ':'))
        return false;

    for (const auto& part : juce::StringArray::fromTokens (name, "/\\", {}))
        if (part == "..")
            return false;

    return true;
}

// True when a folder between root (exclusive) and file is a symbolic link: writing there could
// land anywhere.
bool leadsThroughLink (const juce::File& root, const juce::File& file)
{
    for (auto folder = file.getParentDirectory(); folder != root && folder.isAChildOf (root);
         folder = folder.getParentDirectory())
        if (folder.isSymbolicLink())
            return true;

    return false;
}

struct PlannedEntry
{
    int index = 0;
    juce::File file;
    juce::int64 size = 0;
    bool isFolder = false;
};

// Checks every entry before anything is written, so a hostile archive writes nothing.
bool planExtraction (const juce::ZipFile& zip, const juce::File& target, std::vector<PlannedEntry>& plan)
{
    const auto numEntries = zip.getNumEntries();

    if (numEntries <= 0 || numEntries > PresetPackLimits::maxEntries)
        return false;

    juce::int64 total = 0;

    for (int i = 0; i < numEntries; ++i)
    {
        const auto* entry = zip.getEntry (i);

        if (entry == nullptr || entry->isSymbolicLink)
            return false;

#if JUCE_WINDOWS
        const auto name = entry->filename;
#else
        const auto name = entry->filename.replaceCharacter ('\\', '/');
#endif

        if (name.isEmpty())
            continue;

        if (!isSafeEntryName (name))
            return false;

        PlannedEntry planned;
        planned.index = i;
        planned.file = target.getChildFile (name);
        planned.isFolder = name.endsWithChar ('/') || name.endsWithChar ('\\');
        planned.size = entry->uncompressedSize;

        if (!planned.file.isAChildOf (target) || leadsThroughLink (target, planned.file))
            return false;

        if (!planned.isFolder)
        {
            if (planned.size < 0 || planned.size > PresetPackLimits::maxEntrySize)
                return false;

            total += planned.size;

            if (total > PresetPackLimits::maxTotalSize)
                return false;
        }

        plan.push_back (planned);
    }

    return true;
}
} // namespace

//==============================================================================
bool PresetManager::UserPresetFolder::addToZip (juce::ZipFile::Builder& builder, const juce::File& packRoot) const
{
    for (const auto* preset : presets)
    {
        if (preset == nullptr || !preset->file.existsAsFile())
            continue;

        if (preset->file.getSize() > PresetFileLimits::maxPresetFileSize)
            return false;

        // Read now rather than keeping a file open per entry until the archive is written; a link
        // is packed as the preset it points to.
        juce::MemoryBlock data;

        if (!preset->file.loadFileAsData (data))
            return false;

        builder.addEntry (new juce::MemoryInputStream (std::move (data)), 0,
                          preset->file.getRelativePathFrom (packRoot), preset->file.getLastModificationTime());
    }

    for (const auto* sub : subfolders)
        if (sub != nullptr && !sub->addToZip (builder, packRoot))
            return false;

    return true;
}

bool createPresetPack (const PresetManager::UserPresetFolder& folder, const juce::File& packFile)
{
    if (packFile.getFullPathName().isEmpty() || packFile.isDirectory() || !folder.folder.isDirectory())
        return false;

    juce::ZipFile::Builder builder;

    if (!folder.addToZip (builder, folder.folder))
        return false;

    // A FileOutputStream would append to an existing pack; the archive replaces it instead, and
    // only once it has been written completely.
    juce::TemporaryFile temp (packFile, juce::TemporaryFile::useHiddenFile);

    {
        juce::FileOutputStream out (temp.getFile(), packWriteBufferSize);

        if (out.failedToOpen() || !builder.writeToStream (out, nullptr))
            return false;

        out.flush();

        if (out.getStatus().failed())
            return false;
    }

    return temp.overwriteTargetFileWithTemporary();
}

juce::File getPresetPackTarget (const juce::File& packFile, const juce::File& userPresetFolder)
{
    if (packFile.getFullPathName().isEmpty() || userPresetFolder.getFullPathName().isEmpty())
        return {};

    const auto name = packFile.getFileNameWithoutExtension();

    // A hidden folder would never be listed, and "." or ".." are no new folder at all.
    if (name.isEmpty() || name.startsWithChar ('.'))
        return {};

    const auto target = userPresetFolder.getChildFile (name);
    return target.getParentDirectory() == userPresetFolder ? target : juce::File();
}

bool unpackPresetPack (const juce::File& packFile, const juce::File& userPresetFolder)
{
    const auto target = getPresetPackTarget (packFile, userPresetFolder);

    if (target == juce::File() || !userPresetFolder.isDirectory() || !packFile.existsAsFile())
        return false;

    juce::ZipFile zip (packFile);
    std::vector<PlannedEntry> plan;

    if (!planExtraction (zip, target, plan))
        return false;

    if (!target.isDirectory() && !target.createDirectory().wasOk())
        return false;

    for (const auto& planned : plan)
    {
        if (planned.isFolder)
        {
            if (!planned.file.createDirectory().wasOk())
                return false;

            continue;
        }

        std::unique_ptr<juce::InputStream> in (zip.createStreamForEntry (planned.index));

        if (in == nullptr)
            return false;

        // Read at most one byte more than declared: a deflated entry may expand beyond its header.
        juce::MemoryBlock data;
        const auto numRead = in->readIntoMemoryBlock (data, (ssize_t) planned.size + 1);

        if ((juce::int64) numRead != planned.size)
            return false;

        if (!planned.file.getParentDirectory().createDirectory().wasOk() ||
            !replaceFileAtomically (planned.file, data.getData(), data.getSize()))
            return false;
    }

    return true;
}

} // namespace qmrk_gui
