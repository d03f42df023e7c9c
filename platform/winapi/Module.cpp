#include "winapi/Module.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

std::mutex overrideMutex;
std::string overridePath;

// 0 and the path in `out`, or an errno.
int ProgramPath(std::string& out) {
    {
        const std::lock_guard lock(overrideMutex);
        if (!overridePath.empty()) {
            out = overridePath;
            return 0;
        }
    }
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) < buffer.size()) {
            out.assign(buffer.data(), static_cast<std::size_t>(n));
            return 0;
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

DWORD GetModuleFileNameA(HMODULE module, LPSTR buf, DWORD size) {
    if ((module && module != HInstance()) || (!buf && size > 0)) {
        SetLastError(EINVAL);
        return 0;
    }
    std::string path;
    if (const int err = ProgramPath(path)) {
        SetLastError(static_cast<DWORD>(err));
        return 0;
    }
    if (path.size() < size) {
        std::memcpy(buf, path.c_str(), path.size() + 1);
        SetLastError(ERROR_SUCCESS);
        return static_cast<DWORD>(path.size());
    }
    if (size > 0) {
        std::memcpy(buf, path.data(), size - 1);
        buf[size - 1] = '\0';
    }
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

namespace winapi {

void SetModuleFileNameOverride(std::string path) {
    const std::lock_guard lock(overrideMutex);
    overridePath = std::move(path);
}

} // namespace winapi
