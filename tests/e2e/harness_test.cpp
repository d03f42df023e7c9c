// Self-test of the e2e harness against e2e_fixture, a window whose every property is known
// (fixtures/Fixture.h): each query, input primitive, screenshot and the xdrive CLI once.
#include "Fixture.h"
#include "harness/E2e.h"

#include <gtest/gtest.h>
#include <png.h>

#include <signal.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using e2e::App;
using e2e::ExitStatus;
using e2e::Rect;
using e2e::Rgb;
using e2e::Size;
using e2e::XServer;

const Rgb kBackground = Rgb::FromHex(fixture::kBackground);
const Rgb kMarker = Rgb::FromHex(fixture::kMarker);

std::string Hex(e2e::WindowId w) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%lx", w);
    return buf;
}

// The message of the exception body() throws; fails the test if it throws nothing.
template <class Exception, class Body> std::string ErrorOf(Body&& body) {
    try {
        body();
    } catch (const Exception& e) {
        return e.what();
    }
    ADD_FAILURE() << "no exception was thrown";
    return "";
}

// Decodes a PNG with libpng (an independent decoder) into an image; fails on any defect.
e2e::Image DecodePng(const std::string& path) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    e2e::Image img;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        ADD_FAILURE() << path << ": " << png.message;
        return img;
    }
    png.format = PNG_FORMAT_RGB;
    std::vector<png_byte> buf(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, buf.data(), 0, nullptr)) {
        ADD_FAILURE() << path << ": " << png.message;
        return img;
    }
    img.width = int(png.width);
    img.height = int(png.height);
    for (std::size_t i = 0; i + 2 < buf.size(); i += 3)
        img.pixels.push_back({buf[i], buf[i + 1], buf[i + 2]});
    return img;
}

// The lines of text that start with prefix.
std::vector<std::string> LinesStarting(const std::string& text, const std::string& prefix) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
}

// A process is gone once it no longer exists or is a zombie nobody reaps.
bool ProcessGone(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all;
    if (!std::getline(stat, all)) return true;
    auto paren = all.rfind(')');
    return paren != std::string::npos && paren + 2 < all.size() && all[paren + 2] == 'Z';
}

// ---- Processes ----

TEST(AppTest, PassesArgumentsEnvironmentAndFolderAndCapturesOutput) {
    e2e::TempDir dir;
    e2e::AppOptions o;
    o.args = {"-c", "echo \"out $1 $FOO ${HOME-unset} $(pwd)\"; echo err >&2; exit 3", "sh",
              "two words"};
    o.env = {{"FOO", "bar"}};
    o.unset_env = {"HOME"};
    o.cwd = dir.Path();
    App app("/bin/sh", o);
    EXPECT_EQ(app.WaitExit(10s), ExitStatus::Exited(3));
    EXPECT_EQ(app.Stdout(), "out two words bar unset " + dir.Path().string() + "\n");
    EXPECT_EQ(app.Stderr(), "err\n");
}

TEST(AppTest, ReportsDeathBySignalAndKillsItsWholeGroupOnDestruction) {
    pid_t grandchild = 0;
    {
        App app("/bin/sh", {.args = {"-c", "sleep 60 & echo $!; exec sleep 61"}});
        app.WaitForStdout("\n", 10s);
        grandchild = std::stoi(app.Stdout());
        app.Signal(SIGTERM);
        EXPECT_EQ(app.WaitExit(10s), ExitStatus::Killed(SIGTERM));
        EXPECT_FALSE(ProcessGone(grandchild)) << "the background sleep should outlive sh";
    }
    e2e::WaitUntil([&] { return ProcessGone(grandchild); }, 10s,
                   "the end of the group's background process");
}

TEST(AppTest, FailuresSayWhatHappened) {
    std::string msg = ErrorOf<e2e::Error>([] { App("/no/such/program"); });
    EXPECT_NE(msg.find("/no/such/program"), std::string::npos) << msg;
    EXPECT_NE(msg.find("No such file"), std::string::npos) << msg;

    App app("/bin/sh", {.args = {"-c", "echo oops >&2; exec sleep 60"}});
    e2e::WaitUntil([&] { return app.Stderr() == "oops\n"; }, 10s, "stderr");
    msg = ErrorOf<e2e::TimeoutError>([&] { app.WaitExit(50ms); });
    EXPECT_NE(msg.find("after 50 ms waiting for the exit of sh"), std::string::npos) << msg;
    EXPECT_NE(msg.find("running; stderr: \"oops"), std::string::npos) << msg;
}

