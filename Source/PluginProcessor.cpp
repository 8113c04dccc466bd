#include "PluginProcessor.h"

PluginProcessor::PluginProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
    , model (*this)
{
    model.addParameterListeners (this);
    model.getUndoManager().clearUndoHistory();
}

PluginProcessor::~PluginProcessor()
{
    model.removeParameterListeners (this);
}

const juce::String PluginProcessor::getName() const
{
    return JucePlugin_Name;
}

void PluginProcessor::prepareToPlay (double, int maximumExpectedSamplesPerBlock)
{
    const auto channels = juce::jmax (1, getTotalNumInputChannels());
    workBuffer.setSize (channels, juce::jmax (1, maximumExpectedSamplesPerBlock), true, false, true);
    preparedBlockSize = juce::jmax (1, maximumExpectedSamplesPerBlock);
    resetStages();
}

void PluginProcessor::releaseResources() {}

void PluginProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;
    processed = true;

    for (auto ch = getTotalNumInputChannels(); ch < getTotalNumOutputChannels(); ++ch)
        buffer.clear (ch, 0, buffer.getNumSamples());

    // Before the first prepareToPlay there is nothing sized to process with: pass through.
    if (preparedBlockSize == 0)
        return;

    for (int start = 0; start < buffer.getNumSamples(); start += preparedBlockSize)
        processChunk (buffer, start, juce::jmin (preparedBlockSize, buffer.getNumSamples() - start));
}

void PluginProcessor::processChunk (juce::AudioBuffer<float>& buffer, int startSample, int numSamples)
{
    juce::ignoreUnused (buffer, startSample, numSamples);
}

void PluginProcessor::processBlockBypassed (juce::AudioBuffer<float>&, juce::MidiBuffer&)
{
    if (processed)
    {
        resetStages();
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
    resetStages();
}

void PluginProcessor::resetStages() {}

juce::AudioProcessorEditor* PluginProcessor::createEditor()
{
    return new juce::GenericAudioProcessorEditor (*this);
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

void PluginProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    juce::ignoreUnused (destData);
}
void PluginProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    juce::ignoreUnused (data, sizeInBytes);
}

bool PluginProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto& out = layouts.getMainOutputChannelSet();
    if (out != juce::AudioChannelSet::mono() && out != juce::AudioChannelSet::stereo())
        return false;
    return layouts.getMainInputChannelSet() == out;
}

void PluginProcessor::parameterChanged (const juce::String&, float) {}

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new PluginProcessor();
}
