#include "suipack/SUIButton.h"

#include "vcl/Forms.h"

#include <algorithm>

namespace {
constexpr int kCap = 6;          // unscaled columns at each end of the button pictures
constexpr int kTextPadding = 12; // AutoSize: room left and right of the caption
} // namespace

TsuiButton::TsuiButton(TComponent* AOwner) : TWinControl(AOwner) {
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TsuiButton::SetUIStyle(TsuiUIStyle style) {
    if (style == m_style) return;
    m_style = style;
    AdjustSize();
    Invalidate();
}

void TsuiButton::SetAutoSize(bool v) {
    m_autoSize = v;
    AdjustSize();
}

void TsuiButton::SetTransparent(bool v) {
    if (v == m_transparent) return;
    m_transparent = v;
    Invalidate();
}

void TsuiButton::SetFocusedRectMargin(int v) {
    m_focusMargin = v;
    if (Focused()) Invalidate();
}

const backend::Bitmap* TsuiButton::Picture(State state) const {
    static const char* const kSuffix[] = {"_BUTTON_NORMAL", "_BUTTON_OVER", "_BUTTON_PRESSED",
                                          "_BUTTON_DISABLED"};
    return suipack::SkinPicture(String(suipack::StylePrefix(m_style)) +
                                kSuffix[static_cast<int>(state)]);
}

TsuiButton::State TsuiButton::CurrentState() const {
    if (!Enabled()) return State::Disabled;
    if (m_pressedLook) return State::Pressed;
    if (m_hover) return State::Over;
    return State::Normal;
}

void TsuiButton::Paint(TCanvas& canvas) {
    const backend::Rect r = ClientRect();
    const State state = CurrentState();
    if (!m_transparent) canvas.FillRect(r, Color());
    if (const backend::Bitmap* bmp = Picture(state)) {
        suipack::DrawThreePart(canvas, *bmp, kCap, r);
    } else {
        // No pictures for this style: a flat face with a one-pixel edge.
        const TColor face = state == State::Pressed ? RGB(200, 200, 200)
                            : state == State::Over  ? RGB(245, 245, 245)
                                                    : RGB(230, 230, 230);
        canvas.FillRect(r, face);
        canvas.FrameRect(r, state == State::Disabled ? clSilver : RGB(127, 127, 127));
    }
    TFont font;
    font.Assign(EffectiveFont());
    if (state == State::Disabled) font.SetColor(clGray);
    backend::Rect text = r;
    if (state == State::Pressed) text = text.Offset(1, 1);
    canvas.DrawCaption(text, Caption(), font, TAlignment::taCenter, true);
    if (Focused() && state != State::Disabled) {
        const int m = m_focusMargin;
        canvas.DottedRect({m, m, r.width - 2 * m, r.height - 2 * m}, clBlack);
    }
}

void TsuiButton::SetPressedLook(bool down) {
    if (down == m_pressedLook) return;
    m_pressedLook = down;
    Invalidate();
}

void TsuiButton::MouseDown(backend::MouseButton button, int x, int y) {
    TWinControl::MouseDown(button, x, y);
    if (button != backend::MouseButton::Left) return;
    m_leftDown = true;
    SetPressedLook(true);
}

void TsuiButton::MouseMove(int x, int y) {
    if (m_leftDown) SetPressedLook(ClientRect().Contains({x, y}));
}

void TsuiButton::MouseUp(backend::MouseButton button, int x, int y) {
    if (button == backend::MouseButton::Left) {
        m_leftDown = false;
        SetPressedLook(false);
    }
    // May click, and the click may close and free the form: nothing of ours after this.
    TWinControl::MouseUp(button, x, y);
}

void TsuiButton::MouseEnter() {
    m_hover = true;
    Invalidate();
}

void TsuiButton::MouseLeave() {
    m_hover = false;
    Invalidate();
}

bool TsuiButton::KeyDown(const backend::KeyEvent& key) {
    if (key.key != backend::Key::Space && key.key != backend::Key::Enter) return false;
    Click();
    return true;
}

char TsuiButton::AccessKey() const {
    return vcl::AcceleratorOf(Caption());
}

bool TsuiButton::DialogKey(const backend::KeyEvent& key) {
    const bool mine = (key.key == backend::Key::Enter && m_default) ||
                      (key.key == backend::Key::Escape && m_cancel);
    if (!mine || !Enabled() || !Showing()) return false;
    Click();
    return true;
}

void TsuiButton::Click() {
    if (m_modalResult != mrNone)
        if (TCustomForm* form = GetParentForm()) form->SetModalResult(m_modalResult);
    TWinControl::Click();
}

void TsuiButton::CaptionChanged() {
    AdjustSize();
    Invalidate();
}

void TsuiButton::FontChanged() {
    AdjustSize();
    Invalidate();
}

void TsuiButton::Loaded() {
    TWinControl::Loaded();
    AdjustSize();
}

void TsuiButton::AdjustSize() {
    if (!m_autoSize || Loading()) return;
    const backend::Bitmap* bmp = Picture(State::Normal);
    const String shown = vcl::StripAccelerator(Caption()).first;
    const int textWidth = backend::Current().MeasureText(shown, EffectiveFont().Spec()).width;
    const int width = std::max(bmp ? bmp->width : 2 * kCap, textWidth + 2 * kTextPadding);
    SetBounds(Left(), Top(), width, bmp ? bmp->height : Height());
}

const vcl::ClassInfo& TsuiButton::StaticClassInfo() {
    using namespace vcl;
    using B = TsuiButton;
    static const ClassInfo info(
        "TsuiButton", &TWinControl::StaticClassInfo(), FactoryOf<B>(),
        {prop::Enum("UIStyle", &B::SetUIStyle, suipack::StyleNames()),
         prop::Bool("AutoSize", &B::SetAutoSize), prop::Bool("Transparent", &B::SetTransparent),
         prop::Custom<B>("ModalResult",
                         [](B& b, const dfm::Value& v, LoadContext& ctx) {
                             if (v.kind == dfm::Value::Kind::Integer)
                                 return b.SetModalResult(static_cast<int>(v.integer));
                             b.SetModalResult(ReadEnum(
                                 v, ctx,
                                 {{"mrNone", mrNone}, {"mrOk", mrOk}, {"mrCancel", mrCancel}}));
                         }),
         prop::Int("FocusedRectMargin", &B::SetFocusedRectMargin),
         prop::Enum("Layout", &B::SetLayout,
                    {{"blGlyphLeft", TButtonLayout::blGlyphLeft},
                     {"blGlyphRight", TButtonLayout::blGlyphRight},
                     {"blGlyphTop", TButtonLayout::blGlyphTop},
                     {"blGlyphBottom", TButtonLayout::blGlyphBottom}}),
         prop::Int("Spacing", &B::SetSpacing), prop::Bool("Default", &B::SetDefault),
         prop::Bool("Cancel", &B::SetCancel)});
    return info;
}
