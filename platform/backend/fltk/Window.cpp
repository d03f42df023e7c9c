// Backend windows over FLTK: one Fl_Window with its own back buffer per backend::Window, painted
// through a canvas of fl_draw calls, with the X properties the desktop reads set on the native
// window.
#include "backend/fltk/Fonts.h"
#include "backend/fltk/Helpers.h"
#include "backend/fltk/Internal.h"

#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
// X11 defines None as a macro; the backend's enums have members of that name.
#undef None

#include <algorithm>
#include <climits>
#include <cmath>
#include <unistd.h>
#include <vector>

namespace backend::fltk {

namespace {

void SetColor(Color c) {
    fl_color(c.r, c.g, c.b);
}

// Scaled copies of a bitmap, one per source rectangle and destination size, kept in
// Bitmap::cache so that FLTK's server-side pixmap of each copy is reused.
struct ScaledCopy {
    Rect source;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    std::unique_ptr<Fl_RGB_Image> image;
};

struct BitmapCache {
    std::vector<std::unique_ptr<ScaledCopy>> copies; // most recently made last
};

constexpr std::size_t kMaxCopies = 8;

Fl_RGB_Image* Prepared(const Bitmap& bmp, const Rect& source, int w, int h) {
    auto cache = std::static_pointer_cast<BitmapCache>(bmp.cache);
    if (!cache) {
        cache = std::make_shared<BitmapCache>();
        bmp.cache = cache;
    }
    for (auto& c : cache->copies)
        if (c->source == source && c->width == w && c->height == h) return c->image.get();
    auto copy = std::make_unique<ScaledCopy>();
    copy->source = source;
    copy->width = w;
    copy->height = h;
    copy->pixels.resize(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        const int sy = source.y + static_cast<int>(static_cast<long long>(y) * source.height / h);
        for (int x = 0; x < w; ++x) {
            const int sx =
                source.x + static_cast<int>(static_cast<long long>(x) * source.width / w);
            const std::uint8_t* from =
                &bmp.rgba[(static_cast<std::size_t>(sy) * bmp.width + sx) * 4];
            std::copy(from, from + 4, &copy->pixels[(static_cast<std::size_t>(y) * w + x) * 4]);
        }
    }
    copy->image = std::make_unique<Fl_RGB_Image>(copy->pixels.data(), w, h, 4);
    if (cache->copies.size() >= kMaxCopies) cache->copies.erase(cache->copies.begin());
    cache->copies.push_back(std::move(copy));
    return cache->copies.back()->image.get();
}

class FltkCanvas final : public Canvas {
public:
    ~FltkCanvas() override {
        while (clips_ > 0)
            PopClip();
    }

    void FillRect(const Rect& r, Color c) override {
        if (r.Empty()) return;
        SetColor(c);
        fl_rectf(r.x, r.y, r.width, r.height);
    }

    void FrameRect(const Rect& r, Color c) override {
        if (r.Empty()) return;
        SetColor(c);
        fl_rect(r.x, r.y, r.width, r.height);
    }

    void Line(Point from, Point to, Color c) override {
        SetColor(c);
        fl_line(from.x, from.y, to.x, to.y);
        fl_point(to.x, to.y);
    }

    void DottedRect(const Rect& r, Color c) override {
        if (r.Empty()) return;
        SetColor(c);
        // Every other pixel of the outline, walked clockwise from the top-left corner.
        int n = 0;
        auto dot = [&n](int x, int y) {
            if (n++ % 2 == 0) fl_point(x, y);
        };
        for (int x = r.x; x < r.Right(); ++x)
            dot(x, r.y);
        for (int y = r.y + 1; y < r.Bottom(); ++y)
            dot(r.Right() - 1, y);
        if (r.height > 1)
            for (int x = r.Right() - 2; x >= r.x; --x)
                dot(x, r.Bottom() - 1);
        if (r.width > 1)
            for (int y = r.Bottom() - 2; y > r.y; --y)
                dot(r.x, y);
    }

    void DrawBitmap(const Bitmap& bmp, const Rect& source, const Rect& dest) override {
        if (dest.Empty() || bmp.width <= 0 || bmp.height <= 0) return;
        if (bmp.rgba.size() < static_cast<std::size_t>(bmp.width) * bmp.height * 4) return;
        const Rect src = source.Intersect({0, 0, bmp.width, bmp.height});
        if (src.Empty()) return;
        if (Fl_RGB_Image* img = Prepared(bmp, src, dest.width, dest.height))
            img->draw(dest.x, dest.y);
    }

