#include "suipack/SUIForm.h"

#include "vcl/Forms.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

// The bar's colour where a section has no picture.
TColor BarColor(TsuiUIStyle style) {
    switch (style) {
    case TsuiUIStyle::BlueGlass:
        return RGB(49, 106, 197);
    case TsuiUIStyle::MacOS:
        return RGB(214, 214, 214);
    default:
        return RGB(90, 120, 170);
    }
}

template <class Item>
std::vector<std::unique_ptr<Item>> ReadItems(const vcl::dfm::Value& v, vcl::LoadContext& ctx) {
    if (v.kind != vcl::dfm::Value::Kind::Collection) ctx.Fail(v.line, "expected a collection");
    std::vector<std::unique_ptr<Item>> items;
    for (const auto& properties : v.items) {
        auto item = std::make_unique<Item>();
        vcl::SetProperties(*item, properties, ctx);
        items.push_back(std::move(item));
    }
    return items;
}

} // namespace

TsuiForm::TsuiForm(TComponent* AOwner) : TWinControl(AOwner) {
    SetAlign(TAlign::alClient);
    m_titleFont.SetName("Tahoma");
    m_titleFont.SetHeight(-11);
    m_titleFont.SetStyle(fsBold);
    m_titleFont.SetColor(clWhite);
    m_titleFont.OnChange = [this] { InvalidateRect(TitleBarRect()); };

    m_systemMenu = new TsuiPopupMenu(this);
    auto* minimize = new TMenuItem(m_systemMenu);
    minimize->SetCaption("&Minimize");
    minimize->OnClick = [this](TObject*) {
        if (TCustomForm* form = GetParentForm()) form->Minimize();
    };
    auto* close = new TMenuItem(m_systemMenu);
    close->SetCaption("&Close");
    close->OnClick = [this](TObject*) {
        if (TCustomForm* form = GetParentForm()) form->Close();
    };
    m_systemMenu->Items()->Add(minimize);
    m_systemMenu->Items()->Add(close);
}

TsuiForm::~TsuiForm() = default;

void TsuiForm::SetUIStyle(TsuiUIStyle style) {
    if (style == m_style) return;
    m_style = style;
    m_systemMenu->SetUIStyle(style);
    if (!Loading()) {
        UseStyleDefaults();
        if (m_autoUpdateSub) UpdateSubStyles(*this);
    }
    Invalidate();
}

void TsuiForm::SetBorderWidth(int v) {
    if (v == m_borderWidth) return;
    m_borderWidth = std::max(0, v);
    if (!Loading()) Realign();
    Invalidate();
}

void TsuiForm::SetBorderColor(TColor v) {
    if (v == m_borderColor) return;
    m_borderColor = v;
    Invalidate();
}

void TsuiForm::SetTitleBarDrawAppIcon(bool v) {
    if (v == m_drawAppIcon) return;
    m_drawAppIcon = v;
    InvalidateRect(TitleBarRect());
}

void TsuiForm::SetSections(std::vector<std::unique_ptr<TsuiTitleBarSection>> sections) {
    m_sections = std::move(sections);
    m_sectionsGiven = true;
    if (!Loading()) Realign();
    InvalidateRect(TitleBarRect());
}

void TsuiForm::SetButtons(std::vector<std::unique_ptr<TsuiTitleBarButton>> buttons) {
    m_buttons = std::move(buttons);
    m_buttonsGiven = true;
    m_hover = m_pressed = npos;
    InvalidateRect(TitleBarRect());
}

void TsuiForm::UseStyleDefaults() {
    const String prefix = suipack::StylePrefix(m_style);
    auto picture = [&](const char* part) {
        const String name = prefix + part;
        return suipack::SkinPicture(name) ? name : String();
    };
    if (!m_sectionsGiven) {
        m_sections.clear();
        const std::tuple<TsuiSectionAlign, int, const char*> parts[] = {
            {TsuiSectionAlign::ssaLeft, 162, "_TITLE_LEFT"},
            {TsuiSectionAlign::ssaRight, 101, "_TITLE_RIGHT"},
            {TsuiSectionAlign::ssaClient, 0, "_TITLE_MIDDLE"}};
        for (const auto& [align, width, part] : parts) {
            auto s = std::make_unique<TsuiTitleBarSection>();
            s->SetAlign(align);
            s->SetWidth(width);
            s->SetAutoSize(true);
            s->SetPicture(picture(part));
            m_sections.push_back(std::move(s));
        }
    }
    if (!m_buttonsGiven) {
        m_buttons.clear();
        const std::pair<TsuiButtonAction, const char*> kinds[] = {
            {TsuiButtonAction::sbaSysMenu, "_SYSMENU"}, {TsuiButtonAction::sbaClose, "_CLOSE"}};
        for (const auto& [action, part] : kinds) {
            auto b = std::make_unique<TsuiTitleBarButton>();
            b->SetAction(action);
            b->SetPicNormal(picture((String(part) + "_NORMAL").c_str()));
            b->SetPicOver(picture((String(part) + "_OVER").c_str()));
            b->SetPicPressed(picture((String(part) + "_PRESSED").c_str()));
            m_buttons.push_back(std::move(b));
        }
        m_hover = m_pressed = npos;
    }
}

