// The host state: the "VC2!" blob around the single-line "Tw10" state document.
#include "MessageThreadHold.h"
#include "PluginProcessor.h"

namespace
{
constexpr juce::uint32 blobMagic = 0x21324356; // "VC2!"
constexpr int blobHeaderSize = 8;
// A real state document is a couple of kilobytes; anything near this is not one of ours.
constexpr int maxDocumentBytes = 4 * 1024 * 1024;
// JUCE's XML parser recurses once per level; our documents have two.
constexpr int maxElementDepth = 64;

/** JUCE's parser loops forever on a processing instruction followed by text inside an element.
    Our documents carry none but the leading XML declaration, so any other one is refused. */
bool hasNoProcessingInstructions (const juce::String& document)
{
    auto rest = document.trimStart();
    if (rest.startsWith ("<?xml"))
    {
        const auto endOfDeclaration = rest.indexOf ("?>");
        if (endOfDeclaration < 0)
            return false;
        rest = rest.substring (endOfDeclaration + 2);
    }
    return !rest.contains ("<?");
}

/** Cheap pre-scan so the recursive parser never sees a hostile nesting depth. */
bool nestingIsShallow (const char* text, size_t numBytes) noexcept
{
    int depth = 0;
    for (size_t i = 0; i + 1 < numBytes; ++i)
    {
        if (text[i] == '<')
        {
            const auto next = text[i + 1];
            if (next == '/')
                --depth;
            else if (next != '?' && next != '!' && ++depth > maxElementDepth)
                return false;
        }
        else if (text[i] == '/' && text[i + 1] == '>')
        {
            --depth;
        }
    }
    return true;
}

std::unique_ptr<juce::XmlElement> parseStateDocument (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes <= blobHeaderSize)
        return nullptr;

    const auto* bytes = static_cast<const char*> (data);
    if (juce::ByteOrder::littleEndianInt (bytes) != blobMagic)
        return nullptr;

    const auto declaredLength = static_cast<int> (juce::ByteOrder::littleEndianInt (bytes + 4));
    if (declaredLength <= 0)
        return nullptr;

    // A length field that promises more than the data holds decodes only what is present.
    const auto length = juce::jmin (declaredLength, sizeInBytes - blobHeaderSize);
    if (length > maxDocumentBytes)
        return nullptr;

    const auto* text = bytes + blobHeaderSize;
    const auto numBytes = static_cast<size_t> (length);

    // The text ends at the first zero byte, as the reader of the blob format always did.
    const auto* terminator = static_cast<const char*> (std::memchr (text, 0, numBytes));
    const auto textBytes = terminator != nullptr ? static_cast<size_t> (terminator - text) : numBytes;

    if (!juce::CharPointer_UTF8::isValidString (text, static_cast<int> (textBytes)))
        return nullptr;

    // Our documents never carry a DTD; refusing one keeps entity expansion out of reach.
    const juce::String document (juce::CharPointer_UTF8 (text), juce::CharPointer_UTF8 (text + textBytes));
    if (document.contains ("<!") || !hasNoProcessingInstructions (document) || !nestingIsShallow (text, textBytes))
        return nullptr;

    return juce::parseXML (document);
}

/** Values that are not finite never reach a parameter: such a child falls back to the default. */
void dropUnusableValues (juce::XmlElement& root)
{
    for (auto* child : root.getChildIterator())
    {
        if (child->getTagName() != "PARAM" || !child->hasAttribute ("value"))
            continue;

        const auto value = child->getDoubleAttribute ("value");
        const auto text = child->getStringAttribute ("value").trim().toLowerCase();
        if (!std::isfinite (value) || text.contains ("nan") || text.contains ("inf"))
            child->removeAttribute ("value");
    }
}

} // namespace

void PluginProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    const MessageThreadHold hold;
    getState (destData, true);
}

void PluginProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    const MessageThreadHold hold;
    setState (data, sizeInBytes);
}

void PluginProcessor::getState (juce::MemoryBlock& destData, bool includePresetInfo)
{
    auto state = model.copyState();
    state.setProperty ("CompanyName", JucePlugin_Manufacturer, nullptr);
    state.setProperty ("ProductNameWithoutVersion", productNameWithoutVersion, nullptr);
    state.setProperty ("ProductVersion", JucePlugin_VersionString, nullptr);

    if (includePresetInfo)
        presetManager.writePresetInfo (state);

    destData.reset();
    if (auto xml = state.createXml())
        copyXmlToBinary (*xml, destData);
}

bool PluginProcessor::setState (const void* data, int sizeInBytes)
{
    auto xml = parseStateDocument (data, sizeInBytes);
    // Any case of the root type is taken; compared directly, since hasTagName asserts on a case mismatch.
    if (xml == nullptr || !xml->getTagName().equalsIgnoreCase (model.state.getType().toString()))
        return false;

    dropUnusableValues (*xml);
    const auto newState = juce::ValueTree::fromXml (*xml);
    if (!newState.isValid())
        return false;

    model.replaceState (newState);

    // JUCE reports only the parameters whose value changed; the stages follow all of them.
    applyAllParameters();

    const auto loadedPreset = newState.getProperty (qmrk_gui::PresetManager::loadedPresetProperty).toString();
    if (loadedPreset.isNotEmpty())
        presetManager.restorePresetInfo (
            loadedPreset,
            static_cast<bool> (newState.getProperty (qmrk_gui::PresetManager::loadedPresetModifiedProperty, false)));

    return true;
}
