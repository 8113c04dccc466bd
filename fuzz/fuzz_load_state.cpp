// Preset data from files or resources goes through loadState: any bytes must be safe.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    auto& p = tw::fuzz::processor();
    const auto undoable = size > 0 && (data[0] & 1) != 0;

    if (p.loadState (juce::MemoryBlock (data, size), undoable) && undoable)
        p.getModel().getUndoManager().undo();

    tw::fuzz::renderAndCheck (p);
    return 0;
}
