// Windows on a private Xvfb: partial repaints, the X properties the desktop reads, key and
// close routing, popups, the message box, and a lost display.
#include <gtest/gtest.h>

#include "backend/Backend.h"
#include "backend/fltk/Helpers.h"
#include "backend/fltk/Internal.h"

#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#undef None

#include <chrono>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace backend;
using backend::fltk::NativeId;
using Clock = std::chrono::steady_clock;

namespace {

struct Xvfb {
    pid_t pid = -1;
    std::string display;
};

// Starts Xvfb on a free display; its number comes back through -displayfd.
Xvfb StartXvfb() {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
               "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline && number.find('\n') == std::string::npos) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char buf[16];
        const ssize_t n = read(fds[0], buf, sizeof buf);
        if (n <= 0) break;
        number.append(buf, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) return {pid, ""};
    return {pid, ":" + number.substr(0, number.find('\n'))};
}

void StopXvfb(const Xvfb& x) {
    if (x.pid <= 0) return;
    kill(x.pid, SIGTERM);
    waitpid(x.pid, nullptr, 0);
}

bool RunFor(const std::function<bool()>& cond, int limitMs = 5000) {
    bool expired = false;
    const TimerId guard = Current().StartTimer(limitMs, [&] { expired = true; });
    Current().RunUntil([&] { return cond() || expired; });
    Current().StopTimer(guard);
    return cond() && !expired;
}

// Lets FLTK finish what it does after a callback (copying the back buffer, say).
void Settle() {
    bool ran = false;
    Current().Post([&] { ran = true; });
    RunFor([&] { return ran; });
    XSync(fl_display, False);
}

struct Recorder : WindowEvents {
    Color fill{255, 255, 255};
    Size size{200, 100};
    std::vector<Rect> paints;
    std::vector<KeyEvent> keys;
    std::vector<MouseEvent> mice;
    int closes = 0;
    int dismissals = 0;
    bool active = false;
    void Paint(Canvas& c, const Rect& area) override {
        paints.push_back(area);
        c.FillRect({0, 0, size.width, size.height}, fill); // all of it: the clip must hold
    }
    void Mouse(const MouseEvent& e) override { mice.push_back(e); }
    void Key(const KeyEvent& e) override { keys.push_back(e); }
    void CloseRequested() override { ++closes; }
    void ActiveChanged(bool a) override { active = a; }
    void Dismissed() override { ++dismissals; }
};

unsigned long PixelAt(unsigned long xid, int x, int y) {
    XImage* img = XGetImage(fl_display, xid, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img) return ~0ul;
    const unsigned long p = XGetPixel(img, 0, 0) & 0xFFFFFF;
    XDestroyImage(img);
    return p;
}

std::vector<unsigned char> Property(unsigned long xid, const char* name, Atom* typeOut = nullptr,
                                    unsigned long* itemsOut = nullptr) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned char> out;
    if (XGetWindowProperty(fl_display, xid, XInternAtom(fl_display, name, False), 0, 1 << 20, False,
                           AnyPropertyType, &type, &format, &items, &after, &data) == Success &&
        data) {
        const std::size_t unit = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
        out.assign(data, data + items * unit);
        XFree(data);
    }
    if (typeOut) *typeOut = type;
    if (itemsOut) *itemsOut = items;
    return out;
}

std::string Text(unsigned long xid, const char* name) {
    const auto bytes = Property(xid, name);
    return {bytes.begin(), bytes.end()};
}

std::string IcccmText(unsigned long xid, bool icon) {
    XTextProperty tp{};
    if (!(icon ? XGetWMIconName(fl_display, xid, &tp) : XGetWMName(fl_display, xid, &tp)))
        return "?";
    char** list = nullptr;
    int n = 0;
    std::string s;
    if (Xutf8TextPropertyToTextList(fl_display, &tp, &list, &n) >= 0 && n > 0) s = list[0];
    if (list) XFreeStringList(list);
    XFree(tp.value);
    return s;
}

void Key(KeySym sym, bool down) {
    XTestFakeKeyEvent(fl_display, XKeysymToKeycode(fl_display, sym), down, 0);
}

void Tap(std::initializer_list<KeySym> chord) {
    for (KeySym k : chord)
        Key(k, true);
    for (auto it = std::rbegin(chord); it != std::rend(chord); ++it)
        Key(*it, false);
    XFlush(fl_display);
}

