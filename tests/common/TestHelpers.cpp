#include "TestHelpers.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "PluginProcessor.h"

namespace juce
{
// JUCE's own message pump (Linux), used since modal loops are disabled in this build.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace tw::test
{
TempFolder::TempFolder()
    : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                  .getNonexistentChildFile ("tanglewave-test", {}, false))
{
    folder.createDirectory();
}

TempFolder::~TempFolder()
{
    folder.deleteRecursively();
}

IsolatedHome::IsolatedHome()
    : home (remember ("HOME"))
    , configHome (remember ("XDG_CONFIG_HOME"))
{
    setenv ("HOME", folder.get().getFullPathName().toRawUTF8(), 1);
    setenv ("XDG_CONFIG_HOME", folder.get().getChildFile (".config").getFullPathName().toRawUTF8(), 1);
}

IsolatedHome::~IsolatedHome()
{
    restore ("HOME", home);
    restore ("XDG_CONFIG_HOME", configHome);
}

IsolatedHome::Saved IsolatedHome::remember (const char* name)
{
    const auto* value = std::getenv (name);
    return value != nullptr ? Saved { true, value } : Saved {};
}

void IsolatedHome::restore (const char* name, const Saved& saved)
{
    if (saved.present)
        setenv (name, saved.value.c_str(), 1);
    else
        unsetenv (name);
}

void deliverPendingMessages()
{
    for (int i = 0; i < 1000 && juce::dispatchNextMessageOnSystemQueue (true); ++i)
    {
    }
}

void pumpMessages (int milliseconds)
{
    const auto end = juce::Time::getMillisecondCounter() + static_cast<juce::uint32> (milliseconds);
    while (juce::Time::getMillisecondCounter() < end)
        if (!juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
}

bool pumpUntil (const std::function<bool()>& condition, int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounter() + static_cast<juce::uint32> (timeoutMs);
    while (!condition())
    {
        if (juce::Time::getMillisecondCounter() > end)
            return false;
        if (!juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
    }
    return true;
}

void setParameter (PluginProcessor& processor, const juce::String& id, float plainValue)
{
    auto* parameter = processor.getModel().getParameter (id);
    ASSERT_NE (parameter, nullptr) << id;
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (plainValue));
}

} // namespace tw::test