    void DrawText(const std::string& text, Point topLeft, const FontSpec& font) override {
        if (text.empty()) return;
        const FltkFontChoice f = FltkFont(font);
        fl_font(static_cast<Fl_Font>(f.font), f.size);
        SetColor(font.color);
        const int baseline = topLeft.y + fl_height() - fl_descent();
        fl_draw(text.c_str(), static_cast<int>(text.size()), topLeft.x, baseline);
        if (font.underline) {
            const int w = static_cast<int>(
                std::lround(fl_width(text.c_str(), static_cast<int>(text.size()))));
            const int thickness = std::max(1, f.size / 14);
            fl_rectf(topLeft.x, baseline + 1, w, thickness);
        }
    }

    void PushClip(const Rect& r) override {
        fl_push_clip(r.x, r.y, std::max(0, r.width), std::max(0, r.height));
        ++clips_;
    }

    void PopClip() override {
        if (clips_ == 0) return;
        fl_pop_clip();
        --clips_;
    }

private:
    int clips_ = 0;
};

class FltkWindow;

// The FLTK side of a window. Events go to `events` while it is set; the owning FltkWindow
// clears it before it goes, and the native window is deleted once FLTK is out of it.
class NativeWindow final : public Fl_Window {
public:
    NativeWindow(const Rect& r, FltkWindow* owner)
        : Fl_Window(r.x, r.y, std::max(1, r.width), std::max(1, r.height)), owner_(owner) {
        end();
        callback(&NativeWindow::OnClose);
    }

    ~NativeWindow() override {
        if (back_) fl_delete_offscreen(back_);
    }

    void Detach() {
        events = nullptr;
        owner_ = nullptr;
    }
    bool Dispatching() const { return depth_ > 0; }

    WindowEvents* events = nullptr;
    bool popup = false;
    // The rectangles asked for since the last paint. FLTK keeps only their bounding box
    // for the clip; painting them one by one leaves what lies between them alone.
    std::vector<Rect> pending;

protected:
    void draw() override;
    int handle(int event) override;
    void resize(int x, int y, int w, int h) override;

private:
    static void OnClose(Fl_Widget* w, void*) {
        auto* self = static_cast<NativeWindow*>(w);
        if (self->events) self->events->CloseRequested();
    }
    int Dispatch(int event);

    FltkWindow* owner_;
    int depth_ = 0;
    // Everything is painted here first and then copied to the window, rectangle by
    // rectangle, so no flicker shows and nothing but what changed reaches the screen.
    Fl_Offscreen back_ = 0;
    int backWidth_ = 0, backHeight_ = 0;
};

// Popups that hold the pointer and keyboard grab, innermost last.
std::vector<NativeWindow*>& GrabStack() {
    static std::vector<NativeWindow*> stack;
    return stack;
}

const std::pair<std::string, std::string>& ClassNames() {
    static const std::pair<std::string, std::string> names = [] {
        char buf[4096];
        const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        return ProgramClass(n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : "");
    }();
    return names;
}

Atom AtomOf(const char* name) {
    return XInternAtom(fl_display, name, False);
}

class FltkWindow final : public Window {
public:
    FltkWindow(const WindowSpec& spec, WindowEvents& events)
        : spec_(spec), title_(spec.title), iconTitle_(spec.iconTitle),
          native_(new NativeWindow(spec.bounds, this)) {
        native_->events = &events;
        native_->popup = spec.popup;
        UpdateLabel();
        native_->xclass(ClassNames().first.c_str());
        if (spec.frameless || spec.popup) native_->border(0);
        if (spec.popup) native_->set_override();
        if (spec.modal)
            native_->set_modal();
        else if (spec.owner)
            native_->set_non_modal();
        const int w = native_->w(), h = native_->h();
        if (spec.fixedSize)
            native_->size_range(w, h, w, h);
        else
            native_->size_range(std::min(w, 100), std::min(h, 50));
        MakeIcons();
    }

    ~FltkWindow() override {
        Hide();
        native_->Detach();
        if (native_->Dispatching())
            Fl::delete_widget(native_);
        else
            delete native_;
    }

