// Replaced by the factory preset generator's output.
#include "FactoryLibrary.h"

const std::vector<qmrk_gui::PresetManager::FactoryCategoryInfo>& FactoryLibrary::get()
{
    static const std::vector<qmrk_gui::PresetManager::FactoryCategoryInfo> library;
    return library;
}
