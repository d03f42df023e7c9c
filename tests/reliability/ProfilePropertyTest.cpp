// Generated profile files and generated sequences of writes through the real profile calls:
// after every write the file holds exactly what the rules give (so every line no write
// touched survives byte for byte), a written key reads back its value, names match without
// regard to case and the first of duplicates wins. Seeded, so a failure names its case.
#include "IniModel.h"
#include "TempDir.h"
#include "winapi/Profile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using testutil::ReadFile;
using testutil::TempDir;
using testutil::WriteFile;

constexpr int kCases = 3000;

class Gen {
public:
    explicit Gen(unsigned seed) : rng_(seed) {}
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool OneIn(int n) { return Below(n) == 0; }
    template <class T> const T& Pick(const std::vector<T>& v) {
        return v[Below(static_cast<int>(v.size()))];
    }

    std::string Blanks() {
        static const std::vector<std::string> kBlanks = {"",   "",   "",   " ",   "\t",
                                                         "  ", "\v", "\f", " \t "};
        return Pick(kBlanks);
    }
    std::string Cased(std::string s) {
        for (char& c : s)
            if (OneIn(3) && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c ^= 0x20;
        return s;
    }
    std::string Section() {
        static const std::vector<std::string> k = {"s", "WorkTime", "Days", "a b", "", "x.y"};
        return Cased(Pick(k));
    }
    std::string Key() {
        static const std::vector<std::string> k = {"k",   "2009-06-09", "Count", "Day0",
                                                   "a b", "",           "k2"};
        return Cased(Pick(k));
    }
    std::string Value() {
        switch (Below(8)) {
        case 0:
            return std::to_string(Below(100000));
        case 1:
            return "'" + std::to_string(Below(10)) + "'";
        case 2:
            return "\"quoted value\"";
        case 3:
            return " padded\t";
        case 4:
            return "";
        case 5:
            return "a=b;[c]";
        case 6:
            return std::string(1 + Below(3000), 'v');
        default:
            return "-" + std::to_string(Below(5000000));
        }
    }
    std::string Junk() {
        std::string s;
        for (int n = 1 + Below(40); n > 0; --n) {
            char c = static_cast<char>(Below(256));
            if (c == '\r' || c == '\n') c = '\x7f';
            s += c;
        }
        return s;
    }
    std::string Line() {
        switch (Below(10)) {
        case 0:
        case 1:
            return Blanks() + "[" + Blanks() + Section() + Blanks() + (OneIn(8) ? "" : "]") +
                   (OneIn(4) ? " tail" : "");
        case 2:
        case 3:
        case 4:
            return Blanks() + Key() + Blanks() + "=" + Blanks() + Value();
        case 5:
            return Blanks() + ";" + Key() + "=" + Value();
        case 6:
            return Blanks();
        case 7:
            return "no equals here";
        case 8:
            return Junk();
        default:
            return std::string(1000 + Below(3000), 'L') + "=" + Value();
        }
    }
    std::string File() {
        static const std::vector<std::string> kEnds = {"\n", "\r\n", "\r"};
        const int style = Below(4); // 3: mixed
        std::string text = OneIn(8) ? "\xEF\xBB\xBF" : "";
        for (int n = Below(14); n > 0; --n) {
            text += Line();
            text += style == 3 ? Pick(kEnds) : kEnds[style];
        }
        if (!text.empty() && OneIn(4)) text.pop_back(); // no final line end (or a lone CR)
        return text;
    }

private:
    std::mt19937 rng_;
};

std::string Read(const std::string& file, const std::string& section, const std::string& key,
                 DWORD& error) {
    static std::vector<char> buf(1 << 16);
    const DWORD n =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), "\x01missing", buf.data(),
                                 static_cast<DWORD>(buf.size()), file.c_str());
    error = GetLastError();
    return std::string(buf.data(), n);
}

