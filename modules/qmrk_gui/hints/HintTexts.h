#pragma once

namespace qmrk_gui
{
/** The editor's keyboard shortcuts as juce::KeyPress descriptions. The key handling and the hints
    that name the keys both read them here, so a hint can never name a key that does not work. */
struct ShortcutDescriptions
{
    static constexpr const char* undo = "ctrl+z";
    static constexpr const char* redo = "ctrl+shift+z";
    static constexpr const char* save = "ctrl+s";
    static constexpr const char* resetToDefault = "ctrl+r";
};

/** Every hint of the editor, composed once on first use (never during static initialisation, so
    other static objects may use them). */
struct HintTexts
{
    /** Appended to the hints of the knobs whose fine adjustment the user is told about. */
    static constexpr const char* fineTuneSuffix = " (fine tune hold ctrl)";

    /** The shared set. */
    static const HintTexts& get();

    /** The hint of a link to the given web address. */
    static juce::String goTo (const juce::String& address);

    /** The hints of one chorus stage's tab. */
    struct Chorus
    {
        juce::String enabled, delay, depth, feedback, period;
    };

    // Header
    juce::String productLink;

    // Control bar
    juce::String presetBrowser, previousPreset, nextPreset, newPreset, undo, redo, reload, clear;

    // Main grid (the chorus switches are in chorus[stage].enabled)
    juce::String mix, outputGain;

    // Stage tabs
    juce::String stageTabs;
    Chorus chorus[2];
    juce::String driverFeedback, driverDelay;
    juce::String phaserRange, phaserFreq, phaserPeriod, phaserLayers;
    juce::String oscEnabled, textureFeedback, stereo, textureFeedbackTexture;

    // Footer
    juce::String help, shareMusic;

    // The hint line's own texts
    juce::String defaultHint, hintsOff;

private:
    HintTexts();
};

} // namespace qmrk_gui
