#include "vcl/Forms.h"

#include "winapi/Resources.h"
#include "winapi/WinUser.h"

#include <algorithm>
#include <cctype>

TApplication* Application = nullptr;

namespace vcl {

void Dispatch(const std::function<void()>& action) {
    try {
        action();
    } catch (...) {
        if (Application) {
            Application->HandleException(nullptr);
        } else {
            throw;
        }
    }
}

namespace {

backend::Point g_mouseScreen;

void PaintTree(TControl& control, backend::Canvas& canvas, const backend::Rect& area,
               backend::Point origin) {
    const backend::Rect bounds{origin.x, origin.y, control.Width(), control.Height()};
    const backend::Rect visible = bounds.Intersect(area);
    if (visible.Empty()) return;
    canvas.PushClip(visible);
    TCanvas tc(canvas, origin);
    control.Paint(tc);
    if (auto* parent = dynamic_cast<TWinControl*>(&control)) {
        for (TControl* child : parent->ControlList())
            if (child->Visible())
                PaintTree(*child, canvas, visible,
                          {origin.x + child->Left(), origin.y + child->Top()});
    }
    canvas.PopClip();
}

// Every showing, enabled control of the tree, in tab order.
void CollectInTabOrder(TWinControl& parent, std::vector<TControl*>& out) {
    for (TControl* c : parent.TabOrderList()) {
        if (!c->Visible() || !c->Enabled()) continue;
        out.push_back(c);
        if (auto* w = dynamic_cast<TWinControl*>(c)) CollectInTabOrder(*w, out);
    }
}

} // namespace

backend::Point MouseScreenPosition() {
    return g_mouseScreen;
}

// The form's native window and the input it receives.
class FormWindow : public backend::WindowEvents {
public:
    FormWindow(TCustomForm& form, const backend::WindowSpec& spec)
        : m_form(form), m_window(backend::Current().CreateWindow(spec, *this)) {}

    backend::Window& Native() { return *m_window; }

    void Paint(backend::Canvas& canvas, const backend::Rect& area) override {
        Dispatch([&] { PaintTree(m_form, canvas, area, {0, 0}); });
    }

    void Mouse(const backend::MouseEvent& e) override {
        Dispatch([&] { HandleMouse(e); });
    }

    void Key(const backend::KeyEvent& e) override {
        Dispatch([&] { m_form.HandleFormKey(e); });
    }

    void CloseRequested() override {
        Dispatch([&] { m_form.Close(); });
    }

    void Forget(TControl* control) {
        if (m_hover == control) m_hover = nullptr;
        if (m_capture == control) m_capture = nullptr;
    }

private:
    void HandleMouse(const backend::MouseEvent& e) {
        g_mouseScreen = e.screen;
        TControl* hit = m_form.ControlAt(e.position);
        if (!hit) hit = &m_form;
        TControl* target = m_capture ? m_capture : hit;
        if (e.action == backend::MouseAction::Leave) {
            SetHover(nullptr);
            return;
        }
        if (!m_capture) SetHover(hit);
        if (!target->Enabled()) return;
        const backend::Point at = target->FormOffset();
        const int x = e.position.x - at.x, y = e.position.y - at.y;
        // The handler may close and free the form: keep nothing of it after the call.
        std::weak_ptr<const bool> alive = target->Alive();
        switch (e.action) {
        case backend::MouseAction::Down:
            m_capture = target;
            if (auto* w = dynamic_cast<TWinControl*>(target); w && w->CanFocus()) w->SetFocus();
            target->MouseDown(e.button, x, y);
            break;
        case backend::MouseAction::Up:
            m_capture = nullptr;
            target->MouseUp(e.button, x, y);
            if (!alive.expired() && hit != target) SetHover(hit);
            break;
        case backend::MouseAction::Move:
            target->MouseMove(x, y);
            break;
        case backend::MouseAction::Leave:
            break;
        }
    }

    void SetHover(TControl* control) {
        if (control == m_hover) return;
        if (m_hover) m_hover->MouseLeave();
        m_hover = control;
        if (m_hover) m_hover->MouseEnter();
    }

    TCustomForm& m_form;
    std::unique_ptr<backend::Window> m_window;
    TControl* m_hover = nullptr;
    TControl* m_capture = nullptr;
};

} // namespace vcl

