// TsuiForm: the skin's window decoration, a control that fills its form.
//
// Put it straight on a form; it takes the whole client area (Align alClient) and the
// form's other controls go inside it. After loading it asks the form for a window without
// a window-manager frame whose top corners are clipped by a RoundCorner x RoundCorner
// ellipse, and draws the frame itself:
//   - the title bar (TitleBarHeight() high) from TitleBarSections, the title text
//     (Caption) in TitleFont (Tahoma -11 bold white) 30 px from the left and vertically
//     centred, the application's icon 16x16 at 8 px when TitleBarDrawAppIcon, and the
//     TitleBarButtons at the right end (see SUITitleBar.h for both collections);
//   - Color below the bar, and a BorderWidth border in BorderColor round the whole form,
//     following the rounded top corners.
// Without TitleBarSections/TitleBarButtons in the description, the style's own ones are
// used: <PREFIX>_TITLE_LEFT/_MIDDLE/_RIGHT and a SysMenu and a Close button from
// <PREFIX>_SYSMENU_* and <PREFIX>_CLOSE_* (missing pictures are drawn with primitives).
// A caption change repaints TitleTextRect() only; a button's hover or press repaints the
// button only.
//
// Input: a click on a Close button calls the form's Close() (as a window-manager close
// does); on a Minimize button the form's Minimize(); on the SysMenu button opens
// SystemMenu() ("&Minimize", "&Close") just below the button. A left drag on the bar
// outside the buttons moves the window by the distance dragged.
// Aligned children share AlignRect(): below the bar, inside the border.
// MenuBarColor and MenuBarHeight describe a menu bar under the title; the skin pack shows
// no menu bar, so they are only kept.
#pragma once

#include "suipack/SUIPopupMenu.h"
#include "suipack/SUIStyle.h"
#include "suipack/SUITitleBar.h"
#include "vcl/Controls.h"

#include <memory>
#include <vector>

class TsuiForm : public TWinControl, public ISuiStyled {
public:
    static constexpr int kDefaultBarHeight = 33;
    static constexpr int kTextLeft = 30;
    static constexpr int kButtonsRight = 6;  // space right of the rightmost button
    static constexpr int kButtonSpacing = 1; // space between buttons

    explicit TsuiForm(TComponent* AOwner);
    ~TsuiForm() override;

    TsuiUIStyle UIStyle() const override { return m_style; }
    void SetUIStyle(TsuiUIStyle style) override;
    TFont* TitleFont() { return &m_titleFont; }
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int v);
    TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(TColor v);
    TColor MenuBarColor() const { return m_menuBarColor; }
    void SetMenuBarColor(TColor v) { m_menuBarColor = v; }
    int MenuBarHeight() const { return m_menuBarHeight; }
    void SetMenuBarHeight(int v) { m_menuBarHeight = v; }
    int RoundCorner() const { return m_roundCorner; }
    void SetRoundCorner(int v) { m_roundCorner = v; }
    bool TitleBarDrawAppIcon() const { return m_drawAppIcon; }
    void SetTitleBarDrawAppIcon(bool v);
    bool UIStyleAutoUpdateSub() const { return m_autoUpdateSub; }
    void SetUIStyleAutoUpdateSub(bool v) { m_autoUpdateSub = v; }

    // The title bar's parts; replacing them repaints the bar.
    const std::vector<std::unique_ptr<TsuiTitleBarSection>>& Sections() const { return m_sections; }
    const std::vector<std::unique_ptr<TsuiTitleBarButton>>& Buttons() const { return m_buttons; }
    void SetSections(std::vector<std::unique_ptr<TsuiTitleBarSection>> sections);
    void SetButtons(std::vector<std::unique_ptr<TsuiTitleBarButton>> buttons);

    // Geometry, in this control's coordinates.
    int TitleBarHeight() const;
    backend::Rect TitleBarRect() const { return {0, 0, Width(), TitleBarHeight()}; }
    std::vector<backend::Rect> SectionRects() const; // in Sections() order
    backend::Rect ButtonRect(std::size_t index) const;
    // The first button with this action, or npos.
    std::size_t FindButton(TsuiButtonAction action) const;
    backend::Rect TitleTextRect() const;

    TsuiPopupMenu* SystemMenu() const { return m_systemMenu; }
    // Opens the system menu under the SysMenu button (or the bar's left end) and runs it.
    void PopupSystemMenu();

    backend::Rect AlignRect() const override;
    void Paint(TCanvas& canvas) override;
    void MouseDown(backend::MouseButton button, int x, int y) override;
    void MouseUp(backend::MouseButton button, int x, int y) override;
    void MouseMove(int x, int y) override;
    void MouseLeave() override;
    void CaptionChanged() override;
    void Loaded() override;

    VCL_DECLARE_CLASS();

private:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::size_t ButtonAt(backend::Point p) const;
    void InvalidateButton(std::size_t index);
    void SetHover(std::size_t index);
    void RunButton(std::size_t index);
    void UseStyleDefaults();
    void UpdateSubStyles(TWinControl& parent);
    backend::Point ToScreen(int x, int y) const;
    void PaintButton(TCanvas& canvas, std::size_t index);
    void PaintRoundedCorners(TCanvas& canvas);

    TsuiUIStyle m_style = TsuiUIStyle::BlueGlass;
    TFont m_titleFont;
    int m_borderWidth = 1;
    TColor m_borderColor = RGB(0, 0, 0);
    TColor m_menuBarColor = clBtnFace;
    int m_menuBarHeight = 0;
    int m_roundCorner = 0;
    bool m_drawAppIcon = false;
    bool m_autoUpdateSub = false;
    bool m_sectionsGiven = false, m_buttonsGiven = false;
    std::vector<std::unique_ptr<TsuiTitleBarSection>> m_sections;
    std::vector<std::unique_ptr<TsuiTitleBarButton>> m_buttons;
    TsuiPopupMenu* m_systemMenu = nullptr;

    String m_shownCaption; // the title text as last asked to be drawn
    std::size_t m_hover = npos;
    std::size_t m_pressed = npos;
    bool m_pressedInside = false;
    bool m_dragging = false;
    backend::Point m_dragStartMouse;  // screen
    backend::Point m_dragStartWindow; // screen
};
