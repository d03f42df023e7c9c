#include "AppFixture.h"

#include "WorkLog.h"
#include "common/misc/WinUtil.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using WorkLog = AppFixture;
using backend::DialogAnswer;

TEST_F(WorkLog, FirstExitWritesTheLogInItsLayout) {
    Start();
    fake.Advance(3000);
    Stop();
    EXPECT_EQ(ReadLog(), "[WorkTime]\n2009-06-09=3\n[Days]\nCount=1\nDay0=2009-06-09\n");
}

TEST_F(WorkLog, ADayAlreadyStoredOnlyChangesItsTotal) {
    WriteLog("; my log\r\n[WorkTime]\r\n2009-06-08=10\r\n2009-06-09=3600\r\n[Days]\r\nCount=2\r\n"
             "Day0=2009-06-08\r\nDay1=2009-06-09\r\n");
    Start();
    EXPECT_EQ(fmMain->lblTime->Caption(), "01:00:00");
    fake.Advance(2000);
    Stop();
    EXPECT_EQ(ReadLog(), "; my log\r\n[WorkTime]\r\n2009-06-08=10\r\n2009-06-09=3602\r\n[Days]\r\n"
                         "Count=2\r\nDay0=2009-06-08\r\nDay1=2009-06-09\r\n");
}

// A day whose total was stored as 0 is listed already and is not appended again.
TEST_F(WorkLog, AStoredZeroStillCountsAsListed) {
    WriteLog("[WorkTime]\n2009-06-09=0\n[Days]\nCount=1\nDay0=2009-06-09\n");
    Start();
    Stop();
    EXPECT_EQ(ReadLog(), "[WorkTime]\n2009-06-09=0\n[Days]\nCount=1\nDay0=2009-06-09\n");
}

TEST_F(WorkLog, ANewDayIsAppendedUnderTheCountAsFound) {
    WriteLog("[WorkTime]\n2009-06-01=5\n[Days]\nCount=7\nDay0=2009-06-01\n");
    Start();
    fake.Advance(1000);
    Stop();
    EXPECT_EQ(ReadLog(),
              "[WorkTime]\n2009-06-01=5\n2009-06-09=1\n[Days]\nCount=8\nDay0=2009-06-01\n"
              "Day7=2009-06-09\n");
}

