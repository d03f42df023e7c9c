// One session of the real program under valgrind's memcheck on a private Xvfb: it ticks a
// few seconds, the menu and the About box open and close, and it exits through the menu.
// Any invalid access or definite leak makes valgrind exit with 99. Only third-party
// frames are suppressed (valgrind.supp says why).
#include "harness/E2e.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

TEST(Valgrind, ASessionHasNoInvalidAccessAndNoDefiniteLeak) {
    e2e::TempDir dir{"riduduz-valgrind"};
    fs::copy_file(RIDUDUZ_BINARY, dir / "riduduz");
    const fs::path report = dir / "memcheck.txt";
    e2e::XServer x;
    e2e::App app = x.Start(
        VALGRIND,
        {"--tool=memcheck", "--error-exitcode=99", "--leak-check=full",
         "--errors-for-leak-kinds=definite", "--show-leak-kinds=definite", "--track-origins=yes",
         "--num-callers=30", "--suppressions=" + std::string(SUPPRESSIONS),
         "--log-file=" + report.string(), (dir / "riduduz").string()},
        {{"HOME", dir.Path().string()}, {"XDG_DATA_HOME", (dir / "data").string()}});
    const auto w = x.WaitForWindow(e2e::Prefix("My Riduduz - "), 120s, &app);
    x.WaitUntil([&] { return x.Title(w).value_or("") >= "My Riduduz - 00:00:03"; }, 60s,
                "three ticks");
    x.MoveTo(x.ToScreen(w, 20, 60));
    x.Focus(w);
    x.KeyCombo("alt+m");
    x.WaitUntil([&] { return !x.ListPopups().empty(); }, 30s, "the menu");
    x.KeyCombo("Escape");
    x.WaitUntil([&] { return x.ListPopups().empty(); }, 30s, "the menu closed");
    x.KeyCombo("alt+m");
    x.WaitUntil([&] { return !x.ListPopups().empty(); }, 30s, "the menu again");
    x.KeyCombo("a");
    const auto about = x.WaitForWindow("About Riduduz", 60s, &app);
    x.Focus(about);
    x.KeyCombo("Return");
    x.WaitForWindowGone(about, 60s);
    x.Focus(w);
    x.KeyCombo("alt+m");
    x.WaitUntil([&] { return !x.ListPopups().empty(); }, 30s, "the menu for Exit");
    x.KeyCombo("x");
    const e2e::ExitStatus status = app.WaitExit(120s);
    std::ifstream in(report);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(status, e2e::ExitStatus::Exited(0)) << text.str();
    EXPECT_NE(text.str().find("ERROR SUMMARY: 0 errors"), std::string::npos) << text.str();
    EXPECT_TRUE(fs::exists(dir / "riduduz.ini")) << "the exit saved the log";
    std::string line;
    for (std::istringstream lines(text.str()); std::getline(lines, line);)
        if (line.find("lost:") != line.npos || line.find("suppressed:") != line.npos ||
            line.find("ERROR SUMMARY") != line.npos || line.find("in use at exit") != line.npos)
            std::cout << line << "\n";
}

} // namespace
