#include "WorkLog.h"

#include "winapi/WinApi.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace worklog {
namespace {

bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates `path` and its missing parents with mode 0700.
bool MakeFolders(const std::string& path) {
    if (path.empty() || IsFolder(path)) return !path.empty();
    const auto slash = path.find_last_of('/', path.size() - 2);
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash)))
        return false;
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

bool UsableBeside(const std::string& folder) {
    const std::string file = folder + kFileName;
    if (access(file.c_str(), F_OK) == 0) return access(file.c_str(), W_OK) == 0;
    return !folder.empty() && access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace

std::string TodayKey() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    char key[32];
    std::snprintf(key, sizeof key, "%04d-%02d-%02d", t.wYear, t.wMonth, t.wDay);
    return key;
}

std::string LogPath(const std::string& programFolder) {
    if (UsableBeside(programFolder)) return programFolder + kFileName;
    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
        base = std::string(home) + "/.local/share";
    } else {
        return {};
    }
    const std::string folder = base + "/riduduz";
    MakeFolders(folder);
    return folder + "/" + kFileName;
}

std::uint32_t ParseTotal(const std::string& stored) {
    std::size_t i = 0;
    while (i < stored.size() && (stored[i] == ' ' || stored[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < stored.size() && (stored[i] == '+' || stored[i] == '-')) negative = stored[i++] == '-';
    if (i >= stored.size() || stored[i] < '0' || stored[i] > '9') return 0;
    std::uint64_t value = 0;
    for (; i < stored.size() && stored[i] >= '0' && stored[i] <= '9'; ++i) {
        value = value * 10 + static_cast<unsigned>(stored[i] - '0');
        if (value > 0xFFFFFFFFull) return 0;
    }
    if (negative && value != 0) return 0;
    return static_cast<std::uint32_t>(value);
}

std::optional<std::string> ReadValue(const std::string& file, const char* section,
                                     const std::string& key, bool* unreadable) {
    if (unreadable) *unreadable = false;
    // A default no stored value can equal tells a missing key from an empty one.
    static const char kMissing[] = "\x01riduduz-missing\x01";
    std::vector<char> buffer(256);
    for (;;) {
        const DWORD n = GetPrivateProfileStringA(section, key.c_str(), kMissing, buffer.data(),
                                                 static_cast<DWORD>(buffer.size()), file.c_str());
        if (n + 1 < buffer.size() || buffer.size() >= (1u << 20)) {
            const std::string value(buffer.data(), n);
            if (value != kMissing) return value;
            const DWORD error = GetLastError();
            if (unreadable) *unreadable = error != ERROR_SUCCESS && error != ENOENT;
            return std::nullopt;
        }
        buffer.resize(buffer.size() * 4);
    }
}

} // namespace worklog
