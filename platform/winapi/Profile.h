// The profile (INI file) calls: read a string or an integer, write or delete a value.
//
// The text rules are in IniText.h. Every call reads the file afresh; nothing is cached.
// A path is used as given (relative to the working folder); a symlink is followed to its
// target, and a dangling one fails with ENOENT.
//
// Writes are atomic and durable: the new text goes to a temporary file in the same folder
// (same permission bits), is synced, renamed over the old file, and the folder is synced.
// A crash leaves the old or the new file, at worst with a stray "<file>.tmp-*" beside it,
// which the next write removes.
// A write that changes nothing leaves the file alone. Reads and writes of one file are
// serialised between threads and processes by flock() on "<file>.lock" beside it, which a
// write creates and which is left in place; a read takes a shared lock when it exists.
// An existing file that cannot be read is never replaced.
//
// Failures return the default or FALSE and leave the errno of the cause as the last error
// (EINVAL for unusable arguments, EISDIR for a folder); a found value leaves 0 and a
// missing file, section or key leaves ENOENT.
#pragma once

#include "winapi/WinTypes.h"

#include <functional>

// The value as an integer (see winapi::ini::ParseInt), or `def` when the file, section or
// key is missing or cannot be read. A null section or key gives `def`.
UINT GetPrivateProfileIntA(LPCSTR app, LPCSTR key, INT def, LPCSTR file);

// Copies the value (or `def`, null meaning "" and trailing spaces removed, when it is
// missing) into buf with a NUL and returns the number of characters copied. When it does
// not fit, copies size-1 characters and returns size-1, last error ERROR_MORE_DATA (a cut
// default keeps ENOENT); when size is 0 nothing is written. Listing keys or sections (null key or
// section) is not supported: it gives the default with EINVAL.
DWORD GetPrivateProfileStringA(LPCSTR app, LPCSTR key, LPCSTR def, LPSTR buf, DWORD size,
                               LPCSTR file);

// Sets key=value in section app, creating the file (its folder must exist) and the section
// as needed. A null value deletes the key; a null key deletes the section. Deleting from a
// missing file succeeds without creating it.
BOOL WritePrivateProfileStringA(LPCSTR app, LPCSTR key, LPCSTR value, LPCSTR file);

namespace winapi {

// The steps of a profile read or write, for failure injection in tests.
enum class ProfileStep { Read, CreateTemp, WriteTemp, SyncTemp, Rename, SyncFolder };

// Test hook: called before each step; a nonzero return makes that step fail with that
// errno. An empty function removes the hook.
void SetProfileFaultHook(std::function<int(ProfileStep)> hook);

} // namespace winapi
