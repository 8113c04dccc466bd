#include "Renderer.h"

#include "DemoSignal.h"
#include "PluginProcessor.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace tw::render
{
namespace
{
using FactoryPreset = qmrk_gui::PresetManager::FactoryPreset;
using FactoryCategory = qmrk_gui::PresetManager::FactoryCategory;

constexpr int wavDefaultBits = 32; // float
constexpr int aiffDefaultBits = 24;
constexpr int progressBarWidth = 40;
// The category tree is built from rows that only name earlier rows; this bounds a malformed one.
constexpr int maxCategoryDepth = 16;

struct Failure
{
    juce::String message;
    int exitCode = exitFailure;
};

using Outcome = std::optional<Failure>;

Failure usageError (const juce::String& message)
{
    return { message, exitUsage };
}

juce::String quoted (const juce::String& text)
{
    return "'" + text + "'";
}

struct Options
{
    bool help = false;
    bool listPresets = false;
    bool listParameters = false;
    juce::StringArray files;
    std::optional<juce::String> presetName;
    std::optional<juce::String> presetFile;
    juce::StringArray settings;
    int blockSize = defaultBlockSize;
    double tailSeconds = defaultTailSeconds;
    int bitDepth = 0; // 0: the output format's default
};

/** The whole text as a finite number, or nothing. */
std::optional<double> parseNumber (const juce::String& text)
{
    const auto s = text.trim().toStdString();
    if (s.empty())
        return std::nullopt;

    char* end = nullptr;
    const auto value = std::strtod (s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite (value))
        return std::nullopt;
    return value;
}

/** The whole text as a whole number (digits only, optional sign), or nothing. */
std::optional<int> parseWholeNumber (const juce::String& text)
{
    auto s = text.trim();
    const auto negative = s.startsWithChar ('-');
    if (negative || s.startsWithChar ('+'))
        s = s.substring (1);
    if (s.isEmpty() || s.length() > 9 || !s.containsOnly ("0123456789"))
        return std::nullopt;
    return negative ? -s.getIntValue() : s.getIntValue();
}

Outcome parseArguments (const juce::StringArray& args, Options& options)
{
    static const juce::StringArray flags { "--help", "-h", "--list-presets", "--list-parameters" };
    static const juce::StringArray valued { "--preset", "--preset-file", "--set", "--block", "--tail", "--bits" };
    auto filesOnly = false;

    for (int i = 0; i < args.size(); ++i)
    {
        const auto& arg = args[i];

        if (filesOnly || !arg.startsWithChar ('-') || arg == "-")
        {
            options.files.add (arg);
            continue;
        }
        if (arg == "--")
        {
            filesOnly = true;
            continue;
        }

        auto name = arg;
        juce::String value;
        auto hasValue = false;
        if (arg.startsWith ("--") && arg.containsChar ('='))
        {
            name = arg.upToFirstOccurrenceOf ("=", false, false);
            value = arg.fromFirstOccurrenceOf ("=", false, false);
            hasValue = true;
        }

        if (flags.contains (name))
        {
            if (hasValue)
                return usageError (name + " takes no value");
            options.help = options.help || name == "--help" || name == "-h";
            options.listPresets = options.listPresets || name == "--list-presets";
            options.listParameters = options.listParameters || name == "--list-parameters";
            continue;
        }

        if (!valued.contains (name))
            return usageError ("unknown option " + quoted (arg) + " (see --help)");

        if (!hasValue)
        {
            if (i + 1 >= args.size())
                return usageError (name + " needs a value");
            value = args[++i];
        }

        if (name == "--preset")
        {
            if (value.trim().isEmpty())
                return usageError ("--preset needs a preset name (see --list-presets)");
            options.presetName = value.trim();
        }
        else if (name == "--preset-file")
        {
            if (value.isEmpty())
                return usageError ("--preset-file needs a file");
            options.presetFile = value;
        }
        else if (name == "--set")
        {
            if (!value.containsChar ('=') || value.upToFirstOccurrenceOf ("=", false, false).trim().isEmpty())
                return usageError ("--set needs ID=VALUE, not " + quoted (value));
            options.settings.add (value);
        }
        else if (name == "--block")
        {
            const auto n = parseWholeNumber (value);
            if (!n || *n < 1 || *n > maxBlockSize)
                return usageError ("--block needs a whole number of samples from 1 to " + juce::String (maxBlockSize) +
                                   ", not " + quoted (value));
            options.blockSize = *n;
        }
        else if (name == "--tail")
        {
            const auto seconds = parseNumber (value);
            if (!seconds || *seconds < 0.0 || *seconds > maxTailSeconds)
                return usageError ("--tail needs a number of seconds from 0 to " + juce::String (maxTailSeconds) +
                                   ", not " + quoted (value));
            options.tailSeconds = *seconds;
        }
        else if (name == "--bits")
        {
            const auto bits = parseWholeNumber (value);
            if (!bits || (*bits != 16 && *bits != 24 && *bits != 32))
                return usageError ("--bits needs 16, 24 or 32, not " + quoted (value));
            options.bitDepth = *bits;
        }
    }

    if (options.presetName && options.presetFile)
        return usageError ("give either --preset or --preset-file, not both");

    return std::nullopt;
}

juce::File resolve (const juce::String& path)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile (path);
}

bool isFlac (const juce::File& file)
{
    return file.hasFileExtension ("flac;fla");
}

//==============================================================================
/** Where the samples come from: an audio file or the built-in demo. */
class InputSignal
{
public:
    virtual ~InputSignal() = default;
    [[nodiscard]] virtual int getNumChannels() const = 0;
    [[nodiscard]] virtual double getSampleRate() const = 0;
    [[nodiscard]] virtual juce::int64 getLength() const = 0;
    /** Fills the first numSamples samples of every channel of dest from position start. */
    virtual bool read (juce::AudioBuffer<float>& dest, int numSamples, juce::int64 start) = 0;
    [[nodiscard]] virtual juce::String describe() const = 0;
};

class DemoInput final : public InputSignal
{
public:
    DemoInput()
        : signal (makeDemoSignal (demoSampleRate))
    {
    }

    int getNumChannels() const override { return signal.getNumChannels(); }
    double getSampleRate() const override { return demoSampleRate; }
    juce::int64 getLength() const override { return signal.getNumSamples(); }
    juce::String describe() const override { return "the demo signal"; }

    bool read (juce::AudioBuffer<float>& dest, int numSamples, juce::int64 start) override
    {
        for (int ch = 0; ch < dest.getNumChannels(); ++ch)
            dest.copyFrom (ch, 0, signal, ch, static_cast<int> (start), numSamples);
        return true;
    }

private:
    juce::AudioBuffer<float> signal;
};

class FileInput final : public InputSignal
{
public:
    FileInput (std::unique_ptr<juce::AudioFormatReader> r, juce::int64 numSamples, juce::String name)
        : reader (std::move (r))
        , length (numSamples)
        , displayName (std::move (name))
    {
    }

    int getNumChannels() const override { return static_cast<int> (reader->numChannels); }
    double getSampleRate() const override { return reader->sampleRate; }
    juce::int64 getLength() const override { return length; }
    juce::String describe() const override { return quoted (displayName); }

    bool read (juce::AudioBuffer<float>& dest, int numSamples, juce::int64 start) override
    {
        return reader->read (&dest, 0, numSamples, start, true, true);
    }

private:
    std::unique_ptr<juce::AudioFormatReader> reader;
    juce::int64 length;
    juce::String displayName;
};

Outcome openInput (const juce::String& path, juce::AudioFormatManager& formats, std::unique_ptr<InputSignal>& input)
{
    const auto file = resolve (path);
    const auto cannotRead = "cannot read " + quoted (path) + ": ";

    if (file.isDirectory())
        return Failure { cannotRead + "it is a folder" };
    if (!file.existsAsFile())
        return Failure { cannotRead + "no such file" };

    auto stream = file.createInputStream();
    if (stream == nullptr)
        return Failure { cannotRead + "it cannot be opened" };

    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (std::move (stream)));
    if (reader == nullptr)
        return Failure { cannotRead + (isFlac (file) ? "FLAC is not available in this build; convert it to WAV or AIFF"
                                                     : "not a WAV or AIFF file this build can decode") };

    if (reader->numChannels != 1 && reader->numChannels != 2)
        return Failure { quoted (path) + " has " + juce::String (reader->numChannels) +
                         " channels; only mono and stereo files are supported" };

    if (!(reader->sampleRate >= minSampleRate && reader->sampleRate <= maxSampleRate))
        return Failure { quoted (path) + " has a sample rate of " + juce::String (reader->sampleRate) +
                         " Hz; supported are " + juce::String (minSampleRate) + " to " + juce::String (maxSampleRate) +
                         " Hz" };

    // A header may promise more frames than the file can hold; never render past the real data.
    auto length = juce::jmax (juce::int64 { 0 }, reader->lengthInSamples);
    const auto bytesPerFrame = static_cast<juce::int64> (reader->numChannels) * reader->bitsPerSample / 8;
    if (bytesPerFrame > 0)
        length = juce::jmin (length, file.getSize() / bytesPerFrame);

    input = std::make_unique<FileInput> (std::move (reader), length, path);
    return std::nullopt;
}

