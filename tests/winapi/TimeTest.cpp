#include "winapi/Time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

// Restores TZ and the clock after each test.
class LocalTime : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        hadTz_ = tz != nullptr;
        if (tz) savedTz_ = tz;
    }
    void TearDown() override {
        winapi::SetLocalTimeSource({});
        if (hadTz_)
            ::setenv("TZ", savedTz_.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    bool hadTz_ = false;
    std::string savedTz_;
};

// Seconds since the epoch that `t` names, read as UTC.
std::time_t AsUtc(const SYSTEMTIME& t) {
    std::tm tm{};
    tm.tm_year = t.wYear - 1900;
    tm.tm_mon = t.wMonth - 1;
    tm.tm_mday = t.wDay;
    tm.tm_hour = t.wHour;
    tm.tm_min = t.wMinute;
    tm.tm_sec = t.wSecond;
    return ::timegm(&tm);
}

TEST_F(LocalTime, FollowsTheClockInTheLocalZone) {
    // "UTC+5" in POSIX spelling; the second zone has no daylight saving to blur the check.
    for (const auto& [tz, offset] : {std::pair{"UTC0", 0}, std::pair{"XYZ-5", 5 * 3600}}) {
        ::setenv("TZ", tz, 1);
        const std::time_t before = std::time(nullptr);
        SYSTEMTIME t{};
        GetLocalTime(&t);
        const std::time_t after = std::time(nullptr);
        const std::time_t local = AsUtc(t) - offset;
        EXPECT_GE(local, before) << tz;
        EXPECT_LE(local, after) << tz;
        EXPECT_LT(t.wMilliseconds, 1000) << tz;
        std::tm check{};
        const std::time_t shifted = local + offset;
        ::gmtime_r(&shifted, &check);
        EXPECT_EQ(t.wDayOfWeek, check.tm_wday) << tz;
    }
}

TEST_F(LocalTime, SourceCanBeReplacedAndRestored) {
    const SYSTEMTIME fixed{2001, 2, 6, 3, 4, 5, 6, 7};
    winapi::SetLocalTimeSource([&] { return fixed; });
    SYSTEMTIME t{};
    GetLocalTime(&t);
    EXPECT_EQ(t.wYear, 2001);
    EXPECT_EQ(t.wDay, 3);
    EXPECT_EQ(t.wMilliseconds, 7);
    GetLocalTime(nullptr);

    winapi::SetLocalTimeSource({});
    GetLocalTime(&t);
    EXPECT_GE(t.wYear, 2024);
}

} // namespace
