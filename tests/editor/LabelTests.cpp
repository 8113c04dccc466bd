#include "EditorTestSupport.h"

#include <map>

using namespace tw::test;

namespace
{
class LabelLayer : public EditorFixture
{
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();

        // Every modulation audible, whatever the default preset holds.
        for (const auto* id : { "CEnabled_a", "CEnabled_b" })
            setParameter (*processor, id, 1.0f);
        for (const auto* id : { "CDepth_a", "CDepth_b", "PRange", "TFeedback" })
            setParameter (*processor, id, 0.5f);

        for (const auto& p : allPlacements())
            ASSERT_TRUE (p.cell.isEnabled()) << ModelTree::getParameterID (p.type, p.stage);
    }
};

std::map<juce::Label*, juce::String> snapshotLabels (const std::vector<Placement>& placements)
{
    std::map<juce::Label*, juce::String> texts;

    for (const auto& p : placements)
        texts[&p.cell.label()] = p.cell.label().getText();

    return texts;
}

} // namespace

TEST_F (LabelLayer, EveryLabelShowsItsParameterAsSoonAsTheEditorOpens)
{
    for (const auto& p : allPlacements())
    {
        SCOPED_TRACE (ModelTree::getParameterID (p.type, p.stage).toStdString());
        const auto expected = processor->getLabelText (p.type, p.stage);
        EXPECT_TRUE (expected.containsChar (':'));
        EXPECT_EQ (p.cell.label().getText(), expected);
    }

    EXPECT_EQ (cellOf (PLayers, -1).label().getText(),
               "Layers: " + juce::String (juce::roundToInt (getParameter (*processor, "PLayers"))));
    EXPECT_TRUE (cellOf (PFreq, -1).label().getText().startsWith ("Center Freq.: "));
    EXPECT_TRUE (cellOf (CEnabled, 1).label().getText().startsWith ("C|b: "));
}

TEST_F (LabelLayer, EachTextReachesExactlyItsOwnCell)
{
    const auto placements = allPlacements();

    for (const auto& p : placements)
    {
        SCOPED_TRACE (ModelTree::getParameterID (p.type, p.stage).toStdString());
        auto before = snapshotLabels (placements);

        // The refreshes that some kinds trigger rewrite their dependents with the real text.
        ed().updateLabel ("probe", static_cast<int> (p.type), p.stage);
        auto after = snapshotLabels (placements);

        EXPECT_EQ (p.cell.label().getText(), "probe");
        before.erase (&p.cell.label());
        after.erase (&p.cell.label());
        EXPECT_EQ (before, after);

        processor->refreshLabel (p.type, p.stage);
    }
}

TEST_F (LabelLayer, ParameterChangesOnTheMessageThreadShowAtOnce)
{
    setParameter (*processor, "PLayers", 7.0f);
    EXPECT_EQ (cellOf (PLayers, -1).label().getText(), "Layers: 7");

    setParameter (*processor, "CFeedback_b", 0.0f);
    EXPECT_EQ (cellOf (CFeedback, 1).label().getText(), processor->getLabelText (CFeedback, 1));
    EXPECT_NE (cellOf (CFeedback, 0).label().getText(), cellOf (CFeedback, 1).label().getText());
}

TEST_F (LabelLayer, InvalidTypesAndStagesChangeNothing)
{
    struct Case
    {
        int type, stage;
    };
    const Case cases[] = { { numParameterTypes, -1 }, { 17, 0 },      { 99, 1 }, { -1, -1 }, { CDepth, -1 },
                           { CEnabled, 2 },           { CPeriod, -5 } };
    const auto placements = allPlacements();

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << c.type << "/" << c.stage);
        const auto before = snapshotLabels (placements);
        std::vector<bool> enabledBefore;
        for (const auto& p : placements)
            enabledBefore.push_back (p.cell.isEnabled());

        ed().updateLabel ("probe", c.type, c.stage);

        EXPECT_EQ (snapshotLabels (placements), before);
        for (size_t i = 0; i < placements.size(); ++i)
            EXPECT_EQ (placements[i].cell.isEnabled(), enabledBefore[i]);
    }
}

//==============================================================================
TEST_F (LabelLayer, PhaserRangeZeroDimsOnlyThePhaserPeriod)
{
    setParameter (*processor, "PRange", 0.0f);
    EXPECT_FALSE (cellOf (PPeriod, -1).isEnabled());
    EXPECT_EQ (cellOf (PPeriod, -1).label().getText(), processor->getLabelText (PPeriod, -1));

    for (const auto& p : allPlacements())
    {
        EXPECT_EQ (p.cell.isEnabled(), p.type != PPeriod) << ModelTree::getParameterID (p.type, p.stage);
    }

    setParameter (*processor, "PRange", 0.3f);
    EXPECT_TRUE (cellOf (PPeriod, -1).isEnabled());
}