    void Show() override {
        EnsureDisplay();
        const bool created = native_->shown();
        if (!created && spec_.owner && !Fl::modal()) {
            auto* owner = static_cast<FltkWindow*>(spec_.owner);
            if (owner->native_->shown()) Fl::first_window(owner->native_);
        }
        native_->show();
        visible_ = true;
        if (!created) AfterMap();
        if (spec_.popup && (GrabStack().empty() || GrabStack().back() != native_)) {
            GrabStack().push_back(native_);
            Fl::grab(native_);
        }
    }

    void Hide() override {
        auto& grabs = GrabStack();
        const auto it = std::find(grabs.begin(), grabs.end(), native_);
        if (it != grabs.end()) {
            grabs.erase(it);
            Fl::grab(nullptr);
            if (!grabs.empty()) Fl::grab(grabs.back());
        }
        visible_ = false;
        if (native_->shown()) native_->hide();
    }

    bool Visible() const override { return visible_; }

    void SetTitle(const std::string& title) override {
        title_ = title;
        UpdateLabel();
        WriteTitles();
    }

    void SetIconTitle(const std::string& title) override {
        iconTitle_ = title;
        UpdateLabel();
        WriteTitles();
    }

    void Invalidate(const Rect& area) override {
        if (area.Empty() || !native_->shown()) return;
        native_->pending.push_back(area);
        native_->damage(FL_DAMAGE_USER1, area.x, area.y, area.width, area.height);
    }

    void Move(Point p) override { native_->position(p.x, p.y); }

    Rect Bounds() const override {
        return {native_->x(), native_->y(), native_->w(), native_->h()};
    }

    void Minimize() override {
        if (native_->shown()) native_->iconize();
    }

    unsigned long Xid() const { return native_->shown() ? fl_xid(native_) : 0; }

    // Rounds the top corners with the X Shape extension; again whenever the size changes.
    void ApplyShape() {
        if (spec_.roundTopCorners <= 0 || !native_->shown()) return;
        const auto rects = CornerShape(native_->w(), native_->h(), spec_.roundTopCorners);
        std::vector<XRectangle> xr;
        for (const Rect& r : rects)
            xr.push_back({static_cast<short>(r.x), static_cast<short>(r.y),
                          static_cast<unsigned short>(r.width),
                          static_cast<unsigned short>(r.height)});
        XShapeCombineRectangles(fl_display, fl_xid(native_), ShapeBounding, 0, 0, xr.data(),
                                static_cast<int>(xr.size()), ShapeSet, YXBanded);
    }

private:
    const std::string& IconText() const { return iconTitle_.empty() ? title_ : iconTitle_; }

    // FLTK's label() repaints the whole window; once it is shown, WriteTitles() alone
    // updates the title properties.
    void UpdateLabel() {
        labelIcon_ = IconText();
        if (!native_->shown()) native_->label(title_.c_str(), labelIcon_.c_str());
    }

    // FLTK writes the titles as STRING whatever their encoding; these are the proper
    // encodings: UTF8_STRING for the _NET_ names, STRING or COMPOUND_TEXT for the ICCCM ones.
    void WriteTitles() {
        if (!native_->shown() || spec_.popup) return;
        const ::Window xid = fl_xid(native_);
        const Atom utf8 = AtomOf("UTF8_STRING");
        auto put = [&](const std::string& text, const char* netName, bool icon) {
            XChangeProperty(fl_display, xid, AtomOf(netName), utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(text.data()),
                            static_cast<int>(text.size()));
            char* list[] = {const_cast<char*>(text.c_str())};
            XTextProperty tp{};
            if (Xutf8TextListToTextProperty(fl_display, list, 1, XStdICCTextStyle, &tp) >= 0) {
                if (icon)
                    XSetWMIconName(fl_display, xid, &tp);
                else
                    XSetWMName(fl_display, xid, &tp);
                XFree(tp.value);
            }
        };
        // Only what changed goes to the server: the title changes every second.
        if (writtenTitle_ != title_) put(title_, "_NET_WM_NAME", false);
        if (writtenIcon_ != IconText()) put(IconText(), "_NET_WM_ICON_NAME", true);
        writtenTitle_ = title_;
        writtenIcon_ = IconText();
    }

