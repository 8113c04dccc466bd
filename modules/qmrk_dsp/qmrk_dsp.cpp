#ifdef QMRK_DSP_H_INCLUDED
#error "Incorrect use of the qmrk_dsp cpp file"
#endif

#include "qmrk_dsp.h"

#include "processor/Processor.cpp"
#include "arguments/Arg.cpp"
#include "arguments/LinearArgs.cpp"
#include "arguments/DiscreteArgs.cpp"
#include "arguments/ExpScalingArgs.cpp"
#include "arguments/FreqArg.cpp"
#include "processor/Mixer.cpp"
#include "modulation/Oscillator.cpp"
#include "modulation/StereoOscPanner.cpp"
#include "delay/Gain.cpp"
#include "delay/StereoDelay.cpp"
#include "phaser/Phaser.cpp"
#include "chorus/ChorusStage.cpp"
#include "chain/Zarader.cpp"

// Explicit instantiations for the sample types in use.
namespace qmrk_dsp
{
template class Processor<float>;
template class Arg<float>;
template class PercentArg<float>;
template class GainArg_dB<float>;
template class BoolArg<float>;
template class IntArg<float>;
template class ChoiceArg<float>;
template class ExpScalingArg<float>;
template class PeriodArg_s<float>;
template class FreqArg<float>;
template class Mixer<float>;
template class Oscillator<float>;
template class StereoOscPanner<float>;
template class Gain<float>;
template class StereoDelay<float>;
template class Phaser<float>;
template class ChorusStage<float>;
template class Zarader<float>;
} // namespace qmrk_dsp
