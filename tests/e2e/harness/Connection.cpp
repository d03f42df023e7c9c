#include "Connection.h"
#include "Process.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace e2e {

namespace {

// X protocol errors (a window destroyed while we look at it) are normal in tests; the
// default handler would end the process. Calls that fail report it through their results.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

Display* D(_XDisplay* d) {
    return d;
}

// A property's raw contents; 32-bit items arrive from Xlib as longs.
struct Prop {
    ::Atom type = 0;
    int format = 0;
    std::string bytes;       // format 8
    std::vector<long> longs; // format 32
};

std::optional<Prop> GetProp(Display* dpy, Window w, ::Atom property) {
    ::Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, w, property, 0, LONG_MAX / 4, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) != Success ||
        type == None) {
        if (data) XFree(data);
        return std::nullopt;
    }
    Prop p;
    p.type = type;
    p.format = format;
    if (format == 8) p.bytes.assign(reinterpret_cast<char*>(data), count);
    if (format == 32)
        p.longs.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
    XFree(data);
    return p;
}

int ChannelShift(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

std::uint8_t Channel(unsigned long pixel, unsigned long mask) {
    if (!mask) return 0;
    unsigned long v = (pixel & mask) >> ChannelShift(mask);
    unsigned long max = mask >> ChannelShift(mask);
    return std::uint8_t(v * 255 / max);
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (auto& c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string Quote(const std::optional<std::string>& s) {
    return s ? "\"" + *s + "\"" : "(no title)";
}

} // namespace

std::ostream& operator<<(std::ostream& os, Point p) {
    return os << '(' << p.x << ',' << p.y << ')';
}
std::ostream& operator<<(std::ostream& os, Size s) {
    return os << s.width << 'x' << s.height;
}
std::ostream& operator<<(std::ostream& os, Rect r) {
    return os << r.width << 'x' << r.height << (r.x < 0 ? "" : "+") << r.x << (r.y < 0 ? "" : "+")
              << r.y;
}
std::ostream& operator<<(std::ostream& os, const TopLevel& t) {
    char id[24];
    std::snprintf(id, sizeof id, "0x%lx", t.id);
    os << id << ' ' << Quote(t.title) << ' ' << t.geometry;
    if (t.override_redirect) os << " override-redirect";
    os << (t.mapped ? " mapped" : " unmapped");
    return os;
}

bool TitleMatch::Matches(std::string_view title) const {
    return prefix ? title.substr(0, text.size()) == text : title == text;
}

std::string TitleMatch::Describe() const {
    return prefix ? "a title starting \"" + text + "\"" : "the title \"" + text + "\"";
}

Connection::Connection(const std::string& display_name) {
    static const bool handler_set = (XSetErrorHandler(IgnoreXError), true);
    (void)handler_set;
    const char* env = std::getenv("DISPLAY");
    name_ = !display_name.empty() ? display_name : env ? env : "";
    if (name_.empty()) throw Error("no X display: DISPLAY is not set");
    dpy_ = XOpenDisplay(name_.c_str());
    if (!dpy_) throw Error("cannot open X display " + name_);
    int ev, err, major, minor;
    if (!XTestQueryExtension(D(dpy_), &ev, &err, &major, &minor)) {
        XCloseDisplay(D(dpy_));
        throw Error("X display " + name_ + " lacks the XTEST extension");
    }
    if (!XShapeQueryExtension(D(dpy_), &ev, &err)) {
        XCloseDisplay(D(dpy_));
        throw Error("X display " + name_ + " lacks the SHAPE extension");
    }
    // Our fake events must not be held back by a grab another client takes.
    XTestGrabControl(D(dpy_), True);
}

Connection::~Connection() {
    if (dpy_) XCloseDisplay(D(dpy_));
}

WindowId Connection::Root() const {
    return DefaultRootWindow(D(dpy_));
}

Size Connection::ScreenSize() const {
    int s = DefaultScreen(D(dpy_));
    return {DisplayWidth(D(dpy_), s), DisplayHeight(D(dpy_), s)};
}

void Connection::Sync() {
    XSync(D(dpy_), False);
}

unsigned long Connection::InternAtom(const char* name) {
    auto it = atoms_.find(name);
    if (it != atoms_.end()) return it->second;
    ::Atom a = XInternAtom(D(dpy_), name, False);
    atoms_[name] = a;
    return a;
}

// ---- Finding windows ----

std::vector<TopLevel> Connection::ListTopLevels() {
    std::vector<TopLevel> out;
    auto add = [&](Window w, Window parent, bool need_title) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(D(dpy_), w, &a)) return;
        TopLevel t;
        t.id = w;
        t.parent = parent;
        t.override_redirect = a.override_redirect;
        t.mapped = a.map_state == IsViewable;
        t.title = Title(w);
        if (!t.title) t.title = WmName(w);
        if (need_title && !t.title) return;
        Window child;
        if (!XTranslateCoordinates(D(dpy_), w, Root(), 0, 0, &t.geometry.x, &t.geometry.y, &child))
            return;
        t.geometry.width = a.width;
        t.geometry.height = a.height;
        out.push_back(std::move(t));
    };
    auto children = [&](Window w) {
        Window root_ret, parent_ret, *kids = nullptr;
        unsigned n = 0;
        std::vector<Window> list;
        if (XQueryTree(D(dpy_), w, &root_ret, &parent_ret, &kids, &n)) list.assign(kids, kids + n);
        if (kids) XFree(kids);
        return list;
    };
    for (Window w : children(Root())) {
        add(w, Root(), false);
        for (Window c : children(w))
            add(c, w, true);
    }
    return out;
}