// ---- The X server ----

TEST(XServerTest, RunsAPrivateServerOfTheGivenSizeAndEndsIt) {
    pid_t pid = 0;
    std::string display;
    {
        XServer x({.width = 640, .height = 480});
        XServer other;
        EXPECT_NE(x.DisplayName(), other.DisplayName());
        EXPECT_EQ(x.ScreenSize(), (Size{640, 480}));
        EXPECT_EQ(other.ScreenSize(), (Size{1280, 1024}));
        EXPECT_EQ(x.Geometry(x.Root()), (Rect{0, 0, 640, 480}));
        pid = x.XvfbPid();
        display = x.DisplayName();
    }
    EXPECT_TRUE(ProcessGone(pid));
    EXPECT_THROW(e2e::Connection{display}, e2e::Error);
}

// ---- Against the fixture window ----

class FixtureTest : public ::testing::Test {
protected:
    XServer x;
    App app = x.Start(E2E_FIXTURE_BINARY, {"--at", "100", "80"});
    e2e::WindowId w = x.WaitForWindow(fixture::kNetTitle, 10s, &app);

    void WaitForMarker() {
        x.WaitUntil([&] { return x.Pixel(w, 15, 15) == kMarker; }, 5s, "the fixture's marker");
    }
};

TEST_F(FixtureTest, QueriesReportTheWindowsProperties) {
    EXPECT_EQ(x.Title(w), fixture::kNetTitle);
    EXPECT_EQ(x.WmName(w), fixture::kWmName);
    EXPECT_EQ(x.NetIconName(w), fixture::kNetIconName);
    EXPECT_EQ(x.WmIconName(w), fixture::kWmIconName);
    EXPECT_EQ(x.IconName(w), fixture::kNetIconName);
    EXPECT_EQ(x.WmClass(w),
              (std::pair<std::string, std::string>{fixture::kInstance, fixture::kClass}));
    EXPECT_EQ(x.Geometry(w), (Rect{100, 80, fixture::kWidth, fixture::kHeight}));
    auto hints = x.SizeHints(w);
    ASSERT_TRUE(hints);
    EXPECT_EQ(hints->min, (Size{fixture::kWidth, fixture::kHeight}));
    EXPECT_EQ(hints->max, (Size{fixture::kWidth, fixture::kHeight}));
    EXPECT_EQ(x.MotifDecorations(w), 0u);
    EXPECT_FALSE(x.WmDrawsFrame(w));
    EXPECT_EQ(x.NetWmIconSizes(w), (std::vector<Size>{{16, 16}, {32, 32}}));
    EXPECT_EQ(x.NetWmIcon(w).at(1).argb.at(1023), 0xff000000u | fixture::kMarker);
    EXPECT_EQ(x.AtomListProperty(w, "_MOTIF_WM_HINTS").size(), 5u); // raw longs as atoms

    // Absent properties are told apart from empty ones.
    EXPECT_EQ(x.Title(x.Root()), std::nullopt);
    EXPECT_EQ(x.SizeHints(x.Root()), std::nullopt);
    EXPECT_TRUE(x.WmDrawsFrame(x.Root()));
    EXPECT_TRUE(x.NetWmIcon(x.Root()).empty());

    auto tops = x.ListTopLevels();
    auto it = std::find_if(tops.begin(), tops.end(), [&](auto& t) { return t.id == w; });
    ASSERT_NE(it, tops.end()) << x.DescribeWindows();
    EXPECT_TRUE(it->mapped);
    EXPECT_FALSE(it->override_redirect);
    EXPECT_EQ(it->parent, x.Root());
    EXPECT_EQ(it->title, fixture::kNetTitle);
    EXPECT_EQ(it->geometry, x.Geometry(w));
    EXPECT_TRUE(x.ListPopups().empty());
}

