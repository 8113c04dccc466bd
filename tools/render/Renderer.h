#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <atomic>
#include <ostream>

namespace tw::render
{
/** The executable's name, as the messages and the usage text show it. */
inline constexpr const char* toolName = "tanglewave-render";

inline constexpr int defaultBlockSize = 512;
inline constexpr int maxBlockSize = 65536;
inline constexpr double defaultTailSeconds = 2.0;
inline constexpr double maxTailSeconds = 600.0;
inline constexpr double minSampleRate = 8000.0;
inline constexpr double maxSampleRate = 384000.0;

/** Exit codes: 0 success, 1 a failed render or listing, 2 a malformed command line, 130 interrupted. */
enum ExitCode
{
    exitOk = 0,
    exitFailure = 1,
    exitUsage = 2,
    exitInterrupted = 130
};

struct RunContext
{
    /** Draws a progress bar on the error stream while rendering. */
    bool showProgress = false;
    /** Polled between blocks; when set the render stops and leaves no output behind. */
    const std::atomic<bool>* cancelled = nullptr;
};

/** Runs one command line (without the program name). Results and listings go to out, the
    progress bar and every error message (one line each) to err. Needs a JUCE message manager. */
int runRenderer (const juce::StringArray& args, std::ostream& out, std::ostream& err, const RunContext& context = {});

/** The --help text. */
[[nodiscard]] juce::String getUsage();

} // namespace tw::render
