#include "PluginProcessor.h"

#include "FactoryLibrary.h"
#include "PluginEditor.h"

PluginProcessor::PluginProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
    , model (*this)
    , fileServer (JucePlugin_Manufacturer, productNameWithoutVersion, JucePlugin_VersionString)
    , presetManager (*this, pluginCode, fileServer.getUserPresetFolder())
    , output ("Output Gain", -24.0f, 24.0f, 0.0f, "dB")
    , oscSwitch (true, "OSC")
{
    undoManager = &model.getUndoManager();
    shiftSource = this;

    model.addParameterListeners (this);

    configureChain();
    lowCut.state = juce::dsp::IIR::Coefficients<float>::makeHighPass (lowCutSampleRate, lowCutFrequency);

    presetManager.initialise (FactoryLibrary::get());
    applyAllParameters();
    model.getUndoManager().clearUndoHistory();

    startTimer (messageDrainIntervalMs);
    messageThreadHold.release();
}

PluginProcessor::~PluginProcessor()
{
    // Released when the hold itself goes, after every other member.
    messageThreadHold.hold();
    stopTimer();
    model.removeParameterListeners (this);
}

const juce::String PluginProcessor::getName() const
{
    return JucePlugin_Name;
}

void PluginProcessor::prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock)
{
    preparedChannels = juce::jmax (1, getTotalNumInputChannels());
    preparedBlockSize = juce::jmax (1, maximumExpectedSamplesPerBlock);

    const juce::dsp::ProcessSpec spec { sampleRate, static_cast<juce::uint32> (preparedBlockSize),
                                        static_cast<juce::uint32> (preparedChannels) };

    workBuffer.setSize (preparedChannels, preparedBlockSize, true, false, true);
    driver.prepareLocked (spec);
    chain.prepareLocked (spec);

    // Coefficients stay those computed for 44100 Hz: the filters only get their count and state.
    lowCut.prepare (spec);
    lowCut.reset();
    lowCutResetPending = false;

    output.prepareLocked (spec);
    mixer.prepare (spec);
    oscSwitch.prepareRamp (sampleRate, 0.1);
}

void PluginProcessor::releaseResources() {}

void PluginProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;
    processed = true;

    for (auto ch = getTotalNumInputChannels(); ch < getTotalNumOutputChannels(); ++ch)
        buffer.clear (ch, 0, buffer.getNumSamples());

    // Nothing is sized before the first prepareToPlay: the input passes through unchanged.
    if (preparedBlockSize == 0)
        return;

    resetLowCutIfRequested();

    // A host block larger than announced is processed in prepared-size pieces.
    for (int start = 0; start < buffer.getNumSamples(); start += preparedBlockSize)
        processChunk (buffer, start, juce::jmin (preparedBlockSize, buffer.getNumSamples() - start));
}

void PluginProcessor::processChunk (juce::AudioBuffer<float>& buffer, int startSample, int numSamples)
{
    // Channels beyond the prepared count have no filter or stage memory: they pass through dry.
    const auto numChannels = juce::jmin (buffer.getNumChannels(), preparedChannels);

    workBuffer.setSize (numChannels, numSamples, false, false, true);
    for (int ch = 0; ch < numChannels; ++ch)
        workBuffer.copyFrom (ch, 0, buffer, ch, startSample, numSamples);

    juce::dsp::AudioBlock<float> work (workBuffer);
    auto dry = juce::dsp::AudioBlock<float> (buffer)
                   .getSubsetChannelBlock (0, static_cast<size_t> (numChannels))
                   .getSubBlock (static_cast<size_t> (startSample), static_cast<size_t> (numSamples));

    {
        const juce::SpinLock::ScopedLockType lock (driver.lock);
        driver.process (work, work);
    }
    {
        const juce::SpinLock::ScopedLockType lock (chain.lock);
        chain.process (work, work);
    }

    // One filter per prepared channel, each over its own channel of the work block.
    lowCut.process (juce::dsp::ProcessContextReplacing<float> (work));

    mixer.process (work, dry, work);

    {
        const juce::SpinLock::ScopedLockType lock (output.lock);
        output.process (work, work);
    }

    for (int ch = 0; ch < numChannels; ++ch)
        buffer.copyFrom (ch, startSample, workBuffer, ch, 0, numSamples);
}

void PluginProcessor::processBlockBypassed (juce::AudioBuffer<float>&, juce::MidiBuffer&)
{
    if (processed)
    {
        reset();
        resetLowCutIfRequested(); // on the audio thread the filters can be reset at once
        processed = false;
    }
}

double PluginProcessor::getTailLengthSeconds() const
{
    return 0.0;
}
bool PluginProcessor::acceptsMidi() const
{
    return false;
}
bool PluginProcessor::producesMidi() const
{
    return false;
}

void PluginProcessor::reset()
{
    // The clear button calls this on the message thread while audio may run: the stages take
    // their locks, the lock-free low-cut filters are reset at the start of the next block.
    driver.resetLocked();
    chain.resetLocked();
    lowCutResetPending = true;
    mixer.reset();
    output.resetLocked();
}

void PluginProcessor::resetLowCutIfRequested() noexcept
{
    if (lowCutResetPending.exchange (false))
        lowCut.reset();
}

juce::AudioProcessorEditor* PluginProcessor::createEditor()
{
    return new PluginEditor (*this);
}

bool PluginProcessor::hasEditor() const
{
    return true;
}
int PluginProcessor::getNumPrograms()
{
    return 1;
}
int PluginProcessor::getCurrentProgram()
{
    return 0;
}
void PluginProcessor::setCurrentProgram (int) {}
const juce::String PluginProcessor::getProgramName (int)
{
    return {};
}
void PluginProcessor::changeProgramName (int, const juce::String&) {}

bool PluginProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto& out = layouts.getMainOutputChannelSet();
    if (out != juce::AudioChannelSet::mono() && out != juce::AudioChannelSet::stereo())
        return false;
    return layouts.getMainInputChannelSet() == out;
}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new PluginProcessor();
}
