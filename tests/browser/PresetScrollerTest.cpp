#include "BrowserTestSupport.h"

namespace tw::test
{
struct ScrollerTest : BrowserTest
{
    qmrk_gui::PresetScroller& startScroller()
    {
        start();
        scroller = std::make_unique<qmrk_gui::PresetScroller> (lnf, *browser);
        return *scroller;
    }

    ~ScrollerTest() override { scroller.reset(); }

    std::unique_ptr<qmrk_gui::PresetScroller> scroller;
};

TEST_F (ScrollerTest, ButtonsAreSquaresAtBothEndsInTheEditorsLook)
{
    auto& s = startScroller();
    EXPECT_EQ (&browser->getLookAndFeel(), &lnf);
    EXPECT_EQ (&s.getLeftButton().getLookAndFeel(), &lnf);
    EXPECT_EQ (&s.getRightButton().getLookAndFeel(), &lnf);
    EXPECT_EQ (s.getLeftButton().getName(), "LeftScrollerButton");
    EXPECT_EQ (s.getRightButton().getName(), "RightScrollerButton");
    EXPECT_TRUE (s.getLeftButton().isVisible() && s.getLeftButton().getParentComponent() == &s);
    EXPECT_TRUE (s.getRightButton().isVisible() && s.getRightButton().getParentComponent() == &s);

    const struct
    {
        int w, h;
        juce::Rectangle<int> left, right;
    } cases[] = {
        { 40, 20, { 0, 0, 10, 20 }, { 30, 0, 10, 20 } },
        { qmrk_gui::PresetScroller::defaultWidth,
          qmrk_gui::PresetScroller::defaultHeight,
          { 0, 0, 10, 20 },
          { 20, 0, 10, 20 } },
        { 20, 40, { 0, 0, 10, 40 }, { 10, 0, 10, 40 } },
        { 25, 30, { 0, 0, 13, 30 }, { 13, 0, 13, 30 } }, // 12.5 rounds up
    };

    for (const auto& c : cases)
    {
        s.setSize (c.w, c.h);
        EXPECT_EQ (s.getLeftButton().getBounds(), c.left) << c.w << "x" << c.h;
        EXPECT_EQ (s.getRightButton().getBounds(), c.right) << c.w << "x" << c.h;
    }
}

TEST_F (ScrollerTest, StepsAndWrapsAroundLoadingEachPreset)
{
    auto& s = startScroller();
    const auto first = factoryId ("Cowboy bebop");
    const auto last = factoryId ("Low");

    const struct
    {
        int from;
        bool right;
        int to;
        float mix;
        std::string text;
    } cases[] = {
        { last, true, first, BrowserLibrary::mixOf (0), "Cowboy bebop " },
        { first, false, last, BrowserLibrary::mixOf (5), "Low " },
        { first, true, first + 1, BrowserLibrary::mixOf (1), "Down the well " },
        { Manager::newCommandId, false, last, BrowserLibrary::mixOf (5), "Low " },
    };

    for (const auto& c : cases)
    {
        manager->setCurrentId (c.from);
        processor.setPlain ("Mix", 0.03f);
        processor.undo.clearUndoHistory();

        (c.right ? s.getRightButton() : s.getLeftButton()).triggerClick();
        deliverPendingMessages();

        EXPECT_EQ (manager->getCurrentId(), c.to) << c.text;
        EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), c.mix) << c.text;
        EXPECT_TRUE (processor.undo.canUndo()) << c.text;
        EXPECT_EQ (label(), c.text);
    }
}

TEST_F (ScrollerTest, StepsIntoPresetsTheMenuDoesNotListYet)
{
    auto& s = startScroller();
    const auto late = addUserFile ("late.tw10", 0.58f);
    manager->rescanUserPresets(); // as restoring a host state does; the menu is not told
    manager->setCurrentId (factoryId ("Low"));

    s.getRightButton().triggerClick();
    deliverPendingMessages();

    const auto id = userId (late);
    EXPECT_EQ (manager->getCurrentId(), id);
    EXPECT_FLOAT_EQ (processor.getPlain ("Mix"), 0.58f);
    EXPECT_EQ (label(), "Late ");
    EXPECT_TRUE (contains (menu(), std::to_string (id) + " Late"));
}

} // namespace tw::test
