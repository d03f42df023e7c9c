#include "SuiFixture.h"

using backend::Rect;
using SuiForm = SuiFixture;

namespace {
std::size_t CloseButton(const TsuiForm& f) {
    return f.FindButton(TsuiButtonAction::sbaClose);
}
std::size_t SysMenuButton(const TsuiForm& f) {
    return f.FindButton(TsuiButtonAction::sbaSysMenu);
}
} // namespace

TEST_F(SuiForm, DescriptionGivesTheBlueGlassFrameAndLayout) {
    EXPECT_TRUE(Window().Spec().frameless);
    EXPECT_EQ(Window().Spec().roundTopCorners, 11);

    const int w = form->ClientWidth();
    EXPECT_EQ(sui->BoundsRect(), (Rect{0, 0, w, form->ClientHeight()}));
    EXPECT_EQ(sui->TitleBarHeight(), 33);
    const std::vector<Rect> sections = sui->SectionRects();
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0], (Rect{0, 0, 162, 33}));
    EXPECT_EQ(sections[1], (Rect{w - 101, 0, 101, 33}));
    EXPECT_EQ(sections[2], (Rect{162, 0, w - 263, 33})) << "the middle stretches";

    ASSERT_EQ(w, 541);
    EXPECT_EQ(sui->ButtonRect(SysMenuButton(*sui)), (Rect{496, 6, 19, 19}));
    EXPECT_EQ(sui->ButtonRect(CloseButton(*sui)), (Rect{516, 6, 19, 19})) << "Close is rightmost";

    // Aligned children go under the bar, inside the 1-px border; the panel's own children
    // inside its insets.
    EXPECT_EQ(form->pnlTop->BoundsRect(), (Rect{1, 33, w - 2, 83}));
    EXPECT_EQ(form->pnlTop->AlignRect(), (Rect{4, 25, w - 2 - 8, 83 - 29}));
}

TEST_F(SuiForm, BadPictureNameFailsTheLoadNamingIt) {
    TsuiForm probe(nullptr);
    vcl::LoadContext ctx;
    ctx.source = "T";
    vcl::dfm::Object o = vcl::dfm::Parse("object x: TsuiForm\n"
                                         "  TitleBarButtons = <\n"
                                         "    item\n"
                                         "      PicNormal = 'NO_SUCH_PICTURE'\n"
                                         "    end>\n"
                                         "end\n",
                                         "T");
    try {
        vcl::SetProperties(probe, o.properties, ctx);
        FAIL() << "expected EReadError";
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.what()).find("NO_SUCH_PICTURE"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("T(4)"), std::string::npos) << e.what();
    }
}

TEST_F(SuiForm, CaptionChangeRepaintsOnlyTheTitleText) {
    const String before = sui->Caption();
    sui->SetCaption("Another title");
    const Rect text = sui->TitleTextRect();
    const auto asked = Window().TakeInvalidated();
    ASSERT_EQ(asked.size(), 1u);
    // The part of the title area the old or the new text covers, nothing else.
    const int widest = std::max(fake.MeasureText(before, sui->TitleFont()->Spec()).width,
                                fake.MeasureText("Another title", sui->TitleFont()->Spec()).width);
    EXPECT_EQ(asked[0], (Rect{text.x, text.y, std::min(text.width, widest + 2), text.height}));
    EXPECT_EQ(text.x, 30);
    EXPECT_TRUE(text.Intersect(sui->ButtonRect(SysMenuButton(*sui))).Empty());
    EXPECT_LT(text.height, sui->TitleBarHeight());

    const auto drawn = Window().Paint();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].text, "Another title");
    EXPECT_EQ(drawn[0].topLeft, (backend::Point{text.x, text.y}));
    EXPECT_EQ(drawn[0].font.face, "Tahoma");
    EXPECT_TRUE(drawn[0].font.bold);
    EXPECT_EQ(drawn[0].font.color, (backend::Color{255, 255, 255}));
}

TEST_F(SuiForm, HoverAndPressRepaintOnlyTheButton) {
    for (std::size_t b : {SysMenuButton(*sui), CloseButton(*sui)}) {
        const Rect r = sui->ButtonRect(b);
        fake.MouseMove(Window(), Centre(r));
        EXPECT_TRUE(OnlyArea(Window().TakeInvalidated(), r)) << "hover";
        fake.MouseMove(Window(), {r.x + 1, r.y + 1});
        EXPECT_TRUE(Window().TakeInvalidated().empty()) << "moving inside changes nothing";
        fake.MouseDown(Window(), Centre(r));
        EXPECT_TRUE(OnlyArea(Window().TakeInvalidated(), r)) << "press";
        fake.MouseMove(Window(), {r.x - 30, r.y});
        EXPECT_TRUE(OnlyArea(Window().TakeInvalidated(), r))
            << "dragged off: the pressed look goes";
        fake.MouseUp(Window(), {r.x - 30, r.y});
        EXPECT_TRUE(OnlyArea(Window().TakeInvalidated(), r)) << "released elsewhere";
        EXPECT_EQ(form->closes, 0) << "released outside: no action";
        fake.MouseMove(Window(), {100, 60});
        Window().TakeInvalidated();
    }
}

