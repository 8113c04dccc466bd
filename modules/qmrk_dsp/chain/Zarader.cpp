namespace qmrk_dsp
{
template <typename SampleType>
Zarader<SampleType>::Zarader()
    : chorusA (chorusMaxDelayMs)
    , chorusB (chorusMaxDelayMs)
    , chorusAOn (true, "Enabled")
    , chorusBOn (true, "Enabled")
{
}

template <typename SampleType>
void Zarader<SampleType>::prepare (const juce::dsp::ProcessSpec& spec)
{
    this->storeSampleRate (spec);
    phaser.prepareLocked (spec);
    finalPhaser.prepareLocked (spec);
    chorusA.prepareLocked (spec);
    chorusB.prepareLocked (spec);
    mixer.prepare (spec);

    const auto channels = static_cast<int> (spec.numChannels);
    const auto samples = static_cast<int> (spec.maximumBlockSize);
    bufferA.setSize (channels, samples, true, false, true);
    bufferB.setSize (channels, samples, true, false, true);
    capacity = spec.maximumBlockSize;
}

template <typename SampleType>
void Zarader<SampleType>::reset()
{
    const auto rate = static_cast<double> (this->sampleRate);
    phaser.resetLocked();
    finalPhaser.resetLocked();
    chorusAOn.prepareRamp (rate, Arg<SampleType>::rampSeconds);
    chorusA.resetLocked();
    chorusBOn.prepareRamp (rate, Arg<SampleType>::rampSeconds);
    chorusB.resetLocked();
    mixer.reset();
}

template <typename SampleType>
void Zarader<SampleType>::process (const Block& input, Block& output)
{
    // The working buffers keep their prepared size: a larger block is run in prepared slices.
    this->forEachSlice (input, output, capacity, [this] (const Block& in, Block& out) { processSlice (in, out); });
}

template <typename SampleType>
void Zarader<SampleType>::processSlice (const Block& input, Block& output) noexcept
{
    const auto n = output.getNumSamples();
    const auto channels =
        juce::jmin (output.getNumChannels(), input.getNumChannels(), static_cast<size_t> (bufferA.getNumChannels()));

    if (channels == 0 || n == 0)
    {
        this->copyChannels (input, output, 0);
        return;
    }

    auto a = Block (bufferA).getSubsetChannelBlock (0, channels).getSubBlock (0, n);
    a.copyFrom (input.getSubsetChannelBlock (0, channels));

    runLocked (phaser, a);

    const auto aOn = chorusAOn.isOn();
    const auto bOn = chorusBOn.isOn();

    if (aOn && bOn)
    {
        auto b = Block (bufferB).getSubsetChannelBlock (0, channels).getSubBlock (0, n);
        b.copyFrom (a);
        runLocked (chorusA, a);
        runLocked (chorusB, b);
        a.add (b).multiplyBy (SampleType (0.5));
    }
    else if (aOn)
    {
        runLocked (chorusA, a);
    }
    else if (bOn)
    {
        runLocked (chorusB, a);
    }

    runLocked (finalPhaser, a);
    mixer.process (a, input, output);
}

} // namespace qmrk_dsp
