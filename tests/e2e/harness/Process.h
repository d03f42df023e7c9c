// Child processes owned by a test, and scratch folders.
//
// App starts a program in a process group of its own, with its standard output and error
// written to files, and guarantees that the whole group is killed (SIGKILL) and the child
// reaped when the App is destroyed, whatever happened in the test. WaitExit observes the exit
// without reaping, so the process id (and with it the group id) cannot be reused by an
// unrelated process before the destructor has killed what is left of the group.
// TempDir is a fresh folder that is removed with its contents on destruction.
// Setting E2E_KEEP=1 in the environment keeps both the output files and temp folders.
#pragma once

#include "Wait.h"

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace e2e {

// How a process ended: exited with a code, or was killed by a signal.
struct ExitStatus {
    bool exited = true;
    int code = 0;   // exit code when exited
    int signal = 0; // terminating signal when !exited

    static ExitStatus Exited(int code) { return {true, code, 0}; }
    static ExitStatus Killed(int signal) { return {false, 0, signal}; }
    bool Ok() const { return exited && code == 0; }
    std::string ToString() const; // "exit code 3", "killed by signal 15 (Terminated)"
    bool operator==(const ExitStatus&) const = default;
};
std::ostream& operator<<(std::ostream& os, const ExitStatus& s);

using Env = std::map<std::string, std::string>;

struct AppOptions {
    std::vector<std::string> args{}; // arguments after the program name
    Env env{};                       // variables to add or override
    std::vector<std::string> unset_env{};
    bool inherit_env = true;            // start from this process's environment
    std::filesystem::path cwd{};        // working folder; empty keeps the current one
    std::filesystem::path output_dir{}; // stdout.txt/stderr.txt go here; empty: a new temp dir
    std::vector<int> keep_fds{};        // descriptors the child inherits (others are closed)
};

class App {
public:
    // Starts program (a path; no PATH search). Throws Error if it cannot be executed.
    explicit App(std::filesystem::path program, AppOptions options = {});
    App(App&& other) noexcept;
    App& operator=(App&&) = delete;
    App(const App&) = delete;
    ~App();

    pid_t Pid() const { return pid_; }
    const std::filesystem::path& Program() const { return program_; }
    bool Running() const;
    // The exit status once the process has ended; nullopt while it runs.
    std::optional<ExitStatus> Finished() const;
    // Waits for the process to end. Throws TimeoutError (with the stderr tail) on timeout.
    ExitStatus WaitExit(Ms timeout) const;
    // Sends sig to the process (not its group). Ignored once it has ended.
    void Signal(int sig) const;
    // Sends SIGKILL to the whole group and waits for the process to end.
    ExitStatus Kill() const;

    std::string Stdout() const;
    std::string Stderr() const;
    std::filesystem::path StdoutPath() const { return out_dir_ / "stdout.txt"; }
    std::filesystem::path StderrPath() const { return out_dir_ / "stderr.txt"; }
    // Waits until stdout contains text; the error shows what stdout holds so far.
    void WaitForStdout(const std::string& text, Ms timeout) const;
    // "program (pid 123): running" or "...: exit code 1; stderr: ..." for failure messages.
    std::string Describe() const;

private:
    std::filesystem::path program_;
    std::filesystem::path out_dir_;
    bool own_out_dir_ = false;
    pid_t pid_ = -1;
    mutable std::optional<ExitStatus> status_;
};

// A fresh folder under $TMPDIR (or /tmp), removed recursively on destruction.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "e2e");
    TempDir(const TempDir&) = delete;
    ~TempDir();
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// The last lines of a text (at most max_chars), for error messages.
std::string Tail(const std::string& text, std::size_t max_chars = 2000);

} // namespace e2e
