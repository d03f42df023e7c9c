// The pop-up menu: where it opens, what its letters choose, and the home page it and the
// logo hand to the desktop.
#include "Session.h"

#include <gtest/gtest.h>

namespace {

using namespace app;

TEST(MenuTest, OpensWithItsTopLeftAtTheMenuButtonsBottomLeft) {
    e2e::XServer x;
    Scratch s;
    e2e::App a = Start(x, s);
    const e2e::WindowId w = WaitForMainWindow(x, a);
    WaitForSeconds(x, w, 1);
    // The button is drawn where the menu is expected to hang from: its face starts at its
    // left and top edges, the white panel lies just outside them and below its bottom edge.
    const e2e::Rgb white{255, 255, 255};
    const int midX = kMenuButton.x + kMenuButton.width / 2;
    const int midY = kMenuButton.y + kMenuButton.height / 2;
    const int bottom = kMenuButton.y + kMenuButton.height;
    EXPECT_EQ(x.Pixel(w, kMenuButton.x - 1, midY), white);
    EXPECT_NE(x.Pixel(w, kMenuButton.x, midY), white);
    EXPECT_EQ(x.Pixel(w, midX, kMenuButton.y - 1), white);
    EXPECT_NE(x.Pixel(w, midX, kMenuButton.y), white);
    EXPECT_NE(x.Pixel(w, midX, bottom - 1), white);
    EXPECT_EQ(x.Pixel(w, midX, bottom), white);

    const e2e::TopLevel menu = OpenMenu(x, w);
    EXPECT_TRUE(menu.override_redirect);
    const e2e::Point corner = x.ToScreen(w, kMenuButton.x, kMenuButton.y + kMenuButton.height);
    EXPECT_EQ((e2e::Point{menu.geometry.x, menu.geometry.y}), corner) << menu;
    Screenshot(x, menu.id, "menu");
    Screenshot(x, w, "main-window-with-menu");

    // Escape closes it and leaves the program counting.
    x.KeyCombo("Escape");
    x.WaitForWindowGone(menu.id, kAppear);
    const int before = Seconds(x, w);
    EXPECT_GT(WaitForNextTick(x, w), before);
    ExitThroughMenu(x, w, a);
}

// O does nothing, R asks, A shows the About box, X ends the program (S: CounterTest,
// H: below). One run, item by item.
TEST(MenuTest, LettersChooseTheItems) {
    e2e::XServer x;
    Scratch s;
    e2e::App a = Start(x, s);
    const e2e::WindowId w = WaitForMainWindow(x, a);
    WaitForSeconds(x, w, 1);
    const std::size_t windows = x.ListTopLevels().size();

    {
        SCOPED_TRACE("O: Options does nothing");
        const e2e::TopLevel menu = OpenMenu(x, w);
        x.KeyCombo("o");
        x.WaitForWindowGone(menu.id, kAppear);
        const int before = Seconds(x, w);
        EXPECT_GT(WaitForNextTick(x, w), before);
        EXPECT_EQ(x.ListTopLevels().size(), windows) << x.DescribeWindows();
        EXPECT_FALSE(ReadFile(s.OpenerLog())) << "Options opened something";
    }
    {
        SCOPED_TRACE("R: Reset Timer asks");
        OpenMenu(x, w);
        x.KeyCombo("r");
        const e2e::WindowId box = WaitForTitled(x, "Confirmation", a);
        const int before = Seconds(x, w);
        KeyTo(x, box, "Escape");
        x.WaitForWindowGone(box, kAppear);
        EXPECT_GT(WaitForNextTick(x, w), before);
    }
    {
        SCOPED_TRACE("A: About");
        OpenMenu(x, w);
        x.KeyCombo("a");
        const e2e::WindowId about = WaitForTitled(x, "About Riduduz", a);
        KeyTo(x, about, "Escape");
        x.WaitForWindowGone(about, kAppear);
    }
    {
        SCOPED_TRACE("X: Exit");
        const int last = Seconds(x, w);
        OpenMenu(x, w);
        x.KeyCombo("x");
        EXPECT_EQ(a.WaitExit(kAppear), e2e::ExitStatus::Exited(0)) << a.Describe();
        ExpectFreshLog(ReadFile(s.Log()), last, last + 2);
    }
}

TEST(MenuTest, LogoAndHomePageHandTheSameAddressToTheDesktop) {
    e2e::XServer x;
    Scratch s;
    e2e::App a = Start(x, s);
    const e2e::WindowId w = WaitForMainWindow(x, a);
    WaitForSeconds(x, w, 1);

    auto opened = [&](std::size_t lines) {
        return x.WaitUntil(
            [&]() -> std::optional<std::vector<std::string>> {
                const auto text = ReadFile(s.OpenerLog());
                std::vector<std::string> out;
                std::size_t start = 0;
                while (text && start < text->size()) {
                    const std::size_t nl = text->find('\n', start);
                    if (nl == std::string::npos) break; // still being written
                    out.push_back(text->substr(start, nl - start));
                    start = nl + 1;
                }
                if (out.size() >= lines) return out;
                return std::nullopt;
            },
            kAppear, std::to_string(lines) + " call(s) of xdg-open");
    };

    x.Click(x.ToScreen(w, kLogo.x, kLogo.y));
    const auto afterLogo = opened(1);
    ASSERT_EQ(afterLogo.size(), 1u);
    EXPECT_EQ(afterLogo[0].rfind("http", 0), 0u) << "not an address: " << afterLogo[0];
    EXPECT_EQ(afterLogo[0].find(' '), std::string::npos) << "more than one argument";

    OpenMenu(x, w);
    x.KeyCombo("h");
    const auto afterMenu = opened(2);
    ASSERT_EQ(afterMenu.size(), 2u);
    EXPECT_EQ(afterMenu[1], afterLogo[0]);

    // Neither ends nor stops the program.
    const int before = Seconds(x, w);
    EXPECT_GT(WaitForNextTick(x, w), before);
    ExitThroughMenu(x, w, a);
}

} // namespace
