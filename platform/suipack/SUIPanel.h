// TsuiPanel: a container with a one-pixel border and an optional title strip.
//
// Look: filled with Color (white by default), outlined in BorderColor (127,127,127 by
// default). With a caption, a light title strip TitleHeight (20) high runs along the top
// inside the border, its text in Font (the caption font colour; ParentFont by default),
// 6 px from the left, vertically centred. The strip's colour comes from UIStyle.
// ShowButton adds a 13x13 collapse button at the right end of the strip: a click folds the
// panel up to the strip and a second one opens it to its height again.
// Aligned children share AlignRect(): the client area inset 4 left, 25 top, 4 right and
// 4 bottom (the title strip and a margin).
#pragma once

#include "suipack/SUIStyle.h"
#include "vcl/Controls.h"

class TsuiPanel : public TWinControl, public ISuiStyled {
public:
    static constexpr int kInsetLeft = 4, kInsetTop = 25, kInsetRight = 4, kInsetBottom = 4;
    static constexpr int kTitleHeight = 20;

    explicit TsuiPanel(TComponent* AOwner);

    TsuiUIStyle UIStyle() const override { return m_style; }
    void SetUIStyle(TsuiUIStyle style) override;
    TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(TColor v);
    bool ShowButton() const { return m_showButton; }
    void SetShowButton(bool v);
    bool Opened() const { return !m_collapsed; }
    void SetOpened(bool v);

    // Where the collapse button sits (empty while ShowButton is off).
    backend::Rect ButtonRect() const;
    TColor TitleColor() const;

    backend::Rect AlignRect() const override;
    void Paint(TCanvas& canvas) override;
    void MouseUp(backend::MouseButton button, int x, int y) override;

    VCL_DECLARE_CLASS();

private:
    TsuiUIStyle m_style = TsuiUIStyle::MacOS;
    TColor m_borderColor = RGB(127, 127, 127);
    bool m_showButton = false;
    bool m_collapsed = false;
    int m_openHeight = 0;
};