TEST_F(SuiForm, CloseButtonClosesLikeTheWindowManager) {
    fake.Click(Window(), Centre(sui->ButtonRect(CloseButton(*sui))));
    EXPECT_EQ(form->closes, 1);
    EXPECT_FALSE(Window().Visible());

    form->Show();
    fake.RequestClose(Window());
    EXPECT_EQ(form->closes, 2);
    EXPECT_FALSE(Window().Visible());
}

TEST_F(SuiForm, SystemMenuOpensUnderItsButtonAndMinimizesOrCloses) {
    struct Case {
        const char* key;
        bool minimized;
        int closes;
    } cases[] = {{"m", true, 0}, {"c", false, 1}, {"escape", false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        form->closes = 0;
        form->Show();
        const Rect button = sui->ButtonRect(SysMenuButton(*sui));
        const Rect screen = form->ScreenBounds();
        Rect menuBounds;
        Script({[&] {
            ASSERT_NE(PopupWindow(), nullptr);
            menuBounds = PopupWindow()->Bounds();
            fake.Key(*PopupWindow(), c.key);
        }});
        fake.Click(Window(), Centre(button));
        EXPECT_EQ(menuBounds.x, screen.x + button.x);
        EXPECT_EQ(menuBounds.y, screen.y + button.Bottom());
        EXPECT_EQ(Window().Minimized(), c.minimized);
        EXPECT_EQ(form->closes, c.closes);
    }
}

TEST_F(SuiForm, DraggingTheBarMovesTheWindowByTheDistance) {
    const Rect start = Window().Bounds();
    fake.MouseDown(Window(), {200, 12});
    fake.MouseMove(Window(), {260, 42});
    EXPECT_EQ(Window().Bounds(), start.Offset(60, 30));
    // The pointer keeps its place on the window as it moves: the same client point now
    // means no further movement.
    fake.MouseMove(Window(), {200, 12});
    EXPECT_EQ(Window().Bounds(), start.Offset(60, 30));
    fake.MouseMove(Window(), {190, 2});
    EXPECT_EQ(Window().Bounds(), start.Offset(50, 20));
    // The window followed the pointer, so it is back at (200, 12) on the window.
    fake.MouseUp(Window(), {200, 12});
    EXPECT_EQ(Window().Bounds(), start.Offset(50, 20)) << "the release ends where the pointer is";
    fake.MouseMove(Window(), {300, 20});
    EXPECT_EQ(Window().Bounds(), start.Offset(50, 20)) << "released: no more moving";

    // Pressing a button or the area below the bar starts no drag.
    for (backend::Point p :
         {Centre(sui->ButtonRect(SysMenuButton(*sui))), backend::Point{20, 130}}) {
        const Rect before = Window().Bounds();
        fake.MouseDown(Window(), p);
        fake.MouseMove(Window(), {p.x - 40, p.y + 5});
        fake.MouseUp(Window(), {p.x - 40, p.y + 5});
        EXPECT_EQ(Window().Bounds(), before);
    }
}

TEST_F(SuiForm, StyleGoesToTheControlsInsideOnlyWhenAskedTo) {
    sui->SetUIStyle(TsuiUIStyle::MacOS);
    EXPECT_EQ(form->btnStart->UIStyle(), TsuiUIStyle::BlueGlass);
    EXPECT_EQ(sui->SystemMenu()->UIStyle(), TsuiUIStyle::MacOS) << "its own menu always follows";

    sui->SetUIStyleAutoUpdateSub(true);
    sui->SetUIStyle(TsuiUIStyle::WinXP);
    for (const ISuiStyled* c : std::initializer_list<const ISuiStyled*>{
             form->pnlTop, form->btnMenu, form->btnStart, form->btnDisabled})
        EXPECT_EQ(c->UIStyle(), TsuiUIStyle::WinXP);
    EXPECT_EQ(sui->Sections().size(), 3u) << "the description's title bar stays";
    EXPECT_FALSE(Window().PaintAll().empty()) << "styles without pictures still paint";
}

TEST_F(SuiForm, PanelButtonFoldsThePanelToItsStripAndBack) {
    TsuiPanel& panel = *form->pnlTop;
    EXPECT_TRUE(panel.ButtonRect().Empty()) << "ShowButton = False";
    panel.SetShowButton(true);
    const backend::Point button = Centre(InForm(panel, panel.ButtonRect()));
    fake.Click(Window(), button);
    EXPECT_FALSE(panel.Opened());
    EXPECT_EQ(panel.Height(), TsuiPanel::kTitleHeight + 2);
    fake.Click(Window(), button);
    EXPECT_TRUE(panel.Opened());
    EXPECT_EQ(panel.Height(), 83);
}
