// Test helpers: a fresh folder per test, whole-file reads and writes, and running a check
// as an unprivileged user (root ignores permission bits).
#pragma once

#include "winapi/WinTypes.h"

#include <functional>
#include <optional>
#include <set>
#include <string>

namespace testutil {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // The names in the folder.
    std::set<std::string> Names() const;

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> ReadFile(const std::string& path);

// What a call returned and left as the last error, with some text it produced.
struct Outcome {
    long result = -1;
    DWORD error = 0;
    char text[64] = {};
};

// Runs `call` as the user "nobody" in a child process when we are root, else directly.
Outcome Unprivileged(const std::function<Outcome()>& call);

} // namespace testutil
