#include "TempDir.h"
#include "winapi/Profile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testutil::ReadFile;
using testutil::TempDir;
using testutil::WriteFile;

namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

struct WriteCase {
    const char* what;
    std::optional<std::string> before; // nothing: no file
    const char* section;
    const char* key;                  // null: delete the section
    const char* value;                // null: delete the key
    std::optional<std::string> after; // the whole file afterwards; nothing: still no file
};

void RunWriteCases(const WriteCase* begin, const WriteCase* end) {
    TempDir dir;
    const std::string file = dir / "p.ini";
    for (const WriteCase* c = begin; c != end; ++c) {
        ::unlink(file.c_str());
        if (c->before) WriteFile(file, *c->before);
        EXPECT_EQ(WritePrivateProfileStringA(c->section, c->key, c->value, file.c_str()), TRUE)
            << c->what;
        EXPECT_EQ(ReadFile(file), c->after) << c->what;
        if (c->key && c->value) {
            char buffer[256];
            GetPrivateProfileStringA(c->section, c->key, "", buffer, sizeof buffer, file.c_str());
            std::string value = c->value;
            value.erase(0, value.find_first_not_of(' '));
            value.erase(value.find_last_not_of(' ') + 1);
            EXPECT_EQ(buffer, value) << c->what << ": does not read back";
        }
    }
}

TEST(ProfileWrite, SetsValuesAndKeepsEveryOtherByte) {
    const WriteCase cases[] = {
        {"new file", std::nullopt, "s", "k", "v", "[s]\nk=v\n"},
        {"empty file", "", "s", "k", "v", "[s]\nk=v\n"},
        {"new section at the end", "[a]\nx=1\n", "s", "k", "v", "[a]\nx=1\n[s]\nk=v\n"},
        {"new section after a last line without break", "junk", "s", "k", "v", "junk\n[s]\nk=v\n"},
        {"new section in a CRLF file", "[a]\r\nx=1\r\n", "s", "k", "v",
         "[a]\r\nx=1\r\n[s]\r\nk=v\r\n"},
        {"new section in a CR file", "[a]\rx=1", "s", "k", "v", "[a]\rx=1\r[s]\rk=v\r"},
        {"CRLF wins over LF lines", "[a]\nx=1\r\ny=2\n", "a", "k", "v", "[a]\nx=1\r\ny=2\nk=v\r\n"},
        {"file holding only a BOM", kBom, "s", "k", "v", std::string(kBom) + "[s]\nk=v\n"},
        {"BOM kept, first section found", std::string(kBom) + "[s]\nk=1\n", "s", "k", "2",
         std::string(kBom) + "[s]\nk=2\n"},
        {"new key after the last key line, before comments and blanks",
         "[s]\na=1\n;c\nnot a key\n\n[t]\n", "s", "b", "2",
         "[s]\na=1\nb=2\n;c\nnot a key\n\n[t]\n"},
        {"new key in a section with no keys", "[s]\n;k=1\n[t]\n", "s", "k", "v",
         "[s]\nk=v\n;k=1\n[t]\n"},
        {"new key after a last line without break", "[s]\na=1", "s", "b", "2", "[s]\na=1\nb=2\n"},
        {"new key after a header without break", "[s]", "s", "b", "2", "[s]\nb=2\n"},
        {"existing key rewritten where it stands", "[s]\n  KeY  = old value \r\nz=1\r\n", "s",
         "key", "new", "[s]\n  KeY  =new\r\nz=1\r\n"},
        {"existing key on a last line without break", "[s]\nk=old", "s", "k", "new", "[s]\nk=new"},
        {"other case section and key", "[SECT]\nKEY=1\n", "sect", "key", "9", "[SECT]\nKEY=9\n"},
        {"first duplicate key updated", "[s]\nk=1\nk=2\n", "s", "k", "9", "[s]\nk=9\nk=2\n"},
        {"first copy of a section gets the new key", "[s]\na=1\n[t]\n[s]\nb=2\n", "s", "c", "3",
         "[s]\na=1\nc=3\n[t]\n[s]\nb=2\n"},
        {"lines before the first section untouched", "k=1\n[s]\n", "s", "k", "2",
         "k=1\n[s]\nk=2\n"},
        {"argument blanks dropped, value kept as given", "", " s ", " k ", " v ", "[s]\nk= v \n"},
        {"empty value", "[s]\nk=1\n", "s", "k", "", "[s]\nk=\n"},
        {"same value leaves the file as it is", "[s]\r\nk = 1\n", "s", "k", " 1", "[s]\r\nk = 1\n"},
    };
    RunWriteCases(std::begin(cases), std::end(cases));
}