TEST_F (LabelLayer, RaisingThePhaserRangeRefreshesThePeriodLabel)
{
    setParameter (*processor, "PRange", 0.0f);
    cellOf (PPeriod, -1).label().setText ("stale", juce::dontSendNotification);

    setParameter (*processor, "PRange", 0.5f);
    EXPECT_EQ (cellOf (PPeriod, -1).label().getText(), processor->getLabelText (PPeriod, -1));
}

TEST_F (LabelLayer, ChorusSwitchDimsItsWholeTabAndNothingElse)
{
    setParameter (*processor, "CEnabled_a", 0.0f);

    for (const auto type : { CPredelay, CDepth, CFeedback, CPeriod })
    {
        EXPECT_FALSE (cellOf (type, 0).isEnabled()) << type;
        EXPECT_TRUE (cellOf (type, 1).isEnabled()) << type;
    }

    // The switch itself stays usable.
    EXPECT_TRUE (cellOf (CEnabled, 0).isEnabled());
}

TEST_F (LabelLayer, ChorusWithoutDepthKeepsItsPeriodDimmedWhenSwitchedOn)
{
    setParameter (*processor, "CEnabled_a", 0.0f);
    setParameter (*processor, "CDepth_a", 0.0f);
    setParameter (*processor, "CEnabled_a", 1.0f);

    EXPECT_TRUE (cellOf (CPredelay, 0).isEnabled());
    EXPECT_TRUE (cellOf (CDepth, 0).isEnabled());
    EXPECT_TRUE (cellOf (CFeedback, 0).isEnabled());
    EXPECT_FALSE (cellOf (CPeriod, 0).isEnabled());
}

TEST_F (LabelLayer, ChorusDepthZeroDimsOnlyThatStagesPeriod)
{
    setParameter (*processor, "CDepth_b", 0.0f);

    for (const auto& p : allPlacements())
        EXPECT_EQ (p.cell.isEnabled(), !(p.type == CPeriod && p.stage == 1))
            << ModelTree::getParameterID (p.type, p.stage);

    cellOf (CPeriod, 1).label().setText ("stale", juce::dontSendNotification);
    setParameter (*processor, "CDepth_b", 0.4f);
    EXPECT_TRUE (cellOf (CPeriod, 1).isEnabled());
    EXPECT_EQ (cellOf (CPeriod, 1).label().getText(), processor->getLabelText (CPeriod, 1));
}

TEST_F (LabelLayer, TextureFeedbackZeroDimsTheTextureControl)
{
    setParameter (*processor, "TFeedback", 0.0f);
    EXPECT_FALSE (cellOf (TFeedbackTexture, -1).isEnabled());
    EXPECT_TRUE (cellOf (TFeedback, -1).isEnabled());

    setParameter (*processor, "TFeedback", 0.7f);
    EXPECT_TRUE (cellOf (TFeedbackTexture, -1).isEnabled());
}

TEST_F (LabelLayer, DisabledKnobsAreDrawnDimmed)
{
    ed().setBounds (0, 0, PluginEditor::editorWidth, PluginEditor::editorHeight);
    tabs().setCurrentTabIndex (3); // "P"
    auto& knob = cellOf (PPeriod, -1).control();
    const auto centre = knob.getBounds().getCentre() + tabs().phaserGrid.getPosition() + tabs().getPosition();

    juce::Image before (juce::Image::ARGB, PluginEditor::editorWidth, PluginEditor::editorHeight, true);
    {
        juce::Graphics g (before);
        ed().paintEntireComponent (g, false);
    }
    setParameter (*processor, "PRange", 0.0f);
    juce::Image after (juce::Image::ARGB, PluginEditor::editorWidth, PluginEditor::editorHeight, true);
    {
        juce::Graphics g (after);
        ed().paintEntireComponent (g, false);
    }

    // The disc, just beside the pointer: full accent when enabled, at 60 % alpha over black when not.
    const auto probe = centre.translated (0, 8);
    const auto lit = before.getPixelAt (probe.x, probe.y);
    const auto dim = after.getPixelAt (probe.x, probe.y);
    EXPECT_EQ (lit, juce::Colour (0xffff8c00));
    EXPECT_LT (dim.getBrightness(), lit.getBrightness());
}

TEST (EditorOpening, WithThePhaserRangeAtZeroThePeriodStartsDimmed)
{
    IsolatedHome home;
    PluginProcessor processor;
    setParameter (processor, "PRange", 0.0f);
    setParameter (processor, "CEnabled_b", 0.0f);

    {
        PluginEditor editor (processor);
        EXPECT_FALSE (labelOf (editor.getStageTabs().phaserGrid.getSuite (2)).isEnabled());
        EXPECT_FALSE (controlOf (editor.getStageTabs().chorusBGrid.getSuite (0)).isEnabled());
        EXPECT_TRUE (controlOf (editor.getStageTabs().chorusAGrid.getSuite (0)).isEnabled());
    }

    deliverPendingMessages();
}