void Click(int x, int y) {
    XTestFakeMotionEvent(fl_display, -1, x, y, 0);
    XTestFakeButtonEvent(fl_display, 1, True, 0);
    XTestFakeButtonEvent(fl_display, 1, False, 0);
    XFlush(fl_display);
}

void Focus(unsigned long xid) {
    XSetInputFocus(fl_display, xid, RevertToParent, CurrentTime);
    XFlush(fl_display);
}

class FltkWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = StartXvfb();
        ASSERT_FALSE(server_.display.empty()) << "Xvfb did not start";
        setenv("DISPLAY", server_.display.c_str(), 1);
    }
    static void TearDownTestSuite() { StopXvfb(server_); }

    std::unique_ptr<backend::Window> Open(Recorder& r, WindowSpec spec) {
        r.size = {spec.bounds.width, spec.bounds.height};
        auto w = Current().CreateWindow(spec, r);
        w->Show();
        EXPECT_TRUE(RunFor([&] { return !r.paints.empty(); }));
        Settle();
        return w;
    }

    static Xvfb server_;
};
Xvfb FltkWindows::server_;

WindowSpec Spec(const char* title, Rect bounds) {
    WindowSpec s;
    s.title = title;
    s.bounds = bounds;
    return s;
}

TEST_F(FltkWindows, InvalidateRepaintsOnlyThatRectangle) {
    Recorder r;
    auto w = Open(r, Spec("partial", {40, 40, 200, 100}));
    const unsigned long xid = NativeId(w.get());
    ASSERT_EQ(PixelAt(xid, 100, 50), 0xFFFFFFu);

    r.paints.clear();
    r.fill = {0, 0, 255}; // Paint now fills the whole window blue; only the rectangle may show it
    w->Invalidate({10, 20, 30, 40});
    ASSERT_TRUE(RunFor([&] { return !r.paints.empty(); }));
    Settle();
    EXPECT_EQ(r.paints, (std::vector<Rect>{{10, 20, 30, 40}}));
    for (auto [x, y] : {std::pair{10, 20}, {39, 59}, {25, 40}})
        EXPECT_EQ(PixelAt(xid, x, y), 0x0000FFu) << x << "," << y;
    for (auto [x, y] : {std::pair{9, 20}, {40, 59}, {10, 60}, {10, 19}, {150, 80}})
        EXPECT_EQ(PixelAt(xid, x, y), 0xFFFFFFu) << x << "," << y;
}