void TsuiForm::UpdateSubStyles(TWinControl& parent) {
    for (TControl* c : parent.ControlList()) {
        if (auto* styled = dynamic_cast<ISuiStyled*>(c)) styled->SetUIStyle(m_style);
        if (auto* w = dynamic_cast<TWinControl*>(c)) UpdateSubStyles(*w);
    }
}

void TsuiForm::Loaded() {
    UseStyleDefaults();
    m_systemMenu->SetUIStyle(m_style);
    if (m_autoUpdateSub) UpdateSubStyles(*this);
    if (TCustomForm* form = GetParentForm())
        form->SetFrameStyle({.frameless = true, .roundTopCorners = m_roundCorner});
    TWinControl::Loaded();
}

// ---- geometry ----

int TsuiForm::TitleBarHeight() const {
    int height = 0;
    for (const auto& s : m_sections)
        if (s->Drawn) height = std::max(height, s->Drawn->height);
    return height ? height : kDefaultBarHeight;
}

std::vector<backend::Rect> TsuiForm::SectionRects() const {
    const int h = TitleBarHeight();
    std::vector<backend::Rect> rects(m_sections.size());
    int left = 0, right = Width();
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        const TsuiTitleBarSection& s = *m_sections[i];
        const int w = s.EffectiveWidth();
        if (s.Align == TsuiSectionAlign::ssaLeft) {
            rects[i] = {left, 0, w, h};
            left += w;
        } else if (s.Align == TsuiSectionAlign::ssaRight) {
            right -= w;
            rects[i] = {right, 0, w, h};
        }
    }
    for (std::size_t i = 0; i < m_sections.size(); ++i)
        if (m_sections[i]->Align == TsuiSectionAlign::ssaClient)
            rects[i] = {left, 0, std::max(0, right - left), h};
    return rects;
}

backend::Rect TsuiForm::ButtonRect(std::size_t index) const {
    int right = Width() - kButtonsRight;
    for (std::size_t i = m_buttons.size(); i-- > 0;) {
        const TsuiTitleBarButton& b = *m_buttons[i];
        const backend::Rect r{right - b.EffectiveWidth(), b.Top, b.EffectiveWidth(),
                              b.EffectiveHeight()};
        if (i == index) return r;
        right = r.x - kButtonSpacing;
    }
    return {};
}

std::size_t TsuiForm::FindButton(TsuiButtonAction action) const {
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i]->Action == action) return i;
    return npos;
}

backend::Rect TsuiForm::TitleTextRect() const {
    const int right = m_buttons.empty() ? Width() - kButtonsRight : ButtonRect(0).x;
    const int lineHeight = backend::Current().MeasureText("Ag", m_titleFont.Spec()).height;
    const int top = (TitleBarHeight() - lineHeight) / 2;
    return {kTextLeft, top, std::max(0, right - 4 - kTextLeft), lineHeight};
}

backend::Rect TsuiForm::AlignRect() const {
    const int top = TitleBarHeight();
    return {m_borderWidth, top, Width() - 2 * m_borderWidth, Height() - top - m_borderWidth};
}

std::size_t TsuiForm::ButtonAt(backend::Point p) const {
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        if (ButtonRect(i).Contains(p)) return i;
    return npos;
}

backend::Point TsuiForm::ToScreen(int x, int y) const {
    backend::Point p{x, y};
    if (TCustomForm* form = GetParentForm()) {
        const backend::Rect screen = form->ScreenBounds();
        const backend::Point at = FormOffset();
        p = {screen.x + at.x + x, screen.y + at.y + y};
    }
    return p;
}

// ---- painting ----