//==============================================================================
/** Peak and RMS over every channel of everything added. */
class Level
{
public:
    void add (const juce::AudioBuffer<float>& buffer, int numSamples) noexcept
    {
        for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        {
            const auto* data = buffer.getReadPointer (ch);
            for (int i = 0; i < numSamples; ++i)
            {
                peak = juce::jmax (peak, std::abs (data[i]));
                sumOfSquares += static_cast<double> (data[i]) * data[i];
            }
            count += numSamples;
        }
    }

    [[nodiscard]] juce::String describe() const
    {
        const auto rms = count > 0 ? std::sqrt (sumOfSquares / static_cast<double> (count)) : 0.0;
        return "peak " + decibels (peak) + ", RMS " + decibels (rms);
    }

    [[nodiscard]] float getPeak() const noexcept { return peak; }

private:
    static juce::String decibels (double gain)
    {
        return gain > 0.0 ? juce::String (20.0 * std::log10 (gain), 1) + " dBFS" : juce::String ("-inf dBFS");
    }

    float peak = 0.0f;
    double sumOfSquares = 0.0;
    juce::int64 count = 0;
};

/** A bar redrawn in place on a terminal; wiped when it goes away so messages start on a clean line. */
class ProgressBar
{
public:
    ProgressBar (std::ostream& s, bool isEnabled)
        : stream (s)
        , enabled (isEnabled)
    {
    }

