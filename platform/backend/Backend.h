// The one seam between the stand-in libraries and a window system.
//
// Two implementations exist, chosen at link time: backend_fltk (real windows on X11)
// and backend_headless (a fake with a virtual clock, for tests). Each defines Current().
// Nothing above this header knows which one is linked; nothing in it knows about FLTK or X11.
//
// Contract
//  - One thread. Every callback (WindowEvents, timer ticks, posted tasks, shutdown) is made
//    from inside RunUntil(), or, in the headless backend, from its test driver; never from
//    inside another call to the backend.
//  - Coordinates are pixels. A window's client coordinates start at its top-left corner;
//    screen coordinates start at the top-left of the screen.
//  - Drawing happens only inside WindowEvents::Paint, on the canvas handed to it, which is
//    clipped to the area that needs repainting.
//  - Timers are periodic. The first tick comes one interval after StartTimer. A tick that
//    is late because the loop was busy is delivered once; missed ticks never queue up.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace backend {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool Empty() const { return width <= 0 || height <= 0; }
    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
    bool Contains(Point p) const { return p.x >= x && p.y >= y && p.x < Right() && p.y < Bottom(); }
    Rect Intersect(const Rect& o) const;
    Rect Union(const Rect& o) const; // the smallest rectangle holding both; empty ones ignored
    Rect Offset(int dx, int dy) const { return {x + dx, y + dy, width, height}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Color {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

struct FontSpec {
    std::string face = "MS Sans Serif"; // resolved to an installed face by the backend
    int height = -11;                   // < 0: character height in pixels; > 0: cell height
    bool bold = false;
    bool italic = false;
    bool underline = false;
    Color color{};
    int charset = 1; // 0 ANSI, 1 default; the backend picks faces that cover it
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct TextMetrics {
    int width = 0;  // advance of the whole text
    int height = 0; // line height
    int ascent = 0; // from the top of the line to the baseline
};

// A picture in memory: rows top first, 4 bytes (r, g, b, a) per pixel. Alpha 0 is
// transparent, 255 opaque. `cache` belongs to the backend (its prepared copy of the
// pixels); whoever changes the pixels resets it.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
    mutable std::shared_ptr<void> cache;
};

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void FillRect(const Rect& r, Color c) = 0;
    virtual void FrameRect(const Rect& r, Color c) = 0;   // a one-pixel outline inside r
    virtual void Line(Point from, Point to, Color c) = 0; // both end points drawn
    virtual void DottedRect(const Rect& r, Color c) = 0;  // a focus rectangle
    // Scales `source` (a part of the bitmap) onto `dest`, blending by alpha.
    virtual void DrawBitmap(const Bitmap& bmp, const Rect& source, const Rect& dest) = 0;
    // One line of text with its line box's top-left corner at `topLeft`.
    virtual void DrawText(const std::string& text, Point topLeft, const FontSpec& font) = 0;
    // Clips further drawing to the intersection with r until the matching PopClip.
    virtual void PushClip(const Rect& r) = 0;
    virtual void PopClip() = 0;
};

enum class MouseAction { Down, Up, Move, Leave };
enum class MouseButton { None, Left, Middle, Right };

struct MouseEvent {
    MouseAction action = MouseAction::Move;
    MouseButton button = MouseButton::None; // for Down and Up
    Point position;                         // client coordinates
    Point screen;                           // screen coordinates
};

enum class Key { Character, Enter, Escape, Tab, Space, Up, Down, Left, Right, Home, End, F4 };

struct Modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

struct KeyEvent {
    Key key = Key::Character;
    char character = 0; // for Key::Character: the key's letter or digit, lower case
    Modifiers modifiers;
};

// What a window tells its owner. Implemented by the component library's forms and menus.
class WindowEvents {
public:
    virtual ~WindowEvents() = default;
    virtual void Paint(Canvas& canvas, const Rect& area) = 0;
    virtual void Mouse(const MouseEvent& e) = 0;
    virtual void Key(const KeyEvent& e) = 0;
    virtual void CloseRequested() = 0; // window manager close, Alt+F4
    virtual void ActiveChanged(bool active) { (void)active; }
    virtual void Dismissed() {} // a popup's click outside it
};

class Window;

struct WindowSpec {
    std::string title;
    std::string iconTitle;     // task-bar text; empty: same as title
    Rect bounds;               // client area in screen coordinates
    bool fixedSize = true;     // minimum size = maximum size = bounds
    bool frameless = false;    // the window draws its own title bar and frame
    int roundTopCorners = 0;   // diameter of the ellipse that rounds the top corners; 0 square
    bool popup = false;        // an override-redirect menu that grabs input; clicks outside it
                               // call Dismissed()
    bool modal = false;        // other windows take no input while it is shown
    Window* owner = nullptr;   // transient for this window
    std::vector<Bitmap> icons; // _NET_WM_ICON sizes, largest first
};

class Window {
public:
    virtual ~Window() = default; // the native window goes with it
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool Visible() const = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetIconTitle(const std::string& title) = 0;
    virtual void Invalidate(const Rect& area) = 0; // client coordinates
    virtual void Move(Point screenTopLeft) = 0;
    virtual Rect Bounds() const = 0; // client area in screen coordinates
    virtual void Minimize() = 0;
};

enum class DialogButtons { Ok, OkCancel };
enum class DialogIcon { None, Question, Error, Warning, Information };
enum class DialogAnswer { None, Ok, Cancel };

enum class ShutdownReason { Signal, DisplayLost };

using TimerId = std::uint64_t;

class Backend {
public:
    virtual ~Backend() = default;

    virtual std::unique_ptr<Window> CreateWindow(const WindowSpec& spec, WindowEvents& events) = 0;

    virtual TimerId StartTimer(int intervalMs, std::function<void()> tick) = 0;
    virtual void StopTimer(TimerId id) = 0;

    // Runs `task` on the next turn of the loop (after the current callback has returned).
    virtual void Post(std::function<void()> task) = 0;
    // Runs the loop, waiting for events, until `done()` is true. Nests.
    virtual void RunUntil(const std::function<bool()>& done) = 0;

    // A modal dialog centred on `owner` (or the screen); Escape and its close button answer
    // Cancel when there is a Cancel button, Enter takes the first button.
    virtual DialogAnswer MessageBox(Window* owner, const std::string& text,
                                    const std::string& caption, DialogButtons buttons,
                                    DialogIcon icon) = 0;
    // Ends every open MessageBox as if Escape had been pressed (the program is ending).
    virtual void CancelDialogs() = 0;

    // Hands a file or address to the desktop's default handler. False when it could not be
    // handed over at all.
    virtual bool OpenDocument(const std::string& target) = 0;

    // Called for SIGTERM, SIGINT and SIGHUP (from inside the loop) and when the connection to
    // the display is lost (the process ends with status 0 after the handler returns).
    virtual void SetShutdownHandler(std::function<void(ShutdownReason)> handler) = 0;

    virtual Rect Screen() const = 0; // the desktop's area, in screen coordinates
    virtual TextMetrics MeasureText(const std::string& text, const FontSpec& font) = 0;
};

// The backend linked into this program.
Backend& Current();

} // namespace backend
