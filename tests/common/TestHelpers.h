#pragma once

#include <juce_core/juce_core.h>

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

/** Runs the message loop for about the given time, delivering timers and posted messages. */
void pumpMessages (int milliseconds);

} // namespace tw::test
