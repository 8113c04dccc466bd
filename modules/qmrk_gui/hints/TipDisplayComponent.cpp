namespace qmrk_gui
{
TipDisplayComponent::TipDisplayComponent (const LookAndFeel& lnf)
    : juce::Thread ("TipDisplayThread")
    , desktop (juce::Desktop::getInstance())
    , toggleSuite (lnf)
{
    toggleSuite.button.setToggleState (true, juce::sendNotification);
    toggleSuite.button.addListener (this);
    toggleSuite.addTo (*this);
    startThread();
}

TipDisplayComponent::~TipDisplayComponent()
{
    stopPolling();
    toggleSuite.button.removeListener (this);
}

void TipDisplayComponent::stopPolling()
{
    // The exit signal also aborts a pending attempt to lock the message manager, which can never
    // succeed while this (message) thread is busy here.
    signalThreadShouldExit();
    stopThread (stopTimeoutMs);
}

juce::String TipDisplayComponent::getHintFor (const juce::Component* component) const
{
    const auto& defaultHint = HintTexts::get().defaultHint;

    if (component == nullptr || component == getParentComponent() || component->isMouseButtonDown() ||
        component->isCurrentlyBlockedByAnotherModalComponent())
        return defaultHint;

    // Only this window's controls: another window (another instance of the plug-in, the host)
    // has nothing to do with this line.
    const auto* window = getTopLevelComponent();

    if (component != window && !window->isParentOf (component))
        return defaultHint;

    const auto help = component->getHelpText();
    return help.isNotEmpty() ? help : defaultHint;
}

void TipDisplayComponent::showHintFor (const juce::Component* component)
{
    // Under the message manager's lock the toggle's callback cannot run meanwhile, so switching
    // the hints off can never be overwritten by a poll that started just before.
    if (hintsEnabled.load())
        toggleSuite.setLabelText (getHintFor (component));
}

void TipDisplayComponent::run()
{
    while (!threadShouldExit())
    {
        if (hintsEnabled.load())
        {
            const juce::MessageManagerLock mml (this);

            if (!mml.lockWasGained() || threadShouldExit())
                return;

            showHintFor (desktop.getMainMouseSource().getComponentUnderMouse());
        }

        // Woken early by stopThread.
        wait (pollIntervalMs);
    }
}

void TipDisplayComponent::buttonClicked (juce::Button* button)
{
    if (button != &toggleSuite.button)
        return;

    hintsEnabled = toggleSuite.button.getToggleState();

    if (!hintsEnabled.load())
        toggleSuite.setLabelText (HintTexts::get().hintsOff);
}

void TipDisplayComponent::resized()
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();
    const auto s = juce::jmin (w, h);
    juce::Array<juce::Rectangle<float>> areas;
    areas.add ({ 0.0f, 0.0f, s, h });
    areas.add ({ s, 0.0f, w - s, h });
    toggleSuite.setAreas (areas);
}

} // namespace qmrk_gui
