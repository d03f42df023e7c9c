#include "vcl/StdCtrls.h"

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 65, 17);
}

void TLabel::SetAutoSize(bool v) {
    m_autoSize = v;
    AdjustSize();
}
void TLabel::SetTransparent(bool v) {
    m_transparent = v;
    Invalidate();
}
void TLabel::SetAlignment(TAlignment v) {
    m_alignment = v;
    Invalidate();
}
void TLabel::SetLayout(TTextLayout v) {
    m_layout = v;
    Invalidate();
}
void TLabel::SetShowAccelChar(bool v) {
    m_showAccelChar = v;
    AdjustSize();
    Invalidate();
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustSize();
}

void TLabel::CaptionChanged() {
    AdjustSize();
    Invalidate();
}

void TLabel::FontChanged() {
    AdjustSize();
    Invalidate();
}

// With AutoSize the label takes the size of its text, keeping its left edge (or its right
// edge when right-aligned, its centre when centred).
void TLabel::AdjustSize() {
    if (!m_autoSize || Loading() || m_wordWrap) return;
    const String text = m_showAccelChar ? vcl::StripAccelerator(Caption()).first : Caption();
    const backend::TextMetrics m = backend::Current().MeasureText(text, EffectiveFont().Spec());
    int left = Left();
    if (m_alignment == TAlignment::taRightJustify) left = Left() + Width() - m.width;
    if (m_alignment == TAlignment::taCenter) left = Left() + (Width() - m.width) / 2;
    SetBounds(left, Top(), m.width, m.height);
}

void TLabel::Paint(TCanvas& canvas) {
    if (!m_transparent) canvas.FillRect(ClientRect(), Color());
    const TFont& font = EffectiveFont();
    const String text = m_showAccelChar ? Caption() : [&] {
        String doubled;
        for (char c : Caption())
            doubled += c == '&' ? String("&&") : String(1, c);
        return doubled;
    }();
    const backend::TextMetrics m = canvas.TextExtent(vcl::StripAccelerator(text).first, font);
    backend::Rect r = ClientRect();
    if (m_layout == TTextLayout::tlCenter) r.y = (Height() - m.height) / 2;
    if (m_layout == TTextLayout::tlBottom) r.y = Height() - m.height;
    canvas.DrawCaption(r, text, font, m_alignment, false);
}

const vcl::ClassInfo& TLabel::StaticClassInfo() {
    using namespace vcl;
    static const ClassInfo info(
        "TLabel", &TGraphicControl::StaticClassInfo(), FactoryOf<TLabel>(),
        {prop::Bool("AutoSize", &TLabel::SetAutoSize),
         prop::Bool("Transparent", &TLabel::SetTransparent),
         prop::Enum("Alignment", &TLabel::SetAlignment,
                    {{"taLeftJustify", TAlignment::taLeftJustify},
                     {"taRightJustify", TAlignment::taRightJustify},
                     {"taCenter", TAlignment::taCenter}}),
         prop::Enum("Layout", &TLabel::SetLayout,
                    {{"tlTop", TTextLayout::tlTop},
                     {"tlCenter", TTextLayout::tlCenter},
                     {"tlBottom", TTextLayout::tlBottom}}),
         prop::Bool("ShowAccelChar", &TLabel::SetShowAccelChar),
         prop::Bool("WordWrap", &TLabel::SetWordWrap),
         prop::Ignored("ParentColor", "labels paint their own Color unless Transparent")});
    return info;
}

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 185, 105);
}

backend::Rect TGroupBox::AlignRect() const {
    return {2, 15, Width() - 4, Height() - 17};
}

void TGroupBox::Paint(TCanvas& canvas) {
    const TFont& font = EffectiveFont();
    const backend::TextMetrics m = canvas.TextExtent("Xg", font);
    const int top = m.height / 2;
    canvas.FillRect(ClientRect(), Color());
    const backend::Rect frame{0, top, Width(), Height() - top};
    canvas.FrameRect(frame.Offset(1, 1), clBtnHighlight);
    canvas.FrameRect({frame.x, frame.y, frame.width - 1, frame.height - 1}, clBtnShadow);
    if (!Caption().empty()) {
        const String shown = vcl::StripAccelerator(Caption()).first;
        const int w = canvas.TextExtent(shown, font).width;
        canvas.FillRect({6, 0, w + 4, m.height}, Color());
        canvas.DrawCaption({8, 0, w, m.height}, Caption(), font, TAlignment::taLeftJustify, false);
    }
}

const vcl::ClassInfo& TGroupBox::StaticClassInfo() {
    static const vcl::ClassInfo info("TGroupBox", &TWinControl::StaticClassInfo(),
                                     vcl::FactoryOf<TGroupBox>(), {});
    return info;
}