// ---- TCustomForm ----

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    SetVisible(false);
    SetTabStop(false);
}

TCustomForm::~TCustomForm() {
    m_window.reset();
    if (Application && Application->MainForm() == this) Application->SetMainFormForCreate(nullptr);
}

void TCustomForm::AfterConstruction() {
    if (OnCreate) OnCreate(this);
    m_created = true;
}

void TCustomForm::BeforeDestruction() {
    TWinControl::BeforeDestruction();
    // A form whose creation failed never announces its end: its handlers would act on
    // state they never set up (and a save would overwrite good data).
    if (m_destroyFired || !m_created) return;
    m_destroyFired = true;
    if (OnDestroy) vcl::Dispatch([&] { OnDestroy(this); });
}

backend::Window* TCustomForm::NativeWindow() const {
    return m_window ? &m_window->Native() : nullptr;
}

backend::Rect TCustomForm::ScreenBounds() const {
    if (m_window) return m_window->Native().Bounds();
    return {m_designLeft, m_designTop, Width(), Height()};
}

void TCustomForm::CreateNativeWindow(bool modal) {
    backend::Backend& b = backend::Current();
    backend::WindowSpec spec;
    spec.title = Caption();
    const bool isMain = Application && Application->MainForm() == this;
    spec.iconTitle = isMain ? Application->Title() : Caption();
    const backend::Rect screen = b.Screen();
    backend::Rect r{m_designLeft, m_designTop, Width(), Height()};
    TCustomForm* centreOn = nullptr;
    if (m_position == TPosition::poMainFormCenter && Application)
        centreOn = Application->MainForm();
    if (m_position == TPosition::poOwnerFormCenter) centreOn = dynamic_cast<TCustomForm*>(Owner());
    if (centreOn == this || (centreOn && !centreOn->NativeWindow())) centreOn = nullptr;
    if (centreOn) {
        const backend::Rect o = centreOn->ScreenBounds();
        r.x = o.x + (o.width - r.width) / 2;
        r.y = o.y + (o.height - r.height) / 2;
    } else if (m_position != TPosition::poDesigned) {
        r.x = screen.x + (screen.width - r.width) / 2;
        r.y = screen.y + (screen.height - r.height) / 2;
    }
    spec.bounds = r;
    spec.fixedSize = m_borderStyle != TFormBorderStyle::bsSizeable &&
                     m_borderStyle != TFormBorderStyle::bsSizeToolWin;
    spec.frameless = m_frame.frameless || m_borderStyle == TFormBorderStyle::bsNone;
    spec.roundTopCorners = m_frame.roundTopCorners;
    spec.modal = modal;
    if (modal) {
        auto* owner = dynamic_cast<TCustomForm*>(Owner());
        if (!owner && Application) owner = Application->MainForm();
        if (owner && owner != this) spec.owner = owner->NativeWindow();
    }
    if (Application) spec.icons = Application->Icons();
    m_window = std::make_unique<vcl::FormWindow>(*this, spec);
}

void TCustomForm::Show() {
    if (!m_window) CreateNativeWindow(m_modal);
    SetVisible(true);
    if (!m_activeControl) SelectNext(true);
    m_window->Native().Show();
}

void TCustomForm::Hide() {
    SetVisible(false);
    if (m_window) m_window->Native().Hide();
}

void TCustomForm::Release() {
    std::weak_ptr<const bool> alive = Alive();
    backend::Current().Post([alive, this] {
        if (!alive.expired()) TObject::Free(this);
    });
}

void TCustomForm::DoClose(TCloseAction& action) {
    if (OnClose) OnClose(this, action);
}

void TCustomForm::Close() {
    if (m_modal) {
        m_modalResult = mrCancel;
        return;
    }
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    if (action == TCloseAction::caNone) return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case TCloseAction::caHide:
        Hide();
        break;
    case TCloseAction::caMinimize:
        Minimize();
        break;
    case TCloseAction::caFree:
        Release();
        break;
    case TCloseAction::caNone:
        break;
    }
}