std::optional<WindowId> Connection::FindWindow(const TitleMatch& title) {
    auto all = ListTopLevels();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (!it->mapped) continue;
        auto net = Title(it->id), wm = WmName(it->id);
        if ((net && title.Matches(*net)) || (wm && title.Matches(*wm))) return it->id;
    }
    return std::nullopt;
}

WindowId Connection::WaitForWindow(const TitleMatch& title, Ms timeout, const App* app) {
    const std::string what = "a mapped top-level window with " + title.Describe();
    return WaitUntil(
        [&]() -> std::optional<WindowId> {
            if (auto w = FindWindow(title)) return w;
            if (app && !app->Running())
                throw Error("gave up waiting for " + what + ": " + app->Describe() +
                            "; windows present: " + DescribeWindows());
            return std::nullopt;
        },
        timeout, what);
}

void Connection::WaitForWindowGone(WindowId w, Ms timeout) {
    char id[24];
    std::snprintf(id, sizeof id, "0x%lx", w);
    WaitUntil([&] { return !IsMapped(w); }, timeout,
              std::string("window ") + id + " to be unmapped or destroyed");
}

std::vector<TopLevel> Connection::ListPopups() {
    std::vector<TopLevel> out;
    auto all = ListTopLevels();
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if (it->mapped && it->override_redirect) out.push_back(*it);
    return out;
}

std::optional<TopLevel> Connection::FindPopupNear(Point p, int radius) {
    std::optional<TopLevel> best;
    long best_d = 0;
    for (auto& t : ListPopups()) {
        const Rect& r = t.geometry;
        long dx = std::max({r.x - p.x, 0, p.x - (r.x + r.width - 1)});
        long dy = std::max({r.y - p.y, 0, p.y - (r.y + r.height - 1)});
        long d = dx * dx + dy * dy;
        if (d > long(radius) * radius) continue;
        if (!best || d < best_d) {
            best = t;
            best_d = d;
        }
    }
    return best;
}

std::string Connection::DescribeWindows() {
    std::ostringstream os;
    bool any = false;
    for (const auto& t : ListTopLevels()) {
        if (!t.mapped && !t.title) continue; // unnamed hidden helpers are noise
        os << (any ? "; " : "") << t;
        any = true;
    }
    return any ? os.str() : "none";
}

// ---- Window properties ----

bool Connection::Exists(WindowId w) {
    XWindowAttributes a;
    return XGetWindowAttributes(D(dpy_), w, &a) != 0;
}

bool Connection::IsMapped(WindowId w) {
    XWindowAttributes a;
    return XGetWindowAttributes(D(dpy_), w, &a) && a.map_state == IsViewable;
}

std::optional<std::string> Connection::StringProperty(WindowId w, const std::string& property) {
    auto p = GetProp(D(dpy_), w, InternAtom(property.c_str()));
    if (!p || p->format != 8) return std::nullopt;
    return p->bytes;
}

