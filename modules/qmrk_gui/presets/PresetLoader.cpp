namespace qmrk_gui
{
using PresetLoader = PresetManager::PresetLoader;

PresetLoader::LoadStateUndoableAction::LoadStateUndoableAction (PresetLoader& owner, juce::MemoryBlock newBlob,
                                                                juce::MemoryBlock oldBlob)
    : loader (&owner)
    , newState (std::move (newBlob))
    , oldState (std::move (oldBlob))
{
}

bool PresetLoader::LoadStateUndoableAction::perform()
{
    return loader->setState (newState.getData(), (int) newState.getSize());
}

bool PresetLoader::LoadStateUndoableAction::undo()
{
    // A successful setState clears the undo history, which deletes this action while it runs:
    // work on copies, and touch no member once setState has been called.
    auto* const target = loader;
    const juce::MemoryBlock state (oldState);

    if (auto* presetDisplay = target->display.load())
        presetDisplay->selectNew (juce::dontSendNotification);

    target->setState (state.getData(), (int) state.getSize());

    // Reporting success would make the undo manager step its index below the history that
    // setState has just emptied, and the next recorded change could then not be undone.
    // Reporting failure makes it clear the history itself: nothing to undo or redo, as intended.
    return false;
}

//==============================================================================
int PresetLoader::getShift() const
{
    return shiftSource != nullptr ? shiftSource->getPresetShift() : 0;
}

void PresetLoader::setModifiedAndNotify (bool isModified)
{
    if (setModifiedFlag (isModified))
        if (auto* d = display.load())
            d->setModified (isModified);
}

bool PresetLoader::loadState (juce::MemoryBlock data, bool undoable)
{
    if (!undoable || undoManager == nullptr)
    {
        const auto blob = unscramblePresetData (data, getShift());
        return !blob.isEmpty() && setState (blob.getData(), (int) blob.getSize());
    }

    juce::MemoryBlock oldState;
    getState (oldState, true);

    auto newState = unscramblePresetData (data, getShift());

    if (newState.isEmpty())
        return false;

    // The load is a step of its own, and so is whatever follows it.
    undoManager->beginNewTransaction();
    const auto result =
        undoManager->perform (new LoadStateUndoableAction (*this, std::move (newState), std::move (oldState)));
    undoManager->beginNewTransaction();
    return result;
}

bool PresetLoader::saveToFile (const juce::File& file)
{
    if (file.getFullPathName().isEmpty() || !file.existsAsFile())
        return false;

    // Cleared before the state is taken, so a change that lands while writing marks it again.
    const auto wasModified = setModifiedFlag (false);

    juce::MemoryBlock blob;
    getState (blob, false);
    const auto data = scramblePresetData (blob, getShift());

    // An empty result would make the preset file empty (replaceWithData even deletes it).
    const auto written = !data.isEmpty() && replaceFileAtomically (file, data.getData(), data.getSize());

    if (!written)
    {
        // The display was never told otherwise, so it still shows the mark.
        if (wasModified)
            modified.store (true);

        return false;
    }

    if (wasModified && !isModified())
        if (auto* d = display.load())
            d->setModified (false);

    return true;
}

bool PresetLoader::loadFromFile (const juce::File& file)
{
    if (file.getFullPathName().isEmpty() || !file.existsAsFile())
        return false;

    const auto size = file.getSize();

    if (size <= 0 || size > PresetFileLimits::maxPresetFileSize)
        return false;

    juce::FileInputStream in (file);

    if (!in.openedOk())
        return false;

    juce::MemoryBlock block;

    if (in.readIntoMemoryBlock (block, (ssize_t) size) != (size_t) size || !in.isExhausted())
        return false;

    return loadState (std::move (block), true);
}

} // namespace qmrk_gui