TEST_F(FixtureTest, WindowsAreFoundByExactTitleOrPrefixOfEitherName) {
    struct Case {
        e2e::TitleMatch match;
        bool found;
    } cases[] = {
        {fixture::kNetTitle, true}, {fixture::kWmName, true},       // WM_NAME counts too
        {"E2E Fix", false},         {e2e::Prefix("E2E Fix"), true}, //
        {e2e::Prefix(""), true},    {e2e::Prefix("E2E Fixture \u2713!"), false},
        {"e2e fixture", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.match.Describe());
        EXPECT_EQ(x.FindWindow(c.match), c.found ? std::optional(w) : std::nullopt);
    }
}

TEST_F(FixtureTest, ShapeAndPixelsMatchWhatTheWindowDraws) {
    using fixture::kHeight, fixture::kNotch, fixture::kWidth;
    EXPECT_TRUE(x.IsShaped(w));
    EXPECT_FALSE(x.IsShaped(x.Root()));
    long area = 0;
    for (const Rect& r : x.ShapeRectangles(w))
        area += long(r.width) * r.height;
    EXPECT_EQ(area, kWidth * kHeight - kNotch * kNotch);
    struct {
        int x, y;
        bool inside;
    } points[] = {{0, 0, true},
                  {kWidth - kNotch - 1, 0, true},
                  {kWidth - kNotch, 0, false},
                  {kWidth - 1, kNotch - 1, false},
                  {kWidth - 1, kNotch, true},
                  {kWidth - 1, kHeight - 1, true},
                  {kWidth, kHeight - 1, false},
                  {-1, 5, false}};
    for (auto p : points)
        EXPECT_EQ(x.IsPixelInShape(w, p.x, p.y), p.inside) << "at " << p.x << "," << p.y;

    WaitForMarker(); // drawn on Expose, after the server painted the background
    EXPECT_EQ(x.Pixel(w, 120, 60), kBackground);
    EXPECT_EQ(x.Pixel(x.Root(), 100 + 15, 80 + 15), kMarker);
    EXPECT_EQ(x.Pixel(w, 10 + 20, 15), kBackground); // just right of the marker
    EXPECT_NE(x.Pixel(w, kWidth - 2, 2), kBackground) << "the notch shows what lies below";
    EXPECT_THROW(x.Pixel(x.Root(), 5000, 5), e2e::Error);
}

TEST_F(FixtureTest, PointerInputArrivesWhereItIsAimed) {
    x.Click(x.ToScreen(w, 50, 60));
    x.MoveTo(x.ToScreen(w, 70, 20));
    EXPECT_EQ(x.PointerPosition(), (e2e::Point{170, 100}));
    x.Press(3);
    x.Release(3);
    x.Drag(x.ToScreen(w, 20, 100), x.ToScreen(w, 120, 100), 5);
    app.WaitForStdout("release 1 120 100\n", 5s);
    EXPECT_EQ(app.Stdout(), "press 1 50 60\nrelease 1 50 60\n"
                            "press 3 70 20\nrelease 3 70 20\n"
                            "press 1 20 100\nmotion 40 100\nmotion 60 100\nmotion 80 100\n"
                            "motion 100 100\nmotion 120 100\nrelease 1 120 100\n");

    const auto& exit = fixture::kExitRect;
    x.Click(x.ToScreen(w, exit.x + 5, exit.y + 5));
    EXPECT_EQ(app.WaitExit(5s), ExitStatus::Exited(0)) << app.Describe();
    x.WaitForWindowGone(w, 5s);
    EXPECT_FALSE(x.Exists(w));
    EXPECT_THROW(x.Geometry(w), e2e::Error);
}