std::vector<std::string> Connection::AtomListProperty(WindowId w, const std::string& property) {
    std::vector<std::string> out;
    auto p = GetProp(D(dpy_), w, InternAtom(property.c_str()));
    if (!p || p->format != 32) return out;
    for (long a : p->longs) {
        char* name = XGetAtomName(D(dpy_), ::Atom(a));
        out.push_back(name ? name : "");
        if (name) XFree(name);
    }
    return out;
}

std::optional<std::string> Connection::Title(WindowId w) {
    return StringProperty(w, "_NET_WM_NAME");
}
std::optional<std::string> Connection::WmName(WindowId w) {
    return StringProperty(w, "WM_NAME");
}
std::optional<std::string> Connection::NetIconName(WindowId w) {
    return StringProperty(w, "_NET_WM_ICON_NAME");
}
std::optional<std::string> Connection::WmIconName(WindowId w) {
    return StringProperty(w, "WM_ICON_NAME");
}
std::optional<std::string> Connection::IconName(WindowId w) {
    if (auto n = NetIconName(w)) return n;
    return WmIconName(w);
}

std::optional<std::pair<std::string, std::string>> Connection::WmClass(WindowId w) {
    auto p = StringProperty(w, "WM_CLASS");
    if (!p) return std::nullopt;
    // "instance\0class\0"
    std::string instance = p->substr(0, p->find('\0'));
    std::string cls;
    if (instance.size() < p->size()) {
        cls = p->substr(instance.size() + 1);
        cls = cls.substr(0, cls.find('\0'));
    }
    return std::pair{instance, cls};
}

Rect Connection::Geometry(WindowId w) {
    XWindowAttributes a;
    Rect r;
    Window child;
    if (!XGetWindowAttributes(D(dpy_), w, &a) ||
        !XTranslateCoordinates(D(dpy_), w, Root(), 0, 0, &r.x, &r.y, &child)) {
        char id[24];
        std::snprintf(id, sizeof id, "0x%lx", w);
        throw Error(std::string("window ") + id +
                    " does not exist; windows present: " + DescribeWindows());
    }
    r.width = a.width;
    r.height = a.height;
    return r;
}

Point Connection::ToScreen(WindowId w, int x, int y) {
    Rect g = Geometry(w);
    return {g.x + x, g.y + y};
}

std::optional<WmSizeHints> Connection::SizeHints(WindowId w) {
    XSizeHints h{};
    long supplied = 0;
    if (!XGetWMNormalHints(D(dpy_), w, &h, &supplied)) return std::nullopt;
    WmSizeHints out;
    if (h.flags & PMinSize) out.min = Size{h.min_width, h.min_height};
    if (h.flags & PMaxSize) out.max = Size{h.max_width, h.max_height};
    return out;
}

std::optional<unsigned long> Connection::MotifDecorations(WindowId w) {
    // flags, functions, decorations, input mode, status; flag bit 1 = decorations valid
    auto p = GetProp(D(dpy_), w, InternAtom("_MOTIF_WM_HINTS"));
    if (!p || p->format != 32 || p->longs.size() < 3 || !(p->longs[0] & 2)) return std::nullopt;
    return static_cast<unsigned long>(p->longs[2]);
}

bool Connection::WmDrawsFrame(WindowId w) {
    auto d = MotifDecorations(w);
    if (!d) return true;
    const unsigned long all = 1, border = 2, title = 8;
    // With "all" set, the other bits name decorations to leave out.
    if (*d & all) return (*d & (border | title)) != (border | title);
    return (*d & (border | title)) != 0;
}

std::vector<Icon> Connection::NetWmIcon(WindowId w) {
    std::vector<Icon> out;
    auto p = GetProp(D(dpy_), w, InternAtom("_NET_WM_ICON"));
    if (!p || p->format != 32) return out;
    const auto& v = p->longs;
    for (std::size_t i = 0; i + 2 <= v.size();) {
        Icon icon{int(v[i]), int(v[i + 1]), {}};
        std::size_t n = std::size_t(icon.width) * std::size_t(icon.height);
        i += 2;
        if (icon.width <= 0 || icon.height <= 0 || n > v.size() - i) break; // malformed
        for (std::size_t k = 0; k < n; ++k)
            icon.argb.push_back(std::uint32_t(v[i + k]));
        i += n;
        out.push_back(std::move(icon));
    }
    return out;
}

std::vector<Size> Connection::NetWmIconSizes(WindowId w) {
    std::vector<Size> out;
    for (const auto& icon : NetWmIcon(w))
        out.push_back({icon.width, icon.height});
    return out;
}

