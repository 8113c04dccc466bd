#include "GuiTestSupport.h"

namespace tw::test
{
namespace
{
std::shared_ptr<const qmrk_gui::EditorFonts> heldFonts;

/** Releases the fonts when the tests end, before JUCE's leak detectors count what is left. */
class FontsEnvironment : public ::testing::Environment
{
public:
    void TearDown() override { heldFonts.reset(); }
};

[[maybe_unused]] const auto* const fontsEnvironment = ::testing::AddGlobalTestEnvironment (new FontsEnvironment());
} // namespace

const qmrk_gui::EditorFonts& embeddedFonts()
{
    if (heldFonts == nullptr)
        heldFonts = qmrk_gui::EditorFonts::getShared (
            { BinaryData::SourceCodeProBold_ttf, BinaryData::SourceCodeProBold_ttfSize },
            { BinaryData::CourierPrimeBold_ttf, BinaryData::CourierPrimeBold_ttfSize });
    return *heldFonts;
}

} // namespace tw::test
