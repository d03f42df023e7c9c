// The real program on a private Xvfb: SIGTERM, SIGINT and SIGHUP while the reset
// confirmation or the About box is open save the total and end with exit code 0; the X
// server going away mid-run saves the total too.
#include "harness/E2e.h"

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include <sys/stat.h>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string Today() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char key[16];
    std::strftime(key, sizeof key, "%Y-%m-%d", &tm);
    return key;
}

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The seconds a title "My Riduduz - hh:mm:ss" shows.
long Shown(const std::string& title) {
    const auto at = title.rfind(" - ");
    unsigned h = 0, m = 0, s = 0;
    if (at == std::string::npos || std::sscanf(title.c_str() + at + 3, "%u:%u:%u", &h, &m, &s) != 3)
        return -1;
    return h * 3600L + m * 60L + s;
}

long Stored(const std::string& log) {
    const std::string key = "\n" + Today() + "=";
    const auto at = log.find(key);
    return at == std::string::npos ? -1 : std::stol(log.substr(at + key.size()));
}

// The program copied into a folder of its own, so the log lies beside it, with a total
// of 100 s stored for today.
struct Copy {
    Copy() {
        fs::copy_file(RIDUDUZ_BINARY, program);
        std::ofstream(dir / "riduduz.ini")
            << "; kept\n[WorkTime]\n"
            << Today() << "=100\n[Days]\nCount=1\nDay0=" << Today() << "\n";
    }
    std::string Log() const { return Slurp(dir / "riduduz.ini"); }
    e2e::TempDir dir{"riduduz-signal"};
    fs::path program = dir / "riduduz";
    e2e::Env env{{"HOME", dir.Path().string()}, {"XDG_DATA_HOME", (dir / "data").string()}};
};

TEST(Signals, WhileABoxIsOpenSaveAndEndCleanly) {
    const struct {
        int signal;
        const char* box;
    } cases[] = {{SIGTERM, "Confirmation"},  {SIGINT, "Confirmation"},  {SIGHUP, "Confirmation"},
                 {SIGTERM, "About Riduduz"}, {SIGINT, "About Riduduz"}, {SIGHUP, "About Riduduz"}};
    e2e::XServer x;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(strsignal(c.signal)) + " with " + c.box);
        Copy copy;
        e2e::App app = x.Start(copy.program, {}, copy.env);
        const auto w = x.WaitForWindow(e2e::Prefix("My Riduduz - "), 10s, &app);
        x.MoveTo(x.ToScreen(w, 20, 60));
        x.Focus(w);
        if (std::string(c.box) == "Confirmation") {
            x.KeyCombo("alt+r");
        } else {
            x.KeyCombo("alt+m");
            x.WaitUntil([&] { return !x.ListPopups().empty(); }, 5s, "the menu");
            x.KeyCombo("a");
        }
        x.WaitForWindow(c.box, 10s, &app);
        // A tick or two while the box is open.
        x.WaitUntil([&] { return Shown(x.Title(w).value_or("")) >= 102; }, 10s,
                    "ticks with the box open");
        const long shown = Shown(x.Title(w).value_or(""));
        app.Signal(c.signal);
        EXPECT_EQ(app.WaitExit(10s), e2e::ExitStatus::Exited(0)) << app.Describe();
        const std::string log = copy.Log();
        EXPECT_GE(Stored(log), shown) << log;
        EXPECT_EQ(log.rfind("; kept\n[WorkTime]\n", 0), 0u) << log;
        EXPECT_NE(log.find("[Days]\nCount=1\nDay0=" + Today() + "\n"), std::string::npos) << log;
    }
}

TEST(Signals, LosingTheXServerSavesTheTotal) {
    Copy copy;
    std::optional<e2e::XServer> x;
    x.emplace();
    e2e::App app = x->Start(copy.program, {}, copy.env);
    const auto w = x->WaitForWindow(e2e::Prefix("My Riduduz - "), 10s, &app);
    x->WaitUntil([&] { return Shown(x->Title(w).value_or("")) >= 102; }, 10s, "two ticks");
    const long shown = Shown(x->Title(w).value_or(""));
    // Ends Xvfb (after closing this test's own connection, which Xlib could not survive).
    x.reset();
    const e2e::ExitStatus status = app.WaitExit(10s);
    EXPECT_TRUE(status.exited) << app.Describe();
    EXPECT_GE(Stored(copy.Log()), shown) << copy.Log();
}

} // namespace