    ~ProgressBar()
    {
        if (lastPercent >= 0)
            stream << '\r' << std::string (progressBarWidth + 8, ' ') << '\r' << std::flush;
    }

    void update (juce::int64 done, juce::int64 total)
    {
        if (!enabled || total <= 0)
            return;

        const auto percent = static_cast<int> (100 * done / total);
        if (percent == lastPercent)
            return;

        lastPercent = percent;
        const auto filled = static_cast<size_t> (progressBarWidth * done / total);
        stream << "\r[" << std::string (filled, '#') << std::string (progressBarWidth - filled, '-') << "] "
               << juce::String (percent).paddedLeft (' ', 3) << '%' << std::flush;
    }

private:
    std::ostream& stream;
    bool enabled;
    int lastPercent = -1;
};

bool allFinite (const juce::AudioBuffer<float>& buffer, int numSamples) noexcept
{
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
    {
        const auto* data = buffer.getReadPointer (ch);
        for (int i = 0; i < numSamples; ++i)
            if (!std::isfinite (data[i]))
                return false;
    }
    return true;
}

//==============================================================================
// Presets and parameters

template <typename Visitor>
void visitCategory (const FactoryCategory& category, int depth, Visitor&& visit)
{
    if (depth >= maxCategoryDepth)
        return;

    visit (category, depth);
    for (const auto* sub : category.subcategories)
        if (sub != nullptr)
            visitCategory (*sub, depth + 1, visit);
}

