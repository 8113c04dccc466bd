namespace qmrk_gui
{
namespace
{
juce::uint32 readBigEndian32 (const juce::uint8* bytes)
{
    return ((juce::uint32) bytes[0] << 24) | ((juce::uint32) bytes[1] << 16) | ((juce::uint32) bytes[2] << 8) |
           (juce::uint32) bytes[3];
}

/** A plausible TrueType or OpenType file: known signature and a table directory inside the data.
    JUCE's font loader on Linux crashes on data that its font engine refuses, so it never sees any. */
bool looksLikeFontFile (FontData source)
{
    if (source.data == nullptr || source.size < 12)
        return false;

    const auto* bytes = static_cast<const juce::uint8*> (source.data);
    const auto size = (juce::uint64) source.size;
    const auto signature = readBigEndian32 (bytes);

    if (signature != 0x00010000 && signature != 0x74727565 /* true */ && signature != 0x4f54544f /* OTTO */)
        return false;

    const auto numTables = (juce::uint64) (((unsigned) bytes[4] << 8) | (unsigned) bytes[5]);

    if (numTables == 0 || 12 + 16 * numTables > size)
        return false;

    for (juce::uint64 i = 0; i < numTables; ++i)
    {
        const auto* record = bytes + 12 + 16 * i;
        const auto offset = (juce::uint64) readBigEndian32 (record + 8);
        const auto length = (juce::uint64) readBigEndian32 (record + 12);

        if (offset + length > size)
            return false;
    }

    return true;
}

juce::Font makeFont (FontData source, float height)
{
    if (looksLikeFontFile (source))
        if (auto typeface = juce::Typeface::createSystemTypefaceFor (source.data, (size_t) source.size))
            return juce::Font (typeface).withHeight (height);

    return juce::Font (height);
}

} // namespace

EditorFonts::EditorFonts (FontData bodyData, FontData titleData)
    : body (makeFont (bodyData, bodyHeight))
    , title (makeFont (titleData, titleHeight))
    , subtitle (title.withHeight (subtitleHeight))
{
}

std::shared_ptr<const EditorFonts> EditorFonts::getShared (FontData bodyData, FontData titleData)
{
    static std::mutex mutex;
    static std::weak_ptr<const EditorFonts> current;
    static FontData firstBody, firstTitle;

    const std::lock_guard<std::mutex> lock (mutex);
    if (auto fonts = current.lock())
    {
        jassertquiet (bodyData.data == firstBody.data && titleData.data == firstTitle.data);
        return fonts;
    }

    auto fonts = std::make_shared<const EditorFonts> (bodyData, titleData);
    current = fonts;
    firstBody = bodyData;
    firstTitle = titleData;
    return fonts;
}

} // namespace qmrk_gui
