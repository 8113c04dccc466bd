#pragma once

#include <juce_core/juce_core.h>

#include <functional>

class PluginProcessor;

namespace tw::test
{
// A fresh folder under the system temp folder, deleted with the object.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    [[nodiscard]] const juce::File& get() const noexcept { return folder; }

private:
    juce::File folder;
};

/** Points HOME and XDG_CONFIG_HOME at an empty temp folder while it lives, so a processor finds
    no user presets and nothing touches the real user's configuration. */
class IsolatedHome
{
public:
    IsolatedHome();
    ~IsolatedHome();

    [[nodiscard]] const juce::File& get() const noexcept { return folder.get(); }

private:
    struct Saved
    {
        bool present = false;
        std::string value;
    };

    static Saved remember (const char* name);
    static void restore (const char* name, const Saved& saved);

    TempFolder folder;
    Saved home, configHome;
};

/** Delivers every message already posted (asynchronous clicks, selections, deferred calls). */
void deliverPendingMessages();

/** Runs the message loop for about the given time, delivering timers and posted messages. */
void pumpMessages (int milliseconds);

/** Runs the message loop until condition holds or about timeoutMs passed; the condition's result. */
bool pumpUntil (const std::function<bool()>& condition, int timeoutMs = 5000);

/** Sets a host parameter from its plain value (0..1, 1..12 for PLayers, 0/1 for switches). */
void setParameter (PluginProcessor& processor, const juce::String& id, float plainValue);

} // namespace tw::test
