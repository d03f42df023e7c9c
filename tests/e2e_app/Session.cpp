#include "Session.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

namespace app {

namespace fs = std::filesystem;

std::string TitleFor(int seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "My Riduduz - %02d:%02d:%02d", seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return text;
}

std::optional<int> TitleSeconds(const std::optional<std::string>& title) {
    static const std::string prefix = "My Riduduz - ";
    if (!title || title->size() != prefix.size() + 8 || title->rfind(prefix, 0) != 0)
        return std::nullopt;
    int h = 0, m = 0, s = 0;
    char tail = 0;
    if (std::sscanf(title->c_str() + prefix.size(), "%2d:%2d:%2d%c", &h, &m, &s, &tail) != 3)
        return std::nullopt;
    return h * 3600 + m * 60 + s;
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char key[32];
    std::snprintf(key, sizeof key, "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    return key;
}

std::string FreshLog(const std::string& day, int seconds) {
    return "[WorkTime]\n" + day + "=" + std::to_string(seconds) + "\n[Days]\nCount=1\nDay0=" + day +
           "\n";
}

Scratch::Scratch() {
    fs::copy_file(RIDUDUZ_BINARY, Binary());
    fs::create_directory(dir_ / "bin");
    const fs::path opener = dir_ / "bin" / "xdg-open";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" << OpenerLog().string()
                          << "'\n";
    fs::permissions(opener, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
}

e2e::Env Scratch::Environment() const {
    const char* path = std::getenv("PATH");
    return {{"PATH", (dir_ / "bin").string() + ":" + (path ? path : "/usr/bin:/bin")},
            {"HOME", (dir_ / "home").string()},
            {"XDG_DATA_HOME", DataHome().string()}};
}

void Scratch::WriteLog(const std::string& text) const {
    std::ofstream(Log(), std::ios::binary) << text;
}

std::optional<std::string> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

e2e::App Start(e2e::XServer& x, const Scratch& s, std::vector<std::string> args) {
    e2e::AppOptions o;
    o.args = std::move(args);
    o.env = s.Environment();
    o.cwd = s.Folder();
    return x.StartWith(s.Binary(), std::move(o));
}

namespace {
void FailIfEnded(const e2e::App& app) {
    if (app.Finished()) throw e2e::Error("the program ended: " + app.Describe());
}
} // namespace

e2e::WindowId WaitForMainWindow(e2e::Connection& x, const e2e::App& app,
                                const std::vector<e2e::WindowId>& known) {
    return x.WaitUntil(
        [&]() -> std::optional<e2e::WindowId> {
            FailIfEnded(app);
            for (const auto& t : x.ListTopLevels()) {
                if (!t.mapped || t.override_redirect) continue;
                if (std::find(known.begin(), known.end(), t.id) != known.end()) continue;
                const auto cls = x.WmClass(t.id);
                if (!cls || cls->first != "riduduz") continue;
                if (t.title == "Riduduz" || TitleSeconds(t.title)) return t.id;
            }
            return std::nullopt;
        },
        kAppear, "a riduduz main window");
}

int Seconds(e2e::Connection& x, e2e::WindowId w) {
    const auto title = x.Title(w);
    const auto seconds = TitleSeconds(title);
    if (!seconds)
        throw e2e::Error("the title is not a count: \"" + title.value_or("(none)") + "\"");
    return *seconds;
}

int WaitForSeconds(e2e::Connection& x, e2e::WindowId w, int seconds, e2e::Ms timeout) {
    return x.WaitUntil(
        [&]() -> std::optional<int> {
            const auto now = TitleSeconds(x.Title(w));
            if (now && *now >= seconds) return now;
            return std::nullopt;
        },
        timeout, "the title to show at least " + TitleFor(seconds));
}

int WaitForNextTick(e2e::Connection& x, e2e::WindowId w, e2e::Ms timeout) {
    const auto before = x.Title(w);
    return x.WaitUntil(
        [&]() -> std::optional<int> {
            const auto now = x.Title(w);
            if (now != before) return TitleSeconds(now).value_or(-1);
            return std::nullopt;
        },
        timeout, "the title to change from \"" + before.value_or("") + "\"");
}

int WaitForChangeFrom(e2e::Connection& x, e2e::WindowId w, int seconds, e2e::Ms timeout) {
    return x.WaitUntil(
        [&]() -> std::optional<int> {
            const auto now = x.Title(w);
            if (now != TitleFor(seconds)) return TitleSeconds(now).value_or(-1);
            return std::nullopt;
        },
        timeout, "the title to change from \"" + TitleFor(seconds) + "\"");
}

e2e::WindowId WaitForTitled(e2e::Connection& x, const std::string& title, const e2e::App& app) {
    return x.WaitForWindow(title, kAppear, &app);
}

void KeyTo(e2e::Connection& x, e2e::WindowId w, const std::string& combo) {
    x.Focus(w);
    x.KeyCombo(combo);
}

e2e::TopLevel OpenMenu(e2e::Connection& x, e2e::WindowId main) {
    KeyTo(x, main, "alt+m");
    const e2e::Point corner = x.ToScreen(main, kMenuButton.x, kMenuButton.y + kMenuButton.height);
    return x.WaitUntil([&] { return x.FindPopupNear(corner); }, kAppear, "the pop-up menu");
}

void WaitUntilPainted(e2e::Connection& x, e2e::WindowId w) {
    const e2e::Rect g = x.Geometry(w);
    x.WaitUntil(
        [&] {
            return x.Pixel(w, g.width / 2, 20) == kTitleBarRow20 &&
                   x.Pixel(w, 10, g.height - 20) == kFormColour;
        },
        kAppear, "the window to be painted");
}

fs::path Screenshot(e2e::Connection& x, e2e::WindowId w, const std::string& name) {
    const fs::path path = fs::path(E2E_APP_SHOT_DIR) / (name + ".png");
    x.SavePng(w, path);
    return path;
}

void ExitThroughMenu(e2e::Connection& x, e2e::WindowId main, const e2e::App& app) {
    OpenMenu(x, main);
    x.KeyCombo("x");
    EXPECT_EQ(app.WaitExit(kAppear), e2e::ExitStatus::Exited(0)) << app.Describe();
}

void ExpectFreshLog(const std::optional<std::string>& log, int low, int high) {
    ASSERT_TRUE(log) << "no work log was written";
    const std::string day = Today();
    for (int n = low; n <= high; ++n)
        if (*log == FreshLog(day, n)) return;
    ADD_FAILURE() << "the work log is not today's fresh log holding " << low << ".." << high
                  << " seconds:\n"
                  << *log;
}

} // namespace app