// ---- Shape and pixels ----

bool Connection::IsShaped(WindowId w) {
    Bool bounding = False, clip = False;
    int xb, yb, xc, yc;
    unsigned wb, hb, wc, hc;
    if (!XShapeQueryExtents(D(dpy_), w, &bounding, &xb, &yb, &wb, &hb, &clip, &xc, &yc, &wc, &hc))
        return false;
    return bounding;
}

std::vector<Rect> Connection::ShapeRectangles(WindowId w) {
    std::vector<Rect> out;
    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(D(dpy_), w, ShapeBounding, &count, &ordering);
    for (int i = 0; i < count; ++i)
        out.push_back({rects[i].x, rects[i].y, rects[i].width, rects[i].height});
    if (rects) XFree(rects);
    return out;
}

bool Connection::IsPixelInShape(WindowId w, int x, int y) {
    for (const Rect& r : ShapeRectangles(w))
        if (r.Contains({x, y})) return true;
    return false;
}

Image Connection::Capture(WindowId w) {
    // Read from the root window: a window's own contents are undefined where it is covered
    // or off screen (where XGetImage on it fails), and the screen is what a user sees.
    Rect g = w == Root() ? Rect{0, 0, ScreenSize().width, ScreenSize().height} : Geometry(w);
    Image img;
    img.width = g.width;
    img.height = g.height;
    img.pixels.assign(std::size_t(g.width) * g.height, Rgb{});
    Size screen = ScreenSize();
    int x0 = std::max(g.x, 0), y0 = std::max(g.y, 0);
    int x1 = std::min(g.x + g.width, screen.width), y1 = std::min(g.y + g.height, screen.height);
    if (x1 <= x0 || y1 <= y0) return img;
    XImage* xi = XGetImage(D(dpy_), Root(), x0, y0, unsigned(x1 - x0), unsigned(y1 - y0), AllPlanes,
                           ZPixmap);
    if (!xi) throw Error("XGetImage failed on " + DisplayName());
    Visual* vis = DefaultVisual(D(dpy_), DefaultScreen(D(dpy_)));
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            unsigned long px = XGetPixel(xi, x - x0, y - y0);
            img.At(x - g.x, y - g.y) = {Channel(px, vis->red_mask), Channel(px, vis->green_mask),
                                        Channel(px, vis->blue_mask)};
        }
    XDestroyImage(xi);
    return img;
}

Rgb Connection::Pixel(WindowId w, int x, int y) {
    Point p = w == Root() ? Point{x, y} : ToScreen(w, x, y);
    Size screen = ScreenSize();
    if (p.x < 0 || p.y < 0 || p.x >= screen.width || p.y >= screen.height)
        throw Error("Pixel: (" + std::to_string(x) + "," + std::to_string(y) +
                    ") is off the screen");
    XImage* xi = XGetImage(D(dpy_), Root(), p.x, p.y, 1, 1, AllPlanes, ZPixmap);
    if (!xi) throw Error("XGetImage failed on " + DisplayName());
    Visual* vis = DefaultVisual(D(dpy_), DefaultScreen(D(dpy_)));
    unsigned long px = XGetPixel(xi, 0, 0);
    XDestroyImage(xi);
    return {Channel(px, vis->red_mask), Channel(px, vis->green_mask), Channel(px, vis->blue_mask)};
}

void Connection::SavePng(WindowId w, const std::filesystem::path& path) {
    e2e::SavePng(Capture(w), path);
}

// ---- Synthetic input ----

void Connection::MoveTo(int x, int y) {
    XTestFakeMotionEvent(D(dpy_), DefaultScreen(D(dpy_)), x, y, CurrentTime);
    XSync(D(dpy_), False);
}

Point Connection::PointerPosition() {
    Window root, child;
    int rx = 0, ry = 0, wx, wy;
    unsigned mask;
    XQueryPointer(D(dpy_), Root(), &root, &child, &rx, &ry, &wx, &wy, &mask);
    return {rx, ry};
}

void Connection::Press(int button) {
    XTestFakeButtonEvent(D(dpy_), unsigned(button), True, CurrentTime);
    XSync(D(dpy_), False);
}

void Connection::Release(int button) {
    XTestFakeButtonEvent(D(dpy_), unsigned(button), False, CurrentTime);
    XSync(D(dpy_), False);
}