juce::Array<FactoryPreset*> allFactoryPresets (const qmrk_gui::PresetManager& manager)
{
    juce::Array<FactoryPreset*> presets;
    if (const auto* root = manager.getRootCategory())
        visitCategory (*root, 0,
                       [&] (const FactoryCategory& category, int)
                       {
                           for (auto* preset : category.presets)
                               if (preset != nullptr)
                                   presets.addIfNotAlreadyThere (preset);
                       });
    return presets;
}

void listPresets (const qmrk_gui::PresetManager& manager, std::ostream& out)
{
    const auto* root = manager.getRootCategory();
    if (root == nullptr)
    {
        out << "No factory presets in this build.\n";
        return;
    }

    const auto* defaultPreset = manager.getDefaultPreset();
    // The root's own presets and subcategories sit at the left margin.
    visitCategory (*root, 0,
                   [&] (const FactoryCategory& category, int depth)
                   {
                       const auto indent = juce::String::repeatedString ("  ", juce::jmax (0, depth - 1));
                       if (depth > 0)
                           out << indent << category.getShortName() << "/\n";

                       const auto presetIndent = juce::String::repeatedString ("  ", depth);
                       for (const auto* preset : category.presets)
                           if (preset != nullptr)
                               out << presetIndent << preset->name << (preset == defaultPreset ? "  (default)" : "")
                                   << '\n';
                   });
}

Outcome loadNamedPreset (PluginProcessor& processor, const juce::String& name, juce::String& loadedName)
{
    auto& manager = processor.getPresetManager();
    const auto presets = allFactoryPresets (manager);

    for (auto* preset : presets)
    {
        if (!preset->name.equalsIgnoreCase (name))
            continue;

        if (!processor.loadState (preset->data, false))
            return Failure { "the factory preset " + quoted (preset->name) + " could not be loaded" };

        manager.setCurrentId (preset->id);
        manager.setCurrentUserPreset (nullptr);
        manager.clearModifiedMark();
        loadedName = preset->name;
        return std::nullopt;
    }

    juce::StringArray similar;
    for (const auto* preset : presets)
        if (preset->name.containsIgnoreCase (name) && similar.size() < 3)
            similar.add ("\"" + preset->name + "\"");

    return Failure { "unknown preset " + quoted (name) +
                     (similar.isEmpty() ? juce::String() : " (did you mean " + similar.joinIntoString (", ") + "?)") +
                     "; see --list-presets" };
}

Outcome loadPresetFile (PluginProcessor& processor, const juce::String& path)
{
    const auto file = resolve (path);
    if (!file.existsAsFile())
        return Failure { "cannot read preset file " + quoted (path) + ": no such file" };
    if (!processor.loadFromFile (file))
        return Failure { quoted (path) + " is not a Tanglewave preset file" };
    return std::nullopt;
}

juce::String describeRange (const juce::RangedAudioParameter& parameter, ParameterType type)
{
    if (ModelTree::isSwitch (type))
        return "on/off";

    const auto& range = parameter.getNormalisableRange();
    const auto bounds = juce::String (range.start) + ".." + juce::String (range.end);
    if (type == PLayers)
        return bounds + " whole";
    return bounds + " step " + juce::String (range.interval);
}

juce::String describeValue (const juce::RangedAudioParameter& parameter, ParameterType type)
{
    const auto value = parameter.convertFrom0to1 (parameter.getValue());
    if (ModelTree::isSwitch (type))
        return value >= 0.5f ? "on" : "off";
    if (type == PLayers)
        return juce::String (juce::roundToInt (value));
    return juce::String (value, 2);
}