    // Everything up to the XFlush goes out in one batch with the map request, before
    // anything that waits for the server, so nobody sees the window without its shape,
    // titles or class. (The atoms and the Shape extension were looked up beforehand.)
    void AfterMap() {
        const ::Window xid = fl_xid(native_);
        ApplyShape();
        WriteTitles();
        if (!spec_.popup) {
            // FLTK upper-cases a second letter after an 'x'; the class is the instance name
            // with only its first letter upper-cased.
            XClassHint hint;
            hint.res_name = const_cast<char*>(ClassNames().first.c_str());
            hint.res_class = const_cast<char*>(ClassNames().second.c_str());
            XSetClassHint(fl_display, xid, &hint);
            if (spec_.owner) {
                const unsigned long owner = static_cast<FltkWindow*>(spec_.owner)->Xid();
                if (owner) XSetTransientForHint(fl_display, xid, owner);
            }
        }
        XFlush(fl_display);
        if (spec_.frameless && !spec_.popup) KeepOnTaskBar(xid);
        // The titles change every second, and each change would come back as a
        // PropertyNotify that wakes the program for nothing (nothing here reads them).
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(fl_display, xid, &attributes))
            XSelectInput(fl_display, xid, attributes.your_event_mask & ~PropertyChangeMask);
        XFlush(fl_display);
    }

    // FLTK marks every borderless window _NET_WM_STATE_SKIP_TASKBAR, but a frameless main
    // window belongs on the task bar. The property is fixed for a window manager that has
    // not read it yet (or for none), and one that has is asked to drop the state.
    void KeepOnTaskBar(::Window xid) {
        const Atom state = AtomOf("_NET_WM_STATE");
        const Atom skip = AtomOf("_NET_WM_STATE_SKIP_TASKBAR");
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(fl_display, xid, state, 0, 64, False, XA_ATOM, &type, &format,
                               &count, &after, &data) == Success &&
            data) {
            std::vector<Atom> kept;
            const auto* atoms = reinterpret_cast<const Atom*>(data);
            for (unsigned long i = 0; i < count; ++i)
                if (atoms[i] != skip) kept.push_back(atoms[i]);
            XFree(data);
            if (kept.empty())
                XDeleteProperty(fl_display, xid, state);
            else
                XChangeProperty(fl_display, xid, state, XA_ATOM, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(kept.data()),
                                static_cast<int>(kept.size()));
        }
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = xid;
        e.xclient.message_type = state;
        e.xclient.format = 32;
        e.xclient.data.l[0] = 0; // _NET_WM_STATE_REMOVE
        e.xclient.data.l[1] = static_cast<long>(skip);
        e.xclient.data.l[3] = 1; // from an application
        XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &e);
    }

    // FLTK writes _NET_WM_ICON from these when it makes the window; icons() copies them.
    void MakeIcons() {
        std::vector<std::unique_ptr<Fl_RGB_Image>> owned;
        std::vector<const Fl_RGB_Image*> list;
        for (const Bitmap& b : spec_.icons) {
            if (b.width <= 0 || b.height <= 0 ||
                b.rgba.size() < static_cast<std::size_t>(b.width) * b.height * 4)
                continue;
            owned.push_back(std::make_unique<Fl_RGB_Image>(b.rgba.data(), b.width, b.height, 4));
            list.push_back(owned.back().get());
        }
        if (!list.empty()) native_->icons(list.data(), static_cast<int>(list.size()));
    }

    WindowSpec spec_;
    std::string title_;
    std::string iconTitle_;
    std::string labelIcon_;
    std::optional<std::string> writtenTitle_, writtenIcon_; // as last sent to the server
    NativeWindow* native_;
    bool visible_ = false;

    friend class NativeWindow;
};

