#include "vcl/Controls.h"

#include "vcl/Forms.h"

#include <algorithm>

namespace {

// The Windows-API view of a windowed control.
class ControlHandle : public HWND__ {
public:
    explicit ControlHandle(TWinControl& control) : m_control(control) {}
    backend::Window* TopLevelWindow() const override {
        TCustomForm* form = m_control.GetParentForm();
        return form ? form->NativeWindow() : nullptr;
    }
    backend::Point ClientOriginOnScreen() const override {
        TCustomForm* form = m_control.GetParentForm();
        const backend::Point offset = m_control.FormOffset();
        if (!form) return offset;
        const backend::Rect screen = form->ScreenBounds();
        return {screen.x + offset.x, screen.y + offset.y};
    }

private:
    TWinControl& m_control;
};

} // namespace

// ---- TSizeConstraints ----

const vcl::ClassInfo& TSizeConstraints::StaticClassInfo() {
    using namespace vcl;
    static const ClassInfo info("TSizeConstraints", &TPersistent::StaticClassInfo(), {},
                                {prop::Int("MinWidth", &TSizeConstraints::SetMinWidth),
                                 prop::Int("MinHeight", &TSizeConstraints::SetMinHeight),
                                 prop::Int("MaxWidth", &TSizeConstraints::SetMaxWidth),
                                 prop::Int("MaxHeight", &TSizeConstraints::SetMaxHeight)});
    return info;
}

// ---- TControl ----

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    m_font.OnChange = [this] {
        m_parentFont = false;
        FontChanged();
    };
}

TControl::~TControl() {
    if (m_parent) m_parent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == m_parent) return;
    Invalidate();
    if (m_parent) m_parent->RemoveControl(this);
    m_parent = nullptr;
    if (parent) parent->InsertControl(this);
    Invalidate();
}

void TControl::SetParentComponent(TComponent* parent) {
    auto* windowed = dynamic_cast<TWinControl*>(parent);
    if (!windowed) TComponent::SetParentComponent(parent);
    SetParent(windowed);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    const backend::Rect next{left, top, std::max(0, width), std::max(0, height)};
    if (next == m_bounds) return;
    Invalidate();
    m_bounds = next;
    Invalidate();
    if (m_parent && m_align != TAlign::alNone && !Loading()) m_parent->Realign();
}

void TControl::SetAlign(TAlign v) {
    if (v == m_align) return;
    m_align = v;
    if (m_parent && !Loading()) m_parent->Realign();
}

void TControl::SetCaption(const String& v) {
    if (v == m_caption) return;
    m_caption = v;
    CaptionChanged();
}

const TFont& TControl::EffectiveFont() const {
    if (m_parentFont && m_parent) return m_parent->EffectiveFont();
    return m_font;
}

void TControl::SetParentFont(bool v) {
    m_parentFont = v;
    FontChanged();
}

void TControl::SetColor(TColor v) {
    if (v == m_color) return;
    m_color = v;
    Invalidate();
}

void TControl::SetVisible(bool v) {
    if (v == m_visible) return;
    if (!v) Invalidate();
    m_visible = v;
    if (v) Invalidate();
}

void TControl::SetEnabled(bool v) {
    if (v == m_enabled) return;
    m_enabled = v;
    Invalidate();
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->m_parent)
        if (!c->m_visible) return false;
    return true;
}

