// Menu items and pop-up menus.
//
// TMenuItem: a caption with an access key ("&Start"); "-" makes a separator. Items read
// inside an item or a menu in a description become its sub-items, in order.
// TPopupMenu::Popup(x, y) opens the menu with its top-left corner at that screen point and
// runs until an item is chosen (mouse, access letter, arrows + Enter) or the menu is
// dismissed (Escape, a click outside). The chosen item's OnClick runs after the menu has
// closed, through the dispatch barrier. Subclasses change the look through the Measure and
// Draw hooks.
#pragma once

#include "backend/Backend.h"
#include "vcl/Controls.h"

#include <memory>

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    const String& Caption() const { return m_caption; }
    void SetCaption(const String& v) { m_caption = v; }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool v) { m_enabled = v; }
    bool Visible() const { return m_visible; }
    void SetVisible(bool v) { m_visible = v; }
    bool IsLine() const { return m_caption == "-"; }

    int Count() const { return static_cast<int>(m_items.size()); }
    TMenuItem* Items(int i) const { return m_items.at(i); }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    TMenuItem* ParentItem() const { return m_parent; }

    TNotifyEvent OnClick;
    virtual void Click();

    void SetParentComponent(TComponent* parent) override;

    VCL_DECLARE_CLASS();

private:
    String m_caption;
    bool m_enabled = true;
    bool m_visible = true;
    TMenuItem* m_parent = nullptr;
    std::vector<TMenuItem*> m_items;
};

namespace vcl {
class PopupWindow;
}

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    TMenuItem* Items() { return &m_items; }
    // Opens the menu at a screen point and returns when it has closed.
    virtual void Popup(int x, int y);
    bool IsOpen() const { return m_window != nullptr; }
    // The item chosen by the last Popup (null when dismissed).
    TMenuItem* LastChosen() const { return m_lastChosen; }

    // --- the look ---
    virtual int ItemHeight(const TMenuItem& item) const;
    virtual int MenuWidth() const;
    virtual void DrawBackground(TCanvas& canvas, const backend::Rect& r);
    virtual void DrawItem(TCanvas& canvas, const TMenuItem& item, const backend::Rect& r,
                          bool selected);
    virtual TFont& ItemFont() { return m_font; }
    TFont* ItemFontPtr() { return &m_font; }

    void SetParentComponent(TComponent* parent) override;

    VCL_DECLARE_CLASS();

private:
    friend class vcl::PopupWindow;
    TMenuItem m_items;
    TFont m_font;
    std::unique_ptr<vcl::PopupWindow> m_window;
    TMenuItem* m_lastChosen = nullptr;
};