void TsuiForm::Paint(TCanvas& canvas) {
    const int barHeight = TitleBarHeight();
    canvas.FillRect({0, barHeight, Width(), Height() - barHeight}, Color());

    const std::vector<backend::Rect> rects = SectionRects();
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        if (const backend::Bitmap* bmp = m_sections[i]->Drawn)
            canvas.Draw(*bmp, rects[i]);
        else
            canvas.FillRect(rects[i], BarColor(m_style));
    }
    if (m_sections.empty()) canvas.FillRect(TitleBarRect(), BarColor(m_style));

    if (m_drawAppIcon && Application && !Application->Icons().empty())
        canvas.Draw(Application->Icons().back(), {8, (barHeight - 16) / 2, 16, 16});

    const backend::Rect text = TitleTextRect();
    canvas.PushClip(text);
    canvas.TextOut(text.x, text.y, Caption(), m_titleFont);
    canvas.PopClip();

    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        PaintButton(canvas, i);

    for (int i = 0; i < m_borderWidth; ++i)
        canvas.FrameRect({i, i, Width() - 2 * i, Height() - 2 * i}, m_borderColor);
    if (m_borderWidth > 0) PaintRoundedCorners(canvas);
}

// The window is clipped to an ellipse at the top corners, which cuts the straight border
// off there; this draws it along the curve instead. Row y of the window keeps the pixels
// from round(r - dx) on, where dx is the ellipse's half-width at the row's centre line.
void TsuiForm::PaintRoundedCorners(TCanvas& canvas) {
    if (m_roundCorner <= 1) return;
    const double r = m_roundCorner / 2.0;
    auto inset = [&](int y) {
        const double dy = r - (y + 0.5);
        const double dx = r * std::sqrt(std::max(0.0, 1.0 - dy * dy / (r * r)));
        return std::min(static_cast<int>(std::lround(r - dx)), Width() / 2);
    };
    const int rows = std::min(Height(), static_cast<int>(std::ceil(r)));
    for (int y = 1; y < rows; ++y) {
        const int from = inset(y), to = std::max(from, inset(y - 1) - 1);
        canvas.Line(from, y, to, y, m_borderColor);
        canvas.Line(Width() - 1 - to, y, Width() - 1 - from, y, m_borderColor);
    }
}

void TsuiForm::PaintButton(TCanvas& canvas, std::size_t index) {
    const TsuiTitleBarButton& b = *m_buttons[index];
    const backend::Rect r = ButtonRect(index);
    TsuiTitleBarButton::State state = TsuiTitleBarButton::Normal;
    if (m_pressed == index && m_pressedInside)
        state = TsuiTitleBarButton::Pressed;
    else if (m_pressed == npos && m_hover == index)
        state = TsuiTitleBarButton::Over;
    const backend::Bitmap* bmp = &b.Drawn[state];
    if (bmp->width == 0) bmp = &b.Drawn[TsuiTitleBarButton::Normal];
    if (bmp->width) return canvas.Draw(*bmp, r);

    // No picture: a framed square with the action's sign.
    const TColor ink = state == TsuiTitleBarButton::Normal ? clWhite : RGB(255, 230, 120);
    if (state == TsuiTitleBarButton::Pressed) canvas.FillRect(r, RGB(20, 60, 140));
    canvas.FrameRect(r, ink);
    const int l = r.x + 5, t = r.y + 5, rr = r.Right() - 6, bb = r.Bottom() - 6;
    switch (b.Action) {
    case TsuiButtonAction::sbaClose:
        canvas.Line(l, t, rr, bb, ink);
        canvas.Line(l, bb, rr, t, ink);
        break;
    case TsuiButtonAction::sbaMinimize:
        canvas.Line(l, bb, rr, bb, ink);
        break;
    case TsuiButtonAction::sbaSysMenu:
        canvas.FillRect({l, t, rr - l + 1, 3}, ink);
        break;
    }
}

void TsuiForm::InvalidateButton(std::size_t index) {
    if (index < m_buttons.size()) InvalidateRect(ButtonRect(index));
}

// Only the part of the title area that the old or the new text covers: the title changes
// every second, and the rest of the bar stays as it is.
void TsuiForm::CaptionChanged() {
    backend::Rect r = TitleTextRect();
    const auto width = [&](const String& text) {
        return backend::Current().MeasureText(text, m_titleFont.Spec()).width;
    };
    r.width = std::min(r.width, std::max(width(m_shownCaption), width(Caption())) + 2);
    m_shownCaption = Caption();
    InvalidateRect(r);
}

// ---- input ----

void TsuiForm::SetHover(std::size_t index) {
    if (index == m_hover) return;
    InvalidateButton(m_hover);
    m_hover = index;
    InvalidateButton(m_hover);
}