void NativeWindow::draw() {
    int x = 0, y = 0, w = 0, h = 0;
    fl_clip_box(0, 0, this->w(), this->h(), x, y, w, h);
    const Rect area{x, y, w, h};
    std::vector<Rect> parts;
    parts.swap(pending);
    if (area.Empty() || !events) return;

    bool paint = true;
    if (!back_ || backWidth_ != this->w() || backHeight_ != this->h()) {
        if (back_) fl_delete_offscreen(back_);
        back_ = fl_create_offscreen(this->w(), this->h());
        backWidth_ = this->w(), backHeight_ = this->h();
        parts.assign(1, Rect{0, 0, this->w(), this->h()});
    } else if (damage() == FL_DAMAGE_EXPOSE) {
        paint = false; // uncovered: the back buffer still holds it
        parts.assign(1, area);
    } else if ((damage() & ~FL_DAMAGE_USER1) != 0 || parts.empty()) {
        parts.assign(1, area); // FLTK's own redraw, not ours: the whole box
    }

    ++depth_;
    if (paint) {
        // What fl_begin_offscreen does, spelt out: its macro names X11's Window, which
        // backend::Window hides here.
        const ::Window savedWindow = fl_window;
        fl_window = back_;
        Fl_Surface_Device* savedSurface = Fl_Surface_Device::surface();
        Fl_Display_Device::display_device()->set_current();
        fl_push_no_clip();
        {
            FltkCanvas canvas;
            for (const Rect& part : parts) {
                fl_push_clip(part.x, part.y, part.width, part.height);
                events->Paint(canvas, part);
                fl_pop_clip();
            }
        }
        fl_pop_clip();
        fl_window = savedWindow;
        savedSurface->set_current();
    }
    // A copy would otherwise come back as a NoExpose event and wake the loop once more.
    XSetGraphicsExposures(fl_display, fl_gc, False);
    for (const Rect& part : parts) {
        const Rect r = part.Intersect({0, 0, this->w(), this->h()});
        if (!r.Empty()) fl_copy_offscreen(r.x, r.y, r.width, r.height, back_, r.x, r.y);
    }
    --depth_;
}

int NativeWindow::handle(int event) {
    ++depth_;
    const int r = Dispatch(event);
    --depth_;
    return r;
}

int NativeWindow::Dispatch(int event) {
    switch (event) {
    case FL_PUSH:
    case FL_RELEASE:
    case FL_MOVE:
    case FL_DRAG:
    case FL_LEAVE: {
        if (!events) return 1;
        MouseEvent m;
        m.position = {Fl::event_x(), Fl::event_y()};
        m.screen = {Fl::event_x_root(), Fl::event_y_root()};
        const bool inside =
            m.position.x >= 0 && m.position.y >= 0 && m.position.x < w() && m.position.y < h();
        if (event == FL_PUSH || event == FL_RELEASE) {
            if (popup && !inside) {
                // A click anywhere else ends the popup; its release means nothing.
                if (event == FL_PUSH) events->Dismissed();
                return 1;
            }
            m.action = event == FL_PUSH ? MouseAction::Down : MouseAction::Up;
            switch (Fl::event_button()) {
            case FL_LEFT_MOUSE:
                m.button = MouseButton::Left;
                break;
            case FL_MIDDLE_MOUSE:
                m.button = MouseButton::Middle;
                break;
            case FL_RIGHT_MOUSE:
                m.button = MouseButton::Right;
                break;
            default:
                m.button = MouseButton::None;
                break;
            }
        } else {
            m.action = event == FL_LEAVE ? MouseAction::Leave : MouseAction::Move;
        }
        events->Mouse(m);
        return 1;
    }
    case FL_ENTER:
        return 1; // so that FLTK sends FL_MOVE
    case FL_MOUSEWHEEL:
        return 1;
    case FL_FOCUS:
    case FL_UNFOCUS:
        if (events) events->ActiveChanged(event == FL_FOCUS);
        return 1;
    case FL_SHORTCUT:
        // Only a key nobody had as FL_KEYBOARD comes here; it is this window's if the key
        // was pressed in it. Taking it keeps FLTK from closing a window on Escape.
        if (!fl_xevent || fl_xevent->xany.window != fl_xid(this)) return 1;
        [[fallthrough]];
    case FL_KEYBOARD:
        if (events)
            if (auto key = TranslateKey(Fl::event_key(), Fl::event_state())) events->Key(*key);
        return 1;
    case FL_KEYUP:
        return 1;
    default:
        return Fl_Window::handle(event);
    }
}

void NativeWindow::resize(int x, int y, int w, int h) {
    const bool sized = w != this->w() || h != this->h();
    Fl_Window::resize(x, y, w, h);
    if (sized && owner_) owner_->ApplyShape();
}

} // namespace

std::unique_ptr<Window> MakeWindow(const WindowSpec& spec, WindowEvents& events) {
    return std::make_unique<FltkWindow>(spec, events);
}

unsigned long NativeId(const Window* window) {
    return window ? static_cast<const FltkWindow*>(window)->Xid() : 0;
}

} // namespace backend::fltk
