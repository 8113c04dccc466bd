// Writes seed corpora for the fuzzers: state blobs for setState, preset files for loadState.
#include "FactoryLibrary.h"
#include "FuzzSupport.h"

int main (int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf (stderr, "usage: tw_fuzz_seeds SET_STATE_DIR LOAD_STATE_DIR\n");
        return 2;
    }

    const juce::File stateDir (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    const juce::File presetDir (juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]));
    stateDir.createDirectory();
    presetDir.createDirectory();

    auto& p = tw::fuzz::processor();
    int index = 0;

    for (const auto& category : FactoryLibrary::get())
        for (const auto& preset : category.presets)
        {
            const juce::MemoryBlock scrambled (preset.data, static_cast<size_t> (preset.sizeInBytes));
            presetDir.getChildFile ("preset_" + juce::String (index))
                .replaceWithData (scrambled.getData(), scrambled.getSize());

            if (p.loadState (scrambled, false))
            {
                juce::MemoryBlock blob;
                p.getState (blob, (index % 2) == 0);
                stateDir.getChildFile ("state_" + juce::String (index))
                    .replaceWithData (blob.getData(), blob.getSize());
            }
            ++index;
        }

    std::printf ("wrote %d seeds\n", index);
    return 0;
}
