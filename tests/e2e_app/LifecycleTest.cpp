// How the program ends and where it keeps its log: the skinned Close button, signals in
// every state, losing the X server, a program folder it cannot write; and its version note.
#include "Session.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

using namespace app;
namespace fs = std::filesystem;

TEST(VersionTest, TheProgramCarriesItsVersionNote) {
    const std::string command =
        "readelf --string-dump=.note.riduduz.version '" + std::string(RIDUDUZ_BINARY) + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe) << command;
    std::string out;
    char buf[512];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, pipe.get())) > 0;)
        out.append(buf, n);
    for (const char* entry :
         {"FileVersion=1.0.0.1010", "ProductVersion=1.0.0.1010", "ProductName=Riduduz"})
        EXPECT_NE(out.find(entry), std::string::npos) << entry << " missing in:\n" << out;
}

TEST(EndingTest, TheSkinnedCloseButtonEndsTheProgramAndSaves) {
    e2e::XServer x;
    Scratch s;
    e2e::App a = Start(x, s);
    const e2e::WindowId w = WaitForMainWindow(x, a);
    const int last = WaitForSeconds(x, w, 2);
    x.Click(x.ToScreen(w, kMainClose.x, kMainClose.y));
    EXPECT_EQ(a.WaitExit(kAppear), e2e::ExitStatus::Exited(0)) << a.Describe();
    ExpectFreshLog(ReadFile(s.Log()), last, last + 2);
}

// Each signal, sent while the main window, the confirmation box or the About box is up.
enum class Showing { MainWindow, Confirmation, About };
class SignalTest : public testing::TestWithParam<std::tuple<int, Showing>> {};

TEST_P(SignalTest, EndsTheProgramLikeExitAndSaves) {
    const auto [sig, showing] = GetParam();
    e2e::XServer x;
    Scratch s;
    e2e::App a = Start(x, s);
    const e2e::WindowId w = WaitForMainWindow(x, a);
    WaitForSeconds(x, w, 2);
    if (showing == Showing::Confirmation) {
        KeyTo(x, w, "alt+r");
        WaitForTitled(x, "Confirmation", a);
    } else if (showing == Showing::About) {
        OpenMenu(x, w);
        x.KeyCombo("a");
        WaitForTitled(x, "About Riduduz", a);
    }
    const int last = Seconds(x, w);
    a.Signal(sig);
    EXPECT_EQ(a.WaitExit(kAppear), e2e::ExitStatus::Exited(0)) << a.Describe();
    ExpectFreshLog(ReadFile(s.Log()), last, last + 2);
}

INSTANTIATE_TEST_SUITE_P(
    AllStates, SignalTest,
    testing::Combine(testing::Values(SIGTERM, SIGINT, SIGHUP),
                     testing::Values(Showing::MainWindow, Showing::Confirmation, Showing::About)),
    [](const auto& info) {
        const int sig = std::get<0>(info.param);
        const std::string name = sig == SIGTERM ? "Term" : sig == SIGINT ? "Int" : "Hup";
        const Showing showing = std::get<1>(info.param);
        return name + (showing == Showing::MainWindow     ? "WithMainWindow"
                       : showing == Showing::Confirmation ? "WithConfirmation"
                                                          : "WithAbout");
    });

// An Xvfb of the test's own, so the test's connection can be closed before the server is
// killed (a connection whose server dies ends its process through Xlib's I/O error handler).
struct OwnXvfb {
    std::unique_ptr<e2e::App> process;
    std::string display;

    OwnXvfb() {
        int fds[2];
        if (pipe(fds) != 0) throw e2e::Error("pipe");
        e2e::AppOptions o;
        o.args = {"-displayfd",   std::to_string(fds[1]),
                  "-screen",      "0",
                  "1280x1024x24", "-nolisten",
                  "tcp",          "-noreset"};
        o.keep_fds = {fds[1]};
        o.unset_env = {"DISPLAY", "XAUTHORITY"};
        process = std::make_unique<e2e::App>("/usr/bin/Xvfb", o);
        close(fds[1]);
        std::string number;
        while (number.find('\n') == std::string::npos) {
            pollfd p{fds[0], POLLIN, 0};
            if (poll(&p, 1, 15000) <= 0) break;
            char buf[32];
            const ssize_t n = read(fds[0], buf, sizeof buf);
            if (n <= 0) break;
            number.append(buf, std::size_t(n));
        }
        close(fds[0]);
        if (number.find('\n') == std::string::npos)
            throw e2e::Error("Xvfb did not report its display: " + process->Describe());
        display = ":" + number.substr(0, number.find('\n'));
    }
};

TEST(EndingTest, LosingTheXServerSavesTheLogBeforeTheProgramEnds) {
    OwnXvfb server;
    Scratch s;
    e2e::AppOptions o;
    o.env = s.Environment();
    o.env["DISPLAY"] = server.display;
    o.unset_env = {"XAUTHORITY"};
    e2e::App a(s.Binary(), o);
    int last = 0;
    {
        e2e::Connection x(server.display);
        const e2e::WindowId w = WaitForMainWindow(x, a);
        last = WaitForSeconds(x, w, 2);
    }
    server.process->Kill();
    const e2e::ExitStatus status = a.WaitExit(kAppear);
    // Any way of ending is fine here, as long as the count made it to the log first.
    ExpectFreshLog(ReadFile(s.Log()), last, last + 2);
    EXPECT_TRUE(status.exited) << a.Describe();
}

// The user nobody, and a scratch folder it may read but not write: the log then goes to
// $XDG_DATA_HOME/riduduz/. Permission bits do not stop root, so as root the program is run
// as nobody; otherwise the folder's bits are enough.
TEST(WorkLogPlaceTest, AProgramFolderThatCannotBeWrittenPutsTheLogInTheDataFolder) {
    e2e::XServer x;
    Scratch s;
    const bool root = geteuid() == 0;
    const uid_t nobody = 65534;
    // The data folder belongs to the user who runs the program; everything above it is
    // readable and searchable, the program's own folder is not writable.
    fs::create_directories(s.DataHome());
    fs::create_directories(s.Folder() / "home");
    if (root) {
        ASSERT_EQ(chown(s.DataHome().c_str(), nobody, nobody), 0);
        ASSERT_EQ(chown((s.Folder() / "home").c_str(), nobody, nobody), 0);
    }
    fs::permissions(s.Folder(), fs::perms(0555));
    struct Restore {
        fs::path p;
        ~Restore() { fs::permissions(p, fs::perms(0755)); } // so TempDir can remove it
    } restore{s.Folder()};

    e2e::AppOptions o;
    o.env = s.Environment();
    if (root) {
        o.args = {"--reuid=65534", "--regid=65534", "--clear-groups", s.Binary().string()};
    }
    const fs::path program = root ? fs::path("/usr/bin/setpriv") : s.Binary();
    e2e::App a = x.StartWith(program, o);
    const e2e::WindowId w = WaitForMainWindow(x, a);
    const int last = WaitForSeconds(x, w, 2);
    a.Signal(SIGTERM);
    EXPECT_EQ(a.WaitExit(kAppear), e2e::ExitStatus::Exited(0)) << a.Describe();

    EXPECT_FALSE(fs::exists(s.Log())) << "a log was written beside the program";
    const fs::path log = s.DataHome() / "riduduz" / "riduduz.ini";
    ExpectFreshLog(ReadFile(log), last, last + 2);
    if (root) {
        struct stat st {};
        ASSERT_EQ(stat(log.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, nobody) << "the log was not written by the user running the program";
    }
}

} // namespace
