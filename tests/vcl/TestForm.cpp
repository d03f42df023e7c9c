#include "TestForm.h"

#include "winapi/Resources.h"

#include <cstring>

const vcl::ClassInfo& TTestButton::StaticClassInfo() {
    using namespace vcl;
    static const ClassInfo info("TTestButton", &TWinControl::StaticClassInfo(),
                                FactoryOf<TTestButton>(),
                                {prop::Int("ModalResult", &TTestButton::SetModalResult)});
    return info;
}

const vcl::PublishedTable& TTestForm::Published() {
    static const vcl::PublishedTable table(
        "TTestForm",
        {vcl::Field("lblText", &TTestForm::lblText), vcl::Field("tmTick", &TTestForm::tmTick),
         vcl::Field("btnOne", &TTestForm::btnOne), vcl::Field("btnTwo", &TTestForm::btnTwo)},
        {vcl::Method("btnOneClick", &TTestForm::btnOneClick),
         vcl::Method("btnTwoClick", &TTestForm::btnTwoClick),
         vcl::Method("tmTickTimer", &TTestForm::tmTickTimer),
         vcl::Method("FormCreate", &TTestForm::FormCreate),
         vcl::Method("FormClose", &TTestForm::FormClose)});
    return table;
}

const char* const kTestFormText = R"(object fmTest: TTestForm
  Left = 10
  Top = 20
  Caption = 'Test'
  ClientWidth = 200
  ClientHeight = 100
  BorderStyle = bsSingle
  Position = poDesigned
  OnCreate = FormCreate
  OnClose = FormClose
  object lblText: TLabel
    Left = 5
    Top = 5
    Caption = 'Hello'
  end
  object btnOne: TTestButton
    Left = 10
    Top = 50
    Width = 80
    Height = 27
    Caption = '&One'
    TabOrder = 1
    OnClick = btnOneClick
  end
  object btnTwo: TTestButton
    Left = 100
    Top = 50
    Width = 80
    Height = 27
    Caption = '&Two'
    TabOrder = 0
    OnClick = btnTwoClick
  end
  object tmTick: TTimer
    OnTimer = tmTickTimer
  end
end
)";

TTestForm* VclFixture::MakeForm(const char* text) {
    auto* form = new TTestForm(Application);
    try {
        vcl::LoadFormFromText(*form, TTestForm::Published(), text, "Test.dfm");
        form->AfterConstruction();
    } catch (...) {
        TObject::Free(form);
        throw;
    }
    return form;
}

backend::headless::HeadlessWindow& VclFixture::WindowOf(TCustomForm& form) {
    auto* w = static_cast<backend::headless::HeadlessWindow*>(form.NativeWindow());
    if (!w) throw std::logic_error("form has no window; show it first");
    return *w;
}

backend::Point VclFixture::Centre(TControl& control) {
    const backend::Point at = control.FormOffset();
    return {at.x + control.Width() / 2, at.y + control.Height() / 2};
}

// Forms made by Application->CreateForm read their description from the resources.
const winapi::ResourceRegistrar
    kTestFormResource("TTESTFORM", reinterpret_cast<const unsigned char*>(kTestFormText),
                      std::strlen(kTestFormText));
