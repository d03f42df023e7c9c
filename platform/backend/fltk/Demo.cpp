// backend_fltk_demo: one frameless window with round top corners, bitmaps, text in the four
// faces the program uses and a clock that repaints only its own rectangle once a second.
// Keys: p opens a popup, m a message box, q or Escape (or the window's close) ends it.
// --popup / --message open them one tick after the start (for screenshots); every paint's
// area is written to stderr so that partial repaints can be seen.
#include "backend/Backend.h"

#include <cstdio>
#include <cstring>
#include <string>

using namespace backend;

namespace {

Bitmap Disc(int size, Color c) {
    Bitmap b;
    b.width = b.height = size;
    b.rgba.resize(static_cast<std::size_t>(size) * size * 4);
    const double r = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - r, dy = y + 0.5 - r;
            const double d = (dx * dx + dy * dy) / (r * r);
            std::uint8_t* p = &b.rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            p[3] = d >= 1.0 ? 0 : static_cast<std::uint8_t>(255 * (1.0 - d * 0.6));
        }
    return b;
}

Bitmap Checker(int size) {
    Bitmap b;
    b.width = b.height = size;
    b.rgba.resize(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            std::uint8_t* p = &b.rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            const bool on = ((x / 2) + (y / 2)) % 2 == 0;
            p[0] = on ? 30 : 230;
            p[1] = on ? 90 : 230;
            p[2] = on ? 160 : 230;
            p[3] = 255;
        }
    return b;
}

class Popup final : public WindowEvents {
public:
    bool open = false;
    Window* window = nullptr;
    std::string chosen;
    void Paint(Canvas& c, const Rect&) override {
        const Rect b = window->Bounds();
        c.FillRect({0, 0, b.width, b.height}, {255, 255, 240});
        c.FrameRect({0, 0, b.width, b.height}, {0, 0, 0});
        FontSpec f;
        f.face = "Tahoma";
        f.height = -11;
        c.DrawText("First item", {8, 4}, f);
        c.DrawText("Second item", {8, 22}, f);
    }
    void Mouse(const MouseEvent& e) override {
        if (e.action == MouseAction::Up) Close();
    }
    void Key(const KeyEvent& e) override {
        if (e.key == Key::Escape || e.key == Key::Enter) Close();
    }
    void CloseRequested() override { Close(); }
    void Dismissed() override { Close(); }
    void Close() {
        open = false;
        window->Hide();
    }
};

class Main final : public WindowEvents {
public:
    bool quit = false;
    int seconds = 0;
    Window* window = nullptr;
    Popup popup;
    std::unique_ptr<Window> popupWindow;
    Bitmap disc = Disc(48, {200, 40, 40});
    Bitmap checker = Checker(16);

    static constexpr Rect kClock{400, 240, 120, 20};

