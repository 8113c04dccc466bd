namespace qmrk_gui
{
LabeledSuiteGrid::LabeledSuiteGrid (int numRows, float sliderSide, float toggleSide, LookAndFeel& lnf,
                                    juce::Array<int> cellKinds)
    : rows (juce::jmax (1, numRows))
    , kinds (std::move (cellKinds))
    , sliderSize (sliderSide)
    , toggleSize (toggleSide)
{
    for (const auto kind : kinds)
    {
        LabeledSuite* suite = nullptr;

        if (kind == sliderKind)
            suite = sliderSuites.add (std::make_unique<SliderSuite> (lnf));
        else if (kind == toggleKind)
            suite = toggleSuites.add (std::make_unique<ToggleButtonSuite> (lnf));

        suites.add (suite);

        if (suite != nullptr)
            suite->addTo (*this);
    }
}

LabeledSuiteGrid::~LabeledSuiteGrid()
{
    suites.clear();
    toggleSuites.clear();
    sliderSuites.clear();
}

LabeledSuite* LabeledSuiteGrid::getSuite (int index) const noexcept
{
    return suites[index];
}

juce::Array<juce::Rectangle<float>> LabeledSuiteGrid::getCellAreas (int index, float width, float height) const
{
    const auto cellWidth = width / (float) columns;
    const auto cellHeight = height / (float) rows;
    const auto square = juce::jmin (cellWidth, cellHeight);

    const auto x0 = (float) (index % columns) * cellWidth;
    const auto y0 = (float) (index / columns) * cellHeight;

    const auto size = juce::isPositiveAndBelow (index, kinds.size()) && kinds.getUnchecked (index) != sliderKind
                          ? toggleSize
                          : sliderSize;
    const auto side = juce::jmax (0.0f, size);
    const auto offset = (square - size) / 2.0f;

    juce::Array<juce::Rectangle<float>> areas;
    areas.add ({ x0 + offset, y0 + offset, side, side });
    areas.add ({ x0 + square, y0, cellWidth - square, square });
    return areas;
}

void LabeledSuiteGrid::resized()
{
    const auto width = (float) getWidth();
    const auto height = (float) getHeight();

    for (int i = 0; i < suites.size(); ++i)
        if (auto* suite = suites.getUnchecked (i))
            suite->setAreas (getCellAreas (i, width, height));
}

} // namespace qmrk_gui
