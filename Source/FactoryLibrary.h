#pragma once

#include <qmrk_gui/qmrk_gui.h>

/** The embedded factory presets and their category tree, in registration order. */
namespace FactoryLibrary
{
[[nodiscard]] const std::vector<qmrk_gui::PresetManager::FactoryCategoryInfo>& get();
}