TEST_F(FixtureTest, KeysArriveWithTheirModifiers) {
    x.MoveTo(x.ToScreen(w, 60, 40)); // no window manager: the focus follows the pointer
    struct {
        const char* combo;
        const char* line;
    } cases[] = {
        {"Escape", "key Escape - -"},
        {"Return", "key Return - -"},
        {"Tab", "key Tab - -"},
        {"shift+Tab", "key Tab shift -"},
        {"alt+m", "key m alt m"},
        {"alt+F4", "key F4 alt -"},
        {"ctrl+shift+F10", "key F10 shift,ctrl -"},
        {"A", "key a shift A"},
        {"escape", "key Escape - -"},
        {"Control+plus", "key equal shift,ctrl +"},
    };
    std::vector<std::string> expected;
    for (const auto& c : cases) {
        x.KeyCombo(c.combo);
        expected.push_back(c.line);
    }
    x.TypeText("Hi!");
    for (const char* line : {"key h shift H", "key i - i", "key 1 shift !"})
        expected.push_back(line);
    app.WaitForStdout("key 1 shift !\n", 5s);
    EXPECT_EQ(LinesStarting(app.Stdout(), "key "), expected);

    for (const char* bad : {"hyper+x", "alt+NoSuchKey", "alt+", ""})
        EXPECT_THROW(x.KeyCombo(bad), e2e::Error) << bad;

    // Away from the pointer, keys reach the window only through an explicit focus.
    x.MoveTo(1000, 900);
    x.Focus(w);
    x.KeyCombo("x");
    app.WaitForStdout("focus-in\nkey x - x\n", 5s);

    x.MoveTo(x.ToScreen(w, 60, 40));
    x.KeyCombo("p");
    auto popup = x.WaitUntil([&] { return x.FindPopupNear(x.PointerPosition()); }, 5s,
                             "the fixture's popup");
    EXPECT_EQ(popup.geometry,
              (Rect{100 + 60 + fixture::kPopupOffset, 80 + 40 + fixture::kPopupOffset,
                    fixture::kPopupW, fixture::kPopupH}));
    EXPECT_TRUE(popup.override_redirect);
    EXPECT_EQ(popup.title, std::nullopt);
    EXPECT_EQ(x.ListPopups().size(), 1u);
    EXPECT_EQ(x.FindPopupNear({0, 0}), std::nullopt);
    x.WaitUntil([&] { return x.Pixel(popup.id, 1, 1) == Rgb::FromHex(fixture::kPopupColour); }, 5s,
                "the popup's colour");

    x.KeyCombo("ctrl+q");
    EXPECT_EQ(app.WaitExit(5s), ExitStatus::Exited(0)) << app.Describe();
}

TEST_F(FixtureTest, WaitFailuresNameWhatWasAwaitedAndWhatWasSeen) {
    std::string msg = ErrorOf<e2e::TimeoutError>([&] { x.WaitForWindow("Nope", 100ms); });
    EXPECT_NE(msg.find("after 100 ms waiting for a mapped top-level window with the title "
                       "\"Nope\""),
              std::string::npos)
        << msg;
    EXPECT_NE(msg.find(Hex(w) + " \"" + fixture::kNetTitle + "\" 240x160+100+80 mapped"),
              std::string::npos)
        << msg;

    msg = ErrorOf<e2e::TimeoutError>([&] { x.WaitUntil([] { return false; }, 10ms, "the moon"); });
    EXPECT_NE(msg.find("waiting for the moon; windows present: " + Hex(w)), std::string::npos)
        << msg;

    // A program that ends before its window appears fails the wait at once, with its story.
    App broken = x.Start("/bin/sh", {"-c", "echo \"no display $DISPLAY\" >&2; exit 4"});
    msg = ErrorOf<e2e::Error>([&] { x.WaitForWindow("Never", 60s, &broken); });
    EXPECT_EQ(msg.find("timed out"), std::string::npos) << msg;
    EXPECT_NE(msg.find("exit code 4; stderr: \"no display " + x.DisplayName()), std::string::npos)
        << msg;
}

