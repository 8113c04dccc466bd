#pragma once

#include "PluginProcessor.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);

namespace tw::fuzz
{
/** One processor for the whole run, created with JUCE initialised and HOME pointed at a temp folder. */
PluginProcessor& processor();

/** Renders a few blocks; traps when the output is not finite. */
void renderAndCheck (PluginProcessor& p);

} // namespace tw::fuzz
