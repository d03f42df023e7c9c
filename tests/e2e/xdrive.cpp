// xdrive: drives the X display in $DISPLAY from shell scripts, over the e2e harness.
// It never starts a server. Exit status: 0 done, 1 failed (reason on stderr), 2 bad usage.
#include "harness/E2e.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

const char kUsage[] = R"(usage: xdrive [--prefix] [--display NAME] COMMAND ARGS...
  wait-window TITLE [TIMEOUT_MS]   wait for a mapped top-level window, print its id
  wait-gone WINDOW [TIMEOUT_MS]    wait until the window is unmapped or destroyed
  list                             print the top-level windows
  title WINDOW                     print _NET_WM_NAME (else WM_NAME)
  geometry WINDOW                  print WxH+X+Y on the screen
  pixel WINDOW X Y                 print the colour shown at window coordinates, #rrggbb
  screenshot OUT.png [WINDOW]      save the window (default: the whole screen) as PNG
  key COMBO...                     press key combinations: Escape, shift+Tab, alt+m, alt+F4
  type TEXT                        type printable ASCII text
  move X Y | click X Y [BUTTON] | drag X1 Y1 X2 Y2 [BUTTON]   pointer, screen coordinates
  focus WINDOW                     give the window the keyboard focus
WINDOW is "root", an id (0x1a00003 or decimal) or a title; --prefix makes titles match by
prefix ("My Riduduz - " matches "My Riduduz - 00:00:05"). TIMEOUT_MS defaults to 10000.
)";

struct Usage {};

int Int(const std::string& s) {
    try {
        std::size_t used = 0;
        int v = std::stoi(s, &used, 0);
        if (used == s.size()) return v;
    } catch (const std::exception&) {
    }
    throw Usage{};
}

// "0x1a00003" or "27262979"; nullopt for anything else (a title).
std::optional<unsigned long> IdArg(const std::string& s) {
    if (s.empty() || !std::isdigit(static_cast<unsigned char>(s[0]))) return std::nullopt;
    try {
        std::size_t used = 0;
        unsigned long id = std::stoul(s, &used, 0);
        if (used == s.size()) return id;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::string Hex(e2e::WindowId w) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%lx", w);
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool prefix = false;
    std::string display;
    std::size_t i = 0;
    for (; i < args.size() && args[i].rfind("-", 0) == 0; ++i) {
        if (args[i] == "--prefix" || args[i] == "-p")
            prefix = true;
        else if (args[i] == "--display" && i + 1 < args.size())
            display = args[++i];
        else if (args[i] == "--help" || args[i] == "-h") {
            std::cout << kUsage;
            return 0;
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    args.erase(args.begin(), args.begin() + long(i));
    try {
        if (args.empty()) throw Usage{};
        const std::string cmd = args[0];
        auto need = [&](std::size_t min, std::size_t max) {
            if (args.size() < min + 1 || args.size() > max + 1) throw Usage{};
        };
        auto timeout = [&](std::size_t at) {
            return e2e::Ms(args.size() > at ? Int(args[at]) : 10000);
        };
        e2e::Connection x(display);
        auto title = [&](const std::string& t) { return e2e::TitleMatch(t, prefix); };
        auto window = [&](const std::string& spec) -> e2e::WindowId {
            if (spec == "root") return x.Root();
            if (auto id = IdArg(spec)) return *id;
            if (auto w = x.FindWindow(title(spec))) return *w;
            throw e2e::Error("no mapped window with " + title(spec).Describe() +
                             "; windows present: " + x.DescribeWindows());
        };

        if (cmd == "wait-window") {
            need(1, 2);
            std::cout << Hex(x.WaitForWindow(title(args[1]), timeout(2))) << "\n";
        } else if (cmd == "wait-gone") {
            need(1, 2);
            if (auto id = IdArg(args[1]))
                x.WaitForWindowGone(*id, timeout(2));
            else
                x.WaitUntil([&] { return !x.FindWindow(title(args[1])); }, timeout(2),
                            "no mapped window with " + title(args[1]).Describe());
        } else if (cmd == "list") {
            need(0, 0);
            for (const auto& t : x.ListTopLevels())
                std::cout << t << "\n";
        } else if (cmd == "title") {
            need(1, 1);
            auto w = window(args[1]);
            auto t = x.Title(w);
            if (!t) t = x.WmName(w);
            if (!t) throw e2e::Error("window " + Hex(w) + " has no title");
            std::cout << *t << "\n";
        } else if (cmd == "geometry") {
            need(1, 1);
            std::cout << x.Geometry(window(args[1])) << "\n";
        } else if (cmd == "pixel") {
            need(3, 3);
            std::cout << x.Pixel(window(args[1]), Int(args[2]), Int(args[3])) << "\n";
        } else if (cmd == "screenshot") {
            need(1, 2);
            x.SavePng(args.size() > 2 ? window(args[2]) : x.Root(), args[1]);
        } else if (cmd == "key") {
            need(1, 1000);
            for (std::size_t k = 1; k < args.size(); ++k)
                x.KeyCombo(args[k]);
        } else if (cmd == "type") {
            need(1, 1);
            x.TypeText(args[1]);
        } else if (cmd == "move") {
            need(2, 2);
            x.MoveTo(Int(args[1]), Int(args[2]));
        } else if (cmd == "click") {
            need(2, 3);
            x.Click(Int(args[1]), Int(args[2]), args.size() > 3 ? Int(args[3]) : 1);
        } else if (cmd == "drag") {
            need(4, 5);
            x.Drag({Int(args[1]), Int(args[2])}, {Int(args[3]), Int(args[4])}, 10,
                   args.size() > 5 ? Int(args[5]) : 1);
        } else if (cmd == "focus") {
            need(1, 1);
            x.Focus(window(args[1]));
        } else {
            throw Usage{};
        }
    } catch (const Usage&) {
        std::cerr << kUsage;
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "xdrive: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
