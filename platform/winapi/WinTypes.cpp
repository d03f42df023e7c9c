#include "winapi/WinTypes.h"

#include <cstring>

struct HINSTANCE__ {
    char unused;
};

namespace {
thread_local DWORD lastError = 0;
HINSTANCE__ programInstance{};
} // namespace

DWORD GetLastError() {
    return lastError;
}
void SetLastError(DWORD code) {
    lastError = code;
}

HINSTANCE HInstance() {
    return &programInstance;
}

namespace winapi {

std::string ErrorText(DWORD code) {
    if (code == ERROR_MORE_DATA) return "More data is available";
    char buffer[256];
    // The GNU strerror_r returns its text, which may or may not live in `buffer`.
    return strerror_r(static_cast<int>(code), buffer, sizeof buffer);
}

} // namespace winapi