// Every name the text holds, asked in another spelling, reads what the rules give.
void ExpectReadsAsModel(const std::string& file, const std::string& text, Gen& gen) {
    for (const auto& [section, key] : inimodel::Names(text)) {
        if ((section + key).find('\0') != std::string::npos) continue; // not a C string
        DWORD error = 0;
        const std::string got =
            Read(file, gen.Cased(section), gen.Blanks() + gen.Cased(key), error);
        const auto want = inimodel::Lookup(text, section, key);
        EXPECT_EQ(got, want ? *want : "\x01missing") << "[" << section << "] " << key;
        EXPECT_EQ(error, want ? 0u : static_cast<DWORD>(ENOENT)) << "[" << section << "] " << key;
    }
}

// The files live on a memory file system when there is one: thousands of synced writes.
std::unique_ptr<TempDir> FastDir() {
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    if (::access("/dev/shm", W_OK) == 0) ::setenv("TMPDIR", "/dev/shm", 1);
    auto dir = std::make_unique<TempDir>();
    if (old)
        ::setenv("TMPDIR", saved.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
    return dir;
}

TEST(ProfileProperty, GeneratedFilesAndWritesFollowTheRules) {
    const auto fast = FastDir();
    const TempDir& dir = *fast;
    int writes = 0, refused = 0, created = 0;
    for (int seed = 1; seed <= kCases; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Gen gen(static_cast<unsigned>(seed));
        const std::string file = dir / ("p" + std::to_string(seed % 7) + ".ini");
        std::remove(file.c_str());
        const bool exists = !gen.OneIn(10);
        std::string text = exists ? gen.File() : "";
        if (exists) WriteFile(file, text);
        ExpectReadsAsModel(file, text, gen);
        for (int op = 1 + gen.Below(5); op > 0; --op) {
            const std::string section = gen.Blanks() + gen.Section() + gen.Blanks();
            const std::string key = gen.Blanks() + gen.Key() + gen.Blanks();
            std::string want;
            BOOL ok = FALSE;
            switch (gen.Below(6)) {
            case 0:
                ok =
                    WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, file.c_str());
                want = inimodel::ExpectedDeleteKey(text, section, key);
                break;
            case 1:
                ok = WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, file.c_str());
                want = inimodel::ExpectedDeleteSection(text, section);
                break;
            default: {
                std::string value = gen.Value();
                if (gen.OneIn(12)) value += gen.OneIn(2) ? "\nsecond" : "\r";
                const std::string k = gen.OneIn(30) ? "[" + key : key;
                ok = WritePrivateProfileStringA(section.c_str(), k.c_str(), value.c_str(),
                                                file.c_str());
                const auto set = inimodel::ExpectedSet(text, section, k, value);
                if (!set) {
                    EXPECT_EQ(ok, FALSE);
                    EXPECT_EQ(GetLastError(), static_cast<DWORD>(EINVAL));
                    ++refused;
                    want = text;
                    break;
                }
                EXPECT_EQ(ok, TRUE) << "[" << section << "] " << k;
                want = *set;
                DWORD error = 0;
                EXPECT_EQ(Read(file, gen.Cased(section), gen.Cased(k), error),
                          inimodel::ReadsBackAs(value));
                EXPECT_EQ(error, 0u);
                if (!value.empty() && value.size() <= 9 &&
                    value.find_first_not_of("0123456789") == std::string::npos) {
                    EXPECT_EQ(GetPrivateProfileIntA(section.c_str(), k.c_str(), -1, file.c_str()),
                              std::stoul(value));
                }
                created += !exists && text.empty();
            }
            }
            ++writes;
            const auto now = ReadFile(file);
            if (!now) {
                EXPECT_EQ(want, "") << "the file went missing";
                EXPECT_FALSE(exists && text != "");
            } else {
                ASSERT_EQ(*now, want) << "before:\n" << text;
            }
            text = want;
        }
        ExpectReadsAsModel(file, text, gen);
        if (::testing::Test::HasFailure()) break; // one broken seed is enough to read
    }
    EXPECT_GT(refused, 50);
    EXPECT_GT(created, 50);
    RecordProperty("writes", writes);
}

} // namespace
