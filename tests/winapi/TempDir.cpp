#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testutil {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/riduduz-test-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Give back write permission so that an unprivileged run can clean up too.
    for (const auto& entry : fs::recursive_directory_iterator(path_, ec))
        if (entry.is_directory(ec))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::set<std::string> TempDir::Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
        names.insert(entry.path().filename());
    return names;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

Outcome Unprivileged(const std::function<Outcome()>& call) {
    if (::geteuid() != 0) return call();
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        const Outcome outcome = call();
        const bool sent = ::write(pipeFds[1], &outcome, sizeof outcome) == sizeof outcome;
        ::_exit(sent ? 0 : 3);
    }
    ::close(pipeFds[1]);
    Outcome outcome;
    const bool got = ::read(pipeFds[0], &outcome, sizeof outcome) == sizeof outcome;
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(got && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "unprivileged child failed";
    return outcome;
}

} // namespace testutil
