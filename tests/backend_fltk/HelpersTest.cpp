#include "backend/fltk/Helpers.h"

#include <FL/Enumerations.H>
#include <gtest/gtest.h>

#include <set>
#include <utility>

using namespace backend;
using namespace backend::fltk;

TEST(TranslateKey, MapsTheKeysTheComponentsUse) {
    struct Case {
        int key;
        int state;
        Key expected;
        char character;
        Modifiers mods;
    };
    const Case cases[] = {
        {'a', 0, Key::Character, 'a', {}},
        {'x', FL_ALT, Key::Character, 'x', {false, false, true}},
        {'A', FL_SHIFT, Key::Character, 'a', {true, false, false}},
        {'7', 0, Key::Character, '7', {}},
        {FL_KP + '3', 0, Key::Character, '3', {}},
        {FL_Tab, FL_SHIFT, Key::Tab, 0, {true, false, false}},
        {FL_Tab, 0, Key::Tab, 0, {}},
        {FL_Enter, 0, Key::Enter, 0, {}},
        {FL_KP_Enter, 0, Key::Enter, 0, {}},
        {FL_Escape, 0, Key::Escape, 0, {}},
        {' ', 0, Key::Space, 0, {}},
        {FL_Up, 0, Key::Up, 0, {}},
        {FL_Down, 0, Key::Down, 0, {}},
        {FL_Left, 0, Key::Left, 0, {}},
        {FL_Right, FL_CTRL, Key::Right, 0, {false, true, false}},
        {FL_Home, 0, Key::Home, 0, {}},
        {FL_End, 0, Key::End, 0, {}},
        {FL_F + 4, FL_ALT, Key::F4, 0, {false, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const auto e = TranslateKey(c.key, c.state);
        ASSERT_TRUE(e.has_value());
        EXPECT_EQ(e->key, c.expected);
        EXPECT_EQ(e->character, c.character);
        EXPECT_EQ(e->modifiers.shift, c.mods.shift);
        EXPECT_EQ(e->modifiers.ctrl, c.mods.ctrl);
        EXPECT_EQ(e->modifiers.alt, c.mods.alt);
    }
}

TEST(TranslateKey, KeysWithoutANameGiveNothing) {
    for (int key : {FL_F + 1, FL_Shift_L, FL_Alt_L, FL_Delete, FL_BackSpace, int('-'), FL_Insert})
        EXPECT_FALSE(TranslateKey(key, 0).has_value()) << key;
}

namespace {

// The pixels a list of rectangles covers; fails on any pixel covered twice.
std::set<std::pair<int, int>> Pixels(const std::vector<Rect>& rects) {
    std::set<std::pair<int, int>> px;
    for (const Rect& r : rects)
        for (int y = r.y; y < r.Bottom(); ++y)
            for (int x = r.x; x < r.Right(); ++x)
                EXPECT_TRUE(px.insert({x, y}).second);
    return px;
}

} // namespace

TEST(CornerShape, RoundsOnlyTheTopCorners) {
    const int w = 541, h = 280;
    const auto rects = CornerShape(w, h, 11);
    EXPECT_LE(rects.size(), 6u); // rows of equal inset merged
    const auto px = Pixels(rects);
    auto in = [&](int x, int y) { return px.count({x, y}) == 1; };
    // An ellipse of 11 x 11 cuts 3, 2 and 1 pixels from the first three rows.
    for (auto [x, y] : {std::pair{0, 0}, {2, 0}, {1, 1}, {0, 2}, {540, 0}, {538, 0}, {540, 2}})
        EXPECT_FALSE(in(x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{3, 0},
                        {2, 1},
                        {1, 2},
                        {0, 3},
                        {537, 0},
                        {540, 3},
                        {0, 279},
                        {540, 279},
                        {270, 140}})
        EXPECT_TRUE(in(x, y)) << x << "," << y;
    EXPECT_EQ(px.size(), static_cast<std::size_t>(w * h - 2 * (3 + 2 + 1)));
    for (const auto& [x, y] : px)
        EXPECT_TRUE(in(w - 1 - x, y)) << "mirror of " << x;
}

TEST(CornerShape, DegenerateSizes) {
    EXPECT_EQ(CornerShape(100, 50, 0), (std::vector<Rect>{{0, 0, 100, 50}}));
    EXPECT_TRUE(CornerShape(0, 50, 11).empty());
    // A diameter beyond the window's size never makes rows wider than the window.
    const auto px = Pixels(CornerShape(20, 5, 40));
    for (const auto& [x, y] : px)
        EXPECT_TRUE(x >= 0 && x < 20 && y >= 0 && y < 5);
    EXPECT_FALSE(px.empty());
}

TEST(WrapText, BreaksAtSpacesNewlinesAndInsideLongWords) {
    auto measure = [](const std::string& s) {
        int chars = 0; // 6 px per character, UTF-8 sequences counted once
        for (unsigned char c : s)
            chars += (c & 0xC0) != 0x80;
        return chars * 6;
    };
    struct Case {
        std::string text;
        int width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"hello world", 1000, {"hello world"}},
        {"aaa bbb ccc", 42, {"aaa bbb", "ccc"}},
        {"aaa bbb ccc", 41, {"aaa", "bbb", "ccc"}},
        {"one\n\ntwo", 1000, {"one", "", "two"}},
        {"line\r\nnext", 1000, {"line", "next"}},
        {"abcdefghij", 24, {"abcd", "efgh", "ij"}},
        {"xy abcdefghij z", 24, {"xy", "abcd", "efgh", "ij z"}},
        {"a   b", 1000, {"a b"}},
        {"\xC3\xA9\xC3\xA9\xC3\xA9", 12, {"\xC3\xA9\xC3\xA9", "\xC3\xA9"}},
        {"", 100, {""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WrapText(c.text, c.width, measure), c.lines) << c.text << " / " << c.width;
}

TEST(NextTickDue, KeepsTheCadenceUnlessAWholeIntervalWasMissed) {
    using std::chrono::milliseconds;
    const Clock::time_point t0{};
    const auto i = milliseconds(100);
    EXPECT_EQ(NextTickDue(t0, i, t0 + milliseconds(10)), t0 + milliseconds(100));
    EXPECT_EQ(NextTickDue(t0, i, t0 + milliseconds(99)), t0 + milliseconds(100));
    // Late by more than an interval: one tick now, the next a full interval later.
    EXPECT_EQ(NextTickDue(t0, i, t0 + milliseconds(100)), t0 + milliseconds(200));
    EXPECT_EQ(NextTickDue(t0, i, t0 + milliseconds(350)), t0 + milliseconds(450));
}

TEST(OpenerArgv, TargetIsOneArgumentAsGiven) {
    const std::string target = "/tmp/a b;$(rm -rf x)'\"*.txt";
    EXPECT_EQ(OpenerArgv(target), (std::vector<std::string>{"xdg-open", target}));
}

TEST(ProgramClass, InstanceIsTheFileNameAndClassCapitalisesIt) {
    using P = std::pair<std::string, std::string>;
    EXPECT_EQ(ProgramClass("/usr/bin/riduduz"), (P{"riduduz", "Riduduz"}));
    EXPECT_EQ(ProgramClass("/opt/x/xclock"), (P{"xclock", "Xclock"}));
    EXPECT_EQ(ProgramClass("/home/u/riduduz (deleted)"), (P{"riduduz", "Riduduz"}));
    EXPECT_EQ(ProgramClass("").first, "riduduz");
}

TEST(FontPixelSize, CharacterAndCellHeights) {
    EXPECT_EQ(FontPixelSize(-11), 11);
    EXPECT_EQ(FontPixelSize(-13), 13);
    EXPECT_EQ(FontPixelSize(13), 11);
    EXPECT_EQ(FontPixelSize(32), 28);
    EXPECT_GT(FontPixelSize(0), 0);
}
