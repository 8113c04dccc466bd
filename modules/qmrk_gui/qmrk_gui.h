/*
  BEGIN_JUCE_MODULE_DECLARATION

   ID:                 qmrk_gui
   vendor:             Quillmark
   version:            1.0.1
   name:               Quillmark GUI and presets
   description:        Look and feel, widget kit, labeled suites, hint line, info panel, and the
                       preset system (files, manager, packs, browser) of Tanglewave.
   license:            Proprietary
   minimumCppStandard: 17

   dependencies:       juce_audio_processors, juce_gui_basics, juce_data_structures

  END_JUCE_MODULE_DECLARATION
*/

#pragma once
#define QMRK_GUI_H_INCLUDED

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_data_structures/juce_data_structures.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <mutex>

// clang-format off
// -- look and feel and widgets
#include "lookandfeel/EditorFonts.h"
#include "lookandfeel/LookAndFeel.h"
#include "widgets/BasicLabel.h"
#include "widgets/Buttons.h"
#include "widgets/Hyperlinks.h"
#include "widgets/LabelUpdater.h"
// -- suites, hints, info
#include "suites/LabeledSuite.h"
#include "suites/LabeledSuiteGrid.h"
#include "hints/HintTexts.h"
#include "hints/TipDisplayComponent.h"
#include "info/InfoComponent.h"
// -- presets
#include "presets/PresetFiles.h"
#include "presets/PresetManager.h"
#include "presets/PresetLoader.h"
#include "presets/FileServerManager.h"
#include "presets/PresetPacks.h"
#include "presets/PresetComponent.h"
#include "presets/PresetScroller.h"
// clang-format on
