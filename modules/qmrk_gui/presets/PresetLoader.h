#pragma once

#include <atomic>

namespace qmrk_gui
{
/**
    The preset system's access to the plug-in state, implemented by the processor. Around the two
    state operations it adds preset files, undoable loads and the modified mark of the loaded
    preset, which a registered display shows.
*/
class PresetManager::PresetLoader
{
public:
    /** Shows the current preset; the browser's combo box while it exists. Message thread only. */
    class PresetDisplay
    {
    public:
        PresetDisplay() = default;
        PresetDisplay (const PresetDisplay&) = default;
        PresetDisplay& operator= (const PresetDisplay&) = default;
        virtual ~PresetDisplay() = default;
        virtual void setModified (bool isModified) = 0;
        virtual void selectNew (juce::NotificationType notification) = 0;
    };

    /** One preset load in the undo history. */
    class LoadStateUndoableAction : public juce::UndoableAction
    {
    public:
        LoadStateUndoableAction (PresetLoader& loader, juce::MemoryBlock newState, juce::MemoryBlock oldState);

        bool perform() override;
        bool undo() override;

    private:
        PresetLoader* loader;
        juce::MemoryBlock newState; // unscrambled blob
        juce::MemoryBlock oldState; // blob of the state before the load, preset information included

        JUCE_DECLARE_NON_COPYABLE (LoadStateUndoableAction)
    };

    PresetLoader() = default;
    virtual ~PresetLoader() = default;

    /** Replaces destData with the state blob; without preset information for preset files. */
    virtual void getState (juce::MemoryBlock& destData, bool includePresetInfo) = 0;
    /** Takes over the state of a blob; false, changing nothing, when the blob is unusable. */
    virtual bool setState (const void* data, int sizeInBytes) = 0;

    /** Makes a scrambled blob (a preset file's content) the current state, as one undo step when
        undoable is true and an undo manager is set. */
    bool loadState (juce::MemoryBlock data, bool undoable);
    /** Writes the current state as a preset file over an existing file. */
    bool saveToFile (const juce::File& file);
    /** Reads a preset file and loads it as one undo step. */
    bool loadFromFile (const juce::File& file);

    //==============================================================================
    /** Any thread, lock-free: sets the modified flag and reports whether that changed it, so the
        caller knows the display needs telling. */
    bool setModifiedFlag (bool isModified) noexcept { return modified.exchange (isModified) != isModified; }
    [[nodiscard]] bool isModified() const noexcept { return modified.load(); }
    /** Message thread: sets the flag and, when it changed, tells the registered display. */
    void setModifiedAndNotify (bool isModified);

    //==============================================================================
    /** Set from parameter changes on any thread, cleared by preset operations. */
    std::atomic<bool> modified { false };
    /** Written on the message thread, read wherever a change is marked. */
    std::atomic<PresetDisplay*> display { nullptr };
    juce::UndoManager* undoManager = nullptr;
    PresetShiftSource* shiftSource = nullptr;

    static_assert (std::atomic<bool>::is_always_lock_free && std::atomic<PresetDisplay*>::is_always_lock_free,
                   "the audio thread marks changes through these");

private:
    /** The shift source's shift, or 0 (refused by the scrambling) when there is none. */
    [[nodiscard]] int getShift() const;

    JUCE_DECLARE_NON_COPYABLE (PresetLoader)
};

} // namespace qmrk_gui
