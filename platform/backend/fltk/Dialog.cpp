// The message box: a modal backend window of its own, painted with the backend's canvas and
// fonts, run in a nested loop until a button, Enter, Escape or its close answers it.
#include "backend/fltk/Helpers.h"
#include "backend/fltk/Internal.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace backend::fltk {

namespace {

constexpr Color kFace{212, 208, 200};
constexpr Color kHighlight{255, 255, 255};
constexpr Color kShadow{128, 128, 128};
constexpr Color kDark{64, 64, 64};
constexpr Color kBlack{0, 0, 0};
constexpr int kMargin = 11;
constexpr int kIconSize = 32;
constexpr int kButtonW = 75;
constexpr int kButtonH = 23;
constexpr int kButtonGap = 6;
constexpr int kMaxTextWidth = 420;

FontSpec DialogFont() {
    return FontSpec{};
} // "MS Sans Serif", 11 px character height

class MessageBoxWindow;
std::vector<MessageBoxWindow*>& OpenBoxes() {
    static std::vector<MessageBoxWindow*> boxes;
    return boxes;
}

class MessageBoxWindow final : public WindowEvents {
public:
    MessageBoxWindow(const std::string& text, DialogButtons buttons, DialogIcon icon)
        : icon_(icon) {
        answers_.push_back(DialogAnswer::Ok);
        labels_.push_back("OK");
        if (buttons == DialogButtons::OkCancel) {
            answers_.push_back(DialogAnswer::Cancel);
            labels_.push_back("Cancel");
        }
        const FontSpec font = DialogFont();
        lines_ = WrapText(text, kMaxTextWidth,
                          [&](const std::string& s) { return Measure(s, font).width; });
        lineHeight_ = Measure("Ag", font).height;
        int textW = 0;
        for (const auto& l : lines_)
            textW = std::max(textW, Measure(l, font).width);
        const int textH = lineHeight_ * static_cast<int>(lines_.size());
        const int iconW = icon_ == DialogIcon::None ? 0 : kIconSize + 12;
        const int contentH = std::max(icon_ == DialogIcon::None ? 0 : kIconSize, textH);
        textTop_ = kMargin + (contentH - textH) / 2;
        textLeft_ = kMargin + iconW;
        const int n = static_cast<int>(labels_.size());
        const int buttonsW = n * kButtonW + (n - 1) * kButtonGap;
        size_.width = std::max({textLeft_ + textW + kMargin + 8, buttonsW + 2 * kMargin, 160});
        const int buttonsTop = kMargin + contentH + 16;
        size_.height = buttonsTop + kButtonH + kMargin;
        const int left = (size_.width - buttonsW) / 2;
        for (int i = 0; i < n; ++i)
            buttons_.push_back(
                {left + i * (kButtonW + kButtonGap), buttonsTop, kButtonW, kButtonH});
    }

    Size WindowSize() const { return size_; }
    bool Done() const { return done_; }
    DialogAnswer Answer() const { return answer_; }
    void Attach(Window* w) { window_ = w; }

    // Escape, the close box and CancelDialogs answer Cancel, or OK when that is all there is.
    void Cancel() { Finish(answers_.back()); }

    void Paint(Canvas& c, const Rect&) override {
        c.FillRect({0, 0, size_.width, size_.height}, kFace);
        PaintIcon(c);
        FontSpec font = DialogFont();
        for (std::size_t i = 0; i < lines_.size(); ++i)
            c.DrawText(lines_[i], {textLeft_, textTop_ + static_cast<int>(i) * lineHeight_}, font);
        for (std::size_t i = 0; i < buttons_.size(); ++i)
            PaintButton(c, static_cast<int>(i));
    }

    void Mouse(const MouseEvent& e) override {
        const int hit = HitButton(e.position);
        if (e.action == MouseAction::Down && e.button == MouseButton::Left && hit >= 0) {
            pressed_ = hit;
            focus_ = hit;
            Repaint();
        } else if (e.action == MouseAction::Up && pressed_ >= 0) {
            const int was = pressed_;
            pressed_ = -1;
            Repaint();
            if (hit == was) Finish(answers_[static_cast<std::size_t>(was)]);
        }
    }

    void Key(const KeyEvent& e) override {
        const int n = static_cast<int>(buttons_.size());
        switch (e.key) {
        case Key::Enter:
            Finish(answers_.front());
            break;
        case Key::Escape:
            Cancel();
            break;
        case Key::Space:
            Finish(answers_[static_cast<std::size_t>(focus_)]);
            break;
        case Key::Tab:
            focus_ = (focus_ + (e.modifiers.shift ? n - 1 : 1)) % n;
            Repaint();
            break;
        case Key::Left:
        case Key::Up:
            focus_ = (focus_ + n - 1) % n;
            Repaint();
            break;
        case Key::Right:
        case Key::Down:
            focus_ = (focus_ + 1) % n;
            Repaint();
            break;
        case Key::F4:
            if (e.modifiers.alt) Cancel();
            break;
        default:
            break;
        }
    }

    void CloseRequested() override { Cancel(); }

private:
    void Finish(DialogAnswer a) {
        if (done_) return;
        answer_ = a;
        done_ = true;
        Kick();
    }

    void Repaint() {
        if (window_) window_->Invalidate({0, 0, size_.width, size_.height});
    }

    int HitButton(Point p) const {
        for (std::size_t i = 0; i < buttons_.size(); ++i)
            if (buttons_[i].Contains(p)) return static_cast<int>(i);
        return -1;
    }

