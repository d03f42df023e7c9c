// The program facing a log it cannot save or read: a full file system, a read-only folder,
// a dangling symbolic link, a log the user cannot read. Each time the old file stays as it
// was, the main window's message box names the file, and the count goes on.
#include "AppFixture.h"

#include "WorkLog.h"
#include "winapi/Profile.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kLog = "[WorkTime]\n2009-06-08=77\n2009-06-09=3600\n[Days]\nCount=2\n"
                         "Day0=2009-06-08\nDay1=2009-06-09\n";

class Fault : public AppFixture {
protected:
    ~Fault() override {
        winapi::SetProfileFaultHook({});
        if (mounted) ::umount2(folder.c_str(), MNT_DETACH);
    }

    // Runs the checks as the user "nobody" in a child process when we are root (root
    // ignores permission bits), else here. Returns what failed, empty when nothing did.
    std::string AsUser(const std::function<std::string()>& checks) {
        if (::geteuid() != 0) return checks();
        int fds[2];
        if (::pipe(fds) != 0) return "pipe failed";
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(fds[0]);
            std::string failed =
                ::setgid(65534) == 0 && ::setuid(65534) == 0 ? checks() : "setuid failed";
            if (failed.empty()) failed = "ok";
            const bool sent = ::write(fds[1], failed.data(), failed.size()) ==
                              static_cast<ssize_t>(failed.size());
            ::_exit(sent ? 0 : 3);
        }
        ::close(fds[1]);
        std::string got;
        char buf[512];
        for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
            got.append(buf, static_cast<std::size_t>(n));
        ::close(fds[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "the child failed: " + got;
        return got == "ok" ? "" : got;
    }

    // Starts with the log as it is, lets a minute pass (one periodic save) and exits.
    // Returns what did not go as promised.
    std::string RunFailingSaves(const std::string& shownAtStart, const std::string& shownAfter) {
        std::string failed;
        auto check = [&](bool ok, const std::string& what) {
            if (!ok) failed += what + "; ";
        };
        Start();
        check(fmMain->lblTime->Caption() == shownAtStart,
              "shown at start: " + fmMain->lblTime->Caption());
        fake.Advance(60000);
        check(fake.MessageBoxes().size() == 1, "one box after the failed periodic save");
        check(LastBox() && LastBox()->text.find("\"" + LogFile() + "\"") != std::string::npos,
              "the box names the file: " + (LastBox() ? LastBox()->text : std::string("no box")));
        check(fmMain->lblTime->Caption() == shownAfter,
              "counting goes on: " + fmMain->lblTime->Caption());
        Stop();
        check(fake.MessageBoxes().size() == 2, "the failed save at exit is reported too");
        return failed;
    }

    bool mounted = false;
};

// A full file system: a small memory file system when this process may mount one,
// otherwise the same failure injected where the temporary file is written.
TEST_F(Fault, AFullFileSystemKeepsTheOldLogAndSavesOnceThereIsRoom) {
    mounted = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") == 0;
    WriteLog(kLog);
    const std::string filler = folder + "/filler";
    if (mounted) {
        std::ofstream out(filler, std::ios::binary);
        const std::string block(1024, 'f');
        while (out.write(block.data(), block.size()) && out.flush()) {
        }
    } else {
        winapi::SetProfileFaultHook(
            [](winapi::ProfileStep s) { return s == winapi::ProfileStep::WriteTemp ? ENOSPC : 0; });
    }
    RecordProperty("full_file_system", mounted ? "tmpfs" : "injected ENOSPC");
    Start();
    fake.Advance(60000);
    ASSERT_EQ(fake.MessageBoxes().size(), 1u);
    EXPECT_NE(LastBox()->text.find("\"" + LogFile() + "\""), std::string::npos) << LastBox()->text;
    EXPECT_NE(LastBox()->text.find("No space left on device"), std::string::npos)
        << LastBox()->text;
    EXPECT_EQ(ReadLog(), kLog);
    EXPECT_EQ(fmMain->lblTime->Caption(), "01:01:00");
    std::filesystem::remove(filler);
    winapi::SetProfileFaultHook({});
    fake.Advance(60000);
    EXPECT_EQ(fake.MessageBoxes().size(), 1u) << "a save that works again says nothing";
    EXPECT_EQ(ReadLog(), "[WorkTime]\n2009-06-08=77\n2009-06-09=3720\n[Days]\nCount=2\n"
                         "Day0=2009-06-08\nDay1=2009-06-09\n");
    Stop();
}

TEST_F(Fault, AReadOnlyFolderKeepsTheOldLog) {
    WriteLog(kLog);
    ASSERT_EQ(::chmod(LogFile().c_str(), 0666), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    EXPECT_EQ(AsUser([&] { return RunFailingSaves("01:00:00", "01:01:00"); }), "");
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    EXPECT_EQ(ReadLog(), kLog);
}

TEST_F(Fault, ALogTheUserCannotReadIsNeverReplaced) {
    WriteLog(kLog);
    ASSERT_EQ(::chmod(LogFile().c_str(), 0222), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    EXPECT_EQ(AsUser([&] { return RunFailingSaves("00:00:00", "00:01:00"); }), "");
    ASSERT_EQ(::chmod(LogFile().c_str(), 0644), 0);
    EXPECT_EQ(ReadLog(), kLog);
}

TEST_F(Fault, ADanglingLinkIsReportedAndLeftAsItIs) {
    ASSERT_EQ(::symlink("gone/riduduz.ini", LogFile().c_str()), 0);
    EXPECT_EQ(RunFailingSaves("00:00:00", "00:01:00"), "");
    EXPECT_TRUE(std::filesystem::is_symlink(LogFile()));
    EXPECT_FALSE(std::filesystem::exists(folder + "/gone"));
}

// A log that could not be read at start (a passing I/O error) reads as 0; the first save
// that works must not then replace the stored 3600 s with the 60 s counted since.
TEST_F(Fault, AReadFailureAtStartNeverLosesTheSavedTotal) {
    WriteLog(kLog);
    int failures = 2; // the total and the day count
    winapi::SetProfileFaultHook([&](winapi::ProfileStep s) {
        return s == winapi::ProfileStep::Read && failures-- > 0 ? EIO : 0;
    });
    Start();
    fake.Advance(60000);
    Stop();
    const auto stored = worklog::ReadValue(LogFile(), "WorkTime", "2009-06-09");
    ASSERT_TRUE(stored);
    EXPECT_GE(std::stoul(*stored), 3600u) << ReadLog();
}

} // namespace
