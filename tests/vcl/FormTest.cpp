#include "TestForm.h"

#include "winapi/WinUser.h"

using Forms = VclFixture;
using backend::DialogAnswer;
using backend::DialogButtons;
using backend::headless::MessageBoxCall;

TEST_F(Forms, WindowIsMadeWhenFirstShownWithTheFormsSettings) {
    TTestForm* form = MakeForm();
    EXPECT_EQ(form->NativeWindow(), nullptr);
    form->Show();
    auto& w = WindowOf(*form);
    EXPECT_EQ(w.Title(), "Test");
    EXPECT_EQ(w.Bounds(), (backend::Rect{10, 20, 200, 100}));
    EXPECT_TRUE(w.Spec().fixedSize);
    EXPECT_TRUE(w.Visible());
    form->SetCaption("Changed");
    EXPECT_EQ(w.Title(), "Changed");
    TObject::Free(form);
}

TEST_F(Forms, CentredOnTheDesktop) {
    TTestForm* form = MakeForm();
    form->SetPosition(TPosition::poDesktopCenter);
    fake.SetScreen({0, 0, 1000, 800});
    form->Show();
    EXPECT_EQ(WindowOf(*form).Bounds(), (backend::Rect{400, 350, 200, 100}));
    TObject::Free(form);
}

TEST_F(Forms, MainFormCloseEndsRunAndDestroyFollowsLater) {
    TTestForm* main = nullptr;
    bool destroyed = false;
    Application->CreateForm(main);
    main->OnDestroy = [&](TObject*) { destroyed = true; };
    EXPECT_EQ(Application->MainForm(), main);
    fake.SetIdle([&] { fake.RequestClose(WindowOf(*main)); });
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(main->log.back(), "close");
    EXPECT_FALSE(destroyed) << "forms are destroyed with the application, after Run";
    TObject::Free(Application->MainForm());
    EXPECT_TRUE(destroyed);
}

TEST_F(Forms, CloseRefusedByOnCloseKeepsRunning) {
    TTestForm* form = MakeForm();
    form->closeAction = TCloseAction::caNone;
    form->Show();
    fake.RequestClose(WindowOf(*form));
    EXPECT_TRUE(WindowOf(*form).Visible());
    form->closeAction = TCloseAction::caHide;
    fake.RequestClose(WindowOf(*form));
    EXPECT_FALSE(WindowOf(*form).Visible());
    TObject::Free(form);
}

// Whatever a handler throws is shown, and the loop goes on.
TEST_F(Forms, ExceptionInAHandlerIsShownAndTheLoopGoesOn) {
    Application->SetTitle("App");
    TTestForm* form = MakeForm();
    form->Show();
    struct Case {
        std::function<void()> thrower;
        const char* shown;
    } cases[] = {
        {[] { throw Exception("Boom"); }, "Boom"},
        {[] { throw std::runtime_error("std boom"); }, "std boom"},
        {[] { throw 42; }, ""},
    };
    for (const Case& c : cases) {
        form->onOne = c.thrower;
        fake.Click(WindowOf(*form), Centre(*form->btnOne));
        ASSERT_FALSE(fake.MessageBoxes().empty());
        EXPECT_EQ(fake.MessageBoxes().back().text, c.shown);
        EXPECT_EQ(fake.MessageBoxes().back().caption, "App");
        EXPECT_EQ(fake.MessageBoxes().back().icon, backend::DialogIcon::Error);
    }
    fake.Advance(1000);
    EXPECT_EQ(form->log.back(), "tick") << "the timer still runs";
    TObject::Free(form);
}

TEST_F(Forms, TimerTickThatThrowsIsShownAndTheTimerGoesOn) {
    TTimer t(nullptr);
    int ticks = 0;
    t.SetOnTimer([&](TObject*) {
        ++ticks;
        throw Exception("tick failed");
    });
    fake.Advance(2000);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(fake.MessageBoxes().size(), 2u);
}

TEST_F(Forms, AccessKeysTabOrderAndSpace) {
    TTestForm* form = MakeForm();
    form->Show();
    auto& w = WindowOf(*form);
    EXPECT_EQ(form->ActiveControl(), form->btnTwo) << "first in tab order";
    fake.Key(w, "alt+o");
    fake.Key(w, "alt+T");
    EXPECT_EQ(form->log, (std::vector<std::string>{"create", "one", "two"}));
    fake.Key(w, "Tab");
    EXPECT_EQ(form->ActiveControl(), form->btnOne);
    fake.Key(w, "Tab");
    EXPECT_EQ(form->ActiveControl(), form->btnTwo);
    fake.Key(w, "shift+Tab");
    EXPECT_EQ(form->ActiveControl(), form->btnOne);
    fake.Key(w, "space");
    EXPECT_EQ(form->log.back(), "one");
    form->btnOne->SetEnabled(false);
    fake.Key(w, "alt+o");
    EXPECT_EQ(form->log.size(), 4u) << "a disabled control ignores its access key";
    TObject::Free(form);
}

