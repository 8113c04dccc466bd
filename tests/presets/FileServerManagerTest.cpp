#include "PresetTestSupport.h"

#include <cstdlib>
#include <optional>

namespace tw::test
{
namespace
{
/** Sets an environment variable for the scope of a test and puts the old value back. */
class ScopedEnvironment
{
public:
    ScopedEnvironment (const char* variableName, std::optional<juce::String> value)
        : name (variableName)
    {
        if (const auto* old = std::getenv (name))
            previous = juce::String::fromUTF8 (old);

        apply (value);
    }

    ~ScopedEnvironment() { apply (previous); }

private:
    void apply (const std::optional<juce::String>& value) const
    {
        if (value.has_value())
            ::setenv (name, value->toRawUTF8(), 1);
        else
            ::unsetenv (name);
    }

    const char* name;
    std::optional<juce::String> previous;

    JUCE_DECLARE_NON_COPYABLE (ScopedEnvironment)
};

constexpr const char* relativeFolder = "Quillmark/Tanglewave_v1-0";
} // namespace

TEST (FileServerManager, PluginNameTakesMajorAndMinorVersion)
{
    EXPECT_EQ (qmrk_gui::FileServerManager::makePluginName ("Tanglewave", "1.0.1"), "Tanglewave_v1-0");
    EXPECT_EQ (qmrk_gui::FileServerManager::makePluginName ("Tanglewave", "2"), "Tanglewave_v2-0");
    EXPECT_EQ (qmrk_gui::FileServerManager::makePluginName ("Tanglewave", "3.4"), "Tanglewave_v3-4");
}

#if JUCE_LINUX || JUCE_BSD
TEST (FileServerManager, LinuxLocationsFollowTheEnvironmentAndAvoidSystemFolders)
{
    const TempFolder temp;
    const auto home = temp.get().getChildFile ("home");
    const auto config = temp.get().getChildFile ("config");

    const struct
    {
        const char* what;
        std::optional<juce::String> xdgConfigHome;
        const char* existingBefore; // relative to home, or nullptr
        juce::File expectedApplicationData;
    } cases[] = {
        { "XDG_CONFIG_HOME", config.getFullPathName(), nullptr, config.getChildFile (relativeFolder) },
        { "unset", std::nullopt, nullptr, home.getChildFile (".config").getChildFile (relativeFolder) },
        { "relative", juce::String ("relative/config"), nullptr,
          home.getChildFile (".config").getChildFile (relativeFolder) },
        { "under /usr", juce::String ("/usr/share/tanglewave-test-never"), nullptr,
          home.getChildFile ("Documents").getChildFile (relativeFolder) },
        { "existing in documents", std::nullopt, "Documents/Quillmark/Tanglewave_v1-0",
          home.getChildFile ("Documents").getChildFile (relativeFolder) },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        home.deleteRecursively();
        config.deleteRecursively();
        ASSERT_TRUE (home.createDirectory().wasOk());

        if (c.existingBefore != nullptr)
        {
            ASSERT_TRUE (home.getChildFile (c.existingBefore).createDirectory().wasOk());
        }

        const ScopedEnvironment setHome ("HOME", home.getFullPathName());
        const ScopedEnvironment setConfig ("XDG_CONFIG_HOME", c.xdgConfigHome);

        const qmrk_gui::FileServerManager files ("Quillmark", "Tanglewave", "1.0.1");
        EXPECT_EQ (files.getApplicationDataFolder(), c.expectedApplicationData);
        EXPECT_EQ (files.getUserPresetFolder(), c.expectedApplicationData.getChildFile ("Presets"));
        EXPECT_TRUE (files.getUserPresetFolder().isDirectory());

        // Only the chosen location was created.
        if (c.expectedApplicationData.isAChildOf (home.getChildFile ("Documents")))
        {
            EXPECT_FALSE (home.getChildFile (".config").exists());
        }

        for (const auto& base : qmrk_gui::FileServerManager::getCandidateBases())
        {
            EXPECT_FALSE (base.getFullPathName().startsWith ("/usr") || base.getFullPathName().startsWith ("/opt"))
                << base.getFullPathName();
        }
    }

    EXPECT_FALSE (juce::File ("/usr/share/tanglewave-test-never").exists());
}

TEST (FileServerManager, NoUsableLocationGivesEmptyFolders)
{
    const TempFolder temp;
    const auto notAFolder = temp.get().getChildFile ("plain_file");
    ASSERT_TRUE (notAFolder.replaceWithText ("x"));

    const ScopedEnvironment setHome ("HOME", notAFolder.getFullPathName());
    const ScopedEnvironment setConfig ("XDG_CONFIG_HOME", notAFolder.getChildFile ("config").getFullPathName());

    const qmrk_gui::FileServerManager files ("Quillmark", "Tanglewave", "1.0.1");
    EXPECT_EQ (files.getApplicationDataFolder(), juce::File());
    EXPECT_EQ (files.getUserPresetFolder(), juce::File());

    // The preset system still works without user presets.
    FakePresetProcessor processor;
    qmrk_gui::PresetManager manager (processor, "Tw10", files.getUserPresetFolder());
    manager.setUserPresetFolder (files.getUserPresetFolder());
    EXPECT_TRUE (manager.getRootFolder()->presets.isEmpty());
    EXPECT_EQ (manager.stepPreset (+1), -1);
    EXPECT_FALSE (qmrk_gui::unpackPresetPack (temp.get().getChildFile ("x.tw10_pack"), files.getUserPresetFolder()));
}
#endif

} // namespace tw::test
