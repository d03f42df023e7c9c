#include "suipack/SUIPopupMenu.h"

#include <algorithm>

TsuiPopupMenu::TsuiPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {
    m_systemFont.SetName("MS Sans Serif");
    m_systemFont.SetHeight(-11);
    m_systemFont.SetColor(clBlack);
    SetUIStyle(TsuiUIStyle::BlueGlass);
}

void TsuiPopupMenu::SetUIStyle(TsuiUIStyle style) {
    m_style = style;
    // Every style shares the geometry; the colours are the style's.
    m_itemHeight = 21;
    m_separatorHeight = 5;
    m_sideBarWidth = 26;
    m_flat = false;
    m_fontColor = clBlack;
    m_borderColor = clBlack;
    m_selectedFontColor = clWhite;
    switch (style) {
    case TsuiUIStyle::MacOS:
        m_sideBarColor = RGB(222, 222, 222);
        m_menuColor = RGB(246, 246, 246);
        m_separatorColor = RGB(170, 170, 170);
        m_selectedColor = m_selectedBorderColor = RGB(56, 117, 215);
        m_borderColor = RGB(127, 127, 127);
        break;
    case TsuiUIStyle::BlueGlass:
    default:
        m_sideBarColor = RGB(214, 211, 206);
        m_menuColor = RGB(231, 231, 231);
        m_separatorColor = RGB(132, 130, 132);
        m_selectedColor = m_selectedBorderColor = RGB(94, 94, 236);
        break;
    }
}

int TsuiPopupMenu::ItemHeight(const TMenuItem& item) const {
    if (!m_ownerDraw) return TPopupMenu::ItemHeight(item);
    return item.IsLine() ? m_separatorHeight : m_itemHeight;
}

int TsuiPopupMenu::MenuWidth() const {
    if (!m_ownerDraw) return TPopupMenu::MenuWidth();
    auto& self = const_cast<TsuiPopupMenu&>(*this);
    int widest = 0;
    for (int i = 0; i < self.Items()->Count(); ++i) {
        const TMenuItem& item = *self.Items()->Items(i);
        if (!item.Visible() || item.IsLine()) continue;
        const String shown = vcl::StripAccelerator(item.Caption()).first;
        widest =
            std::max(widest, backend::Current().MeasureText(shown, self.ItemFont().Spec()).width);
    }
    return 1 + m_sideBarWidth + 8 + widest + 24 + 1;
}

void TsuiPopupMenu::DrawBackground(TCanvas& canvas, const backend::Rect& r) {
    if (!m_ownerDraw) return TPopupMenu::DrawBackground(canvas, r);
    canvas.FillRect(r, m_menuColor);
    canvas.FillRect({r.x + 1, r.y + 1, m_sideBarWidth, r.height - 2}, m_sideBarColor);
    canvas.FrameRect(r, m_borderColor);
}

void TsuiPopupMenu::DrawItem(TCanvas& canvas, const TMenuItem& item, const backend::Rect& r,
                             bool selected) {
    if (!m_ownerDraw) return TPopupMenu::DrawItem(canvas, item, r, selected);
    if (item.IsLine()) {
        const int y = r.y + r.height / 2;
        canvas.Line(TextLeft(r), y, r.Right() - 1, y, m_separatorColor);
        return;
    }
    TFont font;
    font.Assign(ItemFont());
    font.SetColor(item.Enabled() ? m_fontColor : clGray);
    if (selected) {
        canvas.FillRect(r, m_selectedColor);
        if (!m_flat) canvas.FrameRect(r, m_selectedBorderColor);
        font.SetColor(m_selectedFontColor);
    }
    const int left = TextLeft(r);
    canvas.DrawCaption({left, r.y, r.Right() - left, r.height}, item.Caption(), font,
                       TAlignment::taLeftJustify, true);
}

TFont& TsuiPopupMenu::ItemFont() {
    return m_useSystemFont ? m_systemFont : TPopupMenu::ItemFont();
}

const vcl::ClassInfo& TsuiPopupMenu::StaticClassInfo() {
    using namespace vcl;
    using M = TsuiPopupMenu;
    auto color = [](const char* name, void (M::*set)(TColor)) {
        return prop::Custom<M>(name, [set](M& m, const dfm::Value& v, LoadContext& ctx) {
            (m.*set)(ReadColor(v, ctx));
        });
    };
    static const ClassInfo info(
        "TsuiPopupMenu", &TPopupMenu::StaticClassInfo(), FactoryOf<M>(),
        {prop::Enum("UIStyle", &M::SetUIStyle, suipack::StyleNames()),
         prop::Int("MenuItemHeight", &M::SetMenuItemHeight),
         prop::Int("SeparatorHeight", &M::SetSeparatorHeight),
         prop::Int("SideBarWidth", &M::SetSideBarWidth), color("SideBarColor", &M::SetSideBarColor),
         color("MenuColor", &M::SetMenuColor), color("SeparatorColor", &M::SetSeparatorColor),
         color("SelectedColor", &M::SetSelectedColor),
         color("SelectedBorderColor", &M::SetSelectedBorderColor),
         color("SelectedFontColor", &M::SetSelectedFontColor), color("FontColor", &M::SetFontColor),
         color("BorderColor", &M::SetBorderColor), prop::Bool("Flat", &M::SetFlat),
         prop::Bool("OwnerDraw", &M::SetOwnerDraw),
         prop::Bool("UseSystemFont", &M::SetUseSystemFont)});
    return info;
}
