// Paints the editor of a freshly constructed processor into a PNG file, without a window.
//
//   tanglewave-screenshot <output.png> [--scale <1..4>]

#include "PluginEditor.h"
#include "PluginProcessor.h"

#include <cstdlib>
#include <iostream>

namespace
{
constexpr const char* usage = "usage: tanglewave-screenshot <output.png> [--scale <1..4>]";

/** Points HOME and XDG_CONFIG_HOME at a fresh temp folder, so the user's own presets stay out of
    the picture and nothing is written into the real home. */
class TemporaryHome
{
public:
    TemporaryHome()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getNonexistentChildFile ("tanglewave-screenshot", {}, false))
    {
        folder.createDirectory();
        setenv ("HOME", folder.getFullPathName().toRawUTF8(), 1);
        setenv ("XDG_CONFIG_HOME", folder.getChildFile (".config").getFullPathName().toRawUTF8(), 1);
    }

    ~TemporaryHome() { folder.deleteRecursively(); }

private:
    juce::File folder;
};

juce::Image paintEditor (float scale)
{
    PluginProcessor processor;

    // The processor starts on "Default"; loading it again makes sure of it.
    if (!processor.getPresetManager().loadDefaultPreset (false))
        return {};

    PluginEditor editor (processor);

    // The hint line as it reads with the mouse away from every control.
    editor.getHintLine().stopPolling();
    editor.getHintLine().showHintFor (nullptr);

    return editor.createComponentSnapshot (editor.getLocalBounds(), true, scale);
}

bool writePng (const juce::Image& image, const juce::File& file)
{
    if (!file.getParentDirectory().createDirectory())
        return false;

    juce::MemoryOutputStream data;
    juce::PNGImageFormat png;

    if (!png.writeImageToStream (image, data))
        return false;

    return file.replaceWithData (data.getData(), data.getDataSize());
}

} // namespace

int main (int argc, char** argv)
{
    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    auto scale = 1.0f;
    juce::String output;

    for (int i = 0; i < args.size(); ++i)
    {
        if (args[i] == "--scale" && i + 1 < args.size())
            scale = args[++i].getFloatValue();
        else if (output.isEmpty() && !args[i].startsWith ("-"))
            output = args[i];
        else
        {
            std::cerr << usage << std::endl;
            return 2;
        }
    }

    if (output.isEmpty() || !(scale >= 1.0f && scale <= 4.0f))
    {
        std::cerr << usage << std::endl;
        return 2;
    }

    const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (output);
    TemporaryHome home;
    const juce::ScopedJuceInitialiser_GUI juceInitialiser;

    const auto image = paintEditor (scale);

    if (!image.isValid())
    {
        std::cerr << "could not build the editor with the default preset" << std::endl;
        return 1;
    }

    if (!writePng (image, file))
    {
        std::cerr << "could not write " << file.getFullPathName() << std::endl;
        return 1;
    }

    std::cout << file.getFullPathName() << " (" << image.getWidth() << " x " << image.getHeight() << ")" << std::endl;
    return 0;
}
