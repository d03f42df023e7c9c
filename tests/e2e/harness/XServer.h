// A private, headless X server (Xvfb) for one test, connected and ready for queries and input.
//
// The constructor starts "Xvfb -displayfd <fd> -screen 0 WxHxD -nolisten tcp" (no
// authorization, its own display number chosen by the server), reads the display number
// from the descriptor and connects; it throws Error, with Xvfb's output, if any step fails.
// The destructor closes the connection and ends Xvfb (SIGTERM, then SIGKILL) and reaps it,
// whatever happened. Programs started with Start get DISPLAY pointing at this server.
#pragma once

#include "Connection.h"
#include "Process.h"

#include <memory>

namespace e2e {

struct XServerOptions {
    int width = 1280, height = 1024, depth = 24;
    std::vector<std::string> extra_args{}; // more Xvfb arguments
    Ms startup_timeout = Ms(15000);
};

namespace detail {
// Starts Xvfb before the Connection base is built and ends it after that base is gone.
class XvfbProcess {
public:
    explicit XvfbProcess(const XServerOptions& options);
    ~XvfbProcess();
    std::unique_ptr<App> xvfb;
    std::string display; // ":N"
};
} // namespace detail

class XServer : private detail::XvfbProcess, public Connection {
public:
    explicit XServer(XServerOptions options = {});
    ~XServer() override;

    pid_t XvfbPid() const { return xvfb->Pid(); }
    // Starts program with DISPLAY set to this server, plus env.
    App Start(const std::filesystem::path& program, std::vector<std::string> args = {},
              Env env = {});
    App StartWith(const std::filesystem::path& program, AppOptions options);
};

} // namespace e2e