void listParameters (PluginProcessor& processor, std::ostream& out)
{
    const auto column = [] (const juce::String& text, int width) { return text.paddedRight (' ', width) + " "; };

    out << column ("Identifier", 17) << column ("Value", 6) << column ("Range", 16) << "Label\n";
    for (const auto& ref : ModelTree::hostOrder())
    {
        const auto id = ModelTree::getParameterID (ref.type, ref.stage);
        const auto* parameter = processor.getModel().getParameter (id);
        if (parameter == nullptr)
            continue;

        out << column (id, 17) << column (describeValue (*parameter, ref.type), 6)
            << column (describeRange (*parameter, ref.type), 16) << processor.getLabelText (ref.type, ref.stage)
            << '\n';
    }
}

std::optional<bool> parseSwitch (const juce::String& text)
{
    const auto t = text.trim().toLowerCase();
    if (t == "on" || t == "1" || t == "true")
        return true;
    if (t == "off" || t == "0" || t == "false")
        return false;
    return std::nullopt;
}

Outcome applySetting (PluginProcessor& processor, const juce::String& setting)
{
    const auto requested = setting.upToFirstOccurrenceOf ("=", false, false).trim();
    const auto text = setting.fromFirstOccurrenceOf ("=", false, false).trim();

    for (const auto& ref : ModelTree::hostOrder())
    {
        const auto id = ModelTree::getParameterID (ref.type, ref.stage);
        if (!id.equalsIgnoreCase (requested))
            continue;

        auto* parameter = processor.getModel().getParameter (id);
        if (parameter == nullptr)
            break;

        const auto& range = parameter->getNormalisableRange();
        float value = 0.0f;

        if (ModelTree::isSwitch (ref.type))
        {
            const auto on = parseSwitch (text);
            if (!on)
                return Failure { "value " + quoted (text) + " for " + id +
                                 " must be on or off (also 1/0, true/false)" };
            value = *on ? range.end : range.start;
        }
        else if (ref.type == PLayers)
        {
            const auto layers = parseWholeNumber (text);
            if (!layers || static_cast<float> (*layers) < range.start || static_cast<float> (*layers) > range.end)
                return Failure { "value " + quoted (text) + " for " + id +
                                 " is out of range: give a whole number from " + juce::String (range.start) + " to " +
                                 juce::String (range.end) };
            value = static_cast<float> (*layers);
        }
        else
        {
            const auto number = parseNumber (text);
            if (!number || *number < range.start || *number > range.end)
                return Failure { "value " + quoted (text) + " for " + id + " is out of range: give a host value from " +
                                 juce::String (range.start) + " to " + juce::String (range.end) };
            value = static_cast<float> (*number);
        }

        parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
        return std::nullopt;
    }

    return Failure { "unknown parameter " + quoted (requested) + "; see --list-parameters" };
}

/** Loads the preset the options name (or keeps the default) and applies every --set after it. */
Outcome configure (PluginProcessor& processor, const Options& options, juce::String& presetName)
{
    if (options.presetName)
    {
        if (auto failure = loadNamedPreset (processor, *options.presetName, presetName))
            return failure;
    }
    else if (options.presetFile)
    {
        if (auto failure = loadPresetFile (processor, *options.presetFile))
            return failure;
        presetName = resolve (*options.presetFile).getFileName();
    }
    else
    {
        const auto& manager = processor.getPresetManager();
        const auto* current = manager.getFactoryPreset (manager.getCurrentId());
        presetName = current != nullptr ? current->name : juce::String ("built-in defaults");
    }

    for (const auto& setting : options.settings)
        if (auto failure = applySetting (processor, setting))
            return failure;

    return std::nullopt;
}

//==============================================================================
// Rendering

struct OutputTarget
{
    juce::File file;
    juce::AudioFormat* format = nullptr;
    int bitDepth = 0;
};

