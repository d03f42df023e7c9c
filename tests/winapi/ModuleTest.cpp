#include "winapi/Module.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include <sys/stat.h>

namespace {

class ModuleFileName : public ::testing::Test {
protected:
    void TearDown() override { winapi::SetModuleFileNameOverride(""); }
};

TEST_F(ModuleFileName, RealPathIsThisProgram) {
    char buffer[4096];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(std::string(buffer).size(), n);
    EXPECT_EQ(buffer[0], '/');
    struct stat reported, self;
    ASSERT_EQ(::stat(buffer, &reported), 0);
    ASSERT_EQ(::stat("/proc/self/exe", &self), 0);
    EXPECT_EQ(reported.st_ino, self.st_ino);
    EXPECT_EQ(GetModuleFileNameA(HInstance(), buffer, sizeof buffer), n);
}

TEST_F(ModuleFileName, TruncatesLikeWindows) {
    winapi::SetModuleFileNameOverride("/opt/app/run"); // 12 characters
    const struct {
        DWORD size;
        DWORD want;
        const char* text;
        DWORD error;
    } cases[] = {
        {64, 12, "/opt/app/run", ERROR_SUCCESS},
        {13, 12, "/opt/app/run", ERROR_SUCCESS},
        {12, 12, "/opt/app/ru", ERROR_INSUFFICIENT_BUFFER},
        {2, 2, "/", ERROR_INSUFFICIENT_BUFFER},
        {1, 1, "", ERROR_INSUFFICIENT_BUFFER},
    };
    for (const auto& c : cases) {
        char buffer[65];
        std::string(64, '#').copy(buffer, 64);
        buffer[64] = '\0';
        EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, c.size), c.want) << c.size;
        EXPECT_STREQ(buffer, c.text) << c.size;
        EXPECT_EQ(buffer[c.size], c.size < 64 ? '#' : '\0') << "wrote past size " << c.size;
        EXPECT_EQ(GetLastError(), c.error) << c.size;
    }
    char untouched[2] = "x";
    EXPECT_EQ(GetModuleFileNameA(nullptr, untouched, 0), 0u);
    EXPECT_STREQ(untouched, "x");
}

TEST_F(ModuleFileName, LongPathsAndOtherModules) {
    const std::string path = "/" + std::string(5000, 'd') + "/prog";
    winapi::SetModuleFileNameOverride(path);
    std::string buffer(path.size() + 1, '\0');
    EXPECT_EQ(GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size())),
              path.size());
    EXPECT_EQ(buffer.c_str(), path);

    int other = 0;
    EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(&other), buffer.data(), 10), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EINVAL));
}

} // namespace