TEST(ProfileWrite, DeletesKeysAndSections) {
    const WriteCase cases[] = {
        {"key", "[s]\na=1\nk=2\nb=3\n", "s", "k", nullptr, "[s]\na=1\nb=3\n"},
        {"key in a CRLF file, header stays", "[s]\r\nK=2\r\n[t]\r\n", "s", "k", nullptr,
         "[s]\r\n[t]\r\n"},
        {"every copy of the key in the section", "[s]\nk=1\nx=0\nk=2\n", "s", "k", nullptr,
         "[s]\nx=0\n"},
        {"key on a last line without break", "[s]\na=1\nk=2", "s", "k", nullptr, "[s]\na=1\n"},
        {"key of another section stays", "[t]\nk=1\n[s]\n", "s", "k", nullptr, "[t]\nk=1\n[s]\n"},
        {"missing key", "[s]\na=1\n", "s", "k", nullptr, "[s]\na=1\n"},
        {"key from a missing file creates nothing", std::nullopt, "s", "k", nullptr, std::nullopt},
        {"section keeps its comments and other lines",
         "[a]\nx=1\n[S]\nk=1\n;c\nplain\nj=2\n[b]\ny=2\n", "s", nullptr, nullptr,
         "[a]\nx=1\n;c\nplain\n[b]\ny=2\n"},
        {"every copy of the section", "[s]\nk=1\n[t]\nu=1\n[s]\nj=2\n", "s", nullptr, "ignored",
         "[t]\nu=1\n"},
        {"missing section", "[s]\nk=1\n", "t", nullptr, nullptr, "[s]\nk=1\n"},
        {"section from a missing file creates nothing", std::nullopt, "s", nullptr, nullptr,
         std::nullopt},
    };
    RunWriteCases(std::begin(cases), std::end(cases));
}

TEST(ProfileWrite, KeepsPermissionBits) {
    TempDir dir;
    const std::string file = dir / "p.ini";
    WriteFile(file, "[s]\nk=1\n");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_EQ(WritePrivateProfileStringA("s", "k", "2", file.c_str()), TRUE);
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(ProfileWrite, FollowsASymlinkToItsTarget) {
    TempDir dir;
    WriteFile(dir / "real.ini", "[s]\nk=1\n");
    ASSERT_EQ(::symlink("real.ini", (dir / "link.ini").c_str()), 0);
    ASSERT_EQ(WritePrivateProfileStringA("s", "k", "2", (dir / "link.ini").c_str()), TRUE);
    struct stat st;
    ASSERT_EQ(::lstat((dir / "link.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(dir / "real.ini"), "[s]\nk=2\n");
}

TEST(ProfileWrite, LongValuesRoundTrip) {
    TempDir dir;
    const std::string file = dir / "p.ini";
    const std::string value(1 << 20, 'v');
    ASSERT_EQ(WritePrivateProfileStringA("s", "k", value.c_str(), file.c_str()), TRUE);
    std::string buffer(value.size() + 1, '\0');
    EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", buffer.data(),
                                       static_cast<DWORD>(buffer.size()), file.c_str()),
              value.size());
    EXPECT_EQ(buffer.c_str(), value);
}

std::string KeyName(int process, int i) {
    std::string name = "p";
    name += std::to_string(process);
    name += 'k';
    name += std::to_string(i);
    return name;
}

// Two processes adding different keys to one file: the lock must serialise each
// read-modify-write, or one process's rename drops the other's key.
TEST(ProfileWrite, ConcurrentWritersLoseNoKey) {
    TempDir dir;
    const std::string file = dir / "p.ini";
    constexpr int kWrites = 200;
    pid_t children[2];
    for (int p = 0; p < 2; ++p) {
        children[p] = ::fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) {
            bool ok = true;
            for (int i = 0; i < kWrites; ++i) {
                const std::string key = KeyName(p, i);
                ok &= WritePrivateProfileStringA("s", key.c_str(), std::to_string(i).c_str(),
                                                 file.c_str()) == TRUE;
            }
            ::_exit(ok ? 0 : 1);
        }
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    int missing = 0;
    for (int p = 0; p < 2; ++p)
        for (int i = 0; i < kWrites; ++i) {
            const std::string key = KeyName(p, i);
            missing +=
                GetPrivateProfileIntA("s", key.c_str(), -1, file.c_str()) != static_cast<UINT>(i);
        }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"p.ini", "p.ini.lock"}));
}

} // namespace
