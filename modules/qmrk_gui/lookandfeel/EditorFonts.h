#pragma once

namespace qmrk_gui
{
/** A TrueType file held in memory by the owner (for instance an embedded binary resource). */
struct FontData
{
    const void* data = nullptr;
    int size = 0;
};

/** The editor's three fonts, each kept on its memory typeface.

    Memory typefaces cannot be found again by family name, so every font here is derived from the
    typeface pointer itself and must not be rebuilt from a name or a style.
*/
class EditorFonts
{
public:
    static constexpr float bodyHeight = 18.0f;
    static constexpr float titleHeight = 32.0f;
    static constexpr float subtitleHeight = 24.0f;

    /** Parses both files. Data that is not a TrueType or OpenType file gives JUCE's default font
        at the same height. */
    EditorFonts (FontData bodyData, FontData titleData);

    /** The set shared by everyone who holds it: parsed when the first holder asks and released
        with the last one, so no typeface or glyph cache outlives the editors (a plug-in module
        stays loaded long after its windows close). Later calls must name the same data. */
    static std::shared_ptr<const EditorFonts> getShared (FontData bodyData, FontData titleData);

    const juce::Font body;
    const juce::Font title;
    const juce::Font subtitle;
};

} // namespace qmrk_gui