void TsuiForm::MouseDown(backend::MouseButton button, int x, int y) {
    TWinControl::MouseDown(button, x, y);
    if (button != backend::MouseButton::Left) return;
    const std::size_t index = ButtonAt({x, y});
    if (index != npos) {
        m_pressed = index;
        m_pressedInside = true;
        InvalidateButton(index);
    } else if (TitleBarRect().Contains({x, y})) {
        m_dragging = true;
        m_dragStartMouse = vcl::MouseScreenPosition();
        if (TCustomForm* form = GetParentForm()) {
            const backend::Rect r = form->ScreenBounds();
            m_dragStartWindow = {r.x, r.y};
        }
    }
}

void TsuiForm::MouseMove(int x, int y) {
    if (m_dragging) {
        const backend::Point now = vcl::MouseScreenPosition();
        if (TCustomForm* form = GetParentForm())
            form->MoveTo({m_dragStartWindow.x + now.x - m_dragStartMouse.x,
                          m_dragStartWindow.y + now.y - m_dragStartMouse.y});
        return;
    }
    if (m_pressed != npos) {
        const bool inside = ButtonRect(m_pressed).Contains({x, y});
        if (inside != m_pressedInside) {
            m_pressedInside = inside;
            InvalidateButton(m_pressed);
        }
        return;
    }
    SetHover(ButtonAt({x, y}));
}

void TsuiForm::MouseUp(backend::MouseButton button, int x, int y) {
    std::size_t clicked = npos;
    if (button == backend::MouseButton::Left) {
        // The toolkit may merge the last pointer moves into the release: finish the drag
        // where the pointer let go.
        if (m_dragging) MouseMove(x, y);
        m_dragging = false;
        if (m_pressed != npos) {
            const std::size_t index = m_pressed;
            m_pressed = npos;
            InvalidateButton(index);
            if (ButtonRect(index).Contains({x, y})) clicked = index;
        }
        SetHover(ButtonAt({x, y}));
    }
    std::weak_ptr<const bool> alive = Alive();
    TWinControl::MouseUp(button, x, y);
    if (clicked != npos && !alive.expired()) RunButton(clicked);
}

void TsuiForm::MouseLeave() {
    SetHover(npos);
}

void TsuiForm::RunButton(std::size_t index) {
    TCustomForm* form = GetParentForm();
    switch (m_buttons[index]->Action) {
    case TsuiButtonAction::sbaClose:
        if (form) form->Close();
        break;
    case TsuiButtonAction::sbaMinimize:
        if (form) form->Minimize();
        break;
    case TsuiButtonAction::sbaSysMenu:
        PopupSystemMenu();
        break;
    }
}

void TsuiForm::PopupSystemMenu() {
    const std::size_t index = FindButton(TsuiButtonAction::sbaSysMenu);
    const backend::Rect r =
        index != npos ? ButtonRect(index) : backend::Rect{0, 0, 0, TitleBarHeight()};
    const backend::Point at = ToScreen(r.x, r.Bottom());
    m_systemMenu->Popup(at.x, at.y);
}

// ---- description ----

const vcl::ClassInfo& TsuiForm::StaticClassInfo() {
    using namespace vcl;
    using F = TsuiForm;
    auto color = [](const char* name, void (F::*set)(TColor)) {
        return prop::Custom<F>(name, [set](F& f, const dfm::Value& v, LoadContext& ctx) {
            (f.*set)(ReadColor(v, ctx));
        });
    };
    static const ClassInfo info(
        "TsuiForm", &TWinControl::StaticClassInfo(), FactoryOf<F>(),
        {prop::Enum("UIStyle", &F::SetUIStyle, suipack::StyleNames()),
         prop::Object("TitleFont", &F::TitleFont), prop::Int("BorderWidth", &F::SetBorderWidth),
         color("BorderColor", &F::SetBorderColor), color("MenuBarColor", &F::SetMenuBarColor),
         prop::Int("MenuBarHeight", &F::SetMenuBarHeight),
         prop::Int("RoundCorner", &F::SetRoundCorner),
         prop::Bool("TitleBarDrawAppIcon", &F::SetTitleBarDrawAppIcon),
         prop::Bool("UIStyleAutoUpdateSub", &F::SetUIStyleAutoUpdateSub),
         prop::Custom<F>("TitleBarSections",
                         [](F& f, const dfm::Value& v, LoadContext& ctx) {
                             f.SetSections(ReadItems<TsuiTitleBarSection>(v, ctx));
                         }),
         prop::Custom<F>("TitleBarButtons", [](F& f, const dfm::Value& v, LoadContext& ctx) {
             f.SetButtons(ReadItems<TsuiTitleBarButton>(v, ctx));
         })});
    return info;
}
