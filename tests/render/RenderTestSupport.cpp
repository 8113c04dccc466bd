#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace tw::render::test
{
namespace
{
/** The processor looks for user presets under HOME/XDG_CONFIG_HOME: keep it in a folder of ours. */
class IsolatedConfigEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        home = std::make_unique<tw::test::TempFolder>();
        const auto config = home->get().getChildFile (".config");
        config.createDirectory();
        ::setenv ("HOME", home->get().getFullPathName().toRawUTF8(), 1);
        ::setenv ("XDG_CONFIG_HOME", config.getFullPathName().toRawUTF8(), 1);
    }

    void TearDown() override { home.reset(); }

private:
    std::unique_ptr<tw::test::TempFolder> home;
};

[[maybe_unused]] const auto* const isolatedConfig =
    ::testing::AddGlobalTestEnvironment (new IsolatedConfigEnvironment());
} // namespace

RunResult run (const juce::StringArray& args, const RunContext& context)
{
    std::ostringstream out, err;
    RunResult result;
    result.exitCode = runRenderer (args, out, err, context);
    result.out = out.str();
    result.err = err.str();
    return result;
}

std::optional<Audio> readAudio (const juce::File& file)
{
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
    if (reader == nullptr)
        return std::nullopt;

    Audio audio;
    audio.sampleRate = reader->sampleRate;
    audio.bitsPerSample = static_cast<int> (reader->bitsPerSample);
    audio.isFloat = reader->usesFloatingPointData;
    audio.formatName = reader->getFormatName();
    audio.buffer.setSize (static_cast<int> (reader->numChannels), static_cast<int> (reader->lengthInSamples));
    reader->read (&audio.buffer, 0, audio.buffer.getNumSamples(), 0, true, true);
    return audio;
}

void writeAudio (const juce::File& file, const juce::AudioBuffer<float>& buffer, double sampleRate, int bits)
{
    file.deleteFile();
    std::unique_ptr<juce::AudioFormat> format;
    if (file.hasFileExtension ("aif;aiff"))
        format = std::make_unique<juce::AiffAudioFormat>();
    else
        format = std::make_unique<juce::WavAudioFormat>();

    auto stream = file.createOutputStream();
    ASSERT_NE (stream, nullptr);
    std::unique_ptr<juce::AudioFormatWriter> writer (format->createWriterFor (
        stream.get(), sampleRate, static_cast<unsigned int> (buffer.getNumChannels()), bits, {}, 0));
    ASSERT_NE (writer, nullptr);
    stream.release();
    ASSERT_TRUE (writer->writeFromAudioSampleBuffer (buffer, 0, buffer.getNumSamples()));
}

juce::AudioBuffer<float> makeTestSignal (int numChannels, int numSamples, double sampleRate)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);
    const auto burstLength = juce::jmax (1, static_cast<int> (sampleRate * 0.05));

    for (int ch = 0; ch < numChannels; ++ch)
    {
        const auto frequency = 220.0 * (ch + 1) + 37.0;
        auto* data = buffer.getWritePointer (ch);
        for (int i = 0; i < numSamples; ++i)
        {
            const auto t = i / sampleRate;
            const auto envelope = std::exp (-static_cast<double> (i % burstLength) / (0.2 * burstLength));
            data[i] =
                static_cast<float> (0.45 * envelope * std::sin (juce::MathConstants<double>::twoPi * frequency * t));
        }
    }
    return buffer;
}

float maxDifference (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    if (a.getNumChannels() != b.getNumChannels() || a.getNumSamples() != b.getNumSamples())
        return std::numeric_limits<float>::infinity();

    float difference = 0.0f;
    for (int ch = 0; ch < a.getNumChannels(); ++ch)
        for (int i = 0; i < a.getNumSamples(); ++i)
            difference = juce::jmax (difference, std::abs (a.getSample (ch, i) - b.getSample (ch, i)));
    return difference;
}

juce::StringArray listFolder (const juce::File& folder)
{
    juce::StringArray names;
    for (const auto& file : folder.findChildFiles (juce::File::findFilesAndDirectories, false, "*"))
        names.add (file.getFileName());
    names.sort (false);
    return names;
}

juce::String path (const juce::File& file)
{
    return file.getFullPathName();
}

} // namespace tw::render::test
