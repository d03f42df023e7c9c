#include "suipack/SUIPanel.h"

TsuiPanel::TsuiPanel(TComponent* AOwner) : TWinControl(AOwner) {
    SetColor(clWhite);
    SetBounds(0, 0, 185, 41);
}

void TsuiPanel::SetUIStyle(TsuiUIStyle style) {
    if (style == m_style) return;
    m_style = style;
    Invalidate();
}

void TsuiPanel::SetBorderColor(TColor v) {
    if (v == m_borderColor) return;
    m_borderColor = v;
    Invalidate();
}

void TsuiPanel::SetShowButton(bool v) {
    if (v == m_showButton) return;
    m_showButton = v;
    if (!v) SetOpened(true);
    Invalidate();
}

void TsuiPanel::SetOpened(bool v) {
    if (v == !m_collapsed) return;
    if (!v) m_openHeight = Height();
    m_collapsed = !v;
    SetHeight(v ? m_openHeight : kTitleHeight + 2);
}

TColor TsuiPanel::TitleColor() const {
    switch (m_style) {
    case TsuiUIStyle::BlueGlass:
        return RGB(206, 222, 247);
    case TsuiUIStyle::MacOS:
        return RGB(236, 236, 236);
    default:
        return RGB(224, 224, 224);
    }
}

backend::Rect TsuiPanel::ButtonRect() const {
    if (!m_showButton) return {};
    return {Width() - 1 - 4 - 13, 1 + (kTitleHeight - 13) / 2, 13, 13};
}

backend::Rect TsuiPanel::AlignRect() const {
    return {kInsetLeft, kInsetTop, Width() - kInsetLeft - kInsetRight,
            Height() - kInsetTop - kInsetBottom};
}

void TsuiPanel::Paint(TCanvas& canvas) {
    const backend::Rect r = ClientRect();
    canvas.FillRect(r, Color());
    if (!Caption().empty() || m_showButton) {
        const backend::Rect strip{1, 1, r.width - 2, kTitleHeight};
        canvas.FillRect(strip, TitleColor());
        canvas.Line(1, kTitleHeight + 1, r.width - 2, kTitleHeight + 1, RGB(200, 200, 200));
        const int right = m_showButton ? ButtonRect().x - 4 : strip.Right() - 4;
        canvas.PushClip({strip.x, strip.y, right - strip.x, strip.height});
        canvas.DrawCaption({strip.x + 6, strip.y, right - strip.x - 6, strip.height}, Caption(),
                           EffectiveFont(), TAlignment::taLeftJustify, true);
        canvas.PopClip();
    }
    if (m_showButton) {
        const backend::Rect b = ButtonRect();
        canvas.FillRect(b, clWhite);
        canvas.FrameRect(b, m_borderColor);
        const int mid = b.y + b.height / 2;
        canvas.Line(b.x + 3, mid, b.Right() - 4, mid, clBlack);
        if (m_collapsed)
            canvas.Line(b.x + b.width / 2, b.y + 3, b.x + b.width / 2, b.Bottom() - 4, clBlack);
    }
    canvas.FrameRect(r, m_borderColor);
}

void TsuiPanel::MouseUp(backend::MouseButton button, int x, int y) {
    const bool onButton =
        button == backend::MouseButton::Left && MouseIsDown() && ButtonRect().Contains({x, y});
    std::weak_ptr<const bool> alive = Alive();
    TWinControl::MouseUp(button, x, y); // may click, and the click may free us
    if (onButton && !alive.expired()) SetOpened(m_collapsed);
}

const vcl::ClassInfo& TsuiPanel::StaticClassInfo() {
    using namespace vcl;
    using P = TsuiPanel;
    static const ClassInfo info(
        "TsuiPanel", &TWinControl::StaticClassInfo(), FactoryOf<P>(),
        {prop::Enum("UIStyle", &P::SetUIStyle, suipack::StyleNames()),
         prop::Custom<P>("BorderColor",
                         [](P& p, const dfm::Value& v, LoadContext& ctx) {
                             p.SetBorderColor(ReadColor(v, ctx));
                         }),
         prop::Bool("ShowButton", &P::SetShowButton),
         prop::Ignored("BevelOuter", "the skin draws its own one-pixel border"),
         prop::Ignored("BevelInner", "the skin draws its own one-pixel border")});
    return info;
}