TEST_F(FltkWindows, PropertiesForTheDesktop) {
    Recorder ownerEvents, r;
    auto owner = Open(ownerEvents, Spec("Owner", {0, 0, 120, 80}));
    WindowSpec s = Spec("Arbeitszeit \xC3\xA4", {100, 100, 300, 120});
    s.iconTitle = "Task";
    s.frameless = true;
    s.roundTopCorners = 11;
    s.owner = owner.get();
    Bitmap icon;
    icon.width = icon.height = 16;
    icon.rgba.assign(16 * 16 * 4, 200);
    s.icons.push_back(icon);
    auto w = Open(r, s);
    const unsigned long xid = NativeId(w.get());
    ASSERT_NE(xid, 0u);

    EXPECT_EQ(w->Bounds(), (Rect{100, 100, 300, 120}));
    EXPECT_EQ(Text(xid, "_NET_WM_NAME"), "Arbeitszeit \xC3\xA4");
    EXPECT_EQ(IcccmText(xid, false), "Arbeitszeit \xC3\xA4");
    EXPECT_EQ(Text(xid, "_NET_WM_ICON_NAME"), "Task");
    w->SetTitle("Neu");
    XSync(fl_display, False);
    EXPECT_EQ(Text(xid, "_NET_WM_NAME"), "Neu");
    EXPECT_EQ(IcccmText(xid, false), "Neu");
    EXPECT_EQ(Text(xid, "_NET_WM_ICON_NAME"), "Task");
    EXPECT_EQ(IcccmText(xid, true), "Task");

    char exe[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    const auto names = fltk::ProgramClass(exe);
    XClassHint hint{};
    ASSERT_TRUE(XGetClassHint(fl_display, xid, &hint));
    EXPECT_EQ(std::string(hint.res_name), names.first);
    EXPECT_EQ(std::string(hint.res_class), names.second);
    XFree(hint.res_name);
    XFree(hint.res_class);

    ::Window transientFor = 0;
    ASSERT_TRUE(XGetTransientForHint(fl_display, xid, &transientFor));
    EXPECT_EQ(transientFor, NativeId(owner.get()));

    const auto motif = Property(xid, "_MOTIF_WM_HINTS");
    ASSERT_GE(motif.size(), 3 * sizeof(long));
    const long* m = reinterpret_cast<const long*>(motif.data());
    EXPECT_TRUE(m[0] & 2) << "decorations flag";
    EXPECT_EQ(m[2], 0) << "no decorations";

    XSizeHints size{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(fl_display, xid, &size, &supplied));
    EXPECT_EQ(size.min_width, 300);
    EXPECT_EQ(size.max_width, 300);
    EXPECT_EQ(size.min_height, 120);
    EXPECT_EQ(size.max_height, 120);

    const auto state = Property(xid, "_NET_WM_STATE");
    const Atom skip = XInternAtom(fl_display, "_NET_WM_STATE_SKIP_TASKBAR", False);
    for (std::size_t i = 0; i + sizeof(long) <= state.size(); i += sizeof(long))
        EXPECT_NE(*reinterpret_cast<const unsigned long*>(&state[i]), skip) << "on the task bar";

    const auto iconData = Property(xid, "_NET_WM_ICON");
    ASSERT_GE(iconData.size(), (2 + 16 * 16) * sizeof(long));
    EXPECT_EQ(reinterpret_cast<const long*>(iconData.data())[0], 16);
    EXPECT_EQ(reinterpret_cast<const long*>(iconData.data())[1], 16);

    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(fl_display, xid, ShapeBounding, &count, &ordering);
    std::set<std::pair<int, int>> shaped, expected;
    for (int i = 0; i < count; ++i)
        for (int y = rects[i].y; y < rects[i].y + rects[i].height; ++y)
            for (int x = rects[i].x; x < rects[i].x + rects[i].width; ++x)
                shaped.insert({x, y});
    if (rects) XFree(rects);
    for (const Rect& rc : fltk::CornerShape(300, 120, 11))
        for (int y = rc.y; y < rc.Bottom(); ++y)
            for (int x = rc.x; x < rc.Right(); ++x)
                expected.insert({x, y});
    EXPECT_EQ(shaped, expected);
}

TEST_F(FltkWindows, EveryKeyGoesToTheWindowAndCloseOnlyAsks) {
    Recorder r;
    auto w = Open(r, Spec("keys", {200, 200, 200, 100}));
    Focus(NativeId(w.get()));
    ASSERT_TRUE(RunFor([&] { return r.active; }));
    Tap({XK_Escape});
    Tap({XK_Shift_L, XK_Tab});
    Tap({XK_Alt_L, XK_a});
    Tap({XK_Return});
    ASSERT_TRUE(RunFor([&] { return r.keys.size() >= 4; }));
    ASSERT_EQ(r.keys.size(), 4u);
    EXPECT_EQ(r.keys[0].key, Key::Escape);
    EXPECT_EQ(r.keys[1].key, Key::Tab);
    EXPECT_TRUE(r.keys[1].modifiers.shift);
    EXPECT_EQ(r.keys[2].key, Key::Character);
    EXPECT_EQ(r.keys[2].character, 'a');
    EXPECT_TRUE(r.keys[2].modifiers.alt);
    EXPECT_EQ(r.keys[3].key, Key::Enter);
    EXPECT_EQ(r.closes, 0);

    // The window manager's close only asks; the window stays until its owner decides.
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = NativeId(w.get());
    e.xclient.message_type = XInternAtom(fl_display, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(fl_display, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(fl_display, NativeId(w.get()), False, NoEventMask, &e);
    XFlush(fl_display);
    ASSERT_TRUE(RunFor([&] { return r.closes > 0; }));
    Settle();
    EXPECT_EQ(r.closes, 1);
    EXPECT_TRUE(w->Visible());
    EXPECT_NE(NativeId(w.get()), 0u);
}

TEST_F(FltkWindows, PopupTakesKeysAndAClickOutsideDismissesIt) {
    Recorder mainEvents, popupEvents;
    auto main = Open(mainEvents, Spec("main", {0, 0, 400, 300}));
    WindowSpec ps;
    ps.popup = true;
    ps.bounds = {50, 50, 100, 60};
    auto popup = Open(popupEvents, ps);
    Tap({XK_Down});
    ASSERT_TRUE(RunFor([&] { return !popupEvents.keys.empty(); }));
    EXPECT_EQ(popupEvents.keys[0].key, Key::Down);
    Click(70, 70); // inside: an ordinary click
    auto down = [&] {
        for (const MouseEvent& m : popupEvents.mice)
            if (m.action == MouseAction::Down) return &m;
        return static_cast<const MouseEvent*>(nullptr);
    };
    ASSERT_TRUE(RunFor([&] { return down() != nullptr; }));
    EXPECT_EQ(down()->button, MouseButton::Left);
    EXPECT_EQ(down()->position, (Point{20, 20}));
    EXPECT_EQ(down()->screen, (Point{70, 70}));
    EXPECT_EQ(popupEvents.dismissals, 0);
    Click(300, 250); // on the main window, outside the popup
    ASSERT_TRUE(RunFor([&] { return popupEvents.dismissals > 0; }));
    EXPECT_TRUE(mainEvents.mice.empty() || mainEvents.mice.back().action != MouseAction::Down);
    popup->Hide();
}

::Window FindByName(const std::string& name) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    ::Window found = 0;
    if (XQueryTree(fl_display, DefaultRootWindow(fl_display), &root, &parent, &children, &n)) {
        for (unsigned i = 0; i < n && !found; ++i)
            if (Text(children[i], "_NET_WM_NAME") == name) found = children[i];
        if (children) XFree(children);
    }
    return found;
}

TEST_F(FltkWindows, MessageBoxAnswersFromTheKeyboardWhileTimersTick) {
    struct Case {
        std::vector<std::vector<KeySym>> keys;
        DialogAnswer answer;
    };
    const Case cases[] = {
        {{{XK_Return}}, DialogAnswer::Ok},
        {{{XK_Escape}}, DialogAnswer::Cancel},
        {{{XK_Tab}, {XK_space}}, DialogAnswer::Cancel},
        {{{XK_Tab}, {XK_Return}}, DialogAnswer::Ok}, // Enter takes the first button
    };
    Recorder ownerEvents;
    auto owner = Open(ownerEvents, Spec("owner", {100, 100, 500, 300}));
    for (const Case& c : cases) {
        int ticks = 0;
        bool sent = false;
        const TimerId t = Current().StartTimer(20, [&] {
            ++ticks;
            if (ticks > 250) Current().CancelDialogs();
            if (sent || ticks < 3) return;
            const ::Window box = FindByName("Question?");
            if (!box) return;
            Focus(box);
            Click(105, 105); // on the owner, away from the box: it must take no input
            for (const auto& chord : c.keys)
                for (KeySym k : chord)
                    Tap({k});
            sent = true;
        });
        ownerEvents.mice.clear();
        const DialogAnswer a =
            Current().MessageBox(owner.get(), "Stop counting for today?", "Question?",
                                 DialogButtons::OkCancel, DialogIcon::Question);
        Current().StopTimer(t);
        EXPECT_TRUE(sent);
        EXPECT_EQ(a, c.answer);
        EXPECT_TRUE(ownerEvents.mice.empty() ||
                    ownerEvents.mice.front().action != MouseAction::Down);
        EXPECT_TRUE(ownerEvents.keys.empty());
        Settle();
    }
}

TEST(FltkDisplay, LosingTheDisplayRunsTheHandlerAndExitsWithZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const Xvfb x = StartXvfb();
            if (x.display.empty()) std::_Exit(3);
            setenv("DISPLAY", x.display.c_str(), 1);
            Current().SetShutdownHandler([](ShutdownReason r) {
                if (r == ShutdownReason::DisplayLost) std::fputs("handler: display lost\n", stderr);
            });
            Recorder r;
            auto w = Current().CreateWindow(Spec("doomed", {0, 0, 50, 50}), r);
            w->Show();
            RunFor([&] { return !r.paints.empty(); });
            kill(x.pid, SIGKILL);
            waitpid(x.pid, nullptr, 0);
            Current().RunUntil([] { return false; });
            std::_Exit(4);
        },
        ::testing::ExitedWithCode(0), "handler: display lost");
}

} // namespace
