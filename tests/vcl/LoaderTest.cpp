#include "TestForm.h"

#include <regex>

namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    if (at == std::string::npos) throw std::logic_error("fixture text not found: " + from);
    return text.replace(at, from.size(), to);
}

} // namespace

using Loader = VclFixture;

TEST_F(Loader, FillsMembersSetsPropertiesAndBindsHandlers) {
    TTestForm* form = MakeForm();
    ASSERT_NE(form->lblText, nullptr);
    EXPECT_EQ(form->Name(), "fmTest");
    EXPECT_EQ(form->lblText->Caption(), "Hello");
    EXPECT_EQ(form->lblText->Parent(), form);
    EXPECT_EQ(form->lblText->Owner(), form);
    EXPECT_EQ(form->btnOne->BoundsRect(), (backend::Rect{10, 50, 80, 27}));
    EXPECT_EQ(form->tmTick->Owner(), form);
    EXPECT_EQ(form->FindComponent("btnTwo"), form->btnTwo);
    EXPECT_EQ(form->ClientWidth(), 200);
    EXPECT_EQ(form->BorderStyle(), TFormBorderStyle::bsSingle);
    EXPECT_EQ(form->log, (std::vector<std::string>{"create"}));
    form->btnOne->Click();
    EXPECT_EQ(form->log.back(), "one");
    TObject::Free(form);
}

// Every name that does not bind is an error naming the description, line, object and name.
TEST_F(Loader, NamesThatDoNotBindAreErrors) {
    struct Case {
        const char* from;
        const char* to;
        const char* message;
    } cases[] = {
        {"object lblText: TLabel", "object lblText: TLabelX",
         "Test.dfm(11): lblText: TLabelX: unknown class 'TLabelX'"},
        {"    Caption = 'Hello'", "    Capton = 'Hello'",
         "Test.dfm(14): lblText: TLabel: Capton: unknown property 'Capton' of TLabel"},
        {"object lblText: TLabel", "object lblOther: TLabel",
         "Test.dfm(11): lblOther: TLabel: no published member 'lblOther'"},
        {"OnClick = btnOneClick", "OnClick = btnThreeClick",
         "Test.dfm(23): btnOne: TTestButton: OnClick: no published handler 'btnThreeClick'"},
        {"OnClick = btnOneClick", "OnClick = FormClose",
         "Test.dfm(23): btnOne: TTestButton: OnClick: handler 'FormClose' has the wrong "
         "parameters for this event"},
        {"    Left = 5\n", "    Left = '5'\n",
         "Test.dfm(12): lblText: TLabel: Left: expected a number, found a string"},
        {"BorderStyle = bsSingle", "BorderStyle = bsRound",
         "Test.dfm(7): fmTest: TTestForm: BorderStyle: 'bsRound' is not a valid value"},
        {"Caption = 'Test'", "Caption.Text = 'Test'",
         "Test.dfm(4): fmTest: TTestForm: Caption.Text: 'Caption' has no sub-properties"},
        {"object btnTwo: TTestButton", "object btnTwo: TLabel",
         "Test.dfm(25): btnTwo: TLabel: member 'btnTwo' is a TTestButton"},
        {"  object tmTick: TTimer\n    OnTimer = tmTickTimer\n  end\n", "",
         "Test.dfm(1): fmTest: TTestForm: published member 'tmTick' is not in the description"},
        {"object fmTest: TTestForm", "object fmTest: TOtherForm",
         "Test.dfm(1): fmTest: TOtherForm: the description is for TOtherForm, not TTestForm"},
        {"    Caption = 'Hello'", "    Caption = 'Hello", "Test.dfm(14)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        const std::string text = Replace(kTestFormText, c.from, c.to);
        try {
            TObject::Free(MakeForm(text.c_str()));
            ADD_FAILURE() << "loaded without error";
        } catch (const EReadError& e) {
            EXPECT_EQ(std::string(e.Message()).substr(0, std::string(c.message).size()), c.message);
        }
    }
    EXPECT_EQ(Application->ComponentCount(), 0) << "a failed load leaves nothing behind";
}

TEST_F(Loader, ControlsGoOnlyIntoWindowedControls) {
    const std::string text = Replace(kTestFormText, "  object btnOne: TTestButton",
                                     "  object tmTick: TTimer\n    object btnOne: TTestButton");
    try {
        TObject::Free(MakeForm(
            Replace(text, "  object tmTick: TTimer\n    OnTimer = tmTickTimer\n  end\n", "end\n")
                .c_str()));
        ADD_FAILURE() << "loaded without error";
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message().find("cannot be placed inside TTimer"), std::string::npos)
            << e.Message();
    }
}

TEST_F(Loader, UnusedHandlersAreFound) {
    EXPECT_TRUE(vcl::UnusedHandlers(TTestForm::Published(), kTestFormText, "Test.dfm").empty());
    const std::string text = Replace(kTestFormText, "  OnClose = FormClose\n", "");
    EXPECT_EQ(vcl::UnusedHandlers(TTestForm::Published(), text, "Test.dfm"),
              (std::vector<String>{"FormClose"}));
}