TModalResult TCustomForm::ShowModal() {
    if (m_modal || (m_window && m_window->Native().Visible()))
        throw EInvalidOperation("Cannot make a visible window modal");
    m_modal = true;
    m_modalResult = mrNone;
    m_window.reset(); // a modal window is made with its owner and input grab
    Show();
    backend::Backend& b = backend::Current();
    for (;;) {
        b.RunUntil([this] {
            return m_modalResult != mrNone || (Application && Application->Terminated());
        });
        if (Application && Application->Terminated()) break;
        TCloseAction action = TCloseAction::caHide;
        DoClose(action);
        if (action != TCloseAction::caNone) break;
        m_modalResult = mrNone;
    }
    m_modal = false;
    Hide();
    m_window.reset();
    return m_modalResult;
}

void TCustomForm::SetActiveControl(TWinControl* c) {
    if (c == m_activeControl) return;
    TWinControl* old = m_activeControl;
    m_activeControl = c;
    if (old) old->FocusChanged(false);
    if (c) c->FocusChanged(true);
}

void TCustomForm::SelectNext(bool forward) {
    std::vector<TControl*> all;
    vcl::CollectInTabOrder(*this, all);
    std::vector<TWinControl*> focusable;
    for (TControl* c : all)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && w->CanFocus()) focusable.push_back(w);
    if (focusable.empty()) return;
    auto it = std::find(focusable.begin(), focusable.end(), m_activeControl);
    std::size_t index;
    if (it == focusable.end()) {
        index = forward ? 0 : focusable.size() - 1;
    } else {
        const std::size_t at = static_cast<std::size_t>(it - focusable.begin());
        index =
            forward ? (at + 1) % focusable.size() : (at + focusable.size() - 1) % focusable.size();
    }
    SetActiveControl(focusable[index]);
}

bool TCustomForm::HandleFormKey(const backend::KeyEvent& key) {
    using backend::Key;
    if (key.key == Key::F4 && key.modifiers.alt) {
        Close();
        return true;
    }
    if (m_activeControl && !key.modifiers.alt && m_activeControl->KeyDown(key)) return true;
    std::vector<TControl*> all;
    vcl::CollectInTabOrder(*this, all);
    if (key.key == Key::Character && key.modifiers.alt && key.character) {
        const char letter =
            static_cast<char>(std::tolower(static_cast<unsigned char>(key.character)));
        for (TControl* c : all)
            if (c->AccessKey() == letter) {
                c->AccessKeyPressed();
                return true;
            }
        return false;
    }
    if (key.key == Key::Tab) {
        SelectNext(!key.modifiers.shift);
        return true;
    }
    if (key.key == Key::Enter || key.key == Key::Escape) {
        for (TControl* c : all)
            if (c->DialogKey(key)) return true;
        if (key.key == Key::Escape && m_modal) {
            m_modalResult = mrCancel;
            return true;
        }
    }
    return false;
}

void TCustomForm::CaptionChanged() {
    SetCaptionText(Caption());
}

void TCustomForm::SetCaptionText(const String& caption) {
    if (!m_window) return;
    m_window->Native().SetTitle(caption);
    const bool isMain = Application && Application->MainForm() == this;
    if (!isMain) m_window->Native().SetIconTitle(caption);
}

void TCustomForm::Minimize() {
    if (m_window) m_window->Native().Minimize();
}

void TCustomForm::MoveTo(backend::Point screen) {
    if (m_window) {
        m_window->Native().Move(screen);
    } else {
        m_designLeft = screen.x, m_designTop = screen.y;
    }
}