Outcome checkOutput (const juce::String& path, int requestedBits, juce::AudioFormatManager& formats,
                     OutputTarget& target)
{
    target.file = resolve (path);
    const auto cannotWrite = "cannot write " + quoted (path) + ": ";

    if (target.file.isDirectory())
        return Failure { cannotWrite + "it is a folder" };

    const auto folder = target.file.getParentDirectory();
    if (!folder.isDirectory())
        return Failure { cannotWrite + "the folder " + quoted (folder.getFullPathName()) + " does not exist" };

    target.format = formats.findFormatForFileExtension (target.file.getFileExtension());
    if (target.format == nullptr)
        return Failure { cannotWrite + "OUTPUT must end in .wav or .aiff" +
                         (isFlac (target.file) ? " (FLAC is not available in this build)" : "") };

    const auto isWav = dynamic_cast<juce::WavAudioFormat*> (target.format) != nullptr;
    target.bitDepth = requestedBits != 0 ? requestedBits : (isWav ? wavDefaultBits : aiffDefaultBits);
    if (!target.format->getPossibleBitDepths().contains (target.bitDepth))
        return Failure { cannotWrite + juce::String (target.bitDepth) + "-bit samples are not available in " +
                         target.format->getFormatName() + "s; use .wav for 32-bit float" };

    return std::nullopt;
}

struct RenderReport
{
    Level inputLevel, outputLevel;
    juce::int64 numSamples = 0;
    double seconds = 0.0;
};

Outcome renderInto (PluginProcessor& processor, InputSignal& input, juce::int64 tailSamples, int blockSize,
                    juce::AudioFormatWriter& writer, const RunContext& context, std::ostream& err, RenderReport& report)
{
    const auto numChannels = input.getNumChannels();
    const auto inputLength = input.getLength();
    const auto total = inputLength + tailSamples;
    const auto sampleRate = input.getSampleRate();

    juce::AudioBuffer<float> storage (numChannels, blockSize);
    juce::MidiBuffer midi;
    ProgressBar progress (err, context.showProgress);
    const auto started = std::chrono::steady_clock::now();

    for (juce::int64 position = 0; position < total;)
    {
        if (context.cancelled != nullptr && context.cancelled->load())
            return Failure { "interrupted; nothing was written", exitInterrupted };

        const auto n = static_cast<int> (juce::jmin (static_cast<juce::int64> (blockSize), total - position));
        juce::AudioBuffer<float> block (storage.getArrayOfWritePointers(), numChannels, n);
        block.clear();

        const auto fromInput =
            static_cast<int> (juce::jlimit (juce::int64 { 0 }, static_cast<juce::int64> (n), inputLength - position));
        if (fromInput > 0)
        {
            if (!input.read (block, fromInput, position))
                return Failure { "cannot read " + input.describe() + " at sample " + juce::String (position) };
            if (!allFinite (block, fromInput))
                return Failure { input.describe() + " holds a sample that is not a finite number near " +
                                 juce::String (static_cast<double> (position) / sampleRate, 3) + " s" };
            report.inputLevel.add (block, fromInput);
        }

        processor.processBlock (block, midi);

        if (!allFinite (block, n))
            return Failure { "the effect produced a sample that is not a finite number near " +
                             juce::String (static_cast<double> (position) / sampleRate, 3) + " s" };

        report.outputLevel.add (block, n);
        if (!writer.writeFromAudioSampleBuffer (block, 0, n))
            return Failure { "writing the output failed (is the disk full?)" };

        position += n;
        progress.update (position, total);
    }

    report.numSamples = total;
    report.seconds = std::chrono::duration<double> (std::chrono::steady_clock::now() - started).count();
    return std::nullopt;
}

