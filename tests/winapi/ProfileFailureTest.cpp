#include "TempDir.h"
#include "winapi/Profile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <set>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testutil::Outcome;
using testutil::ReadFile;
using testutil::TempDir;
using testutil::Unprivileged;
using testutil::WriteFile;
using winapi::ProfileStep;

namespace {

const std::string kOld = "[s]\r\nk=old\r\n;keep me\r\n";

class ProfileFailure : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(file, kOld); }
    void TearDown() override { winapi::SetProfileFaultHook({}); }

    TempDir dir;
    const std::string file = dir / "p.ini";
};

TEST_F(ProfileFailure, UnusablePathsFailCleanly) {
    ASSERT_EQ(::mkdir((dir / "folder.ini").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("nowhere.ini", (dir / "dangling.ini").c_str()), 0);
    const struct {
        std::string path;
        DWORD error;
    } cases[] = {
        {dir / "no-such-folder/p.ini", ENOENT},
        {dir / "folder.ini", EISDIR},
        {dir / "dangling.ini", ENOENT},
        {dir / "p.ini/below-a-file.ini", ENOTDIR},
        {"", ENOENT},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(WritePrivateProfileStringA("s", "k", "v", c.path.c_str()), FALSE) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
        EXPECT_EQ(GetPrivateProfileIntA("s", "k", 5, c.path.c_str()), 5u) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
    }
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"p.ini", "folder.ini", "dangling.ini"}));
    EXPECT_TRUE(std::filesystem::is_empty(dir / "folder.ini"));
}

TEST_F(ProfileFailure, ArgumentsThatCannotBeWrittenAreRefused) {
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {nullptr, "k", "v"}, {"s", "k", "two\nlines"}, {"s", "k", "cr\r"}, {"s]", "k", "v"},
        {"s", "k=", "v"},    {"s", ";k", "v"},         {"s", "[k", "v"},   {"s\n", "k", "v"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, c.value, file.c_str()), FALSE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(EINVAL));
    }
    EXPECT_EQ(WritePrivateProfileStringA("s", "k", "v", nullptr), FALSE);
    EXPECT_EQ(ReadFile(file), kOld);
}

TEST_F(ProfileFailure, UnreadableFileIsNeverReplaced) {
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0222), 0);
    const Outcome write = Unprivileged([&] {
        Outcome o;
        o.result = WritePrivateProfileStringA("s", "k", "new", file.c_str());
        o.error = GetLastError();
        return o;
    });
    EXPECT_EQ(write.result, FALSE);
    EXPECT_EQ(write.error, static_cast<DWORD>(EACCES));
    const Outcome read = Unprivileged([&] {
        Outcome o;
        o.result = GetPrivateProfileStringA("s", "k", "def", o.text, sizeof o.text, file.c_str());
        o.error = GetLastError();
        return o;
    });
    EXPECT_STREQ(read.text, "def");
    EXPECT_EQ(read.error, static_cast<DWORD>(EACCES));
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    EXPECT_EQ(ReadFile(file), kOld);
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"p.ini", "p.ini.lock"}));
}

TEST_F(ProfileFailure, ReadOnlyFolderRefusesTheWriteButAllowsReading) {
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
    for (const bool lockExists : {false, true}) {
        if (lockExists) {
            WriteFile(file + ".lock", "");
            ASSERT_EQ(::chmod((file + ".lock").c_str(), 0666), 0);
        }
        ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
        const Outcome write = Unprivileged([&] {
            Outcome o;
            o.result = WritePrivateProfileStringA("s", "k", "new", file.c_str());
            o.error = GetLastError();
            GetPrivateProfileStringA("s", "k", "", o.text, sizeof o.text, file.c_str());
            return o;
        });
        ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
        EXPECT_EQ(write.result, FALSE) << lockExists;
        EXPECT_EQ(write.error, static_cast<DWORD>(EACCES)) << lockExists;
        EXPECT_STREQ(write.text, "old") << lockExists;
        EXPECT_EQ(ReadFile(file), kOld);
    }
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"p.ini", "p.ini.lock"}));
}

TEST_F(ProfileFailure, FailedStepsLeaveTheOldFileAndNoTemporary) {
    for (const ProfileStep step :
         {ProfileStep::Read, ProfileStep::CreateTemp, ProfileStep::WriteTemp, ProfileStep::SyncTemp,
          ProfileStep::Rename}) {
        winapi::SetProfileFaultHook([step](ProfileStep now) { return now == step ? EIO : 0; });
        EXPECT_EQ(WritePrivateProfileStringA("s", "k", "new", file.c_str()), FALSE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(EIO));
        winapi::SetProfileFaultHook({});
        EXPECT_EQ(ReadFile(file), kOld) << static_cast<int>(step);
        EXPECT_EQ(dir.Names(), (std::set<std::string>{"p.ini", "p.ini.lock"}));
    }
    // A failure to sync the folder comes after the new file is in place; it is reported.
    winapi::SetProfileFaultHook(
        [](ProfileStep now) { return now == ProfileStep::SyncFolder ? EIO : 0; });
    EXPECT_EQ(WritePrivateProfileStringA("s", "k", "new", file.c_str()), FALSE);
    EXPECT_EQ(ReadFile(file), "[s]\r\nk=new\r\n;keep me\r\n");
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"p.ini", "p.ini.lock"}));
}

TEST_F(ProfileFailure, KillAtAnyStepLeavesOldOrNewFile) {
    const std::string fresh = "[s]\r\nk=new\r\n;keep me\r\n";
    const struct {
        ProfileStep step;
        const std::string& want;
    } cases[] = {
        {ProfileStep::CreateTemp, kOld},  {ProfileStep::WriteTemp, kOld},
        {ProfileStep::SyncTemp, kOld},    {ProfileStep::Rename, kOld},
        {ProfileStep::SyncFolder, fresh},
    };
    for (const auto& c : cases) {
        WriteFile(file, kOld);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const ProfileStep step = c.step;
            winapi::SetProfileFaultHook([step](ProfileStep now) {
                if (now == step) ::raise(SIGKILL);
                return 0;
            });
            WritePrivateProfileStringA("s", "k", "new", file.c_str());
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status)) << static_cast<int>(c.step);
        EXPECT_EQ(ReadFile(file), c.want) << static_cast<int>(c.step);
        // A later write still works (the kernel released the dead writer's lock) and
        // removes the temporary file it left.
        EXPECT_EQ(WritePrivateProfileStringA("s", "later", "1", file.c_str()), TRUE);
        EXPECT_EQ(dir.Names(), (std::set<std::string>{"p.ini", "p.ini.lock"}));
    }
}

} // namespace
