// The main window as the X server sees it: names, class, icons, frame, size, place, shape,
// the title as the count, dragging by the skinned title bar, a right click, two copies.
#include "Session.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace app;
using e2e::Rect;
using e2e::Size;

// Title and task-bar text, in both the old and the EWMH properties.
void ExpectNames(e2e::XServer& x, e2e::WindowId w, const std::string& text) {
    EXPECT_EQ(x.WmName(w), text);
    EXPECT_EQ(x.Title(w), text);
    EXPECT_EQ(x.WmIconName(w), text);
    EXPECT_EQ(x.NetIconName(w), text);
}

// Command-line words change nothing: each run shows the same window and counts the same.
class MainWindowTest : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(MainWindowTest, IsAFramelessFixedCentredShapedWindowWhoseTitlesCount) {
    e2e::XServer x;
    Scratch s;
    e2e::App a = Start(x, s, GetParam());
    const e2e::WindowId w = WaitForMainWindow(x, a);

    // Before the first tick every name is the application's; the first tick may already
    // have come on a slow machine, then the names are checked after it below.
    if (x.Title(w) == "Riduduz") {
        SCOPED_TRACE("before the first tick");
        ExpectNames(x, w, "Riduduz");
    }

    EXPECT_EQ(x.WmClass(w), std::make_pair(std::string("riduduz"), std::string("Riduduz")));
    const auto icons = x.NetWmIconSizes(w);
    EXPECT_NE(std::find(icons.begin(), icons.end(), Size{32, 32}), icons.end());
    EXPECT_NE(std::find(icons.begin(), icons.end(), Size{16, 16}), icons.end());
    EXPECT_EQ(x.MotifDecorations(w), 0ul);
    EXPECT_FALSE(x.WmDrawsFrame(w));

    const Size screen = x.ScreenSize();
    EXPECT_EQ(x.Geometry(w), (Rect{(screen.width - kMainWidth) / 2,
                                   (screen.height - kMainHeight) / 2, kMainWidth, kMainHeight}));
    const auto hints = x.SizeHints(w);
    ASSERT_TRUE(hints);
    EXPECT_EQ(hints->min, (Size{kMainWidth, kMainHeight}));
    EXPECT_EQ(hints->max, (Size{kMainWidth, kMainHeight}));

    // Top corners cut by the 11 x 11 ellipse, bottom corners square.
    EXPECT_TRUE(x.IsShaped(w));
    EXPECT_FALSE(x.IsPixelInShape(w, 0, 0));
    EXPECT_FALSE(x.IsPixelInShape(w, kMainWidth - 1, 0));
    EXPECT_TRUE(x.IsPixelInShape(w, 270, 0));
    EXPECT_TRUE(x.IsPixelInShape(w, 0, 10));
    EXPECT_TRUE(x.IsPixelInShape(w, 0, kMainHeight - 1));
    EXPECT_TRUE(x.IsPixelInShape(w, kMainWidth - 1, kMainHeight - 1));

    // The first tick shows one second in every name, then the count goes on second by second.
    x.WaitUntil([&] { return x.Title(w) == TitleFor(1); }, kTicks, "the first tick");
    {
        SCOPED_TRACE("after the first tick");
        ExpectNames(x, w, TitleFor(1));
    }
    EXPECT_EQ(WaitForChangeFrom(x, w, 1), 2);
    {
        SCOPED_TRACE("after the second tick");
        ExpectNames(x, w, TitleFor(2));
    }
    if (GetParam().empty()) {
        WaitUntilPainted(x, w);
        Screenshot(x, w, "main-window");
    }

    EXPECT_EQ(a.Stdout(), "");
    const int last = Seconds(x, w);
    ExitThroughMenu(x, w, a);
    ExpectFreshLog(ReadFile(s.Log()), last, last + 2);
}

INSTANTIATE_TEST_SUITE_P(CommandLine, MainWindowTest,
                         testing::Values(std::vector<std::string>{},
                                         std::vector<std::string>{"--help", "foo"}),
                         [](const auto& info) {
                             return info.param.empty() ? "NoWords" : "HelpFoo";
                         });

// Drags the title bar twice, in `steps` pointer moves each, and checks the window followed
// by exactly the drag distance.
void DragTwiceAndCheck(int steps) {
    e2e::XServer x;
    Scratch s;
    e2e::App a = Start(x, s);
    const e2e::WindowId w = WaitForMainWindow(x, a);
    WaitForSeconds(x, w, 1); // up and handling input
    const Rect before = x.Geometry(w);

    const e2e::Point from = x.ToScreen(w, kTitleBarGrip.x, kTitleBarGrip.y);
    x.Drag(from, {from.x - 150, from.y - 120}, steps);
    const Rect expected{before.x - 150, before.y - 120, before.width, before.height};
    x.WaitUntil([&] { return x.Geometry(w) == expected; }, kAppear,
                "the window to move by (-150, -120)");

    // Moving again starts from where the window now is.
    const e2e::Point again = x.ToScreen(w, kTitleBarGrip.x, kTitleBarGrip.y);
    x.Drag(again, {again.x + 300, again.y + 40}, steps);
    const Rect moved{expected.x + 300, expected.y + 40, before.width, before.height};
    x.WaitUntil([&] { return x.Geometry(w) == moved; }, kAppear, "the window to move by (300, 40)");
    ExitThroughMenu(x, w, a);
}

// A drag follows the pointer on the screen, in one move or in many.
TEST(MainWindowInputTest, DraggingTheTitleBarMovesTheWindowByTheDragDistance) {
    for (const int steps : {1, 20}) {
        SCOPED_TRACE(std::to_string(steps) + " pointer move(s) per drag");
        DragTwiceAndCheck(steps);
    }
}

TEST(MainWindowInputTest, RightClickShowsNoMenu) {
    e2e::XServer x;
    Scratch s;
    e2e::App a = Start(x, s);
    const e2e::WindowId w = WaitForMainWindow(x, a);
    WaitForSeconds(x, w, 1);

    for (const e2e::Point p : {e2e::Point{270, 200}, kTitleBarGrip, e2e::Point{60, 90}})
        x.Click(x.ToScreen(w, p.x, p.y), 3);
    // A menu would be up within a tick; give it two.
    WaitForNextTick(x, w);
    WaitForNextTick(x, w);
    EXPECT_TRUE(x.ListPopups().empty()) << x.DescribeWindows();
    ExitThroughMenu(x, w, a);
}

TEST(MainWindowInputTest, TwoCopiesRunSideBySideAndBothCount) {
    e2e::XServer x;
    Scratch s;
    e2e::App first = Start(x, s);
    const e2e::WindowId w1 = WaitForMainWindow(x, first);
    e2e::App second = Start(x, s);
    const e2e::WindowId w2 = WaitForMainWindow(x, second, {w1});
    ASSERT_NE(w1, w2);

    const int s1 = WaitForSeconds(x, w1, 1), s2 = WaitForSeconds(x, w2, 1);
    EXPECT_GT(WaitForNextTick(x, w1), s1);
    EXPECT_GT(WaitForNextTick(x, w2), s2);
    EXPECT_TRUE(first.Running() && second.Running());

    ExitThroughMenu(x, w2, second);
    EXPECT_TRUE(x.IsMapped(w1));
    EXPECT_GT(WaitForNextTick(x, w1), s1 + 1) << "the first copy stopped counting";
    const int last = Seconds(x, w1);
    ExitThroughMenu(x, w1, first);
    // Both copies share the log beside the program: the day is listed once.
    ExpectFreshLog(ReadFile(s.Log()), 1, last + 2);
}

} // namespace
