// The work log's rules that do not need a window: where the file lives, today's key, and
// how a stored total is read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace worklog {

inline constexpr const char* kFileName = "riduduz.ini";
inline constexpr const char* kTimeSection = "WorkTime";
inline constexpr const char* kDaysSection = "Days";

// "2009-06-09" for the local date now.
std::string TodayKey();

// The log beside the program when that folder holds a writable log or lets one be created;
// otherwise $XDG_DATA_HOME/riduduz/riduduz.ini (~/.local/share when unset), whose folder is
// created. Empty when no place can be found at all.
std::string LogPath(const std::string& programFolder);

// A stored total: leading blanks, an optional sign, then decimal digits; anything after the
// digits is ignored. Negative values, values above 4294967295 and values that do not start
// with a digit read as 0.
std::uint32_t ParseTotal(const std::string& stored);

// The value stored under `key` in `section`, or nothing when there is no such key. When
// `unreadable` is given it tells whether "nothing" came from a file that exists but could not
// be read (the last error then says why).
std::optional<std::string> ReadValue(const std::string& file, const char* section,
                                     const std::string& key, bool* unreadable = nullptr);

} // namespace worklog