TEST_F(FixtureTest, ScreenshotsArePngsThatDecodeToWhatIsOnScreen) {
    e2e::TempDir dir;
    WaitForMarker();
    e2e::Image shot = x.Capture(w);
    ASSERT_EQ(shot.width, fixture::kWidth);
    ASSERT_EQ(shot.height, fixture::kHeight);
    EXPECT_EQ(shot.At(15, 15), kMarker);
    EXPECT_EQ(shot.At(120, 60), kBackground);

    x.SavePng(w, dir / "window.png");
    e2e::Image decoded = DecodePng(dir / "window.png");
    EXPECT_EQ(decoded.width, shot.width);
    EXPECT_EQ(decoded.height, shot.height);
    EXPECT_TRUE(decoded.pixels == shot.pixels);

    x.SavePng(x.Root(), dir / "screen.png");
    decoded = DecodePng(dir / "screen.png");
    ASSERT_EQ(decoded.width, 1280);
    ASSERT_EQ(decoded.height, 1024);
    EXPECT_EQ(decoded.At(100 + 15, 80 + 15), kMarker);

    // A window partly off the screen: the part outside is black, the rest is captured.
    App second = x.Start(E2E_FIXTURE_BINARY, {"--at", "-100", "-20"});
    auto w2 = x.WaitUntil(
        [&]() -> std::optional<e2e::WindowId> {
            for (const auto& t : x.ListTopLevels())
                if (t.id != w && t.mapped && t.title == fixture::kNetTitle) return t.id;
            return std::nullopt;
        },
        10s, "a second fixture window");
    x.WaitUntil([&] { return x.Capture(w2).At(120, 60) == kBackground; }, 5s, "its background");
    shot = x.Capture(w2);
    EXPECT_EQ(shot.width, fixture::kWidth);
    EXPECT_EQ(shot.At(50, 60), Rgb{});
    EXPECT_EQ(shot.At(120, 10), Rgb{});
    EXPECT_THROW(e2e::SavePng(e2e::Image{}, dir / "empty.png"), e2e::Error);
    EXPECT_THROW(e2e::SavePng(shot, "/no/such/folder/x.png"), e2e::Error);
}

TEST_F(FixtureTest, XdriveDrivesTheDisplayFromScripts) {
    e2e::TempDir dir;
    auto run = [&](std::vector<std::string> args) {
        App cli = x.Start(E2E_XDRIVE_BINARY, std::move(args));
        ExitStatus st = cli.WaitExit(15s);
        return std::tuple{st.exited ? st.code : -st.signal, cli.Stdout(), cli.Stderr()};
    };
    const std::string id = Hex(w);
    WaitForMarker();
    struct {
        std::vector<std::string> args;
        int code;
        std::string out;
        std::string err = ""; // a part of stderr
    } cases[] = {
        {{"--prefix", "wait-window", "E2E Fix", "5000"}, 0, id + "\n"},
        {{"wait-window", fixture::kNetTitle}, 0, id + "\n"},
        {{"title", id}, 0, std::string(fixture::kNetTitle) + "\n"},
        {{"geometry", fixture::kWmName}, 0, "240x160+100+80\n"},
        {{"-p", "pixel", "E2E", "15", "15"}, 0, "#cc2222\n"},
        {{"pixel", "root", "220", "140"}, 0, "#3366cc\n"},
        {{"click", "150", "140"}, 0, ""},
        {{"drag", "150", "150", "160", "150", "2"}, 0, ""},
        {{"key", "shift+Tab", "Return"}, 0, ""},
        {{"type", "ok"}, 0, ""},
        {{"screenshot", (dir / "w.png").string(), id}, 0, ""},
        {{"wait-window", "Nope", "50"}, 1, "", "xdrive: timed out after 50 ms"},
        {{"title", "Nope"}, 1, "", "windows present: " + id + " \"" + fixture::kNetTitle},
        {{"key", "hyper+x"}, 1, "", "unknown modifier \"hyper\""},
        {{"click", "1"}, 2, "", "usage: xdrive"},
        {{"frobnicate"}, 2, "", "usage: xdrive"},
    };
    for (const auto& c : cases) {
        auto [code, out, err] = run(c.args);
        SCOPED_TRACE(c.args.size() > 1 ? c.args[0] + " " + c.args[1] : c.args[0]);
        EXPECT_EQ(code, c.code) << err;
        EXPECT_EQ(out, c.out);
        EXPECT_NE(err.find(c.err), std::string::npos) << err;
    }
    app.WaitForStdout("key k - k\n", 5s);
    auto lines = app.Stdout();
    EXPECT_NE(lines.find("press 1 50 60\nrelease 1 50 60\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("press 2 50 70\nmotion 51 70\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("motion 60 70\nrelease 2 60 70\n"), std::string::npos) << lines;
    EXPECT_EQ(
        LinesStarting(lines, "key "),
        (std::vector<std::string>{"key Tab shift -", "key Return - -", "key o - o", "key k - k"}));
    EXPECT_EQ(DecodePng((dir / "w.png").string()).width, fixture::kWidth);
}

} // namespace