    void Paint(Canvas& c, const Rect& area) override {
        std::fprintf(stderr, "paint %d,%d %dx%d\n", area.x, area.y, area.width, area.height);
        c.FillRect({0, 0, 541, 280}, {236, 233, 216});
        for (int y = 0; y < 24; ++y)
            c.Line({0, y}, {540, y},
                   {static_cast<std::uint8_t>(10 + y * 3), static_cast<std::uint8_t>(60 + y * 4),
                    static_cast<std::uint8_t>(180 + y * 2)});
        FontSpec title;
        title.face = "Tahoma";
        title.height = -13;
        title.bold = true;
        title.color = {255, 255, 255};
        c.DrawText("Riduduz backend demo", {10, 5}, title);

        const char* faces[] = {"MS Sans Serif", "Arial", "Verdana", "Tahoma"};
        int y = 36;
        for (const char* face : faces) {
            FontSpec f;
            f.face = face;
            f.height = -11;
            c.DrawText(std::string(face) + ": Worked today 7:42 h", {12, y}, f);
            f.bold = true;
            f.color = {0, 0, 128};
            c.DrawText("bold", {240, y}, f);
            f.bold = false;
            f.italic = true;
            c.DrawText("italic", {280, y}, f);
            f.italic = false;
            f.underline = true;
            c.DrawText("underline", {320, y}, f);
            y += 20;
        }
        FontSpec big;
        big.face = "Arial";
        big.height = 32;
        big.color = {128, 0, 0};
        c.DrawText("07:42:15", {12, 130}, big);

        c.DrawBitmap(disc, {0, 0, 48, 48}, {300, 120, 48, 48});
        c.DrawBitmap(disc, {0, 0, 48, 48}, {330, 140, 96, 96}); // scaled, overlapping
        c.DrawBitmap(checker, {0, 0, 16, 16}, {450, 120, 64, 64});
        c.PushClip({12, 190, 100, 10});
        c.FillRect({0, 0, 541, 280}, {0, 128, 0}); // clipped to a 100 x 10 bar
        c.PopClip();
        c.DottedRect({10, 210, 150, 20}, {0, 0, 0});
        FontSpec small;
        small.face = "MS Sans Serif";
        c.DrawText("Focus rectangle", {16, 213}, small);
        c.FrameRect({0, 0, 541, 280}, {0, 0, 0});

        c.FillRect(kClock, {255, 255, 255});
        c.FrameRect(kClock, {128, 128, 128});
        char text[32];
        std::snprintf(text, sizeof text, "ticks: %d", seconds);
        c.DrawText(text, {kClock.x + 6, kClock.y + 3}, small);
    }

    void Mouse(const MouseEvent&) override {}
    void Key(const KeyEvent& e) override {
        if (e.key == Key::Escape || (e.key == Key::Character && e.character == 'q')) quit = true;
        if (e.key == Key::F4 && e.modifiers.alt) quit = true;
        if (e.key == Key::Character && e.character == 'p') OpenPopup();
        if (e.key == Key::Character && e.character == 'm') Ask();
    }
    void CloseRequested() override { quit = true; }

    void OpenPopup() {
        if (!popupWindow) {
            WindowSpec spec;
            spec.popup = true;
            const Rect b = window->Bounds();
            spec.bounds = {b.x + 40, b.y + 60, 120, 42};
            popupWindow = Current().CreateWindow(spec, popup);
            popup.window = popupWindow.get();
        }
        popup.open = true;
        popupWindow->Show();
    }

    void Ask() {
        const DialogAnswer a = Current().MessageBox(
            window,
            "Do you want to stop counting the working time for today? The time counted so far "
            "is kept.",
            "Riduduz", DialogButtons::OkCancel, DialogIcon::Question);
        std::fprintf(stderr, "answer %s\n", a == DialogAnswer::Ok ? "ok" : "cancel");
    }
};

} // namespace

int main(int argc, char** argv) {
    bool openPopup = false, openMessage = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--popup")) openPopup = true;
        if (!std::strcmp(argv[i], "--message")) openMessage = true;
    }
    Backend& b = Current();
    Main main;
    const Rect screen = b.Screen();
    WindowSpec spec;
    spec.title = "Riduduz – demo";
    spec.iconTitle = "Riduduz";
    spec.bounds = {screen.x + (screen.width - 541) / 2, screen.y + (screen.height - 280) / 2, 541,
                   280};
    spec.frameless = true;
    spec.roundTopCorners = 11;
    spec.icons.push_back(Disc(32, {200, 40, 40}));
    spec.icons.push_back(Disc(16, {200, 40, 40}));
    auto window = b.CreateWindow(spec, main);
    main.window = window.get();
    b.SetShutdownHandler([&](ShutdownReason r) {
        std::fprintf(stderr, "shutdown: %s\n", r == ShutdownReason::Signal ? "signal" : "display");
        main.quit = true;
        b.CancelDialogs();
    });
    window->Show();
    const TimerId timer = b.StartTimer(1000, [&] {
        ++main.seconds;
        window->Invalidate(Main::kClock);
        if (main.seconds == 1 && openPopup) b.Post([&] { main.OpenPopup(); });
        if (main.seconds == 1 && openMessage) b.Post([&] { main.Ask(); });
    });
    b.RunUntil([&] { return main.quit; });
    b.StopTimer(timer);
    return 0;
}
