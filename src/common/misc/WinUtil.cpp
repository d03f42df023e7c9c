#include "common/misc/WinUtil.h"

#include "crt/Crt.h"
#include "winapi/WinApi.h"

#include <cstdio>
#include <vector>

int GetModuleDir(HMODULE hModule, char* szDir, std::size_t nDirSize) {
    if (!szDir || nDirSize == 0) return 0;
    // The path may be longer than the classic limit; grow until it fits.
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameA(hModule, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return 0;
        if (n < path.size()) break;
        if (path.size() >= (1u << 20)) return 0;
        path.resize(path.size() * 2);
    }
    std::vector<char> drive(path.size()), dir(path.size());
    if (_splitpath_s(path.data(), drive.data(), drive.size(), dir.data(), dir.size(), nullptr, 0,
                     nullptr, 0) != 0)
        return 0;
    const int written = std::snprintf(nullptr, 0, "%s%s", drive.data(), dir.data());
    if (written < 0 || static_cast<std::size_t>(written) >= nDirSize) return 0;
    std::snprintf(szDir, nDirSize, "%s%s", drive.data(), dir.data());
    return 1;
}

int ShellOpen(const char* szFile) {
    if (!szFile || !*szFile) return 0;
    ShellExecuteA(nullptr, "open", szFile, "", "", SW_SHOW);
    return 1;
}
