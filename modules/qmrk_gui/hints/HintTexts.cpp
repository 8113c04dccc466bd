namespace qmrk_gui
{
namespace
{
juce::String fineTune (const juce::String& text)
{
    return text + HintTexts::fineTuneSuffix;
}

juce::String withKey (const juce::String& before, const char* description, const juce::String& after)
{
    return before + "(" + description + ")" + after;
}

HintTexts::Chorus makeChorusHints (const juce::String& stageName)
{
    const auto prefix = "Stage " + stageName + ": ";
    return { prefix + "enabled.", fineTune (prefix + "delay."), prefix + "modulation depth.", prefix + "feedback.",
             fineTune (prefix + "modulation period.") };
}

} // namespace

const HintTexts& HintTexts::get()
{
    static const HintTexts texts;
    return texts;
}

juce::String HintTexts::goTo (const juce::String& address)
{
    return "Go to " + address;
}

HintTexts::HintTexts()
    : productLink ("Go to Tanglewave main web page.")
    , presetBrowser (withKey ("Save ", ShortcutDescriptions::save, " and load presets."))
    , previousPreset ("Previous preset.")
    , nextPreset ("Next preset.")
    , newPreset (withKey ("Reset to default ", ShortcutDescriptions::resetToDefault, "."))
    , undo (withKey ("Undo action ", ShortcutDescriptions::undo, "."))
    , redo (withKey ("Redo action ", ShortcutDescriptions::redo, "."))
    , reload ("Reload current preset.")
    , clear ("Clear buffers/silence feedback.")
    , mix ("Overall dry/wet mix.")
    , outputGain (fineTune ("Output gain."))
    , stageTabs ("Effect stage control options.")
    , chorus { makeChorusHints ("C|a"), makeChorusHints ("C|b") }
    , driverFeedback (fineTune ("Driver stage feedback."))
    , driverDelay (fineTune ("Driver stage delay."))
    , phaserRange ("Stage P: range in octaves.")
    , phaserFreq (fineTune ("Stage P: center frequency."))
    , phaserPeriod (fineTune ("Stage P: period."))
    , phaserLayers ("Stage P: layers.")
    , oscEnabled ("Enable master LFO (all stages).")
    , textureFeedback ("Texture stage: feedback.")
    , stereo ("Enable stereo LFO phasing (all stages).")
    , textureFeedbackTexture ("Texture stage: feedback texture.")
    , help ("Go to support web page.")
    , shareMusic ("Go to share music web page.")
    , defaultHint ("Toggle button to disable hints.")
    , hintsOff ("Component Hints: Off")
{
}

} // namespace qmrk_gui
