// A connection to an X display, with the queries and synthetic input end-to-end tests need.
//
// Windows are X ids (WindowId). Queries on a window that has disappeared return nullopt or
// an empty result, except Geometry/Capture, which throw Error; X protocol errors never end
// the process. Positions given to input functions are screen (root window) coordinates;
// ToScreen converts window coordinates. Every input function flushes and waits (XSync)
// until the server has processed the events; the receiving program may still be busy
// handling them, so a test waits for the effect (WaitUntil, App::WaitForStdout).
// Keyboard events go to the window with the input focus; without a window manager that is
// the window under the pointer (PointerRoot) unless Focus() was called.
// A Connection is used from one thread at a time.
#pragma once

#include "Image.h"
#include "Wait.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct _XDisplay; // Xlib's Display, kept out of this header so Xlib macros stay out of tests

namespace e2e {

class App;

using WindowId = unsigned long; // an X window id
using KeySym = unsigned long;   // an X keysym (XK_Escape, 'a', ...)

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};
struct Size {
    int width = 0, height = 0;
    bool operator==(const Size&) const = default;
};
struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool Contains(Point p) const {
        return p.x >= x && p.y >= y && p.x < x + width && p.y < y + height;
    }
    Point Center() const { return {x + width / 2, y + height / 2}; }
    bool operator==(const Rect&) const = default;
};
std::ostream& operator<<(std::ostream& os, Point p); // "(x,y)"
std::ostream& operator<<(std::ostream& os, Size s);  // "WxH"
std::ostream& operator<<(std::ostream& os, Rect r);  // "WxH+X+Y"

// WM_NORMAL_HINTS minimum and maximum size, each present only if the program set it.
struct WmSizeHints {
    std::optional<Size> min, max;
};

// One image of _NET_WM_ICON: pixels as 0xAARRGGBB, row by row.
struct Icon {
    int width = 0, height = 0;
    std::vector<std::uint32_t> argb;
};

// A child of the root window, or a titled child of one (a client inside a WM frame).
struct TopLevel {
    WindowId id = 0;
    WindowId parent = 0; // the root window, or the frame holding it
    Rect geometry;       // position on the root window, inner size
    bool override_redirect = false;
    bool mapped = false;              // viewable
    std::optional<std::string> title; // _NET_WM_NAME, else WM_NAME
};
std::ostream& operator<<(std::ostream& os, const TopLevel& t); // 0x..."title" WxH+X+Y flags

// Which titles a window search accepts: the exact text (the default) or a prefix.
struct TitleMatch {
    std::string text;
    bool prefix = false;
    TitleMatch(const char* exact) : text(exact) {}
    TitleMatch(std::string exact) : text(std::move(exact)) {}
    TitleMatch(std::string t, bool is_prefix) : text(std::move(t)), prefix(is_prefix) {}
    bool Matches(std::string_view title) const;
    std::string Describe() const; // titled "x" / with a title starting "x"
};
inline TitleMatch Prefix(std::string text) {
    return TitleMatch(std::move(text), true);
}

// Modifier bits for Key().
enum Modifier : unsigned { kShift = 1, kControl = 2, kAlt = 4, kSuper = 8 };

class Connection {
public:
    // Opens display_name, or $DISPLAY when it is empty. Throws Error if that fails or the
    // server lacks XTEST or SHAPE.
    explicit Connection(const std::string& display_name = "");
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    virtual ~Connection();

    _XDisplay* Raw() const { return dpy_; }
    const std::string& DisplayName() const { return name_; }
    WindowId Root() const;
    Size ScreenSize() const;
    void Sync();

    // ---- Finding windows ----
    // Children of the root window in stacking order (bottom first), each followed by its
    // own titled children (clients inside a window manager's frame).
    std::vector<TopLevel> ListTopLevels();
    // A mapped top-level whose _NET_WM_NAME or WM_NAME matches; the topmost one if several.
    std::optional<WindowId> FindWindow(const TitleMatch& title);
    // Waits for FindWindow to succeed. If app is given and it ends first, fails at once.
    // The error names the awaited title and lists the windows present.
    WindowId WaitForWindow(const TitleMatch& title, Ms timeout, const App* app = nullptr);
    // Waits until the window is unmapped or destroyed.
    void WaitForWindowGone(WindowId w, Ms timeout);
    // Mapped override-redirect windows (menus, tooltips), topmost first.
    std::vector<TopLevel> ListPopups();
    // The mapped override-redirect window nearest to p and at most radius pixels from it.
    std::optional<TopLevel> FindPopupNear(Point p, int radius = 64);
    // WaitUntil whose timeout error also lists the windows present.
    template <class Pred>
    auto WaitUntil(Pred&& pred, Ms timeout, const std::string& what = "a condition") {
        return e2e::WaitUntil(std::forward<Pred>(pred), timeout, what,
                              [this] { return "windows present: " + DescribeWindows(); });
    }
    // One line per top-level, for failure messages.
    std::string DescribeWindows();

