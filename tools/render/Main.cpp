// tanglewave-render: renders audio files (or a built-in demo) offline through the effect.
#include "Renderer.h"

#include <juce_events/juce_events.h>

#include <csignal>
#include <iostream>
#include <unistd.h>

namespace
{
std::atomic<bool> interrupted { false };
static_assert (std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void onInterrupt (int)
{
    interrupted.store (true);
}
} // namespace

int main (int argc, char* argv[])
{
    // Stopping between blocks lets the temporary output file be removed on the way out.
    std::signal (SIGINT, onInterrupt);
    std::signal (SIGTERM, onInterrupt);

    // The processor's timer needs a message manager; nothing here opens a display.
    const juce::ScopedJuceInitialiser_GUI juceInitialiser;

    juce::StringArray args;
    for (int i = 1; i < argc; ++i)
        args.add (juce::String::fromUTF8 (argv[i]));

    tw::render::RunContext context;
    context.showProgress = isatty (STDERR_FILENO) != 0;
    context.cancelled = &interrupted;

    return tw::render::runRenderer (args, std::cout, std::cerr, context);
}
