// Forms and the application object.
//
// A form class derives from TForm and gives its published table (TypInfo.h). It is made by
// vcl::NewForm<T>(owner) or Application->CreateForm(ref): construct, read the description
// compiled in under the class name (upper case), fill members, bind handlers, call Loaded()
// everywhere, then fire OnCreate. Free() fires OnDestroy before any destructor runs.
//
// The native window is made when the form is first shown. Close() asks OnClose; the main
// form's closing ends Application->Run(); a modal form's closing ends ShowModal(); caFree
// destroys the form on the next turn of the loop, never under the caller's feet.
//
// Every input event, timer tick and menu choice reaches a handler through vcl::Dispatch,
// the one exception barrier: what escapes is shown by Application->HandleException and the
// loop goes on.
#pragma once

#include "vcl/Controls.h"
#include "vcl/TypInfo.h"

#include <exception>
#include <functional>
#include <memory>

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};

namespace vcl {
class FormWindow;

// How a skin wants the form's window: no window-manager frame, rounded top corners.
struct FrameStyle {
    bool frameless = false;
    int roundTopCorners = 0;
};

// Runs `action` inside the exception barrier.
void Dispatch(const std::function<void()>& action);
} // namespace vcl

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    int ClientWidth() const { return Width(); }
    int ClientHeight() const { return Height(); }
    void SetClientWidth(int v) { SetWidth(v); }
    void SetClientHeight(int v) { SetHeight(v); }
    TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TFormBorderStyle v) { m_borderStyle = v; }
    TPosition Position() const { return m_position; }
    void SetPosition(TPosition v) { m_position = v; }
    TSizeConstraints* Constraints() { return &m_constraints; }
    bool Scaled() const { return m_scaled; }
    void SetScaled(bool v) { m_scaled = v; }
    void SetDesignLeft(int v) { m_designLeft = v; }
    void SetDesignTop(int v) { m_designTop = v; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;

    void Show();
    void Hide();
    void Close();
    // Destroys the form on the next turn of the loop.
    void Release();
    TModalResult ShowModal();
    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult v) { m_modalResult = v; }
    bool Modal() const { return m_modal; }

    TWinControl* ActiveControl() const { return m_activeControl; }
    void SetActiveControl(TWinControl* c);
    // Moves the focus in tab order; backwards with Shift+Tab.
    void SelectNext(bool forward);

    void SetFrameStyle(const vcl::FrameStyle& style) { m_frame = style; }
    void Minimize();
    // Moves the window so its client top-left is at this screen point.
    void MoveTo(backend::Point screen);
    // The client area's place on the screen (the designed place before it is shown).
    backend::Rect ScreenBounds() const;
    backend::Window* NativeWindow() const;

    // Called by the component library after construction and loading.
    void AfterConstruction();
    void BeforeDestruction() override;
    void SetCaptionText(const String& caption);
    void Paint(TCanvas& canvas) override;

    VCL_DECLARE_CLASS();

protected:
    void CaptionChanged() override;

private:
    friend class vcl::FormWindow;
    void CreateNativeWindow(bool modal);
    void DoClose(TCloseAction& action);
    bool HandleFormKey(const backend::KeyEvent& key);

    TFormBorderStyle m_borderStyle = TFormBorderStyle::bsSizeable;
    TPosition m_position = TPosition::poDesigned;
    TSizeConstraints m_constraints;
    bool m_scaled = true;
    int m_designLeft = 0, m_designTop = 0;
    TModalResult m_modalResult = mrNone;
    bool m_modal = false;
    bool m_destroyFired = false;
    bool m_created = false;
    TWinControl* m_activeControl = nullptr;
    vcl::FrameStyle m_frame;
    std::unique_ptr<vcl::FormWindow> m_window;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
    VCL_DECLARE_CLASS();
};

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    void Initialize();
    const String& Title() const { return m_title; }
    void SetTitle(const String& title);
    TCustomForm* MainForm() const { return m_mainForm; }
    bool Terminated() const { return m_terminated; }

    // Makes a form owned by the application; the first one becomes the main form.
    // `reference` is set before the form's OnCreate runs.
    template <class T> void CreateForm(T*& reference);
    // Shows the main form and runs the loop until it closes.
    void Run();
    void Terminate();

    void ShowException(const Exception* e);
    // Shows the exception being handled (call only inside a catch block).
    void HandleException(TObject* sender);

    // The program's icon (resource MAINICON), for windows.
    const std::vector<backend::Bitmap>& Icons() const { return m_icons; }

    void SetMainFormForCreate(TCustomForm* form);

private:
    String m_title;
    TCustomForm* m_mainForm = nullptr;
    bool m_terminated = false;
    std::vector<backend::Bitmap> m_icons;
};

extern TApplication* Application;

namespace vcl {

// Reads the description compiled in under `table.ClassName()` into `form`.
void LoadForm(TCustomForm& form, const PublishedTable& table);
// Reads a description given as text (tests, tools). `source` names it in messages.
void LoadFormFromText(TCustomForm& form, const PublishedTable& table, std::string_view text,
                      const String& source);
// Handlers of the table that no event in the description names.
std::vector<String> UnusedHandlers(const PublishedTable& table, std::string_view text,
                                   const String& source);

template <class T> T* NewForm(TComponent* owner, const std::function<void(T*)>& early = {}) {
    T* form = new T(owner);
    try {
        if (early) early(form);
        LoadForm(*form, T::Published());
        form->AfterConstruction();
    } catch (...) {
        TObject::Free(form);
        throw;
    }
    return form;
}

// Creates the application object for the life of the scope and destroys it (and with it
// every form) at the end.
class ApplicationScope {
public:
    ApplicationScope();
    ~ApplicationScope();
    ApplicationScope(const ApplicationScope&) = delete;
    ApplicationScope& operator=(const ApplicationScope&) = delete;
};

} // namespace vcl

template <class T> void TApplication::CreateForm(T*& reference) {
    vcl::NewForm<T>(this, [&](T* form) {
        reference = form;
        SetMainFormForCreate(form);
    });
}
