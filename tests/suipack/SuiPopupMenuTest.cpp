#include "SuiFixture.h"

using SuiPopupMenu = SuiFixture;

namespace {
backend::Color Rgb(TColor c) {
    return vcl::ToRgb(c);
}
} // namespace

TEST_F(SuiPopupMenu, ItemsAreTwentyOneHighSeparatorsFiveBesideA26PixelSideBar) {
    TsuiPopupMenu& menu = *form->pmMain;
    std::vector<backend::headless::DrawnText> drawn;
    backend::Rect bounds;
    Script({[&] {
                bounds = PopupWindow()->Bounds();
                fake.Key(*PopupWindow(), "down"); // select the first item
            },
            [&] {
                drawn = PopupWindow()->PaintAll();
                fake.Key(*PopupWindow(), "escape");
            }});
    menu.Popup(100, 200);
    EXPECT_EQ(menu.LastChosen(), nullptr);

    EXPECT_EQ(bounds.height, 2 + 3 * 21 + 5);
    const int widest = fake.MeasureText("Reset Timer", menu.ItemFont().Spec()).width;
    EXPECT_EQ(bounds.width, 1 + 26 + 8 + widest + 24 + 1);

    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].text, "Start");
    EXPECT_EQ(drawn[1].text, "Reset Timer");
    EXPECT_EQ(drawn[2].text, "Exit");
    for (const auto& t : drawn)
        EXPECT_EQ(t.topLeft.x, 1 + 26 + 8) << t.text;
    EXPECT_EQ(drawn[1].topLeft.y - drawn[0].topLeft.y, 21);
    EXPECT_EQ(drawn[2].topLeft.y - drawn[1].topLeft.y, 21 + 5);

    EXPECT_EQ(drawn[0].font.color, Rgb(clWhite)) << "selected";
    EXPECT_EQ(drawn[1].font.color, Rgb(clBlack));
    EXPECT_EQ(drawn[1].font.face, "MS Sans Serif") << "the system menu font";
    EXPECT_EQ(drawn[1].font.height, -11);
}

TEST_F(SuiPopupMenu, KeyboardChoosesByLetterArrowsAndEnter) {
    struct Case {
        std::vector<const char*> keys;
        TMenuItem* TSampleForm::*chosen; // null: dismissed
    } cases[] = {
        {{"r"}, &TSampleForm::pmiReset},
        {{"down", "return"}, &TSampleForm::pmiStart},
        {{"down", "down", "down", "return"}, &TSampleForm::pmiExit}, // skips the separator
        {{"down", "down", "down", "up", "return"}, &TSampleForm::pmiReset},
        {{"down", "escape"}, nullptr},
    };
    for (const Case& c : cases) {
        std::vector<std::function<void()>> steps;
        for (const char* key : c.keys)
            steps.push_back([this, key] { fake.Key(*PopupWindow(), key); });
        Script(steps);
        form->pmMain->Popup(10, 10);
        EXPECT_EQ(form->pmMain->LastChosen(), c.chosen ? form->*c.chosen : nullptr)
            << c.keys.back();
        EXPECT_EQ(PopupWindow(), nullptr) << "closed";
    }
    form->startClicks = 0;
    Script({[this] { fake.Key(*PopupWindow(), "s"); }});
    form->pmMain->Popup(10, 10);
    EXPECT_EQ(form->startClicks, 1) << "the chosen item's handler runs";
}

TEST_F(SuiPopupMenu, StoredFontOnlyWithoutTheSystemFontAndStyleResetsTheLook) {
    TsuiPopupMenu menu(nullptr);
    menu.ItemFontPtr()->SetName("Verdana");
    EXPECT_EQ(menu.ItemFont().Name(), "MS Sans Serif");
    menu.SetUseSystemFont(false);
    EXPECT_EQ(menu.ItemFont().Name(), "Verdana");

    menu.SetMenuColor(clRed);
    menu.SetUIStyle(TsuiUIStyle::BlueGlass);
    EXPECT_EQ(menu.MenuColor(), RGB(231, 231, 231));
    EXPECT_EQ(menu.SideBarColor(), RGB(214, 211, 206));
    EXPECT_EQ(menu.SeparatorColor(), RGB(132, 130, 132));
    EXPECT_EQ(menu.SelectedColor(), RGB(94, 94, 236));
    EXPECT_EQ(menu.BorderColor(), clBlack);
}