Outcome runRender (const Options& options, std::ostream& out, std::ostream& err, const RunContext& context)
{
    if (options.files.isEmpty())
        return usageError ("no OUTPUT file given (see --help)");
    if (options.files.size() > 2)
        return usageError ("too many file names: " + options.files.joinIntoString (" ") +
                           " (give at most INPUT and OUTPUT)");

    juce::AudioFormatManager formats;
    formats.registerFormat (new juce::WavAudioFormat(), true);
    formats.registerFormat (new juce::AiffAudioFormat(), false);

    const auto& outputPath = options.files[options.files.size() - 1];
    OutputTarget target;
    if (auto failure = checkOutput (outputPath, options.bitDepth, formats, target))
        return failure;

    std::unique_ptr<InputSignal> input;
    if (options.files.size() == 2)
    {
        if (auto failure = openInput (options.files[0], formats, input))
            return failure;
    }
    else
    {
        input = std::make_unique<DemoInput>();
    }

    PluginProcessor processor;
    juce::String presetName;
    if (auto failure = configure (processor, options, presetName))
        return failure;

    const auto numChannels = input->getNumChannels();
    const auto sampleRate = input->getSampleRate();
    const auto layout = numChannels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    juce::AudioProcessor::BusesLayout buses;
    buses.inputBuses.add (layout);
    buses.outputBuses.add (layout);
    if (!processor.setBusesLayout (buses))
        return Failure { "the effect does not accept a " + layout.getDescription() + " layout" };

    processor.setNonRealtime (true);
    processor.setRateAndBufferSizeDetails (sampleRate, options.blockSize);
    processor.prepareToPlay (sampleRate, options.blockSize);

    const auto tailSamples = static_cast<juce::int64> (std::llround (options.tailSeconds * sampleRate));
    RenderReport report;
    {
        // Written beside the target and moved over it only when complete, so a failed run leaves
        // any earlier OUTPUT as it was and no partial file.
        const juce::TemporaryFile temporary (target.file, juce::TemporaryFile::useHiddenFile);
        {
            auto stream = temporary.getFile().createOutputStream();
            if (stream == nullptr || stream->failedToOpen())
                return Failure { "cannot write " + quoted (outputPath) + ": cannot create a file in " +
                                 quoted (target.file.getParentDirectory().getFullPathName()) };

            std::unique_ptr<juce::AudioFormatWriter> writer (target.format->createWriterFor (
                stream.get(), sampleRate, static_cast<unsigned int> (numChannels), target.bitDepth, {}, 0));
            if (writer == nullptr)
                return Failure { "cannot write " + quoted (outputPath) + ": the format refused " +
                                 juce::String (numChannels) + " channels at " + juce::String (sampleRate) + " Hz" };
            stream.release(); // the writer owns it now

            if (auto failure =
                    renderInto (processor, *input, tailSamples, options.blockSize, *writer, context, err, report))
                return failure;
        }

        // The header is only complete once the writer is gone: read it back before trusting it.
        std::unique_ptr<juce::AudioFormatReader> check (formats.createReaderFor (temporary.getFile()));
        if (check == nullptr || check->lengthInSamples != report.numSamples)
            return Failure { "cannot write " + quoted (outputPath) + ": the file came out incomplete" };
        check.reset();

        if (!temporary.overwriteTargetFileWithTemporary())
            return Failure { "cannot write " + quoted (outputPath) + ": replacing the file failed" };
    }

    const auto audioSeconds = static_cast<double> (report.numSamples) / sampleRate;
    const auto realTime = audioSeconds / juce::jmax (report.seconds, 1.0e-6);

    out << toolName << ": " << input->describe() << " -> " << quoted (outputPath) << " ["
        << (numChannels == 1 ? "mono" : "stereo") << ", " << juce::String (sampleRate, 0) << " Hz, "
        << juce::String (audioSeconds, 2) << " s with " << juce::String (options.tailSeconds, 2) << " s tail, "
        << "preset \"" << presetName << "\""
        << (options.settings.isEmpty() ? juce::String() : " + " + juce::String (options.settings.size()) + " --set")
        << "] input " << report.inputLevel.describe() << "; output " << report.outputLevel.describe() << "; "
        << juce::String (realTime, 1) << "x real time\n";

    if (target.bitDepth != wavDefaultBits && report.outputLevel.getPeak() > 1.0f)
        err << toolName << ": warning: the output peaks above 0 dBFS and clips in " << target.bitDepth
            << "-bit samples; lower OutputGain or use 32-bit WAV\n";

    return std::nullopt;
}

