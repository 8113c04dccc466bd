#pragma once

namespace qmrk_dsp
{
/** Equal-power auto-panner driven by a bipolar oscillator.

    With two or more channels, channels 0 and 1 are panned and further channels pass through.
    A mono block has nothing to pan across: it passes through at unity gain while the
    oscillator and the depth ramp keep running, so the sweep stays in time.
*/
template <typename SampleType>
class StereoOscPanner : public Processor<SampleType>
{
public:
    using Block = typename Processor<SampleType>::Block;

    StereoOscPanner();

    void process (const Block& input, Block& output) override;
    void prepare (const juce::dsp::ProcessSpec& spec) override;
    void reset() override;

    Oscillator<SampleType> oscillator;
    PercentArg<SampleType> depth;

private:
    void processSlice (const Block& input, Block& output) noexcept;

    std::vector<SampleType> lfoValues;
    std::vector<SampleType> depthValues;
};

} // namespace qmrk_dsp
