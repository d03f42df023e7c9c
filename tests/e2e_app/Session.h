// Shared pieces of the end-to-end tests of riduduz: a scratch copy of the program, where
// things are on its window, and waits that read the title as the program's clock.
//
// Every test copies the program into a Scratch folder and runs it from there, so the work
// log (riduduz.ini beside the program) is the test's own and nothing leaks into the build
// tree. The scratch folder also holds bin/xdg-open, a stand-in that appends its arguments to
// opener.txt, and is put first on PATH.
#pragma once

#include "harness/E2e.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace app {

using namespace std::chrono_literals;

// Generous: the program may be an AddressSanitizer build on a busy machine.
constexpr e2e::Ms kAppear = 10s; // a window to appear, a process to end
constexpr e2e::Ms kTicks = 10s;  // a few ticks of the one-second counter

// Window coordinates, from the form descriptions and the skin (541 x 280 main window,
// 33 px title bar, 19 x 19 title-bar buttons 6 px from the top, Close rightmost, 6 px from
// the right edge and 1 px right of the control box).
constexpr int kMainWidth = 541, kMainHeight = 280;
constexpr e2e::Point kMainClose{525, 15}; // x 516..534, y 6..24
// The top panel is aligned to the top of the form's client area, which lies inside the 1 px
// border and below the 33 px title bar: the panel is at (1, 33), its Menu button at (419, 42).
constexpr e2e::Rect kMenuButton{420, 75, 80, 27};
constexpr e2e::Point kLogo{150, 80};             // imgLogo 292 x 50 at (4, 55)
constexpr e2e::Rect kReadout{278, 142, 242, 59}; // lblTime
constexpr e2e::Point kTitleBarGrip{250, 16};     // on the bar, clear of the buttons
constexpr int kAboutWidth = 496, kAboutHeight = 331;
constexpr e2e::Point kAboutClose{480, 15}; // x 471..489 on a 496 px window
constexpr e2e::Rect kAboutOk{202, 278, 80, 27};

// "My Riduduz - hh:mm:ss" for a count of seconds, and back (nullopt for other titles).
std::string TitleFor(int seconds);
std::optional<int> TitleSeconds(const std::optional<std::string>& title);

// Today's key in the work log: the local date as "%04d-%02d-%02d".
std::string Today();
// The work log a single run on a fresh folder writes: one day holding `seconds`.
std::string FreshLog(const std::string& day, int seconds);

// A scratch folder holding a copy of the program.
class Scratch {
public:
    Scratch();
    const std::filesystem::path& Folder() const { return dir_.Path(); }
    std::filesystem::path Binary() const { return dir_ / "riduduz"; }
    std::filesystem::path Log() const { return dir_ / "riduduz.ini"; }
    std::filesystem::path DataHome() const { return dir_ / "data"; }
    // What the stand-in xdg-open was given, one line per call.
    std::filesystem::path OpenerLog() const { return dir_ / "opener.txt"; }
    // PATH with the stand-in first, HOME and XDG_DATA_HOME inside the scratch folder.
    e2e::Env Environment() const;
    void WriteLog(const std::string& text) const;

private:
    e2e::TempDir dir_{"riduduz-e2e"};
};

// The whole text of a file; nullopt when it cannot be read.
std::optional<std::string> ReadFile(const std::filesystem::path& path);

// Starts the scratch copy on x with the scratch environment.
e2e::App Start(e2e::XServer& x, const Scratch& s, std::vector<std::string> args = {});

// Waits for a main window of app (WM_CLASS riduduz, titled "Riduduz" or "My Riduduz - ...")
// other than those in `known`; fails at once if app ends.
e2e::WindowId WaitForMainWindow(e2e::Connection& x, const e2e::App& app,
                                const std::vector<e2e::WindowId>& known = {});

// The count the title of w shows; fails the wait if the title is not a count.
int Seconds(e2e::Connection& x, e2e::WindowId w);
// Waits until the title of w shows at least `seconds`; returns what it shows then.
int WaitForSeconds(e2e::Connection& x, e2e::WindowId w, int seconds, e2e::Ms timeout = kTicks);
// Waits for the title of w to change from what it shows now; returns the new count.
int WaitForNextTick(e2e::Connection& x, e2e::WindowId w, e2e::Ms timeout = kTicks);
// Waits for the title of w to show something other than `seconds`; returns the new count
// (at once if it already does).
int WaitForChangeFrom(e2e::Connection& x, e2e::WindowId w, int seconds, e2e::Ms timeout = kTicks);

// Waits for a mapped window with exactly this title; fails at once if app ends.
e2e::WindowId WaitForTitled(e2e::Connection& x, const std::string& title, const e2e::App& app);

// Gives w the keyboard and sends the combination.
void KeyTo(e2e::Connection& x, e2e::WindowId w, const std::string& combo);
// Opens the main window's pop-up menu with Alt+M and returns it.
e2e::TopLevel OpenMenu(e2e::Connection& x, e2e::WindowId main);

// Waits until a skinned window (main or About) shows its title bar and form colour, i.e. it
// has been painted.
void WaitUntilPainted(e2e::Connection& x, e2e::WindowId w);
constexpr e2e::Rgb kFormColour{231, 231, 231};   // $00E7E7E7
constexpr e2e::Rgb kTitleBarRow20{39, 103, 189}; // title-middle.bmp, row 20

// Saves a screenshot of w as <build folder of the tests>/<name>.png.
std::filesystem::path Screenshot(e2e::Connection& x, e2e::WindowId w, const std::string& name);

// Exits through the menu (Alt+M, X) and checks the exit code is 0.
void ExitThroughMenu(e2e::Connection& x, e2e::WindowId main, const e2e::App& app);

// Checks that `log` is the fresh-folder log for today holding between low and high seconds.
void ExpectFreshLog(const std::optional<std::string>& log, int low, int high);

} // namespace app
