// GetModuleFileNameA for the program's own file.
#pragma once

#include "winapi/WinTypes.h"

#include <string>

// Copies the full path of the running program (a null module or HInstance()) into buf.
// Returns its length when it fits with its NUL. When it does not, copies size-1 characters
// and a NUL, returns size and sets ERROR_INSUFFICIENT_BUFFER (size 0: nothing is written).
// Any other module, or no way to learn the path, returns 0 with the errno as last error.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buf, DWORD size);

namespace winapi {

// Test hook: the program path GetModuleFileNameA reports. An empty string restores the real one.
void SetModuleFileNameOverride(std::string path);

} // namespace winapi
