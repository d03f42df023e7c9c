// The FLTK backend: FLTK's loop with timers, posted tasks and signals fed into it through
// FLTK timeouts and two self-pipes, plus the desktop services (opener, screen, fonts).
#include "backend/fltk/Fonts.h"
#include "backend/fltk/Helpers.h"
#include "backend/fltk/Internal.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/extensions/shape.h>
// X11 defines None as a macro; the backend's enums have members of that name.
#undef None

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace backend::fltk {

namespace {

struct TimerRec {
    TimerId id = 0;
    Clock::duration interval{};
    Clock::time_point due;
    std::function<void()> tick;
    bool stopped = false;
};

void MakePipe(int fds[2]) {
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("riduduz: pipe");
        std::abort();
    }
}

// Reads whatever is in a non-blocking pipe; true if anything was.
bool DrainPipe(int fd) {
    char buf[256];
    bool any = false;
    while (true) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0) {
            any = true;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return any;
    }
}

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const int saved = errno;
    const char byte = 's';
    [[maybe_unused]] ssize_t n = write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

class FltkBackend final : public Backend {
public:
    FltkBackend() {
        MakePipe(wake_);
        MakePipe(g_signalPipe);
        Fl::add_fd(wake_[0], FL_READ, &FltkBackend::OnWake, this);
        Fl::add_fd(g_signalPipe[0], FL_READ, &FltkBackend::OnSignalPipe, this);
    }

    std::unique_ptr<Window> CreateWindow(const WindowSpec& spec, WindowEvents& events) override {
        EnsureDisplay();
        return MakeWindow(spec, events);
    }

    TimerId StartTimer(int intervalMs, std::function<void()> tick) override {
        auto rec = std::make_shared<TimerRec>();
        rec->id = nextTimer_++;
        rec->interval = std::chrono::milliseconds(std::max(1, intervalMs));
        rec->due = Clock::now() + rec->interval;
        rec->tick = std::move(tick);
        timers_[rec->id] = rec;
        Arm(*rec);
        return rec->id;
    }

    void StopTimer(TimerId id) override {
        auto it = timers_.find(id);
        if (it == timers_.end()) return;
        it->second->stopped = true;
        Fl::remove_timeout(&FltkBackend::OnTimer, Arg(id));
        timers_.erase(it);
    }

    void Post(std::function<void()> task) override {
        posted_.push_back(std::move(task));
        Wake();
    }

    void RunUntil(const std::function<bool()>& done) override {
        loops_.push_back(&done);
        // Fl::wait() without an argument returns at once when no window is shown.
        while (!done())
            Fl::wait(1e20);
        loops_.pop_back();
    }

    // FLTK runs timeouts and then waits again without returning: a tick that ended the
    // innermost loop wakes it, any other tick lets the process sleep on.
    bool InnermostLoopDone() const { return !loops_.empty() && (*loops_.back())(); }

    DialogAnswer MessageBox(Window* owner, const std::string& text, const std::string& caption,
                            DialogButtons buttons, DialogIcon icon) override {
        try {
            EnsureDisplay();
        } catch (const std::runtime_error&) {
            // Nowhere to show it: the terminal is the last place left.
            if (!text.empty()) std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
            return buttons == DialogButtons::Ok ? DialogAnswer::Ok : DialogAnswer::Cancel;
        }
        return RunMessageBox(*this, owner, text, caption, buttons, icon);
    }

    void CancelDialogs() override { CancelMessageBoxes(); }

