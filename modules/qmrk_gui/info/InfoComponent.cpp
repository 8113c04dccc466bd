namespace qmrk_gui
{
InfoComponent::InfoComponent (const LookAndFeel& lnf, const juce::String& version)
    : lookAndFeel (lnf)
    , versionLabel (lnf, "Version: " + version)
    , closeButton (lnf, "Close", this)
{
    setWantsKeyboardFocus (true);
    addKeyListener (this);
    addAndMakeVisible (versionLabel);
    addAndMakeVisible (closeButton);
}

InfoComponent::~InfoComponent()
{
    removeKeyListener (this);
    closeButton.removeListener (this);
}

void InfoComponent::paint (juce::Graphics& g)
{
    g.fillAll (lookAndFeel.backgroundColour);
    g.setColour (lookAndFeel.outlineColour);
    g.drawRect (getLocalBounds().toFloat(), 3.0f);
}

void InfoComponent::resized()
{
    versionLabel.setBounds (6, 32, getWidth() - 12, 20);
    closeButton.setBounds (12, getHeight() - 38, 120, 26);
}

bool InfoComponent::keyPressed (const juce::KeyPress& key, juce::Component*)
{
    if (!isVisible())
        return false;

    const auto modifiers = key.getModifiers();

    if (modifiers.isShiftDown() || modifiers.isCtrlDown() || modifiers.isAltDown() || modifiers.isCommandDown())
        return false;

    const auto code = key.getKeyCode();

    if (code == juce::KeyPress::returnKey || code == juce::KeyPress::escapeKey || code == juce::KeyPress::deleteKey)
    {
        setVisible (false);
        return true;
    }

    return false;
}

void InfoComponent::buttonClicked (juce::Button* button)
{
    if (button == &closeButton)
        setVisible (false);
}

} // namespace qmrk_gui