Outcome runListings (const Options& options, std::ostream& out)
{
    if (!options.files.isEmpty())
        return usageError ("--list-presets and --list-parameters take no file names");

    PluginProcessor processor;

    if (options.listPresets)
        listPresets (processor.getPresetManager(), out);

    if (options.listParameters)
    {
        juce::String presetName;
        if (auto failure = configure (processor, options, presetName))
            return failure;
        if (options.listPresets)
            out << '\n';
        listParameters (processor, out);
    }

    return std::nullopt;
}
} // namespace

juce::String getUsage()
{
    juce::StringArray switches;
    for (const auto& ref : ModelTree::hostOrder())
        if (ModelTree::isSwitch (ref.type))
            switches.add (ModelTree::getParameterID (ref.type, ref.stage));

    juce::String text;
    text << "Usage: " << toolName << " [INPUT] OUTPUT [options]\n"
         << "\n"
         << "Renders INPUT offline through the Tanglewave effect into OUTPUT. Without INPUT it renders\n"
         << "a built-in demo of plucked strings and drums (stereo, " << juce::String (demoSampleRate, 0) << " Hz).\n"
         << "\n"
         << "  INPUT   a mono or stereo WAV or AIFF file; FLAC is not available in this build\n"
         << "  OUTPUT  a .wav file (32-bit float unless --bits says otherwise) or an .aiff file (24-bit),\n"
         << "          with INPUT's channels and sample rate; replaced only when the render succeeds\n"
         << "\n"
         << "Options:\n"
         << "  --preset NAME       a factory preset, case-insensitive (default: the plug-in's default, \"Default\")\n"
         << "  --preset-file FILE  a preset file (.tw10) saved by the plug-in\n"
         << "  --set ID=VALUE      sets a parameter after the preset; repeatable. VALUE is a host value\n"
         << "                      from 0 to 1, a whole number from " << ModelTree::minLayers << " to "
         << ModelTree::maxLayers << " for PLayers, or on/off (also 1/0,\n"
         << "                      true/false) for " << switches.joinIntoString (", ") << "\n"
         << "  --block N           processes blocks of N samples, the last one shorter (1 to " << maxBlockSize
         << ", default " << defaultBlockSize << ")\n"
         << "  --tail SECONDS      renders this long past the end of INPUT so echoes ring out (0 to "
         << juce::String (maxTailSeconds) << ", default " << juce::String (defaultTailSeconds) << ")\n"
         << "  --bits N            output sample size: 16, 24 or 32 (32-bit is float, WAV only)\n"
         << "  --list-presets      prints the factory presets by category and exits\n"
         << "  --list-parameters   prints the parameters in host order with their ranges, values and\n"
         << "                      labels (after --preset, --preset-file and --set) and exits\n"
         << "  -h, --help          prints this help and exits\n"
         << "\n"
         << "Examples:\n"
         << "  " << toolName << " demo.wav\n"
         << "  " << toolName << " guitar.wav guitar-wet.wav --preset \"cowboy bebop\" --set Mix=0.4\n"
         << "  " << toolName << " --preset Low --set PLayers=8 --list-parameters\n"
         << "\n"
         << "A progress bar is drawn on stderr when it is a terminal, and a summary line follows the render.\n"
         << "Exit status: 0 success, 1 failed render or listing, 2 malformed command line, 130 interrupted.\n";
    return text;
}

int runRenderer (const juce::StringArray& args, std::ostream& out, std::ostream& err, const RunContext& context)
{
    Options options;
    auto outcome = parseArguments (args, options);

    if (!outcome)
    {
        if (options.help)
        {
            out << getUsage();
            return exitOk;
        }

        outcome = (options.listPresets || options.listParameters) ? runListings (options, out)
                                                                  : runRender (options, out, err, context);
    }

    out.flush();
    if (!outcome)
        return exitOk;

    err << toolName << ": " << outcome->message << '\n' << std::flush;
    return outcome->exitCode;
}

} // namespace tw::render