void Connection::Click(int x, int y, int button) {
    MoveTo(x, y);
    Press(button);
    Release(button);
}

void Connection::Drag(Point from, Point to, int steps, int button) {
    steps = std::max(steps, 1);
    MoveTo(from);
    Press(button);
    for (int i = 1; i <= steps; ++i)
        MoveTo(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
    Release(button);
}

unsigned Connection::KeycodeFor(KeySym sym) {
    KeyCode kc = XKeysymToKeycode(D(dpy_), sym);
    if (!kc) {
        const char* name = XKeysymToString(sym);
        throw Error(std::string("no key on the keyboard map of ") + DisplayName() +
                    " produces keysym " + (name ? name : std::to_string(sym)));
    }
    return kc;
}

void Connection::Key(KeySym sym, unsigned modifiers) {
    unsigned kc = KeycodeFor(sym);
    // A keysym only on the shifted level of its key needs Shift to come out.
    if (XkbKeycodeToKeysym(D(dpy_), KeyCode(kc), 0, 0) != sym &&
        XkbKeycodeToKeysym(D(dpy_), KeyCode(kc), 0, 1) == sym)
        modifiers |= kShift;
    std::vector<unsigned> mods;
    if (modifiers & kControl) mods.push_back(KeycodeFor(XK_Control_L));
    if (modifiers & kShift) mods.push_back(KeycodeFor(XK_Shift_L));
    if (modifiers & kAlt) mods.push_back(KeycodeFor(XK_Alt_L));
    if (modifiers & kSuper) mods.push_back(KeycodeFor(XK_Super_L));
    for (unsigned m : mods)
        XTestFakeKeyEvent(D(dpy_), m, True, CurrentTime);
    XTestFakeKeyEvent(D(dpy_), kc, True, CurrentTime);
    XTestFakeKeyEvent(D(dpy_), kc, False, CurrentTime);
    for (auto it = mods.rbegin(); it != mods.rend(); ++it)
        XTestFakeKeyEvent(D(dpy_), *it, False, CurrentTime);
    XSync(D(dpy_), False);
}

void Connection::KeyCombo(std::string_view combo) {
    unsigned mods = 0;
    std::string_view rest = combo;
    // Split on '+' but let a final '+' be the key itself ("ctrl++").
    while (true) {
        auto plus = rest.find('+');
        if (plus == std::string_view::npos || plus + 1 == rest.size()) break;
        std::string m = Lower(rest.substr(0, plus));
        if (m == "shift")
            mods |= kShift;
        else if (m == "ctrl" || m == "control")
            mods |= kControl;
        else if (m == "alt" || m == "meta")
            mods |= kAlt;
        else if (m == "super" || m == "win")
            mods |= kSuper;
        else
            throw Error("unknown modifier \"" + m + "\" in key combination \"" +
                        std::string(combo) + "\"");
        rest = rest.substr(plus + 1);
    }
    if (rest.empty()) throw Error("no key in key combination \"" + std::string(combo) + "\"");
    KeySym sym = NoSymbol;
    if (rest.size() == 1)
        sym = static_cast<unsigned char>(rest[0]);
    else {
        sym = XStringToKeysym(std::string(rest).c_str());
        if (sym == NoSymbol) {
            // Accept "escape", "return", "f4": try the usual capitalisation.
            std::string cap = Lower(rest);
            cap[0] = char(std::toupper(static_cast<unsigned char>(cap[0])));
            sym = XStringToKeysym(cap.c_str());
            if (sym == NoSymbol) sym = XStringToKeysym(Lower(rest).c_str());
        }
    }
    if (sym == NoSymbol)
        throw Error("unknown key \"" + std::string(rest) + "\" in key combination \"" +
                    std::string(combo) + "\"");
    Key(sym, mods);
}

void Connection::TypeText(std::string_view text) {
    for (char c : text) {
        if (c == '\n')
            Key(XK_Return);
        else if (c == '\t')
            Key(XK_Tab);
        else if (c >= 0x20 && c < 0x7f)
            Key(KeySym(c)); // Latin-1 keysyms equal the code
        else
            throw Error("TypeText: cannot type byte " + std::to_string(int(c)));
    }
}

void Connection::Focus(WindowId w) {
    XSetInputFocus(D(dpy_), w, RevertToPointerRoot, CurrentTime);
    XSync(D(dpy_), False);
}

} // namespace e2e
