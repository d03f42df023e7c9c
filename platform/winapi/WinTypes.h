// The Windows types and constants the program uses, and the calling thread's last error.
//
// Sizes follow Windows where the program depends on them (DWORD and LONG are 32 bits).
// Handles are opaque pointers. The last error holds an errno value, except for the few
// ERROR_* codes below that the truncating calls set; ErrorText() turns either into words.
#pragma once

#include <cstdint>
#include <string>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = std::int32_t;
using BOOL = int;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

using HANDLE = void*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
struct HWND__;
using HWND = HWND__*;

struct POINT {
    LONG x;
    LONG y;
};

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;     // 1-12
    WORD wDayOfWeek; // 0 = Sunday
    WORD wDay;       // 1-31
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

inline constexpr int MAX_PATH = 260;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr UINT MB_OK = 0x00;
inline constexpr UINT MB_OKCANCEL = 0x01;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr int SW_SHOW = 5;

inline constexpr DWORD ERROR_SUCCESS = 0;
// The caller's buffer was too small (GetModuleFileNameA). Shares its number with EDQUOT.
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
// The value was cut to fit the buffer (GetPrivateProfileStringA). No errno has this number.
inline constexpr DWORD ERROR_MORE_DATA = 234;

DWORD GetLastError();
void SetLastError(DWORD code);

// The program's own module handle: never null, and accepted by GetModuleFileNameA.
HINSTANCE HInstance();

namespace winapi {

// The system's description of a last-error value, e.g. "No such file or directory".
std::string ErrorText(DWORD code);

} // namespace winapi