TEST_F(Forms, ShowModalRunsUntilAModalResultAndTheTimerKeepsTicking) {
    TTestForm* form = MakeForm();
    form->btnOne->SetModalResult(mrOk);
    int idle = 0;
    fake.SetIdle([&] {
        if (++idle < 3) return fake.Advance(1000);
        fake.Key("alt+o");
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(std::count(form->log.begin(), form->log.end(), "tick"), 2);
    EXPECT_EQ(form->NativeWindow(), nullptr) << "the modal window goes when the run ends";

    fake.SetIdle([&] { fake.Key("Escape"); });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    fake.SetIdle([&] { fake.RequestClose(*fake.ActiveWindow()); });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    TObject::Free(form);
}

TEST_F(Forms, MessageBoxAnswersAndCarriesItsSettings) {
    TTestForm* form = MakeForm();
    form->Show();
    struct Case {
        DialogAnswer answer;
        int result;
    } cases[] = {
        {DialogAnswer::Ok, IDOK}, {DialogAnswer::Cancel, IDCANCEL}, {DialogAnswer::None, 0}};
    for (const Case& c : cases) {
        fake.SetMessageBoxScript([&](const MessageBoxCall&) { return c.answer; });
        EXPECT_EQ(
            MessageBoxA(form->Handle(), "Sure?", "Confirmation", MB_OKCANCEL | MB_ICONQUESTION),
            c.result);
    }
    const MessageBoxCall& call = fake.MessageBoxes().back();
    EXPECT_EQ(call.owner, form->NativeWindow());
    EXPECT_EQ(call.text, "Sure?");
    EXPECT_EQ(call.caption, "Confirmation");
    EXPECT_EQ(call.buttons, DialogButtons::OkCancel);
    EXPECT_EQ(call.icon, backend::DialogIcon::Question);
    TObject::Free(form);
}

TEST_F(Forms, ClientToScreenAddsTheControlsPlaceOnScreen) {
    TTestForm* form = MakeForm();
    form->Show();
    POINT p{0, form->btnOne->Height()};
    ASSERT_TRUE(ClientToScreen(form->btnOne->Handle(), &p));
    EXPECT_EQ(p.x, 10 + 10);
    EXPECT_EQ(p.y, 20 + 50 + 27);
    TObject::Free(form);
}

TEST_F(Forms, RepaintAsksOnlyForTheChangedControl) {
    TTestForm* form = MakeForm();
    form->Show();
    auto& w = WindowOf(*form);
    w.TakeInvalidated();
    form->btnOne->SetCaption("&Other");
    const auto areas = w.TakeInvalidated();
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_EQ(areas[0], (backend::Rect{10, 50, 80, 27}));
    TObject::Free(form);
}

TEST_F(Forms, PopupMenuKeysAndItemPlaces) {
    TPopupMenu menu(nullptr);
    std::vector<std::string> chosen;
    const char* captions[] = {"&First", "-", "&Second", "&Last"};
    std::vector<std::unique_ptr<TMenuItem>> items;
    for (const char* c : captions) {
        items.push_back(std::make_unique<TMenuItem>(nullptr));
        items.back()->SetCaption(c);
        items.back()->OnClick = [&chosen, c](TObject*) { chosen.push_back(c); };
        menu.Items()->Add(items.back().get());
    }
    struct Case {
        std::vector<const char*> keys;
        const char* chosen; // null: dismissed
    } cases[] = {{{"Up", "Return"}, "&Last"},
                 {{"Down", "Return"}, "&First"},
                 {{"Down", "Down", "Return"}, "&Second"},
                 {{"End", "Up", "Return"}, "&Second"},
                 {{"s"}, "&Second"},
                 {{"Down", "Escape"}, nullptr}};
    for (const Case& c : cases) {
        std::size_t next = 0;
        fake.SetIdle([&] { fake.Key(c.keys.at(next++)); });
        chosen.clear();
        menu.Popup(100, 200);
        if (c.chosen) {
            EXPECT_EQ(chosen, (std::vector<std::string>{c.chosen}));
        } else {
            EXPECT_TRUE(chosen.empty());
        }
    }
    // Items fill the window between its one-pixel borders.
    backend::Rect bounds;
    fake.SetIdle([&] {
        bounds = fake.ActiveWindow()->Bounds();
        fake.Key("Escape");
    });
    menu.Popup(100, 200);
    EXPECT_EQ(bounds.x, 100);
    EXPECT_EQ(bounds.y, 200);
    EXPECT_EQ(bounds.height, 2 + 20 + 8 + 20 + 20);
}
