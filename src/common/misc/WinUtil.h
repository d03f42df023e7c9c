// Small helpers over the operating system. They return 1 for done and 0 for not done.
#pragma once

#include "winapi/WinTypes.h"

#include <cstddef>

// Writes the folder of hModule's file, ending with '/', into szDir (a buffer of nDirSize
// bytes). Returns 0, writing nothing past the buffer, when szDir is null or the folder
// does not fit.
int GetModuleDir(HMODULE hModule, char* szDir, std::size_t nDirSize);

// Hands a file or address to the desktop's default handler. Returns 0 when szFile is null
// or empty, 1 otherwise (whatever the handler then does).
int ShellOpen(const char* szFile);
