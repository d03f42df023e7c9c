// The count: pausing and resuming (keys and menu), resetting through the confirmation box,
// and carrying on from the total stored for today.
#include "Session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <iostream>

namespace {

using namespace app;

// Pausing: a second copy of the program is the clock, so "frozen" means "did not move while
// the other copy counted two seconds", however slow the machine is.
TEST(CounterTest, PauseFreezesTheCountAndResumeGoesOnFromIt) {
    e2e::XServer x;
    Scratch s, clockFolder;
    e2e::App a = Start(x, s);
    const e2e::WindowId w = WaitForMainWindow(x, a);
    e2e::App clockApp = Start(x, clockFolder);
    const e2e::WindowId clock = WaitForMainWindow(x, clockApp, {w});
    WaitForSeconds(x, w, 2);
    WaitForSeconds(x, clock, 1);

    auto menuStart = [&] {
        OpenMenu(x, w);
        x.KeyCombo("s");
    };
    struct Step {
        const char* how;
        std::function<void()> toggle;
    };
    // The button's accelerator follows its caption: "&Pause" while counting, "&Start" when
    // paused. The menu's Start item toggles either way.
    const Step steps[] = {
        {"Alt+P pauses", [&] { KeyTo(x, w, "alt+p"); }},
        {"Alt+S resumes", [&] { KeyTo(x, w, "alt+s"); }},
        {"menu S pauses", menuStart},
        {"menu S resumes", menuStart},
    };
    for (std::size_t i = 0; i < std::size(steps); i += 2) {
        {
            SCOPED_TRACE(steps[i].how);
            steps[i].toggle();
            WaitForNextTick(x, clock); // the toggle has been handled by now
            const auto frozen = x.Title(w);
            ASSERT_TRUE(TitleSeconds(frozen)) << frozen.value_or("(no title)");
            WaitForNextTick(x, clock);
            WaitForNextTick(x, clock);
            EXPECT_EQ(x.Title(w), frozen) << "the count moved while paused";
            EXPECT_EQ(x.IconName(w), frozen);

            SCOPED_TRACE(steps[i + 1].how);
            steps[i + 1].toggle();
            const int paused = *TitleSeconds(frozen);
            EXPECT_EQ(WaitForChangeFrom(x, w, paused), paused + 1)
                << "counting did not go on from the paused count";
            EXPECT_EQ(WaitForChangeFrom(x, w, paused + 1), paused + 2);
        }
    }
    const int last = Seconds(x, w);
    ExitThroughMenu(x, w, a);
    ExpectFreshLog(ReadFile(s.Log()), last, last + 2);
    ExitThroughMenu(x, clock, clockApp);
}

// Where the two buttons of the confirmation box are: 75 x 23, 6 px apart, centred, 11 px
// above the bottom edge (the backend's message box layout).
e2e::Point ConfirmButton(e2e::XServer& x, e2e::WindowId box, int index) {
    const e2e::Rect g = x.Geometry(box);
    const int left = (g.width - (2 * 75 + 6)) / 2 + index * (75 + 6);
    return x.ToScreen(box, left + 37, g.height - 11 - 12);
}

// Reset Timer asks first; only OK clears the count, so the next tick shows one second.
TEST(CounterTest, ResetAsksAndOnlyOkClearsTheCount) {
    e2e::XServer x;
    Scratch s;
    e2e::App a = Start(x, s);
    const e2e::WindowId w = WaitForMainWindow(x, a);

    struct Case {
        const char* answer;
        std::function<void(e2e::WindowId box)> answerIt;
        bool resets;
    };
    const Case cases[] = {
        {"Escape", [&](e2e::WindowId box) { KeyTo(x, box, "Escape"); }, false},
        {"Cancel", [&](e2e::WindowId box) { x.Click(ConfirmButton(x, box, 1)); }, false},
        {"Enter", [&](e2e::WindowId box) { KeyTo(x, box, "Return"); }, true},
        {"OK", [&](e2e::WindowId box) { x.Click(ConfirmButton(x, box, 0)); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        WaitForSeconds(x, w, 3); // well clear of the one second a reset leads to
        KeyTo(x, w, "alt+r");
        const e2e::WindowId box = WaitForTitled(x, "Confirmation", a);
        if (&c == &cases[0]) Screenshot(x, box, "confirmation");
        const int before = Seconds(x, w);
        c.answerIt(box);
        x.WaitForWindowGone(box, kAppear);

        // Watch the count until it either shows one second or has gone two past `before`.
        int lowest = INT_MAX;
        x.WaitUntil(
            [&] {
                const auto now = TitleSeconds(x.Title(w));
                if (now) lowest = std::min(lowest, *now);
                return now && (*now == 1 || *now >= before + 2);
            },
            kTicks, "the count to restart or go on");
        if (c.resets)
            EXPECT_EQ(lowest, 1) << "OK did not restart the count (it was " << before << ")";
        else
            EXPECT_GE(lowest, before) << "the count went back";
    }
    const int last = Seconds(x, w);
    ExitThroughMenu(x, w, a);
    ExpectFreshLog(ReadFile(s.Log()), last, last + 2);
}

// What the big read-out shows, once two captures in a row agree while the title stays `title`.
std::optional<e2e::Image> SteadyReadout(e2e::XServer& x, e2e::WindowId w,
                                        const std::string& title) {
    auto crop = [&] {
        const e2e::Image all = x.Capture(w);
        e2e::Image part;
        part.width = kReadout.width;
        part.height = kReadout.height;
        for (int y = 0; y < kReadout.height; ++y)
            for (int xx = 0; xx < kReadout.width; ++xx)
                part.pixels.push_back(all.At(kReadout.x + xx, kReadout.y + y));
        return part;
    };
    for (int attempt = 0; attempt < 50 && x.Title(w) == title; ++attempt) {
        const e2e::Image one = crop();
        const e2e::Image two = crop();
        // Drawn text: the read-out is blue on the light form colour.
        const bool drawn = std::any_of(one.pixels.begin(), one.pixels.end(), [](e2e::Rgb c) {
            return c.b > 200 && c.r < 80 && c.g < 80;
        });
        if (drawn && one.pixels == two.pixels && x.Title(w) == title) return one;
    }
    return std::nullopt;
}

// A stored total is shown at once and counted on from; the runs of one day add up.
TEST(CounterTest, StoredTotalIsShownAtOnceAndCountedOn) {
    e2e::XServer x;
    const std::string day = Today();
    Scratch stored;
    stored.WriteLog("[WorkTime]\n" + day + "=3725\n");
    e2e::App a = Start(x, stored);
    const e2e::WindowId w = WaitForMainWindow(x, a);
    // Before the first tick the read-out shows the stored 01:02:05.
    const auto atStart = SteadyReadout(x, w, "Riduduz");
    x.WaitUntil([&] { return TitleSeconds(x.Title(w)).has_value(); }, kTicks, "the first tick");
    EXPECT_EQ(x.Title(w), TitleFor(3726)) << "the first tick did not count on from 01:02:05";
    const int last = WaitForSeconds(x, w, 3727);
    ExitThroughMenu(x, w, a);
    const auto log = ReadFile(stored.Log());
    ASSERT_TRUE(log);
    // The day was listed before (it has a total), so no day list is added.
    const std::string prefix = "[WorkTime]\n" + day + "=";
    ASSERT_EQ(log->rfind(prefix, 0), 0u) << *log;
    const int saved = std::atoi(log->c_str() + prefix.size());
    EXPECT_GE(saved, last);
    EXPECT_LE(saved, last + 2);
    EXPECT_EQ(*log, prefix + std::to_string(saved) + "\n");

    if (!atStart) {
        std::cout << "The first tick came before the read-out could be captured; the read-out "
                     "at start was not compared.\n";
        return;
    }
    // 01:02:05 drawn by a run that counted up to it: a log of 3724 and one tick.
    Scratch oneLess;
    oneLess.WriteLog("[WorkTime]\n" + day + "=3724\n");
    e2e::App b = Start(x, oneLess);
    const e2e::WindowId w2 = WaitForMainWindow(x, b);
    x.WaitUntil([&] { return x.Title(w2) == TitleFor(3725); }, kTicks, "01:02:05 in the title");
    const auto counted = SteadyReadout(x, w2, TitleFor(3725));
    ASSERT_TRUE(counted) << "the read-out did not settle within the tick";
    EXPECT_TRUE(atStart->pixels == counted->pixels)
        << "the read-out at start is not the one of 01:02:05";
    ExitThroughMenu(x, w2, b);
}

} // namespace
