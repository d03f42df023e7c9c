#include "AppFixture.h"

#include "vcl/Forms.h"

#include <fstream>
#include <sstream>

using backend::DialogAnswer;
using backend::headless::MessageBoxCall;

namespace {

std::string Titles(TfmMain& f, backend::headless::HeadlessWindow& w) {
    return w.Title() + "|" + w.IconTitle() + "|" + f.sfMain->Caption() + "|" + f.Caption() + "|" +
           Application->Title();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

using Counter = AppFixture;

TEST_F(Counter, StartsFromTheStoredTotalAndShowsTheDesignedTitlesUntilTheFirstTick) {
    WriteLog("[WorkTime]\n2009-06-09=3725\n");
    Start();
    EXPECT_EQ(fmMain->lblTime->Caption(), "01:02:05");
    EXPECT_EQ(Titles(*fmMain, MainWindow()), "Riduduz|Riduduz|Riduduz|Riduduz|Riduduz");
    EXPECT_EQ(fmMain->btnStart->Caption(), "&Start") << "the designed caption until the first tick";
    fake.Advance(999);
    EXPECT_EQ(fmMain->lblTime->Caption(), "01:02:05");
    fake.Advance(1);
    EXPECT_EQ(fmMain->lblTime->Caption(), "01:02:06");
    const std::string title = "My Riduduz - 01:02:06";
    EXPECT_EQ(Titles(*fmMain, MainWindow()),
              title + "|" + title + "|" + title + "|" + title + "|" + title);
    EXPECT_EQ(fmMain->btnStart->Caption(), "&Pause");
}

TEST_F(Counter, ReadOutIsHoursMinutesSecondsWithoutWrapping) {
    struct Case {
        const char* stored;
        const char* afterTick;
    } cases[] = {{"0", "00:00:01"},     {"59", "00:01:00"},      {"3599", "01:00:00"},
                 {"86399", "24:00:00"}, {"359999", "100:00:00"}, {"4294967294", "1193046:28:15"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteLog(std::string("[WorkTime]\n2009-06-09=") + c.stored + "\n");
        Start();
        fake.Advance(1000);
        EXPECT_EQ(fmMain->lblTime->Caption(), c.afterTick);
        Stop();
        app = std::make_unique<vcl::ApplicationScope>();
        fake.Reset();
    }
}

TEST_F(Counter, PauseFreezesAndResumeStartsAFreshSecond) {
    Start();
    fake.Advance(3000);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:03");
    fake.Advance(500);
    fake.Key(MainWindow(), "alt+p"); // the button reads "&Pause" while counting
    EXPECT_EQ(fmMain->btnStart->Caption(), "&Start");
    fake.Advance(10000);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:03");
    EXPECT_EQ(MainWindow().Title(), "My Riduduz - 00:00:03");
    fake.Key(MainWindow(), "alt+s");
    EXPECT_EQ(fmMain->btnStart->Caption(), "&Pause");
    fake.Advance(999);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:03");
    fake.Advance(1);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:04");

    // Twice in quick succession: still running, the next tick a second after the second.
    fake.Advance(200);
    Click(*fmMain->btnStart);
    fake.Advance(100);
    Click(*fmMain->btnStart);
    fake.Advance(999);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:04");
    fake.Advance(1);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:05");
}

TEST_F(Counter, ResetAsksAndClearsOnlyOnOk) {
    Start();
    fake.Advance(5000);
    fake.SetMessageBoxScript([](const MessageBoxCall&) { return DialogAnswer::Cancel; });
    fake.Key(MainWindow(), "alt+r");
    ASSERT_TRUE(LastBox());
    EXPECT_EQ(LastBox()->text, "If you choose to reset timer, your work time of today will be "
                               "cleared. Are you sure to continue?");
    EXPECT_EQ(LastBox()->caption, "Confirmation");
    EXPECT_EQ(LastBox()->buttons, backend::DialogButtons::OkCancel);
    EXPECT_EQ(LastBox()->icon, backend::DialogIcon::Question);
    EXPECT_EQ(LastBox()->owner, fmMain->NativeWindow());
    fake.Advance(1000);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:06") << "Cancel leaves the count";

    // The box runs a nested loop: ticks go on behind it and OK clears at the moment chosen.
    fake.SetMessageBoxScript([&](const MessageBoxCall&) {
        fake.Advance(2000);
        return DialogAnswer::Ok;
    });
    Click(*fmMain->btnReset);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:08") << "shown at the next tick, not at once";
    fake.Advance(1000);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:01");
}

TEST_F(Counter, ResetWhilePausedShowsTheOldCountUntilResumed) {
    Start();
    fake.Advance(4000);
    Click(*fmMain->btnStart); // pause
    fake.SetMessageBoxScript([](const MessageBoxCall&) { return DialogAnswer::Ok; });
    Click(*fmMain->btnReset);
    fake.Advance(5000);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:04");
    Click(*fmMain->btnStart);
    fake.Advance(1000);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:01");
}

TEST_F(Counter, MenuOpensUnderTheMenuButtonAndItsItemsDoWhatTheButtonsDo) {
    Start();
    fake.Advance(2000);
    const backend::Rect window = MainWindow().Bounds();
    std::vector<char> keys{'s', 'r', 'o'};
    std::vector<backend::Rect> opened;
    std::size_t next = 0;
    fake.SetIdle([&] {
        backend::headless::HeadlessWindow* popup = fake.ActiveWindow();
        ASSERT_TRUE(popup && popup->Spec().popup);
        opened.push_back(popup->Bounds());
        fake.Key(*popup, std::string(1, keys.at(next++)));
    });
    fake.SetMessageBoxScript([](const MessageBoxCall&) { return DialogAnswer::Ok; });

    fake.Key(MainWindow(), "alt+m"); // Start: pauses
    EXPECT_EQ(fmMain->btnStart->Caption(), "&Start");
    EXPECT_EQ(fmMain->pmiStart->Caption(), "&Start") << "the item's caption never changes";
    Click(*fmMain->btnMenu); // Reset Timer, answered OK
    EXPECT_EQ(fake.MessageBoxes().size(), 1u);
    fake.Key(MainWindow(), "alt+m"); // Options: nothing
    EXPECT_EQ(fake.MessageBoxes().size(), 1u);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:02");
    EXPECT_EQ(fmMain->btnStart->Caption(), "&Start");

    ASSERT_EQ(opened.size(), 3u);
    const backend::Point button = fmMain->btnMenu->FormOffset();
    EXPECT_EQ(opened[0].x, window.x + button.x);
    EXPECT_EQ(opened[0].y, window.y + button.y + fmMain->btnMenu->Height());
}

TEST_F(Counter, ExitAndTheSkinnedCloseEndTheProgram) {
    Start();
    fmMain->pmiExit->Click();
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(Counter, AWindowManagerCloseEndsTheProgram) {
    Start();
    fake.RequestClose(MainWindow());
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(Counter, TickRepaintsOnlyTheReadOutTheTitleTextAndAChangedButton) {
    Start();
    fake.Advance(1000);
    MainWindow().TakeInvalidated();
    fake.Advance(1000);
    const auto areas = MainWindow().TakeInvalidated();
    const backend::Point time = fmMain->lblTime->FormOffset();
    const backend::Rect readOut{time.x, time.y, fmMain->lblTime->Width(),
                                fmMain->lblTime->Height()};
    const backend::Rect titleText = fmMain->sfMain->TitleTextRect();
    for (const backend::Rect& r : areas) {
        SCOPED_TRACE(std::to_string(r.x) + "," + std::to_string(r.y) + " " +
                     std::to_string(r.width) + "x" + std::to_string(r.height));
        EXPECT_TRUE(readOut.Union(r) == readOut || titleText.Union(r) == titleText);
    }
    EXPECT_FALSE(areas.empty());
}

TEST_F(Counter, PublishedTableAndDescriptionMatchBothWays) {
    const std::string text = ReadFile(RIDUDUZ_SOURCE_DIR "/src/Main.dfm");
    EXPECT_TRUE(vcl::UnusedHandlers(TfmMain::Published(), text, "Main.dfm").empty());
    Start(); // every member is filled, or loading fails
    EXPECT_EQ(fmMain->pmMain->Items()->Count(), 8);
    const char* captions[] = {"&Start",     "&Reset Timer", "-", "&Options",
                              "&Home Page", "&About",       "-", "E&xit"};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(fmMain->pmMain->Items()->Items(i)->Caption(), captions[i]);
}
