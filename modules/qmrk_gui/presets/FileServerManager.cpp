namespace qmrk_gui
{
namespace
{
#if JUCE_LINUX || JUCE_BSD
bool isUnderSystemFolder (const juce::File& folder)
{
    for (const auto* system : { "/usr", "/opt" })
    {
        const juce::File systemFolder (system);

        if (folder == systemFolder || folder.isAChildOf (systemFolder))
            return true;
    }

    return false;
}
#endif
} // namespace

FileServerManager::FileServerManager (const juce::String& companyName, const juce::String& productName,
                                      const juce::String& version)
    : companyFolderName (companyName.replaceCharacter (' ', '_'))
    , pluginFolderName (makePluginName (productName, version).replaceCharacter (' ', '_'))
{
    juce::Array<juce::File> candidates;

    for (const auto& base : getCandidateBases())
        candidates.add (base.getChildFile (companyFolderName).getChildFile (pluginFolderName));

    for (const auto& candidate : candidates)
    {
        if (candidate.isDirectory())
        {
            applicationDataFolder = candidate;
            break;
        }
    }

    if (applicationDataFolder == juce::File())
    {
        for (const auto& candidate : candidates)
        {
            if (createFolder (candidate))
            {
                applicationDataFolder = candidate;
                break;
            }
        }
    }

    if (applicationDataFolder == juce::File())
        return;

    const auto presets = applicationDataFolder.getChildFile (presetFolderName);

    if (presets.isDirectory() || createFolder (presets))
        userPresetFolder = presets;
}

juce::String FileServerManager::makePluginName (const juce::String& productName, const juce::String& version)
{
    auto parts = juce::StringArray::fromTokens (version, ".", {});

    while (parts.size() < 2)
        parts.add ("0");

    return productName + "_v" + parts[0] + "-" + parts[1];
}

juce::Array<juce::File> FileServerManager::getCandidateBases()
{
    juce::Array<juce::File> bases;

#if JUCE_LINUX || JUCE_BSD
    const auto configHome = juce::SystemStats::getEnvironmentVariable ("XDG_CONFIG_HOME", {});
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);

    const auto addBase = [&bases] (const juce::File& base)
    {
        if (base.getFullPathName().isNotEmpty() && !isUnderSystemFolder (base))
            bases.addIfNotAlreadyThere (base);
    };

    if (configHome.isNotEmpty() && configHome.startsWithChar ('/'))
        addBase (juce::File (configHome));
    else if (home.getFullPathName().startsWithChar ('/'))
        addBase (home.getChildFile (".config"));

    if (home.getFullPathName().startsWithChar ('/'))
    {
        addBase (juce::File::getSpecialLocation (juce::File::userDocumentsDirectory));
        addBase (home);
    }
#else
    for (const auto type : { juce::File::globalApplicationsDirectory, juce::File::commonApplicationDataDirectory,
                             juce::File::commonDocumentsDirectory, juce::File::userApplicationDataDirectory,
                             juce::File::userDocumentsDirectory, juce::File::userHomeDirectory })
    {
        const auto base = juce::File::getSpecialLocation (type);

        if (base.getFullPathName().isNotEmpty())
            bases.addIfNotAlreadyThere (base);
    }
#endif

    return bases;
}

bool FileServerManager::createFolder (const juce::File& folder)
{
    if (folder.getFullPathName().isEmpty())
        return false;

    for (int attempt = 0; attempt < createAttempts; ++attempt)
    {
        if (folder.createDirectory().wasOk() && folder.isDirectory())
            return true;

        if (attempt + 1 == createAttempts || juce::Thread::currentThreadShouldExit())
            break;

        juce::Thread::sleep (createRetryDelayMs);
    }

    return folder.isDirectory();
}

} // namespace qmrk_gui
