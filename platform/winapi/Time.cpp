#include "winapi/Time.h"

#include <ctime>
#include <mutex>
#include <utility>

namespace {

std::mutex sourceMutex;
std::function<SYSTEMTIME()> source;

SYSTEMTIME FromClock() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    // tzset() picks up a TZ changed since the last call.
    ::tzset();
    std::tm local{};
    ::localtime_r(&now.tv_sec, &local);
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(local.tm_year + 1900);
    t.wMonth = static_cast<WORD>(local.tm_mon + 1);
    t.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    t.wDay = static_cast<WORD>(local.tm_mday);
    t.wHour = static_cast<WORD>(local.tm_hour);
    t.wMinute = static_cast<WORD>(local.tm_min);
    // A leap second shows as 59, as Windows never reports 60.
    t.wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);
    t.wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
    return t;
}

} // namespace

void GetLocalTime(SYSTEMTIME* time) {
    if (!time) return;
    std::function<SYSTEMTIME()> current;
    {
        const std::lock_guard lock(sourceMutex);
        current = source;
    }
    *time = current ? current() : FromClock();
}

namespace winapi {

void SetLocalTimeSource(std::function<SYSTEMTIME()> newSource) {
    const std::lock_guard lock(sourceMutex);
    source = std::move(newSource);
}

} // namespace winapi
