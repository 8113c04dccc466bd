#pragma once

#include <juce_events/juce_events.h>

#include <optional>

/** Holds the message thread between two of its messages (a juce::MessageManagerLock) while it is
    held here, when that is needed: on a thread other than the message thread while a message
    manager exists. On the message thread, or with no message manager, it does nothing.

    Hosts create, restore, save and destroy the plug-in from threads of their own, and hosts that
    attach no run loop to it leave JUCE to run its own message thread beside them, which runs the
    parameter tree's and the processor's timers over the same trees and undo history. */
class MessageThreadHold
{
public:
    MessageThreadHold() { hold(); }

    void hold()
    {
        auto* messageManager = juce::MessageManager::getInstanceWithoutCreating();
        if (!lock.has_value() && messageManager != nullptr && !messageManager->isThisTheMessageThread())
            lock.emplace();
    }

    void release() { lock.reset(); }

private:
    std::optional<juce::MessageManagerLock> lock;

    JUCE_DECLARE_NON_COPYABLE (MessageThreadHold)
};
