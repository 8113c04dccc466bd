#pragma once

namespace qmrk_gui
{
/** Labeled suites in cells of two columns, filled in reading order.

    Each cell holds its control in a square as high as the cell (or as wide, if narrower) and
    gives the rest of its width to the label. The grid owns its suites; attaching them and giving
    them hints is the owner's job.
*/
class LabeledSuiteGrid : public juce::Component
{
public:
    enum Kind
    {
        sliderKind = 0,
        toggleKind = 1
    };

    /** kinds holds one entry per cell; an entry other than sliderKind or toggleKind leaves its
        cell empty (getSuite gives null for it). */
    LabeledSuiteGrid (int rows, float sliderSize, float toggleSize, LookAndFeel& lookAndFeel, juce::Array<int> kinds);
    ~LabeledSuiteGrid() override;

    /** The suite of a cell in reading order, or null. */
    [[nodiscard]] LabeledSuite* getSuite (int index) const noexcept;
    [[nodiscard]] int getNumSuites() const noexcept { return suites.size(); }

    void resized() override;

    /** The control's and the label's areas of cell index in a grid of the given size. */
    [[nodiscard]] juce::Array<juce::Rectangle<float>> getCellAreas (int index, float width, float height) const;

    static constexpr int columns = 2;

private:
    const int rows;
    const juce::Array<int> kinds;
    const float sliderSize;
    const float toggleSize;
    juce::OwnedArray<SliderSuite> sliderSuites;
    juce::OwnedArray<ToggleButtonSuite> toggleSuites;
    juce::Array<LabeledSuite*> suites;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LabeledSuiteGrid)
};

} // namespace qmrk_gui
