// The keyboard alone: Tab and Shift+Tab move the focus in tab order, Space clicks the
// focused button, and the confirmation box's window-manager close answers Cancel.
#include "Session.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>

namespace {

using namespace app;

// What a window manager sends when the user closes a window from its frame.
void RequestClose(e2e::Connection& x, e2e::WindowId w) {
    Display* d = x.Raw();
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    x.Sync();
}

TEST(KeyboardTest, TabOrderSpaceAndClosingTheConfirmationBox) {
    e2e::XServer x;
    Scratch s;
    e2e::App a = Start(x, s);
    const e2e::WindowId w = WaitForMainWindow(x, a);
    WaitForSeconds(x, w, 1);

    // The first control in tab order is the Menu button.
    KeyTo(x, w, "space");
    x.WaitUntil([&] { return !x.ListPopups().empty(); }, kAppear, "the menu to open");
    KeyTo(x, w, "Escape");
    x.WaitUntil([&] { return x.ListPopups().empty(); }, kAppear, "the menu to close");

    // Tab twice: Start/Pause, then Reset Timer, whose Space asks.
    KeyTo(x, w, "Tab");
    KeyTo(x, w, "Tab");
    WaitForSeconds(x, w, 3);
    KeyTo(x, w, "space");
    const e2e::WindowId box = WaitForTitled(x, "Confirmation", a);
    const int before = Seconds(x, w);
    RequestClose(x, box);
    x.WaitForWindowGone(box, kAppear);
    EXPECT_GT(WaitForChangeFrom(x, w, before), before) << "closing the box is Cancel";

    // Shift+Tab goes back to Start/Pause: Space pauses, then a second copy counts on while
    // this one stands still, and Space again resumes.
    KeyTo(x, w, "shift+Tab");
    KeyTo(x, w, "space");
    const int paused = Seconds(x, w);
    e2e::App clock = Start(x, s);
    const e2e::WindowId other = WaitForMainWindow(x, clock, {w});
    WaitForSeconds(x, other, 3);
    EXPECT_LE(Seconds(x, w), paused + 1) << "still counting after Space on Start/Pause";
    const int frozen = Seconds(x, w);
    KeyTo(x, w, "space");
    EXPECT_EQ(WaitForChangeFrom(x, w, frozen), frozen + 1);
    ExitThroughMenu(x, other, clock);
    ExitThroughMenu(x, w, a);
}

} // namespace
