#include "SuiFixture.h"

using backend::Rect;
using SuiButton = SuiFixture;

// btnQuit is not the default button, so Enter reaches it only through the focus.
TEST_F(SuiButton, SpaceAndEnterClickTheFocusedButton) {
    for (const char* key : {"space", "return"}) {
        form->quitClicks = 0;
        form->btnQuit->SetFocus();
        fake.Key(Window(), key);
        EXPECT_EQ(form->quitClicks, 1) << key;
        EXPECT_EQ(form->startClicks, 0) << key;
    }
}

TEST_F(SuiButton, AltAndTheAccessLetterClicks) {
    EXPECT_EQ(form->btnStart->AccessKey(), 's');
    form->btnQuit->SetFocus();
    fake.Key(Window(), "alt+s");
    EXPECT_EQ(form->startClicks, 1);
    fake.Key(Window(), "alt+d");
    EXPECT_EQ(form->disabledClicks, 0) << "a disabled button takes no access key";
}

TEST_F(SuiButton, DefaultTakesEnterAndCancelTakesEscape) {
    form->SetActiveControl(nullptr);
    fake.Key(Window(), "return");
    EXPECT_EQ(form->startClicks, 1);
    EXPECT_EQ(form->quitClicks, 0);
    fake.Key(Window(), "escape");
    EXPECT_EQ(form->quitClicks, 1);
    EXPECT_EQ(form->startClicks, 1);
}

TEST_F(SuiButton, MouseLooksRepaintOnlyTheButtonAndAClickNeedsARelease) {
    TsuiButton& b = *form->btnStart;
    b.SetFocus(); // focus moves no more during the test
    Window().TakeInvalidated();
    const Rect r = InForm(b);
    using S = TsuiButton::State;

    fake.MouseMove(Window(), Centre(r));
    EXPECT_EQ(b.CurrentState(), S::Over);
    EXPECT_TRUE(OnlyArea(Window().TakeInvalidated(), r));
    fake.MouseDown(Window(), Centre(r));
    EXPECT_EQ(b.CurrentState(), S::Pressed);
    EXPECT_TRUE(OnlyArea(Window().TakeInvalidated(), r));
    fake.MouseMove(Window(), {r.Right() + 5, r.y});
    EXPECT_NE(b.CurrentState(), S::Pressed) << "held but off the button";
    EXPECT_TRUE(OnlyArea(Window().TakeInvalidated(), r));
    fake.MouseUp(Window(), {r.Right() + 5, r.y});
    EXPECT_EQ(form->startClicks, 0) << "released outside";

    fake.Click(Window(), Centre(r));
    EXPECT_EQ(form->startClicks, 1);
    EXPECT_TRUE(OnlyArea(Window().TakeInvalidated(), r));

    EXPECT_EQ(form->btnDisabled->CurrentState(), S::Disabled);
    fake.Click(Window(), Centre(InForm(*form->btnDisabled)));
    EXPECT_EQ(form->disabledClicks, 0);
}

TEST_F(SuiButton, CaptionIsCentredWithItsLetterAndRepaintsOnlyTheButton) {
    TsuiButton& b = *form->btnQuit;
    b.SetCaption("&Leave");
    EXPECT_EQ(Window().TakeInvalidated(), std::vector<Rect>{InForm(b)});
    EXPECT_EQ(b.AccessKey(), 'l');
    const auto drawn = Window().Paint();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].text, "Leave");
    EXPECT_EQ(drawn[0].font.face, "MS Sans Serif") << "the form's font";
    const int width = fake.MeasureText("Leave", drawn[0].font).width;
    EXPECT_EQ(drawn[0].topLeft.x, InForm(b).x + (b.Width() - width) / 2);
}

TEST_F(SuiButton, AutoSizeFitsTheCaptionAndThePicture) {
    TsuiButton& b = *form->btnQuit;
    b.SetCaption("A much longer caption");
    b.SetAutoSize(true);
    const int text = fake.MeasureText("A much longer caption", b.EffectiveFont().Spec()).width;
    EXPECT_EQ(b.Width(), text + 24);
    EXPECT_EQ(b.Height(), 27) << "the picture's height";
    b.SetCaption("");
    EXPECT_EQ(b.Width(), 24) << "never narrower than the picture";
}

// A dialog whose buttons end its modal run.
class TDialog : public TForm {
public:
    using TForm::TForm;
    TsuiButton* btnOk = nullptr;
    TsuiButton* btnNo = nullptr;
    static const vcl::PublishedTable& Published() {
        static const vcl::PublishedTable table(
            "TDialog", {vcl::Field("btnOk", &TDialog::btnOk), vcl::Field("btnNo", &TDialog::btnNo)},
            {});
        return table;
    }
};

TEST_F(SuiButton, ModalResultEndsShowModal) {
    const char* text = "object Dialog: TDialog\n"
                       "  ClientWidth = 200\n"
                       "  ClientHeight = 80\n"
                       "  object btnOk: TsuiButton\n"
                       "    Left = 10\n    Top = 40\n    Caption = 'OK'\n    ModalResult = mrOk\n"
                       "  end\n"
                       "  object btnNo: TsuiButton\n"
                       "    Left = 100\n    Top = 40\n    Caption = 'No'\n    ModalResult = 7\n"
                       "  end\n"
                       "end\n";
    for (TModalResult expected : {mrOk, 7}) {
        auto* dialog = new TDialog(Application);
        vcl::LoadFormFromText(*dialog, TDialog::Published(), text, "Dialog");
        TsuiButton* button = expected == mrOk ? dialog->btnOk : dialog->btnNo;
        Script({[&] {
            auto* w = static_cast<backend::headless::HeadlessWindow*>(dialog->NativeWindow());
            fake.Click(*w, Centre(InForm(*button)));
        }});
        EXPECT_EQ(dialog->ShowModal(), expected);
        TObject::Free(dialog);
    }
}