TEST_F(WorkLog, StoredTotalsThatCannotBeRightReadAsZero) {
    struct Case {
        const char* stored;
        const char* shown;
    } cases[] = {{"-5", "00:00:00"},
                 {"4294967296", "00:00:00"},
                 {"99999999999", "00:00:00"},
                 {"abc", "00:00:00"},
                 {" 42 ", "00:00:42"},
                 {"'61'", "00:01:01"},
                 {"4294967295", "1193046:28:15"},
                 {"7200xyz", "02:00:00"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteLog(std::string("[WorkTime]\n2009-06-09=") + c.stored + "\n");
        Start();
        EXPECT_EQ(fmMain->lblTime->Caption(), c.shown);
        fmMain->tmMain->SetEnabled(false);
        Stop();
        app = std::make_unique<vcl::ApplicationScope>();
    }
}

// A tick that finds a new date saves the count under its own day and goes on from the
// new day's stored total, shown at once.
TEST_F(WorkLog, MidnightSavesUnderTheOldDayAndStartsTheNewOne) {
    WriteLog("[WorkTime]\n2009-06-10=100\n[Days]\nCount=1\nDay0=2009-06-10\n");
    SetDate(2009, 6, 9, 23, 59);
    Start();
    fake.Advance(5000);
    SetDate(2009, 6, 10, 0, 0);
    fake.Advance(1000);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:01:41") << "the new day's 100 s plus this tick";
    EXPECT_EQ(ReadLog(), "[WorkTime]\n2009-06-10=100\n2009-06-09=5\n[Days]\nCount=2\n"
                         "Day0=2009-06-10\nDay1=2009-06-09\n");
    Stop();
    EXPECT_EQ(ReadLog(), "[WorkTime]\n2009-06-10=101\n2009-06-09=5\n[Days]\nCount=2\n"
                         "Day0=2009-06-10\nDay1=2009-06-09\n");
}

TEST_F(WorkLog, ClockSetBackAcrossADateNeverReplacesAnotherDay) {
    WriteLog("[WorkTime]\n2009-06-08=50\n");
    Start();
    fake.Advance(2000);
    SetDate(2009, 6, 8, 18, 0);
    fake.Advance(1000);
    Stop();
    EXPECT_EQ(ReadLog(),
              "[WorkTime]\n2009-06-08=51\n2009-06-09=2\n[Days]\nCount=1\nDay0=2009-06-09\n");
}

TEST_F(WorkLog, WhileCountingTheTotalIsSavedEverySixtyTicks) {
    Start();
    fake.Advance(59000);
    EXPECT_EQ(ReadLog(), "");
    fake.Advance(1000);
    EXPECT_EQ(ReadLog(), "[WorkTime]\n2009-06-09=60\n[Days]\nCount=1\nDay0=2009-06-09\n");
    fake.Advance(60000);
    EXPECT_EQ(ReadLog(), "[WorkTime]\n2009-06-09=120\n[Days]\nCount=1\nDay0=2009-06-09\n");
}

// A log that cannot be read gives 0, is never replaced, and the user is told why once.
TEST_F(WorkLog, AnUnreadableLogIsReportedAndLeftAlone) {
    std::filesystem::create_directory(LogFile());
    Start();
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:00:00");
    fake.Advance(120000);
    ASSERT_EQ(fake.MessageBoxes().size(), 1u) << "a failing periodic save is reported once";
    EXPECT_NE(fake.MessageBoxes()[0].text.find(LogFile()), std::string::npos);
    EXPECT_EQ(fmMain->lblTime->Caption(), "00:02:00") << "counting goes on";
    Stop();
    ASSERT_EQ(fake.MessageBoxes().size(), 2u) << "the save at exit is reported too";
    EXPECT_NE(fake.MessageBoxes()[1].text.find(LogFile()), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(LogFile()));
}

TEST_F(WorkLog, AProgramFolderThatCannotHoldTheLogSendsItToTheDataFolder) {
    const std::string data = folder + "/data";
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    winapi::SetModuleFileNameOverride(folder + "/missing/bin/riduduz");
    Start();
    fake.Advance(1000);
    Stop();
    unsetenv("XDG_DATA_HOME");
    std::ifstream in(data + "/riduduz/riduduz.ini");
    std::stringstream s;
    s << in.rdbuf();
    EXPECT_EQ(s.str(), "[WorkTime]\n2009-06-09=1\n[Days]\nCount=1\nDay0=2009-06-09\n");
}

TEST_F(WorkLog, HomePageAndLogoHandTheSameAddressToTheShell) {
    Start();
    fmMain->pmiHome->Click();
    Click(*fmMain->imgLogo);
    ASSERT_EQ(fake.OpenedDocuments().size(), 2u);
    EXPECT_EQ(fake.OpenedDocuments()[0], fake.OpenedDocuments()[1]);
    const std::string& address = fake.OpenedDocuments()[0];
    EXPECT_EQ(address.rfind("http://", 0), 0u);
    EXPECT_NE(address.find(".example.com/riduduz/index.html"), std::string::npos);
}

TEST(WinUtil, ModuleDirEndsWithASeparatorAndRefusesWhatDoesNotFit) {
    struct Case {
        std::string program;
        std::string folder;
    } cases[] = {{"/opt/tools/prog", "/opt/tools/"},
                 {"//server/share/dir/prog", "//server/share/dir/"},
                 {"/prog", "/"},
                 {"/a\\b/prog", "/a\\b/"},
                 {"/" + std::string(300, 'x') + "/prog", "/" + std::string(300, 'x') + "/"}};
    for (const Case& c : cases) {
        winapi::SetModuleFileNameOverride(c.program);
        std::vector<char> buffer(400, '#');
        EXPECT_EQ(GetModuleDir(HInstance(), buffer.data(), buffer.size()), 1);
        EXPECT_EQ(std::string(buffer.data()), c.folder);
        std::vector<char> tight(c.folder.size(), '#');
        EXPECT_EQ(GetModuleDir(HInstance(), tight.data(), tight.size()), 0)
            << "no room for the NUL";
        EXPECT_EQ(std::string(tight.begin(), tight.end()), std::string(c.folder.size(), '#'));
    }
    winapi::SetModuleFileNameOverride("");
    EXPECT_EQ(GetModuleDir(HInstance(), nullptr, 10), 0);
    EXPECT_EQ(ShellOpen(""), 0);
    EXPECT_EQ(ShellOpen(nullptr), 0);
}
