// TLabel (text, no window) and TGroupBox (a framed container).
#pragma once

#include "vcl/Controls.h"

enum class TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);

    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool v);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool v);
    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment v);
    TTextLayout Layout() const { return m_layout; }
    void SetLayout(TTextLayout v);
    bool ShowAccelChar() const { return m_showAccelChar; }
    void SetShowAccelChar(bool v);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool v) { m_wordWrap = v; }

    void Paint(TCanvas& canvas) override;
    void Loaded() override;
    void CaptionChanged() override;
    void FontChanged() override;

    VCL_DECLARE_CLASS();

private:
    void AdjustSize();
    bool m_autoSize = true;
    bool m_transparent = false;
    TAlignment m_alignment = TAlignment::taLeftJustify;
    TTextLayout m_layout = TTextLayout::tlTop;
    bool m_showAccelChar = true;
    bool m_wordWrap = false;
};

class TGroupBox : public TWinControl {
public:
    explicit TGroupBox(TComponent* AOwner);
    void Paint(TCanvas& canvas) override;
    backend::Rect AlignRect() const override;
    VCL_DECLARE_CLASS();
};