    // ---- Window properties ----
    bool Exists(WindowId w);
    bool IsMapped(WindowId w);                          // viewable
    std::optional<std::string> Title(WindowId w);       // _NET_WM_NAME (UTF-8)
    std::optional<std::string> WmName(WindowId w);      // WM_NAME, raw bytes
    std::optional<std::string> NetIconName(WindowId w); // _NET_WM_ICON_NAME (UTF-8)
    std::optional<std::string> WmIconName(WindowId w);  // WM_ICON_NAME, raw bytes
    std::optional<std::string> IconName(WindowId w);    // _NET_WM_ICON_NAME, else WM_ICON_NAME
    std::optional<std::pair<std::string, std::string>> WmClass(WindowId w); // instance, class
    Rect Geometry(WindowId w);                        // throws Error if w is gone
    std::optional<WmSizeHints> SizeHints(WindowId w); // nullopt: no WM_NORMAL_HINTS
    // The decorations field of _MOTIF_WM_HINTS; nullopt when the hint does not set it.
    std::optional<unsigned long> MotifDecorations(WindowId w);
    // Whether a window manager following _MOTIF_WM_HINTS would draw a frame (title/border).
    bool WmDrawsFrame(WindowId w);
    std::vector<Icon> NetWmIcon(WindowId w);
    std::vector<Size> NetWmIconSizes(WindowId w);
    // Raw string / atom-name list properties, for anything not covered above.
    std::optional<std::string> StringProperty(WindowId w, const std::string& property);
    std::vector<std::string> AtomListProperty(WindowId w, const std::string& property);

    // ---- Shape and pixels ----
    bool IsShaped(WindowId w); // has a bounding shape of its own
    // Bounding shape rectangles in window coordinates (the whole window when not shaped).
    std::vector<Rect> ShapeRectangles(WindowId w);
    bool IsPixelInShape(WindowId w, int x, int y);
    // What the screen shows at window coordinates (x, y) (pass Root() for screen coords).
    Rgb Pixel(WindowId w, int x, int y);
    // What the screen shows over the window (overlapping windows included); parts outside
    // the screen are black.
    Image Capture(WindowId w);
    void SavePng(WindowId w, const std::filesystem::path& path);
    Point ToScreen(WindowId w, int x, int y);

    // ---- Synthetic input (XTest) ----
    void MoveTo(int x, int y);
    void MoveTo(Point p) { MoveTo(p.x, p.y); }
    Point PointerPosition();
    void Press(int button = 1);
    void Release(int button = 1);
    void Click(int x, int y, int button = 1);
    void Click(Point p, int button = 1) { Click(p.x, p.y, button); }
    // Press at from, move in steps small moves, release at to.
    void Drag(Point from, Point to, int steps = 10, int button = 1);
    // Presses the modifiers, then the key, and releases all in reverse order. A keysym
    // needing Shift on this keymap ('A', '!') gets Shift added.
    void Key(KeySym keysym, unsigned modifiers = 0);
    // "Escape", "Return", "Tab", "shift+Tab", "alt+m", "ctrl+shift+F10", "alt+F4".
    // Modifier names: shift, ctrl/control, alt/meta, super/win. Key names are X keysym
    // names; a single character stands for itself. Throws Error for unknown names.
    void KeyCombo(std::string_view combo);
    // Types printable ASCII, '\n' and '\t'.
    void TypeText(std::string_view text);
    // Gives the keyboard focus to w.
    void Focus(WindowId w);

private:
    unsigned long InternAtom(const char* name);
    unsigned KeycodeFor(KeySym sym);

    _XDisplay* dpy_ = nullptr;
    std::string name_;
    std::map<std::string, unsigned long> atoms_;
};

} // namespace e2e
