#include "TempDir.h"
#include "winapi/Profile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <string>
#include <vector>

using testutil::TempDir;
using testutil::WriteFile;

namespace {

std::string GetString(const std::string& file, const char* section, const char* key,
                      const char* def = "DEF") {
    std::vector<char> buffer(1 << 20);
    const DWORD n = GetPrivateProfileStringA(section, key, def, buffer.data(),
                                             static_cast<DWORD>(buffer.size()), file.c_str());
    return std::string(buffer.data(), n);
}

TEST(ProfileRead, FindsValuesByTheTextRules) {
    const struct {
        const char* what;
        std::string text;
        const char* section;
        const char* key;
        std::optional<std::string> want; // nothing: the default
    } cases[] = {
        {"LF", "[s]\nk=v\n", "s", "k", "v"},
        {"CRLF", "[a]\r\nx=1\r\n[s]\r\nk=v\r\nj=w\r\n", "s", "k", "v"},
        {"CR only", "[s]\rk=v\rj=w", "s", "j", "w"},
        {"no final line break", "[s]\nk=v", "s", "k", "v"},
        {"UTF-8 BOM before the first section", "\xEF\xBB\xBF[s]\nk=v\n", "s", "k", "v"},
        {"other case", "[SeCtIoN]\nMyKey=v\n", "section", "MYKEY", "v"},
        {"blanks around names and value", "[ \ts\t ]\n \t k \t= \t v  w \t\n", "s", "k", "v  w"},
        {"blanks around the arguments", "[s]\nk=v\n", " s ", " k ", "v"},
        {"double quotes", "[s]\nk= \"  q  \" \n", "s", "k", "  q  "},
        {"single quotes", "[s]\nk='q'\n", "s", "k", "q"},
        {"mismatched quotes stay", "[s]\nk='q\"\n", "s", "k", "'q\""},
        {"a lone quote stays", "[s]\nk=\"\n", "s", "k", "\""},
        {"empty value", "[s]\nk=\n", "s", "k", ""},
        {"semicolon inside a value", "[s]\nk=a;b\n", "s", "k", "a;b"},
        {"second '=' belongs to the value", "[s]\nk=a=b\n", "s", "k", "a=b"},
        {"header without ']'", "[s\nk=v\n", "s", "k", "v"},
        {"comment", "[s]\n;k=v\n", "s", "k", std::nullopt},
        {"indented comment", "[s]\n  ;k=v\n", "s", "k", std::nullopt},
        {"'#' is no comment", "[s]\n#k=v\n", "s", "#k", "v"},
        {"line without '='", "[s]\nk\n", "s", "k", std::nullopt},
        {"text after ']' is no key", "[s] k=v\n", "s", "k", std::nullopt},
        {"before the first section", "k=v\n[s]\n", "s", "k", std::nullopt},
        {"key of another section", "[s]\n[t]\nk=v\n", "s", "k", std::nullopt},
        {"first duplicate key wins", "[s]\nk=1\nK=2\n", "s", "k", "1"},
        {"second copy of a section is not searched", "[s]\na=1\n[t]\n[s]\nk=2\n", "s", "k",
         std::nullopt},
        {"missing section", "[s]\nk=v\n", "t", "k", std::nullopt},
        {"missing key", "[s]\nk=v\n", "s", "j", std::nullopt},
    };
    TempDir dir;
    for (const auto& c : cases) {
        WriteFile(dir / "p.ini", c.text);
        EXPECT_EQ(GetString(dir / "p.ini", c.section, c.key), c.want.value_or("DEF")) << c.what;
        EXPECT_EQ(GetLastError(), c.want ? 0u : static_cast<DWORD>(ENOENT)) << c.what;
    }
}

TEST(ProfileRead, IntegersTakeTheLeadingDigitsAndWrap) {
    const struct {
        std::string value;
        UINT want;
    } cases[] = {
        {"42", 42},
        {"+1", 1},
        {"-1", 0xFFFFFFFFu},
        {"007", 7},
        {"42abc", 42},
        {"0x10", 0},
        {"abc", 0},
        {"", 0},
        {"+", 0},
        {"- 1", 0},
        {"  12  ", 12},
        {"\"12\"", 12},
        {"'7'", 7},
        {"4294967295", 4294967295u},
        {"4294967296", 0},
        {"4294967297", 1},
        {"-4294967297", 0xFFFFFFFFu},
    };
    TempDir dir;
    const std::string file = dir / "p.ini";
    for (const auto& c : cases) {
        WriteFile(file, "[s]\nk=" + c.value + "\n");
        EXPECT_EQ(GetPrivateProfileIntA("s", "k", 99, file.c_str()), c.want) << c.value;
    }
    // Missing things give the default, negative ones as their unsigned value.
    EXPECT_EQ(GetPrivateProfileIntA("s", "other", -5, file.c_str()), static_cast<UINT>(-5));
    EXPECT_EQ(GetPrivateProfileIntA("t", "k", 7, file.c_str()), 7u);
    EXPECT_EQ(GetPrivateProfileIntA("s", "k", 7, (dir / "missing.ini").c_str()), 7u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ENOENT));
    EXPECT_EQ(GetPrivateProfileIntA("s", nullptr, 7, file.c_str()), 7u);
    EXPECT_EQ(GetPrivateProfileIntA("s", "k", 7, nullptr), 7u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EINVAL));
}

TEST(ProfileRead, StringIsCutToTheBuffer) {
    TempDir dir;
    const std::string file = dir / "p.ini";
    WriteFile(file, "[s]\nk=abcdef\n");
    const struct {
        DWORD size;
        DWORD want;
        const char* text;
        DWORD error;
    } cases[] = {
        {7, 6, "abcdef", 0},          {50, 6, "abcdef", 0},        {6, 5, "abcde", ERROR_MORE_DATA},
        {2, 1, "a", ERROR_MORE_DATA}, {1, 0, "", ERROR_MORE_DATA},
    };
    for (const auto& c : cases) {
        char buffer[101];
        std::string(100, '#').copy(buffer, 100);
        buffer[100] = '\0';
        EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", buffer, c.size, file.c_str()), c.want);
        EXPECT_STREQ(buffer, c.text) << c.size;
        EXPECT_EQ(buffer[c.size], '#') << "wrote past the buffer at size " << c.size;
        EXPECT_EQ(GetLastError(), c.error) << c.size;
    }
    char untouched[4] = "xyz";
    EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", untouched, 0, file.c_str()), 0u);
    EXPECT_STREQ(untouched, "xyz");
}

TEST(ProfileRead, DefaultLosesTrailingSpacesOnly) {
    TempDir dir;
    const std::string file = dir / "missing.ini";
    EXPECT_EQ(GetString(file, "s", "k", " \tdef  "), " \tdef");
    EXPECT_EQ(GetString(file, "s", "k", "   "), "");
    EXPECT_EQ(GetString(file, "s", "k", nullptr), "");
    char buffer[3];
    EXPECT_EQ(GetPrivateProfileStringA("s", "k", "long", buffer, 3, file.c_str()), 2u);
    EXPECT_STREQ(buffer, "lo");
}

TEST(ProfileRead, LongLinesComeBackWhole) {
    TempDir dir;
    const std::string file = dir / "p.ini";
    const std::string value(300000, 'v');
    WriteFile(file, "[s]\n" + std::string(200000, 'x') + "=1\nk=" + value + "\n");
    EXPECT_EQ(GetString(file, "s", "k"), value);
}

} // namespace
