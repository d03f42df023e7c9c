// ShellExecuteA: hands a file or address to the desktop's default handler.
#pragma once

#include "winapi/WinTypes.h"

// Only the "open" verb (or a null verb, which means the same) is supported; parameters and
// directory must be null or empty. Returns a value greater than 32 when the request was
// handed over, as the classic call does, and 2 (file not found) or 31 (no association)
// otherwise.
HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        INT showCommand);
