#include "XServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace e2e {

namespace detail {

namespace {
// Xvfb from $PATH, else where Debian puts it.
std::filesystem::path FindXvfb() {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        auto candidate = std::filesystem::path(dir.empty() ? "." : dir) / "Xvfb";
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "/usr/bin/Xvfb";
}
} // namespace

XvfbProcess::XvfbProcess(const XServerOptions& o) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        throw Error(std::string("cannot create a pipe for Xvfb: ") + std::strerror(errno));
    AppOptions ao;
    ao.args = {"-displayfd",
               std::to_string(fds[1]),
               "-screen",
               "0",
               std::to_string(o.width) + "x" + std::to_string(o.height) + "x" +
                   std::to_string(o.depth),
               "-nolisten",
               "tcp",
               "-noreset"};
    ao.args.insert(ao.args.end(), o.extra_args.begin(), o.extra_args.end());
    ao.keep_fds = {fds[1]};
    ao.unset_env = {"DISPLAY", "XAUTHORITY"};
    try {
        xvfb = std::make_unique<App>(FindXvfb(), ao);
    } catch (...) {
        close(fds[0]);
        close(fds[1]);
        throw;
    }
    close(fds[1]);

    // Xvfb writes the display number it picked, then a newline, once it accepts clients.
    std::string number;
    const auto deadline = Clock::now() + o.startup_timeout;
    while (number.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<Ms>(deadline - Clock::now()).count();
        pollfd p{fds[0], POLLIN, 0};
        int r = left > 0 ? poll(&p, 1, int(left)) : 0;
        if (r < 0 && errno == EINTR) continue;
        char buf[32];
        ssize_t n = r > 0 ? read(fds[0], buf, sizeof buf) : 0;
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            close(fds[0]);
            std::string why = r == 0
                                  ? "timed out after " + std::to_string(o.startup_timeout.count()) +
                                        " ms waiting for Xvfb to report its display"
                                  : "Xvfb ended before reporting its display";
            if (r == 0)
                xvfb->Kill();
            else
                xvfb->WaitExit(Ms(5000));
            throw Error(why + ": " + xvfb->Describe());
        }
        number.append(buf, std::size_t(n));
    }
    close(fds[0]);
    display = ":" + number.substr(0, number.find('\n'));
}

XvfbProcess::~XvfbProcess() {
    if (!xvfb) return;
    // A clean stop removes the server's lock file and socket; SIGKILL (the App destructor)
    // remains the fallback.
    xvfb->Signal(SIGTERM);
    try {
        xvfb->WaitExit(Ms(5000));
    } catch (const Error&) {
    }
}

} // namespace detail

XServer::XServer(XServerOptions options)
    : detail::XvfbProcess(options), Connection(detail::XvfbProcess::display) {}

XServer::~XServer() = default;

App XServer::Start(const std::filesystem::path& program, std::vector<std::string> args, Env env) {
    AppOptions o;
    o.args = std::move(args);
    o.env = std::move(env);
    return StartWith(program, std::move(o));
}

App XServer::StartWith(const std::filesystem::path& program, AppOptions options) {
    options.env["DISPLAY"] = DisplayName();
    options.unset_env.push_back("XAUTHORITY");
    return App(program, std::move(options));
}

} // namespace e2e
