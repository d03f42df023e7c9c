// TsuiPopupMenu: a pop-up menu with the skin pack's owner-drawn look.
//
// Geometry (menu coordinates, the vcl's open menu places items one under the other inside a
// 1-px border): an item is MenuItemHeight (21) high, a separator SeparatorHeight (5). A side
// bar SideBarWidth (26) wide in SideBarColor runs down the left inside the border; captions
// start 8 px right of it with the access letter underlined. The width fits the widest
// caption plus the side bar, 8 px before and 24 px after the text, and the border.
// Colours: MenuColor behind the items, SeparatorColor for separator lines, the selected
// item filled with SelectedColor, outlined with SelectedBorderColor (unless Flat) and its
// text in SelectedFontColor; other text in FontColor, disabled text grey; a 1-px border in
// BorderColor. Items use the system menu font (sans -11) while UseSystemFont is on, the
// stored Font otherwise. With OwnerDraw off the plain TPopupMenu look is used.
// Setting UIStyle resets all of these to the style's values (BlueGlass is the default).
#pragma once

#include "suipack/SUIStyle.h"
#include "vcl/Menus.h"

class TsuiPopupMenu : public TPopupMenu, public ISuiStyled {
public:
    explicit TsuiPopupMenu(TComponent* AOwner);

    TsuiUIStyle UIStyle() const override { return m_style; }
    void SetUIStyle(TsuiUIStyle style) override;

    int MenuItemHeight() const { return m_itemHeight; }
    void SetMenuItemHeight(int v) { m_itemHeight = v; }
    int SeparatorHeight() const { return m_separatorHeight; }
    void SetSeparatorHeight(int v) { m_separatorHeight = v; }
    int SideBarWidth() const { return m_sideBarWidth; }
    void SetSideBarWidth(int v) { m_sideBarWidth = v; }
    TColor SideBarColor() const { return m_sideBarColor; }
    void SetSideBarColor(TColor v) { m_sideBarColor = v; }
    TColor MenuColor() const { return m_menuColor; }
    void SetMenuColor(TColor v) { m_menuColor = v; }
    TColor SeparatorColor() const { return m_separatorColor; }
    void SetSeparatorColor(TColor v) { m_separatorColor = v; }
    TColor SelectedColor() const { return m_selectedColor; }
    void SetSelectedColor(TColor v) { m_selectedColor = v; }
    TColor SelectedBorderColor() const { return m_selectedBorderColor; }
    void SetSelectedBorderColor(TColor v) { m_selectedBorderColor = v; }
    TColor SelectedFontColor() const { return m_selectedFontColor; }
    void SetSelectedFontColor(TColor v) { m_selectedFontColor = v; }
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor v) { m_fontColor = v; }
    TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(TColor v) { m_borderColor = v; }
    bool Flat() const { return m_flat; }
    void SetFlat(bool v) { m_flat = v; }
    bool OwnerDraw() const { return m_ownerDraw; }
    void SetOwnerDraw(bool v) { m_ownerDraw = v; }
    bool UseSystemFont() const { return m_useSystemFont; }
    void SetUseSystemFont(bool v) { m_useSystemFont = v; }

    // Where the caption of an item drawn in `itemRect` starts.
    int TextLeft(const backend::Rect& itemRect) const { return itemRect.x + m_sideBarWidth + 8; }

    int ItemHeight(const TMenuItem& item) const override;
    int MenuWidth() const override;
    void DrawBackground(TCanvas& canvas, const backend::Rect& r) override;
    void DrawItem(TCanvas& canvas, const TMenuItem& item, const backend::Rect& r,
                  bool selected) override;
    TFont& ItemFont() override;

    VCL_DECLARE_CLASS();

private:
    TsuiUIStyle m_style = TsuiUIStyle::BlueGlass;
    int m_itemHeight = 21;
    int m_separatorHeight = 5;
    int m_sideBarWidth = 26;
    TColor m_sideBarColor = RGB(214, 211, 206);
    TColor m_menuColor = RGB(231, 231, 231);
    TColor m_separatorColor = RGB(132, 130, 132);
    TColor m_selectedColor = RGB(94, 94, 236);
    TColor m_selectedBorderColor = RGB(94, 94, 236);
    TColor m_selectedFontColor = clWhite;
    TColor m_fontColor = clBlack;
    TColor m_borderColor = clBlack;
    bool m_flat = false;
    bool m_ownerDraw = true;
    bool m_useSystemFont = true;
    TFont m_systemFont;
};
