#include "Process.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace e2e {

namespace fs = std::filesystem;

namespace detail {
std::string TimeoutMessage(Ms timeout, const std::string& what, const std::string& seen) {
    std::string msg =
        "timed out after " + std::to_string(timeout.count()) + " ms waiting for " + what;
    if (!seen.empty()) msg += "; " + seen;
    return msg;
}
} // namespace detail

namespace {

bool KeepFiles() {
    const char* keep = std::getenv("E2E_KEEP");
    return keep && *keep && std::string(keep) != "0";
}

fs::path MakeTempDir(const std::string& prefix) {
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
    if (!mkdtemp(templ.data()))
        throw Error("cannot create a temp folder " + templ + ": " + std::strerror(errno));
    return templ;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

ExitStatus FromSiginfo(const siginfo_t& info) {
    if (info.si_code == CLD_EXITED) return ExitStatus::Exited(info.si_status);
    return ExitStatus::Killed(info.si_status);
}

} // namespace

std::string ExitStatus::ToString() const {
    if (exited) return "exit code " + std::to_string(code);
    return "killed by signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
}

std::ostream& operator<<(std::ostream& os, const ExitStatus& s) {
    return os << s.ToString();
}

std::string Tail(const std::string& text, std::size_t max_chars) {
    if (text.size() <= max_chars) return text;
    return "..." + text.substr(text.size() - max_chars);
}

App::App(fs::path program, AppOptions options) : program_(std::move(program)) {
    if (options.output_dir.empty()) {
        out_dir_ = MakeTempDir("e2e-app");
        own_out_dir_ = true;
    } else {
        out_dir_ = options.output_dir;
        fs::create_directories(out_dir_);
    }

    // Everything the child needs is prepared here: between fork and exec only
    // async-signal-safe calls are allowed.
    std::vector<std::string> argv_s{program_.string()};
    argv_s.insert(argv_s.end(), options.args.begin(), options.args.end());
    std::vector<char*> argv;
    for (auto& a : argv_s)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    Env env;
    if (options.inherit_env) {
        for (char** e = environ; *e; ++e) {
            std::string kv = *e;
            auto eq = kv.find('=');
            if (eq != std::string::npos) env[kv.substr(0, eq)] = kv.substr(eq + 1);
        }
    }
    for (const auto& name : options.unset_env)
        env.erase(name);
    for (const auto& [k, v] : options.env)
        env[k] = v;
    std::vector<std::string> envp_s;
    for (const auto& [k, v] : env)
        envp_s.push_back(k + "=" + v);
    std::vector<char*> envp;
    for (auto& e : envp_s)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const std::string cwd = options.cwd.string();
    const std::string out_path = StdoutPath().string(), err_path = StderrPath().string();
    int out_fd = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int err_fd = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    int null_fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    int report[2] = {-1, -1}; // the child writes errno here if exec fails
    if (out_fd < 0 || err_fd < 0 || null_fd < 0 || pipe2(report, O_CLOEXEC) != 0) {
        int e = errno;
        for (int fd : {out_fd, err_fd, null_fd})
            if (fd >= 0) close(fd);
        throw Error("cannot prepare output files in " + out_dir_.string() + ": " +
                    std::strerror(e));
    }
    const pid_t parent = getpid();

    pid_t pid = fork();
    if (pid == 0) {
        auto fail = [&](int e) {
            [[maybe_unused]] auto n = write(report[1], &e, sizeof e);
            _exit(127);
        };
        setpgid(0, 0);
        // Dies with the test process even if that is killed before it can clean up.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        if (dup2(null_fd, 0) < 0 || dup2(out_fd, 1) < 0 || dup2(err_fd, 2) < 0) fail(errno);
        // Descriptors the test process left open do not leak into the program.
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        for (int fd : options.keep_fds) {
            int flags = fcntl(fd, F_GETFD);
            if (flags < 0 || fcntl(fd, F_SETFD, flags & ~FD_CLOEXEC) < 0) fail(errno);
        }
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) fail(errno);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execve(argv[0], argv.data(), envp.data());
        fail(errno);
    }
    int fork_errno = errno;
    close(report[1]);
    close(out_fd);
    close(err_fd);
    close(null_fd);
    if (pid < 0) {
        close(report[0]);
        throw Error("cannot fork for " + program_.string() + ": " + std::strerror(fork_errno));
    }
    pid_ = pid;
    // Also set from here, so the group exists before the child gets to run.
    setpgid(pid_, pid_);

    int child_errno = 0;
    ssize_t n;
    do {
        n = read(report[0], &child_errno, sizeof child_errno);
    } while (n < 0 && errno == EINTR);
    close(report[0]);
    if (n == sizeof child_errno) {
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
        if (own_out_dir_ && !KeepFiles()) fs::remove_all(out_dir_);
        throw Error("cannot start " + program_.string() + (cwd.empty() ? "" : " in " + cwd) + ": " +
                    std::strerror(child_errno));
    }
}

App::App(App&& other) noexcept
    : program_(std::move(other.program_)), out_dir_(std::move(other.out_dir_)),
      own_out_dir_(other.own_out_dir_), pid_(other.pid_), status_(other.status_) {
    other.pid_ = -1;
    other.own_out_dir_ = false;
}

App::~App() {
    if (pid_ > 0) {
        // The unreaped leader keeps the group id reserved, so this reaches only our group.
        kill(-pid_, SIGKILL);
        kill(pid_, SIGKILL);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    if (own_out_dir_ && !KeepFiles()) {
        std::error_code ec;
        fs::remove_all(out_dir_, ec);
    }
}

std::optional<ExitStatus> App::Finished() const {
    if (status_ || pid_ <= 0) return status_;
    siginfo_t info{};
    // WNOWAIT leaves the zombie in place; the destructor reaps it.
    if (waitid(P_PID, pid_t(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid_)
        status_ = FromSiginfo(info);
    return status_;
}

bool App::Running() const {
    return !Finished();
}

ExitStatus App::WaitExit(Ms timeout) const {
    return e2e::WaitUntil([&] { return Finished(); }, timeout,
                          "the exit of " + program_.filename().string(),
                          [&] { return Describe(); });
}

void App::Signal(int sig) const {
    if (Running()) kill(pid_, sig);
}

ExitStatus App::Kill() const {
    if (Running()) {
        kill(-pid_, SIGKILL);
        kill(pid_, SIGKILL);
    }
    return WaitExit(Ms(10000));
}

std::string App::Stdout() const {
    return ReadFile(StdoutPath());
}
std::string App::Stderr() const {
    return ReadFile(StderrPath());
}

void App::WaitForStdout(const std::string& text, Ms timeout) const {
    e2e::WaitUntil([&] { return Stdout().find(text) != std::string::npos; }, timeout,
                   "\"" + text + "\" on the stdout of " + program_.filename().string(),
                   [&] { return "stdout so far: \"" + Tail(Stdout()) + "\"; " + Describe(); });
}

std::string App::Describe() const {
    std::string d = program_.string() + " (pid " + std::to_string(pid_) + "): ";
    auto st = Finished();
    d += st ? st->ToString() : "running";
    std::string err = Tail(Stderr(), 1500);
    if (!err.empty()) d += "; stderr: \"" + err + "\"";
    return d;
}

TempDir::TempDir(const std::string& prefix) : path_(MakeTempDir(prefix)) {}

TempDir::~TempDir() {
    if (KeepFiles()) return;
    std::error_code ec;
    fs::remove_all(path_, ec);
}

} // namespace e2e
