// Controls: things with a place on a form.
//
//   TComponent ─ TControl ─ TGraphicControl ─ TLabel, TImage ...   (no window handle)
//                        └─ TWinControl ─ TCustomForm, TGroupBox ... (a handle; children; focus)
//
// Controls draw themselves in Paint() on a canvas in their own coordinates; the form paints
// the tree parents first, each child clipped to its rectangle. Invalidate() asks for a
// repaint of exactly the control's rectangle. Mouse input goes to the topmost enabled,
// visible control under the pointer (the one pressed keeps it until release). Keys go to the
// focused control first, then to the form (access keys, Tab, Enter, Escape).
// Parent is not ownership: the Owner destroys a control; a parent only shows it.
#pragma once

#include "vcl/Graphics.h"
#include "winapi/WinUser.h"

#include <memory>

class TWinControl;
class TCustomForm;

namespace vcl {
// Where the pointer was on the screen for the mouse event being handled. Window-relative
// positions go stale while a window moves under a drag; this one does not.
backend::Point MouseScreenPosition();
} // namespace vcl

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TCursor { crDefault, crArrow, crHandPoint, crIBeam };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;

class TSizeConstraints : public TPersistent {
public:
    int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
    void SetMinWidth(int v) { MinWidth = v; }
    void SetMinHeight(int v) { MinHeight = v; }
    void SetMaxWidth(int v) { MaxWidth = v; }
    void SetMaxHeight(int v) { MaxHeight = v; }
    VCL_DECLARE_CLASS();
};

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return m_parent; }
    virtual void SetParent(TWinControl* parent);
    void SetParentComponent(TComponent* parent) override;

    int Left() const { return m_bounds.x; }
    int Top() const { return m_bounds.y; }
    int Width() const { return m_bounds.width; }
    int Height() const { return m_bounds.height; }
    void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
    void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
    void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
    void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
    virtual void SetBounds(int left, int top, int width, int height);
    backend::Rect BoundsRect() const { return m_bounds; }
    backend::Rect ClientRect() const { return {0, 0, Width(), Height()}; }

    TAlign Align() const { return m_align; }
    void SetAlign(TAlign v);

    const String& Caption() const { return m_caption; }
    void SetCaption(const String& v);

    TFont* Font() { return &m_font; }
    // The font in effect: the parent's while ParentFont is on.
    const TFont& EffectiveFont() const;
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool v);

    TColor Color() const { return m_color; }
    void SetColor(TColor v);
    bool Visible() const { return m_visible; }
    void SetVisible(bool v);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool v);
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor v) { m_cursor = v; }
    int TabOrder() const { return m_tabOrder; }
    void SetTabOrder(int v) { m_tabOrder = v; }

    TNotifyEvent OnClick;

    // Fires OnClick. Called by input handling, which is already inside the dispatch barrier.
    virtual void Click();

    // Visible here and in every parent.
    bool Showing() const;
    // The form the control is on (the control itself for a form), or null.
    TCustomForm* GetParentForm() const;
    // Position of the control's top-left in its form's client area.
    backend::Point FormOffset() const;

    void Invalidate();
    void InvalidateRect(const backend::Rect& local);

    // --- what subclasses override ---
    virtual void Paint(TCanvas& canvas) { (void)canvas; }
    virtual void MouseDown(backend::MouseButton button, int x, int y);
    virtual void MouseUp(backend::MouseButton button, int x, int y);
    virtual void MouseMove(int x, int y) { (void)x, (void)y; }
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    // True when the key was used.
    virtual bool KeyDown(const backend::KeyEvent& key) {
        (void)key;
        return false;
    }
    // Access keys: the letter this control answers to with Alt (0 for none), and what it does.
    virtual char AccessKey() const { return 0; }
    virtual void AccessKeyPressed() { Click(); }
    // Enter and Escape are offered to every control of the form before the form's own
    // handling (a default or cancel button takes them); true when used.
    virtual bool DialogKey(const backend::KeyEvent& key) {
        (void)key;
        return false;
    }
    virtual void FontChanged() { Invalidate(); }
    // After Caption changed (the default repaints).
    virtual void CaptionChanged() { Invalidate(); }

    VCL_DECLARE_CLASS();

protected:
    bool MouseIsDown() const { return m_mouseDown; }

private:
    friend class TWinControl;
    TWinControl* m_parent = nullptr;
    backend::Rect m_bounds{0, 0, 0, 0};
    TAlign m_align = TAlign::alNone;
    String m_caption;
    TFont m_font;
    bool m_parentFont = true;
    TColor m_color = clBtnFace;
    bool m_visible = true;
    bool m_enabled = true;
    TCursor m_cursor = TCursor::crDefault;
    int m_tabOrder = -1;
    bool m_mouseDown = false;
};

class TGraphicControl : public TControl {
public:
    using TControl::TControl;
    VCL_DECLARE_CLASS();
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(m_controls.size()); }
    TControl* Controls(int index) const { return m_controls.at(index); }
    const std::vector<TControl*>& ControlList() const { return m_controls; }

    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool v) { m_tabStop = v; }
    bool CanFocus() const;
    bool Focused() const;
    void SetFocus();
    virtual void FocusChanged(bool focused) {
        (void)focused;
        Invalidate();
    }

    // The control's handle for the Windows-API calls (MessageBoxA, ClientToScreen).
    HWND Handle();

    // The part of the client area that aligned children share.
    virtual backend::Rect AlignRect() const { return ClientRect(); }
    void Realign();

    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;

    // The deepest visible, enabled control at a point in this control's coordinates.
    TControl* ControlAt(backend::Point p);
    // Children sorted by TabOrder (ties keep creation order).
    std::vector<TControl*> TabOrderList() const;

    VCL_DECLARE_CLASS();

private:
    friend class TControl;
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);
    std::vector<TControl*> m_controls;
    bool m_tabStop = false;
    std::unique_ptr<HWND__> m_handle;
};
