/*
  BEGIN_JUCE_MODULE_DECLARATION

   ID:                 qmrk_dsp
   vendor:             Quillmark
   version:            1.0.1
   name:               Quillmark DSP
   description:        Stage arguments with smoothing, the dry/wet mixer, modulation oscillators,
                       stereo delay, gain, phaser, chorus and the effect chain of Tanglewave.
   license:            Proprietary
   minimumCppStandard: 17

   dependencies:       juce_audio_basics, juce_dsp

  END_JUCE_MODULE_DECLARATION
*/

#pragma once
#define QMRK_DSP_H_INCLUDED

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_dsp/juce_dsp.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

// clang-format off
// -- processor interface and arguments
#include "processor/SampleGuards.h"
#include "processor/Vec4.h"
#include "processor/Kernels.h"
#include "processor/Processor.h"
#include "arguments/Arg.h"
#include "arguments/LinearArgs.h"
#include "arguments/DiscreteArgs.h"
#include "arguments/ExpScalingArgs.h"
#include "arguments/FreqArg.h"
#include "processor/Mixer.h"
// -- modulation
#include "modulation/Oscillator.h"
#include "modulation/StereoOscPanner.h"
// -- delay and gain
#include "delay/Gain.h"
#include "delay/StereoDelay.h"
// -- phaser
#include "phaser/Phaser.h"
// -- chorus
#include "chorus/ChorusStage.h"
// -- chain
#include "chain/Zarader.h"
// clang-format on