TCustomForm* TControl::GetParentForm() const {
    const TControl* c = this;
    while (c->m_parent)
        c = c->m_parent;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

backend::Point TControl::FormOffset() const {
    backend::Point p;
    for (const TControl* c = this; c && c->m_parent; c = c->m_parent) {
        p.x += c->Left();
        p.y += c->Top();
    }
    return p;
}

void TControl::Invalidate() {
    InvalidateRect(ClientRect());
}

void TControl::InvalidateRect(const backend::Rect& local) {
    if (local.Empty() || !Showing()) return;
    TCustomForm* form = GetParentForm();
    if (!form) return;
    backend::Window* window = form->NativeWindow();
    if (!window) return;
    const backend::Point at = FormOffset();
    backend::Rect area = local.Intersect(ClientRect()).Offset(at.x, at.y);
    // A child is never painted outside its parents.
    for (const TControl* c = m_parent; c && c->m_parent; c = c->m_parent) {
        const backend::Point o = c->FormOffset();
        area = area.Intersect(c->ClientRect().Offset(o.x, o.y));
    }
    if (!area.Empty()) window->Invalidate(area);
}

void TControl::MouseDown(backend::MouseButton button, int, int) {
    if (button == backend::MouseButton::Left) m_mouseDown = true;
}

void TControl::MouseUp(backend::MouseButton button, int x, int y) {
    const bool wasDown = m_mouseDown;
    if (button == backend::MouseButton::Left) m_mouseDown = false;
    if (button == backend::MouseButton::Left && wasDown && ClientRect().Contains({x, y})) Click();
}

const vcl::ClassInfo& TControl::StaticClassInfo() {
    using namespace vcl;
    static const ClassInfo info(
        "TControl", &TComponent::StaticClassInfo(), {},
        {prop::Int("Left", &TControl::SetLeft), prop::Int("Top", &TControl::SetTop),
         prop::Int("Width", &TControl::SetWidth), prop::Int("Height", &TControl::SetHeight),
         prop::Enum("Align", &TControl::SetAlign,
                    {{"alNone", TAlign::alNone},
                     {"alTop", TAlign::alTop},
                     {"alBottom", TAlign::alBottom},
                     {"alLeft", TAlign::alLeft},
                     {"alRight", TAlign::alRight},
                     {"alClient", TAlign::alClient}}),
         prop::Str("Caption", &TControl::SetCaption), prop::Object("Font", &TControl::Font),
         prop::Bool("ParentFont", &TControl::SetParentFont),
         prop::Custom<TControl>("Color", [](TControl& c, const dfm::Value& v,
                                            LoadContext& ctx) { c.SetColor(ReadColor(v, ctx)); }),
         prop::Bool("Visible", &TControl::SetVisible), prop::Bool("Enabled", &TControl::SetEnabled),
         prop::Enum("Cursor", &TControl::SetCursor,
                    {{"crDefault", TCursor::crDefault},
                     {"crArrow", TCursor::crArrow},
                     {"crHandPoint", TCursor::crHandPoint},
                     {"crIBeam", TCursor::crIBeam}}),
         prop::Int("TabOrder", &TControl::SetTabOrder),
         prop::Event("OnClick", &TControl::OnClick)});
    return info;
}

const vcl::ClassInfo& TGraphicControl::StaticClassInfo() {
    static const vcl::ClassInfo info("TGraphicControl", &TControl::StaticClassInfo(), {}, {});
    return info;
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    // Children belong to their owner; they only leave this parent.
    for (TControl* c : m_controls)
        c->m_parent = nullptr;
    m_controls.clear();
    if (TCustomForm* form = GetParentForm(); form && form != this && form->ActiveControl() == this)
        form->SetActiveControl(nullptr);
}

void TWinControl::InsertControl(TControl* c) {
    m_controls.push_back(c);
    c->m_parent = this;
}

void TWinControl::RemoveControl(TControl* c) {
    auto it = std::find(m_controls.begin(), m_controls.end(), c);
    if (it != m_controls.end()) m_controls.erase(it);
    c->m_parent = nullptr;
    if (TCustomForm* form = GetParentForm(); form && form->ActiveControl() == c)
        form->SetActiveControl(nullptr);
}

bool TWinControl::CanFocus() const {
    if (!m_tabStop) return false;
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const {
    TCustomForm* form = GetParentForm();
    return form && form->ActiveControl() == this;
}

void TWinControl::SetFocus() {
    if (TCustomForm* form = GetParentForm()) form->SetActiveControl(this);
}

HWND TWinControl::Handle() {
    if (!m_handle) m_handle = std::make_unique<ControlHandle>(*this);
    return m_handle.get();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    const bool resized = width != Width() || height != Height();
    TControl::SetBounds(left, top, width, height);
    if (resized && !Loading()) Realign();
}

void TWinControl::Loaded() {
    TControl::Loaded();
    Realign();
}

void TWinControl::Realign() {
    backend::Rect free = AlignRect();
    for (TControl* c : m_controls) {
        if (!c->Visible() || c->Align() == TAlign::alNone) continue;
        backend::Rect r = c->BoundsRect();
        switch (c->Align()) {
        case TAlign::alTop:
            r = {free.x, free.y, free.width, r.height};
            free.y += r.height, free.height -= r.height;
            break;
        case TAlign::alBottom:
            r = {free.x, free.Bottom() - r.height, free.width, r.height};
            free.height -= r.height;
            break;
        case TAlign::alLeft:
            r = {free.x, free.y, r.width, free.height};
            free.x += r.width, free.width -= r.width;
            break;
        case TAlign::alRight:
            r = {free.Right() - r.width, free.y, r.width, free.height};
            free.width -= r.width;
            break;
        case TAlign::alClient:
            r = free;
            break;
        case TAlign::alNone:
            break;
        }
        c->m_bounds = {r.x, r.y, std::max(0, r.width), std::max(0, r.height)};
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->Realign();
    }
    Invalidate();
}

TControl* TWinControl::ControlAt(backend::Point p) {
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        TControl* c = *it;
        if (!c->Visible() || !c->BoundsRect().Contains(p)) continue;
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            if (TControl* inner = w->ControlAt({p.x - c->Left(), p.y - c->Top()})) return inner;
        }
        return c;
    }
    return nullptr;
}

std::vector<TControl*> TWinControl::TabOrderList() const {
    std::vector<TControl*> list = m_controls;
    std::stable_sort(list.begin(), list.end(), [](TControl* a, TControl* b) {
        const int ka = a->TabOrder() < 0 ? 1 << 20 : a->TabOrder();
        const int kb = b->TabOrder() < 0 ? 1 << 20 : b->TabOrder();
        return ka < kb;
    });
    return list;
}

const vcl::ClassInfo& TWinControl::StaticClassInfo() {
    using namespace vcl;
    static const ClassInfo info("TWinControl", &TControl::StaticClassInfo(), {},
                                {prop::Bool("TabStop", &TWinControl::SetTabStop)});
    return info;
}
