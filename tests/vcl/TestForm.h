// A small form and button for exercising the component library headless.
#pragma once

#include "backend/headless/HeadlessBackend.h"
#include "vcl/Vcl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A focusable control that answers its access key and can end a modal run.
class TTestButton : public TWinControl {
public:
    explicit TTestButton(TComponent* AOwner) : TWinControl(AOwner) { SetTabStop(true); }
    TModalResult ModalResult = mrNone;
    void SetModalResult(int v) { ModalResult = v; }
    char AccessKey() const override { return vcl::AcceleratorOf(Caption()); }
    void Click() override {
        TWinControl::Click();
        if (ModalResult != mrNone)
            if (TCustomForm* f = GetParentForm()) f->SetModalResult(ModalResult);
    }
    bool KeyDown(const backend::KeyEvent& key) override {
        if (key.key != backend::Key::Space) return false;
        Click();
        return true;
    }
    VCL_DECLARE_CLASS();
};

class TTestForm : public TForm {
public:
    explicit TTestForm(TComponent* AOwner) : TForm(AOwner) {}
    TLabel* lblText = nullptr;
    TTimer* tmTick = nullptr;
    TTestButton* btnOne = nullptr;
    TTestButton* btnTwo = nullptr;

    std::vector<std::string> log;
    std::function<void()> onOne;
    TCloseAction closeAction = TCloseAction::caHide;

    void btnOneClick(TObject*) {
        log.push_back("one");
        if (onOne) onOne();
    }
    void btnTwoClick(TObject*) { log.push_back("two"); }
    void tmTickTimer(TObject*) { log.push_back("tick"); }
    void FormCreate(TObject*) { log.push_back("create"); }
    void FormClose(TObject*, TCloseAction& action) {
        log.push_back("close");
        action = closeAction;
    }

    static const vcl::PublishedTable& Published();
};

extern const char* const kTestFormText;

// Resets the headless backend and owns an application object for one test.
class VclFixture : public ::testing::Test {
protected:
    VclFixture() { backend::headless::Headless::Instance().Reset(); }
    ~VclFixture() override { backend::headless::Headless::Instance().Reset(); }
    backend::headless::Headless& fake = backend::headless::Headless::Instance();
    vcl::ApplicationScope app;

    TTestForm* MakeForm(const char* text = kTestFormText);
    backend::headless::HeadlessWindow& WindowOf(TCustomForm& form);
    // The centre of a control, in its window's coordinates.
    backend::Point Centre(TControl& control);
};
