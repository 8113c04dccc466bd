#ifdef QMRK_GUI_H_INCLUDED
#error "Incorrect use of the qmrk_gui cpp file"
#endif

#include "qmrk_gui.h"

#include "lookandfeel/EditorFonts.cpp"
#include "lookandfeel/LookAndFeel.cpp"
#include "widgets/BasicLabel.cpp"
#include "widgets/Buttons.cpp"
#include "widgets/Hyperlinks.cpp"
#include "suites/LabeledSuite.cpp"
#include "suites/LabeledSuiteGrid.cpp"
#include "hints/HintTexts.cpp"
#include "hints/TipDisplayComponent.cpp"
#include "info/InfoComponent.cpp"
#include "presets/PresetFiles.cpp"
#include "presets/PresetManager.cpp"
#include "presets/PresetLoader.cpp"
#include "presets/FileServerManager.cpp"
#include "presets/PresetPacks.cpp"
#include "presets/PresetComponent.cpp"
#include "presets/PresetScroller.cpp"
