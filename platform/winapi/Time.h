// GetLocalTime: the wall-clock time in the local time zone (TZ, else the system's zone).
#pragma once

#include "winapi/WinTypes.h"

#include <functional>

// Fills *time from the clock, to the millisecond. A null pointer is ignored.
void GetLocalTime(SYSTEMTIME* time);

namespace winapi {

// Test hook: GetLocalTime returns what `source` gives. An empty function restores the clock.
void SetLocalTimeSource(std::function<SYSTEMTIME()> source);

} // namespace winapi