    bool OpenDocument(const std::string& target) override {
        const std::vector<std::string> args = OpenerArgv(target);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        // The child starts the opener and ends at once, so the opener is nobody's child
        // here and leaves no zombie; the child's status says whether it could be started.
        const pid_t child = fork();
        if (child < 0) return false;
        if (child == 0) {
            pid_t opener = 0;
            const int rc = posix_spawnp(&opener, argv[0], nullptr, nullptr, argv.data(), environ);
            _exit(rc == 0 ? 0 : 127);
        }
        int status = 0;
        while (waitpid(child, &status, 0) < 0)
            if (errno != EINTR) return false;
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    void SetShutdownHandler(std::function<void(ShutdownReason)> handler) override {
        shutdown_ = std::move(handler);
        struct sigaction sa {};
        sa.sa_handler = &OnSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        for (int sig : {SIGTERM, SIGINT, SIGHUP})
            sigaction(sig, &sa, nullptr);
    }

    Rect Screen() const override {
        EnsureDisplay();
        int x = 0, y = 0, w = 0, h = 0;
        Fl::screen_xywh(x, y, w, h, 0);
        return {x, y, w, h};
    }

    TextMetrics MeasureText(const std::string& text, const FontSpec& font) override {
        EnsureDisplay();
        return Measure(text, font);
    }

    void Wake() {
        if (woken_) return;
        woken_ = true;
        const char byte = 'w';
        [[maybe_unused]] ssize_t n = write(wake_[1], &byte, 1);
    }

    // The display is gone: the program saves what it must (without X) and ends.
    [[noreturn]] void DisplayLost() {
        static bool once = false;
        if (!once && shutdown_) {
            once = true;
            shutdown_(ShutdownReason::DisplayLost);
        }
        std::fflush(nullptr);
        _exit(0);
    }

private:
    static void* Arg(TimerId id) {
        return reinterpret_cast<void*>(static_cast<std::uintptr_t>(id));
    }

    void Arm(const TimerRec& rec) {
        const auto left = std::chrono::duration<double>(rec.due - Clock::now()).count();
        Fl::add_timeout(std::max(0.0, left), &FltkBackend::OnTimer, Arg(rec.id));
    }

    static void OnTimer(void* arg) {
        auto& self = static_cast<FltkBackend&>(Current());
        const auto it =
            self.timers_.find(static_cast<TimerId>(reinterpret_cast<std::uintptr_t>(arg)));
        if (it == self.timers_.end()) return;
        const std::shared_ptr<TimerRec> rec = it->second; // survives a StopTimer in the tick
        // FLTK shortens a timeout by how late the previous one was; early is not due yet.
        if (Clock::now() + std::chrono::milliseconds(1) < rec->due) {
            self.Arm(*rec);
            return;
        }
        rec->tick();
        if (!rec->stopped) {
            // repeat_timeout counts from when this one was due, not from now, so FLTK's
            // own lateness does not make the next tick fire early (and sleep twice).
            const Clock::time_point fired = rec->due;
            rec->due = NextTickDue(rec->due, rec->interval, Clock::now());
            Fl::repeat_timeout(std::chrono::duration<double>(rec->due - fired).count(),
                               &FltkBackend::OnTimer, Arg(rec->id));
        }
        if (self.InnermostLoopDone()) self.Wake();
    }

    static void OnWake(int fd, void* data) {
        auto* self = static_cast<FltkBackend*>(data);
        DrainPipe(fd);
        self->woken_ = false;
        // Only the tasks there now; those they post run on a later turn. A task that runs
        // a nested loop leaves the rest to that loop, in order.
        std::size_t n = self->posted_.size();
        while (n-- > 0 && !self->posted_.empty()) {
            std::function<void()> task = std::move(self->posted_.front());
            self->posted_.pop_front();
            // A nested loop inside this task must find the rest waiting, too.
            if (!self->posted_.empty()) self->Wake();
            task();
        }
    }

    static void OnSignalPipe(int fd, void* data) {
        auto* self = static_cast<FltkBackend*>(data);
        if (DrainPipe(fd) && self->shutdown_) self->shutdown_(ShutdownReason::Signal);
    }

    int wake_[2] = {-1, -1};
    bool woken_ = false;
    std::deque<std::function<void()>> posted_;
    std::map<TimerId, std::shared_ptr<TimerRec>> timers_;
    TimerId nextTimer_ = 1;
    std::function<void(ShutdownReason)> shutdown_;
    std::vector<const std::function<bool()>*> loops_; // the running RunUntil calls, innermost last
};

FltkBackend& Self() {
    return static_cast<FltkBackend&>(Current());
}

int OnIOError(Display*) {
    Self().DisplayLost();
}

bool g_displayOpen = false;

void OnFatal(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    if (g_displayOpen) Self().DisplayLost();
    std::exit(1);
}

} // namespace

void EnsureDisplay() {
    if (g_displayOpen) return;
    // FLTK ends the process when it cannot open the display; ask first, so the caller can
    // report it and end in its own way.
    static bool reported = false;
    const char* name = std::getenv("DISPLAY");
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        const std::string what = std::string("cannot open display \"") + (name ? name : "") + "\"";
        if (!reported)
            std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what.c_str());
        reported = true;
        throw std::runtime_error(what);
    }
    fl_open_display(display);
    // Asked once now, so that a new window's shape and titles need no round trip later.
    int shapeEvent = 0, shapeError = 0;
    XShapeQueryExtension(display, &shapeEvent, &shapeError);
    for (const char* name : {"UTF8_STRING", "_NET_WM_NAME", "_NET_WM_ICON_NAME", "_NET_WM_STATE",
                             "_NET_WM_STATE_SKIP_TASKBAR"})
        XInternAtom(display, name, False);
    // After fl_open_display, which installs FLTK's own handler.
    XSetIOErrorHandler(&OnIOError);
    Fl::fatal = &OnFatal;
    g_displayOpen = true;
}

void Kick() {
    Self().Wake();
}

TextMetrics Measure(const std::string& text, const FontSpec& font) {
    const FltkFontChoice f = FltkFont(font);
    fl_font(static_cast<Fl_Font>(f.font), f.size);
    TextMetrics m;
    m.width = static_cast<int>(std::ceil(fl_width(text.c_str(), static_cast<int>(text.size()))));
    m.height = fl_height();
    m.ascent = fl_height() - fl_descent();
    return m;
}

} // namespace backend::fltk

namespace backend {

Backend& Current() {
    // Never destroyed: windows and timers may outlive any static destructor order.
    static fltk::FltkBackend* instance = new fltk::FltkBackend;
    return *instance;
}

} // namespace backend

#if defined(__SANITIZE_ADDRESS__)
// LeakSanitizer's hook for built-in suppressions: leaks inside the libraries below us that
// no caller can free. FLTK 1.3 drops the pattern XftFontMatch returns for some faces, and
// fontconfig keeps parts of its parsed configuration until an FcFini that nothing calls.
// Both are allocated inside fontconfig, whose frames the default fast unwinder cannot walk
// past, so the library is the only name the reports share.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:Fl_Font_Descriptor::Fl_Font_Descriptor\n"
           "leak:FcInitLoadConfigAndFonts\n"
           "leak:libfontconfig.so\n";
}
#endif