    void PaintButton(Canvas& c, int i) {
        Rect r = buttons_[static_cast<std::size_t>(i)];
        const bool pressed = pressed_ == i;
        // The button that Enter would press has a black outer frame.
        if (focus_ == i) {
            c.FrameRect(r, kBlack);
            r = {r.x + 1, r.y + 1, r.width - 2, r.height - 2};
        }
        c.FillRect(r, kFace);
        if (pressed) {
            c.FrameRect(r, kShadow);
        } else {
            c.Line({r.x, r.y}, {r.Right() - 2, r.y}, kHighlight);
            c.Line({r.x, r.y}, {r.x, r.Bottom() - 2}, kHighlight);
            c.Line({r.x, r.Bottom() - 1}, {r.Right() - 1, r.Bottom() - 1}, kDark);
            c.Line({r.Right() - 1, r.y}, {r.Right() - 1, r.Bottom() - 1}, kDark);
            c.Line({r.x + 1, r.Bottom() - 2}, {r.Right() - 2, r.Bottom() - 2}, kShadow);
            c.Line({r.Right() - 2, r.y + 1}, {r.Right() - 2, r.Bottom() - 2}, kShadow);
        }
        const FontSpec font = DialogFont();
        const std::string& label = labels_[static_cast<std::size_t>(i)];
        const TextMetrics m = Measure(label, font);
        const int shift = pressed ? 1 : 0;
        c.DrawText(label,
                   {r.x + (r.width - m.width) / 2 + shift, r.y + (r.height - m.height) / 2 + shift},
                   font);
        if (focus_ == i) c.DottedRect({r.x + 3, r.y + 3, r.width - 6, r.height - 6}, kBlack);
    }

    // A filled circle as horizontal spans, so it needs nothing but lines.
    static void Disc(Canvas& c, int cx2, int cy2, int d, Color col) {
        const double r = d / 2.0;
        for (int y = 0; y < d; ++y) {
            const double dy = r - (y + 0.5);
            const double dx = std::sqrt(std::max(0.0, r * r - dy * dy));
            const int x0 = static_cast<int>(std::lround(r - dx));
            const int x1 = static_cast<int>(std::lround(r + dx)) - 1;
            if (x1 >= x0) c.Line({cx2 + x0, cy2 + y}, {cx2 + x1, cy2 + y}, col);
        }
    }

    void PaintIcon(Canvas& c) const {
        if (icon_ == DialogIcon::None) return;
        const int x = kMargin, y = kMargin;
        Color fill{0, 0, 192};
        if (icon_ == DialogIcon::Error) fill = {204, 0, 0};
        if (icon_ == DialogIcon::Warning) fill = {224, 176, 0};
        Disc(c, x + 1, y + 1, kIconSize - 1, kShadow); // shadow
        Disc(c, x, y, kIconSize - 1, fill);
        const Color white{255, 255, 255};
        if (icon_ == DialogIcon::Error) {
            for (int t = -1; t <= 1; ++t) {
                c.Line({x + 9 + t, y + 9}, {x + 21 + t, y + 21}, white);
                c.Line({x + 21 + t, y + 9}, {x + 9 + t, y + 21}, white);
            }
            return;
        }
        FontSpec glyph;
        glyph.face = "Arial";
        glyph.height = -22;
        glyph.bold = true;
        glyph.color = icon_ == DialogIcon::Warning ? kBlack : white;
        const std::string mark = icon_ == DialogIcon::Question      ? "?"
                                 : icon_ == DialogIcon::Information ? "i"
                                                                    : "!";
        const TextMetrics m = Measure(mark, glyph);
        c.DrawText(mark, {x + (kIconSize - 1 - m.width) / 2, y + (kIconSize - 1 - m.height) / 2},
                   glyph);
    }

    DialogIcon icon_;
    std::vector<DialogAnswer> answers_;
    std::vector<std::string> labels_;
    std::vector<std::string> lines_;
    std::vector<Rect> buttons_;
    int lineHeight_ = 13;
    int textLeft_ = 0;
    int textTop_ = 0;
    Size size_;
    int focus_ = 0;
    int pressed_ = -1;
    bool done_ = false;
    DialogAnswer answer_ = DialogAnswer::None;
    Window* window_ = nullptr;
};

} // namespace

DialogAnswer RunMessageBox(Backend& backend, Window* owner, const std::string& text,
                           const std::string& caption, DialogButtons buttons, DialogIcon icon) {
    MessageBoxWindow box(text, buttons, icon);
    const Size size = box.WindowSize();
    const Rect screen = backend.Screen();
    const Rect around = owner && owner->Visible() ? owner->Bounds() : screen;
    Rect bounds{around.x + (around.width - size.width) / 2,
                around.y + (around.height - size.height) / 2, size.width, size.height};
    bounds.x = std::clamp(bounds.x, screen.x, std::max(screen.x, screen.Right() - size.width));
    bounds.y = std::clamp(bounds.y, screen.y, std::max(screen.y, screen.Bottom() - size.height));

    WindowSpec spec;
    spec.title = caption;
    spec.bounds = bounds;
    spec.fixedSize = true;
    spec.modal = true;
    spec.owner = owner;
    std::unique_ptr<Window> window = backend.CreateWindow(spec, box);
    box.Attach(window.get());
    OpenBoxes().push_back(&box);
    window->Show();
    backend.RunUntil([&] { return box.Done(); });
    OpenBoxes().erase(std::find(OpenBoxes().begin(), OpenBoxes().end(), &box));
    window->Hide();
    return box.Answer();
}

void CancelMessageBoxes() {
    for (MessageBoxWindow* box : OpenBoxes())
        box->Cancel();
}

} // namespace backend::fltk
