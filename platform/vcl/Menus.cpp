#include "vcl/Menus.h"

#include "vcl/Forms.h"

#include <algorithm>
#include <cctype>

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    for (TMenuItem* item : m_items)
        item->m_parent = nullptr;
    if (m_parent) m_parent->Remove(this);
}

void TMenuItem::Add(TMenuItem* item) {
    if (item->m_parent) item->m_parent->Remove(item);
    m_items.push_back(item);
    item->m_parent = this;
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it != m_items.end()) m_items.erase(it);
    item->m_parent = nullptr;
}

void TMenuItem::Click() {
    if (OnClick) OnClick(this);
}

void TMenuItem::SetParentComponent(TComponent* parent) {
    if (auto* item = dynamic_cast<TMenuItem*>(parent)) return item->Add(this);
    if (auto* menu = dynamic_cast<TPopupMenu*>(parent)) return menu->Items()->Add(this);
    TComponent::SetParentComponent(parent);
}

const vcl::ClassInfo& TMenuItem::StaticClassInfo() {
    using namespace vcl;
    static const ClassInfo info("TMenuItem", &TComponent::StaticClassInfo(), FactoryOf<TMenuItem>(),
                                {prop::Str("Caption", &TMenuItem::SetCaption),
                                 prop::Bool("Enabled", &TMenuItem::SetEnabled),
                                 prop::Bool("Visible", &TMenuItem::SetVisible),
                                 prop::Event("OnClick", &TMenuItem::OnClick)});
    return info;
}

// ---- the open menu ----

namespace vcl {

class PopupWindow : public backend::WindowEvents {
public:
    PopupWindow(TPopupMenu& menu, int x, int y) : m_menu(menu) {
        TMenuItem& root = *menu.Items();
        int height = 2;
        for (int i = 0; i < root.Count(); ++i)
            if (root.Items(i)->Visible()) {
                m_items.push_back(root.Items(i));
                m_tops.push_back(height - 1);
                height += menu.ItemHeight(*root.Items(i));
            }
        m_size = {menu.MenuWidth(), height};
        backend::WindowSpec spec;
        spec.bounds = {x, y, m_size.width, m_size.height};
        const backend::Rect screen = backend::Current().Screen();
        spec.bounds.x = std::max(screen.x, std::min(x, screen.Right() - m_size.width));
        spec.bounds.y = std::max(screen.y, std::min(y, screen.Bottom() - m_size.height));
        spec.popup = true;
        spec.frameless = true;
        m_window = backend::Current().CreateWindow(spec, *this);
    }

    void Run() {
        m_window->Show();
        backend::Current().RunUntil(
            [this] { return m_closed || (Application && Application->Terminated()); });
        m_window->Hide();
    }

    TMenuItem* Chosen() const { return m_chosen; }

    void Paint(backend::Canvas& canvas, const backend::Rect& area) override {
        Dispatch([&] {
            canvas.PushClip(area);
            TCanvas tc(canvas, {0, 0});
            m_menu.DrawBackground(tc, {0, 0, m_size.width, m_size.height});
            for (std::size_t i = 0; i < m_items.size(); ++i) {
                const backend::Rect r = ItemRect(i);
                if (r.Intersect(area).Empty()) continue;
                m_menu.DrawItem(tc, *m_items[i], r, static_cast<int>(i) == m_selected);
            }
            canvas.PopClip();
        });
    }

    void Mouse(const backend::MouseEvent& e) override {
        Dispatch([&] {
            const int index = ItemAt(e.position);
            if (e.action == backend::MouseAction::Move) Select(index);
            if (e.action == backend::MouseAction::Leave) Select(-1);
            if (e.action == backend::MouseAction::Up && e.button == backend::MouseButton::Left) {
                if (index >= 0) Choose(index);
            }
            if (e.action == backend::MouseAction::Down &&
                !backend::Rect{0, 0, m_size.width, m_size.height}.Contains(e.position))
                Close();
        });
    }

    void Key(const backend::KeyEvent& e) override {
        Dispatch([&] {
            using backend::Key;
            switch (e.key) {
            case Key::Escape:
                Close();
                break;
            case Key::Up:
                Step(-1);
                break;
            case Key::Down:
                Step(+1);
                break;
            case Key::Home:
                Select(-1), Step(+1);
                break;
            case Key::End:
                Select(-1), Step(-1);
                break;
            case Key::Enter:
            case Key::Space:
                if (m_selected >= 0) Choose(m_selected);
                break;
            case Key::Character:
                for (std::size_t i = 0; i < m_items.size(); ++i)
                    if (AcceleratorOf(m_items[i]->Caption()) ==
                        std::tolower(static_cast<unsigned char>(e.character))) {
                        Choose(static_cast<int>(i));
                        break;
                    }
                break;
            default:
                break;
            }
        });
    }

