namespace qmrk_gui
{
namespace
{
// Halves round up; juce::roundToInt would round them to even.
int roundHalfUp (float value)
{
    return (int) std::lround (value);
}
} // namespace

PresetScroller::PresetScroller (LookAndFeel& lnf, PresetComponent& component)
    : leftButton (TriangleButton::left, lnf, "LeftScrollerButton", this)
    , rightButton (TriangleButton::right, lnf, "RightScrollerButton", this)
    , presetComponent (component)
{
    for (auto* button : { &leftButton, &rightButton })
    {
        button->setLookAndFeel (&lnf);
        addAndMakeVisible (*button);
    }
}

PresetScroller::~PresetScroller()
{
    for (auto* button : { &leftButton, &rightButton })
    {
        button->removeListener (this);
        button->setLookAndFeel (nullptr);
    }
}

void PresetScroller::resized()
{
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();
    const auto side = juce::jmin (w * 0.5f, h * 0.5f);

    leftButton.setBounds (0, 0, roundHalfUp (side), roundHalfUp (h));
    rightButton.setBounds (roundHalfUp (w - side), 0, roundHalfUp (side), roundHalfUp (h));
}

void PresetScroller::buttonClicked (juce::Button* button)
{
    const auto direction = button == &leftButton ? -1 : button == &rightButton ? 1 : 0;
    const auto id = presetComponent.getManager().stepPreset (direction);

    // Loaded directly rather than by selecting the menu item: the manager may know a preset that
    // the menu has not been rebuilt for yet, and selecting a missing item would load nothing.
    if (id != PresetManager::noPresetId)
        presetComponent.loadPreset (id);
}

} // namespace qmrk_gui
