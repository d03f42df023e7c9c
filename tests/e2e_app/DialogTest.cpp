// The About box: size and place, the count going on behind it, and each way to close it.
#include "Session.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

using namespace app;

TEST(AboutBoxTest, IsCentredKeepsTheCountGoingAndClosesEveryWay) {
    e2e::XServer x;
    Scratch s;
    e2e::App a = Start(x, s);
    const e2e::WindowId w = WaitForMainWindow(x, a);
    WaitForSeconds(x, w, 1);
    const e2e::Size screen = x.ScreenSize();

    struct Case {
        const char* how;
        std::function<void(e2e::WindowId about)> close;
    };
    const Case cases[] = {
        {"Enter (OK)", [&](e2e::WindowId about) { KeyTo(x, about, "Return"); }},
        {"Escape", [&](e2e::WindowId about) { KeyTo(x, about, "Escape"); }},
        {"its Close button",
         [&](e2e::WindowId about) { x.Click(x.ToScreen(about, kAboutClose.x, kAboutClose.y)); }},
        {"a click on OK",
         [&](e2e::WindowId about) {
             x.Click(x.ToScreen(about, kAboutOk.x + kAboutOk.width / 2,
                                kAboutOk.y + kAboutOk.height / 2));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        OpenMenu(x, w);
        x.KeyCombo("a");
        const e2e::WindowId about = WaitForTitled(x, "About Riduduz", a);
        const e2e::Rect g = x.Geometry(about);
        EXPECT_EQ(g.width, kAboutWidth);
        EXPECT_EQ(g.height, kAboutHeight);
        EXPECT_LE(std::abs(g.x - (screen.width - kAboutWidth) / 2), 1) << g;
        EXPECT_LE(std::abs(g.y - (screen.height - kAboutHeight) / 2), 1) << g;
        if (&c == &cases[0]) {
            WaitUntilPainted(x, about);
            Screenshot(x, about, "about");
        }

        // Modal, yet the main window's title goes on counting.
        const int opened = Seconds(x, w);
        const int next = WaitForChangeFrom(x, w, opened);
        EXPECT_GT(next, opened);
        EXPECT_GT(WaitForChangeFrom(x, w, next), next);
        EXPECT_TRUE(x.ListPopups().empty()) << "the menu stayed up: " << x.DescribeWindows();

        c.close(about);
        x.WaitForWindowGone(about, kAppear);
        const int closed = Seconds(x, w);
        EXPECT_GT(WaitForChangeFrom(x, w, closed), closed) << "not counting after the About box";
        EXPECT_TRUE(a.Running());
    }
    ExitThroughMenu(x, w, a);
}

TEST(AboutBoxTest, TheCopyrightLineIsNotCutOff) {
    e2e::XServer x;
    Scratch s;
    e2e::App a = Start(x, s);
    const e2e::WindowId w = WaitForMainWindow(x, a);
    WaitForSeconds(x, w, 1);
    OpenMenu(x, w);
    x.KeyCombo("a");
    const e2e::WindowId about = WaitForTitled(x, "About Riduduz", a);
    WaitUntilPainted(x, about);
    // Label2: x 93..378, y 112..124. Text that fits leaves its outer columns blank.
    for (const int column : {93, 93 + 286 - 1}) {
        int inked = 0;
        for (int y = 112; y < 112 + 13; ++y)
            inked += x.Pixel(about, column, y) != kFormColour;
        EXPECT_EQ(inked, 0) << "text reaches column " << column << " of the copyright line";
    }
    KeyTo(x, about, "Escape");
    x.WaitForWindowGone(about, kAppear);
    ExitThroughMenu(x, w, a);
}

} // namespace