const vcl::ClassInfo& TCustomForm::StaticClassInfo() {
    using namespace vcl;
    static const ClassInfo info(
        "TCustomForm", &TWinControl::StaticClassInfo(), {},
        {prop::Int("ClientWidth", &TCustomForm::SetClientWidth),
         prop::Int("ClientHeight", &TCustomForm::SetClientHeight),
         prop::Int("Left", &TCustomForm::SetDesignLeft),
         prop::Int("Top", &TCustomForm::SetDesignTop),
         prop::Enum("BorderStyle", &TCustomForm::SetBorderStyle,
                    {{"bsNone", TFormBorderStyle::bsNone},
                     {"bsSingle", TFormBorderStyle::bsSingle},
                     {"bsSizeable", TFormBorderStyle::bsSizeable},
                     {"bsDialog", TFormBorderStyle::bsDialog},
                     {"bsToolWindow", TFormBorderStyle::bsToolWindow},
                     {"bsSizeToolWin", TFormBorderStyle::bsSizeToolWin}}),
         prop::Enum("Position", &TCustomForm::SetPosition,
                    {{"poDesigned", TPosition::poDesigned},
                     {"poDefault", TPosition::poDefault},
                     {"poDefaultPosOnly", TPosition::poDefaultPosOnly},
                     {"poDefaultSizeOnly", TPosition::poDefaultSizeOnly},
                     {"poScreenCenter", TPosition::poScreenCenter},
                     {"poDesktopCenter", TPosition::poDesktopCenter},
                     {"poMainFormCenter", TPosition::poMainFormCenter},
                     {"poOwnerFormCenter", TPosition::poOwnerFormCenter}}),
         prop::Object("Constraints", &TCustomForm::Constraints),
         prop::Bool("Scaled", &TCustomForm::SetScaled),
         prop::Ignored("OldCreateOrder", "OnCreate always fires after construction"),
         prop::Ignored("PixelsPerInch", "forms are laid out in pixels, never scaled"),
         prop::Ignored("TextHeight", "forms are laid out in pixels, never scaled"),
         prop::Event("OnCreate", &TCustomForm::OnCreate),
         prop::Event("OnDestroy", &TCustomForm::OnDestroy),
         prop::Event("OnClose", &TCustomForm::OnClose)});
    return info;
}

void TCustomForm::Paint(TCanvas& canvas) {
    canvas.FillRect(ClientRect(), Color());
}

const vcl::ClassInfo& TForm::StaticClassInfo() {
    static const vcl::ClassInfo info("TForm", &TCustomForm::StaticClassInfo(), {}, {});
    return info;
}

// ---- TApplication ----

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
    // Forms go first, while the application (their exception handler) still exists.
    DestroyComponents();
}

void TApplication::Initialize() {
    if (auto icon = winapi::FindResourceData("MAINICON")) {
        TIcon decoded;
        decoded.LoadFromBytes(*icon);
        m_icons = decoded.Images();
    }
}

void TApplication::SetTitle(const String& title) {
    if (title == m_title) return;
    m_title = title;
    if (m_mainForm && m_mainForm->NativeWindow()) m_mainForm->NativeWindow()->SetIconTitle(title);
}

void TApplication::SetMainFormForCreate(TCustomForm* form) {
    if (!form || !m_mainForm) m_mainForm = form;
}

void TApplication::Run() {
    if (!m_mainForm) return;
    backend::Backend& b = backend::Current();
    b.SetShutdownHandler([this](backend::ShutdownReason reason) {
        if (reason == backend::ShutdownReason::DisplayLost) {
            // No window may be touched any more: only let the main form save its data.
            if (m_mainForm) m_mainForm->BeforeDestruction();
            return;
        }
        vcl::Dispatch([this] {
            if (m_mainForm) m_mainForm->Close();
        });
    });
    m_mainForm->Show();
    b.RunUntil([this] { return m_terminated; });
}

void TApplication::Terminate() {
    if (m_terminated) return;
    m_terminated = true;
    backend::Current().CancelDialogs();
}

void TApplication::ShowException(const Exception* e) {
    HWND owner = m_mainForm && m_mainForm->NativeWindow() ? m_mainForm->Handle() : nullptr;
    MessageBoxA(owner, e ? e->Message().c_str() : "", m_title.c_str(), MB_OK | MB_ICONERROR);
}

void TApplication::HandleException(TObject*) {
    try {
        throw;
    } catch (const Exception& e) {
        ShowException(&e);
    } catch (const std::exception& e) {
        const Exception wrapped(e.what());
        ShowException(&wrapped);
    } catch (...) {
        const Exception empty("");
        ShowException(&empty);
    }
}

namespace vcl {

ApplicationScope::ApplicationScope() {
    Application = new TApplication(nullptr);
}

ApplicationScope::~ApplicationScope() {
    TApplication* app = Application;
    TObject::Free(app);
    Application = nullptr;
}

} // namespace vcl