    void CloseRequested() override { Close(); }
    void Dismissed() override { Close(); }

private:
    bool Selectable(int i) const {
        return i >= 0 && i < static_cast<int>(m_items.size()) && !m_items[i]->IsLine() &&
               m_items[i]->Enabled();
    }

    backend::Rect ItemRect(std::size_t i) const {
        return {1, m_tops[i], m_size.width - 2, m_menu.ItemHeight(*m_items[i])};
    }

    int ItemAt(backend::Point p) const {
        for (std::size_t i = 0; i < m_items.size(); ++i)
            if (ItemRect(i).Contains(p))
                return Selectable(static_cast<int>(i)) ? static_cast<int>(i) : -1;
        return -1;
    }

    void Select(int index) {
        if (index == m_selected) return;
        if (m_selected >= 0) m_window->Invalidate(ItemRect(m_selected));
        m_selected = index;
        if (m_selected >= 0) m_window->Invalidate(ItemRect(m_selected));
    }

    void Step(int direction) {
        const int n = static_cast<int>(m_items.size());
        int i = m_selected < 0 ? (direction > 0 ? -1 : n) : m_selected;
        for (int tries = 0; tries < n; ++tries) {
            i = ((i + direction) % n + n) % n;
            if (Selectable(i)) return Select(i);
        }
    }

    void Choose(int index) {
        if (!Selectable(index)) return;
        m_chosen = m_items[index];
        Close();
    }

    void Close() { m_closed = true; }

    TPopupMenu& m_menu;
    std::vector<TMenuItem*> m_items;
    std::vector<int> m_tops;
    backend::Size m_size;
    std::unique_ptr<backend::Window> m_window;
    int m_selected = -1;
    bool m_closed = false;
    TMenuItem* m_chosen = nullptr;
};

} // namespace vcl

// ---- TPopupMenu ----

TPopupMenu::TPopupMenu(TComponent* AOwner) : TComponent(AOwner), m_items(nullptr) {
    m_font.SetName("MS Sans Serif");
    m_font.SetHeight(-11);
    m_font.SetColor(clMenuText);
}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int x, int y) {
    if (m_window) return;
    m_lastChosen = nullptr;
    m_window = std::make_unique<vcl::PopupWindow>(*this, x, y);
    m_window->Run();
    TMenuItem* chosen = m_window->Chosen();
    m_window.reset();
    m_lastChosen = chosen;
    // The item's handler runs once the menu is gone, as its own dispatch.
    if (chosen) vcl::Dispatch([chosen] { chosen->Click(); });
}

int TPopupMenu::ItemHeight(const TMenuItem& item) const {
    return item.IsLine() ? 8 : 20;
}

int TPopupMenu::MenuWidth() const {
    int widest = 0;
    TPopupMenu& self = const_cast<TPopupMenu&>(*this);
    for (int i = 0; i < m_items.Count(); ++i) {
        const String shown = vcl::StripAccelerator(m_items.Items(i)->Caption()).first;
        widest =
            std::max(widest, backend::Current().MeasureText(shown, self.ItemFont().Spec()).width);
    }
    return widest + 48;
}

void TPopupMenu::DrawBackground(TCanvas& canvas, const backend::Rect& r) {
    canvas.FillRect(r, clMenu);
    canvas.FrameRect(r, clGray);
}

void TPopupMenu::DrawItem(TCanvas& canvas, const TMenuItem& item, const backend::Rect& r,
                          bool selected) {
    if (item.IsLine()) {
        const int y = r.y + r.height / 2;
        canvas.Line(r.x + 2, y, r.Right() - 3, y, clGray);
        return;
    }
    canvas.FillRect(r, selected ? clHighlight : clMenu);
    TFont font;
    font.Assign(ItemFont());
    if (selected) font.SetColor(clHighlightText);
    canvas.DrawCaption({r.x + 20, r.y, r.width - 24, r.height}, item.Caption(), font,
                       TAlignment::taLeftJustify, true);
}

void TPopupMenu::SetParentComponent(TComponent* parent) {
    (void)parent;
}

const vcl::ClassInfo& TPopupMenu::StaticClassInfo() {
    using namespace vcl;
    static const ClassInfo info("TPopupMenu", &TComponent::StaticClassInfo(),
                                FactoryOf<TPopupMenu>(),
                                {prop::Object("Font", &TPopupMenu::ItemFontPtr)});
    return info;
}
