// TsuiButton: a push button drawn from its style's pictures.
//
// Pictures <PREFIX>_BUTTON_NORMAL / _OVER / _PRESSED / _DISABLED (BlueGlass: 24x27) are drawn
// across the button with 6-px ends kept and the middle stretched; without them the button
// is drawn with canvas primitives. States: disabled; pressed (mouse held down over it);
// over (pointer on it); normal, plus a dotted focus rectangle FocusedRectMargin inside the
// edge while focused. The caption is centred in the control's font with its access letter
// underlined (grey when disabled). Transparent leaves the picture's transparent corners
// showing the parent; otherwise they are filled with Color. Every state change repaints the
// button only.
//
// Input: a left click inside it, Space or Enter while focused, Alt+its access letter, Enter
// on the form when Default, Escape on the form when Cancel — all call Click(), which sets
// the form's ModalResult when ModalResult is not mrNone (ending a modal run) and then fires
// OnClick. AutoSize fits the width to the caption (at least the picture's width) and the
// height to the picture. Layout and Spacing place a glyph; the skin pack's buttons carry
// no glyph, so they only take part once one is set (kept for descriptions).
#pragma once

#include "suipack/SUIStyle.h"
#include "vcl/Controls.h"

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TsuiButton : public TWinControl, public ISuiStyled {
public:
    explicit TsuiButton(TComponent* AOwner);

    TsuiUIStyle UIStyle() const override { return m_style; }
    void SetUIStyle(TsuiUIStyle style) override;

    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool v);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool v);
    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult v) { m_modalResult = v; }
    int FocusedRectMargin() const { return m_focusMargin; }
    void SetFocusedRectMargin(int v);
    TButtonLayout Layout() const { return m_layout; }
    void SetLayout(TButtonLayout v) { m_layout = v; }
    int Spacing() const { return m_spacing; }
    void SetSpacing(int v) { m_spacing = v; }
    bool Default() const { return m_default; }
    void SetDefault(bool v) { m_default = v; }
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool v) { m_cancel = v; }

    enum class State { Normal, Over, Pressed, Disabled };
    State CurrentState() const;

    void Click() override;
    void Paint(TCanvas& canvas) override;
    void MouseDown(backend::MouseButton button, int x, int y) override;
    void MouseUp(backend::MouseButton button, int x, int y) override;
    void MouseMove(int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool KeyDown(const backend::KeyEvent& key) override;
    char AccessKey() const override;
    bool DialogKey(const backend::KeyEvent& key) override;
    void CaptionChanged() override;
    void FontChanged() override;
    void Loaded() override;

    VCL_DECLARE_CLASS();

private:
    void SetPressedLook(bool down);
    void AdjustSize();
    const backend::Bitmap* Picture(State state) const;

    TsuiUIStyle m_style = TsuiUIStyle::BlueGlass;
    bool m_autoSize = false;
    bool m_transparent = false;
    TModalResult m_modalResult = mrNone;
    int m_focusMargin = 2;
    TButtonLayout m_layout = TButtonLayout::blGlyphLeft;
    int m_spacing = 4;
    bool m_default = false;
    bool m_cancel = false;
    bool m_hover = false;
    bool m_leftDown = false;    // the left button went down on us and is still held
    bool m_pressedLook = false; // held and the pointer is over us
};
