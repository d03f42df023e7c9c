#include "crt/Crt.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

struct Parts {
    std::string dir, fname, ext;
    bool operator==(const Parts&) const = default;
};

void PrintTo(const Parts& p, std::ostream* os) {
    *os << '"' << p.dir << "\" \"" << p.fname << "\" \"" << p.ext << '"';
}

struct Split {
    char drive[_MAX_DRIVE] = "x";
    char dir[_MAX_DIR] = "x";
    char fname[_MAX_FNAME] = "x";
    char ext[_MAX_EXT] = "x";
    int Run(const char* path) {
        return _splitpath_s(path, drive, sizeof drive, dir, sizeof dir, fname, sizeof fname, ext,
                            sizeof ext);
    }
    Parts Get() const { return {dir, fname, ext}; }
};

TEST(SplitPath, SplitsIntoFolderNameAndExtension) {
    const struct {
        const char* path;
        Parts want;
    } cases[] = {
        {"/opt/Riduduz/Riduduz.exe", {"/opt/Riduduz/", "Riduduz", ".exe"}},
        {"/usr/bin/riduduz", {"/usr/bin/", "riduduz", ""}},
        {"archive.tar.gz", {"", "archive.tar", ".gz"}},
        {".profile", {"", "", ".profile"}},
        {"/home/u/.profile", {"/home/u/", "", ".profile"}},
        {"a.", {"", "a", "."}},
        {"..", {"", ".", "."}},
        {"dir.d/file", {"dir.d/", "file", ""}},
        {"//server/share/dir/prog", {"//server/share/dir/", "prog", ""}},
        {"C:\\Prog\\Riduduz.exe", {"", "C:\\Prog\\Riduduz", ".exe"}},
        {"dir/", {"dir/", "", ""}},
        {"/", {"/", "", ""}},
        {"", {"", "", ""}},
    };
    for (const auto& c : cases) {
        Split s;
        EXPECT_EQ(s.Run(c.path), 0) << c.path;
        EXPECT_STREQ(s.drive, "") << c.path;
        EXPECT_EQ(s.Get(), c.want) << c.path;
    }
}

TEST(SplitPath, OutputsMayBeNull) {
    char fname[8];
    EXPECT_EQ(_splitpath_s("/a/very/long/folder/name/x.txt", nullptr, 0, nullptr, 0, fname,
                           sizeof fname, nullptr, 0),
              0);
    EXPECT_STREQ(fname, "x");
}

TEST(SplitPath, ExactFitSucceedsOneShortIsRange) {
    // "/ab/" needs 5 bytes, "cd" 3, ".ef" 4.
    char dir[5], fname[3], ext[4];
    EXPECT_EQ(_splitpath_s("/ab/cd.ef", nullptr, 0, dir, 5, fname, 3, ext, 4), 0);
    EXPECT_STREQ(dir, "/ab/");
    EXPECT_STREQ(fname, "cd");
    EXPECT_STREQ(ext, ".ef");

    const struct { std::size_t dir, fname, ext; } tooSmall[] = {{4, 3, 4}, {5, 2, 4}, {5, 3, 3}};
    for (const auto& c : tooSmall) {
        char d[5] = "x", f[3] = "x", e[4] = "x", drive[3] = "x";
        EXPECT_EQ(_splitpath_s("/ab/cd.ef", drive, 3, d, c.dir, f, c.fname, e, c.ext), ERANGE);
        EXPECT_STREQ(drive, "");
        EXPECT_STREQ(d, "");
        EXPECT_STREQ(f, "");
        EXPECT_STREQ(e, "");
    }
}

TEST(SplitPath, InvalidArguments) {
    char dir[8] = "x", fname[8] = "x";
    EXPECT_EQ(_splitpath_s(nullptr, nullptr, 0, dir, 8, fname, 8, nullptr, 0), EINVAL);
    EXPECT_STREQ(dir, "");
    EXPECT_EQ(_splitpath_s("/a/b", nullptr, 3, dir, 8, fname, 8, nullptr, 0), EINVAL);
    EXPECT_EQ(_splitpath_s("/a/b", nullptr, 0, dir, 0, fname, 8, nullptr, 0), EINVAL);
}

TEST(SplitPath, ClassicFormRefusesInsteadOfOverflowing) {
    char drive[_MAX_DRIVE], dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
    _splitpath("/opt/app/run.sh", drive, dir, fname, ext);
    EXPECT_STREQ(dir, "/opt/app/");
    EXPECT_STREQ(fname, "run");
    EXPECT_STREQ(ext, ".sh");

    _splitpath("/x/run.sh", nullptr, nullptr, fname, nullptr);
    EXPECT_STREQ(fname, "run");

    // _MAX_DIR counts the NUL, so a 255-character folder fits and a 256-character one not.
    const std::string fits = "/" + std::string(253, 'd') + "/";
    _splitpath((fits + "f.e").c_str(), drive, dir, fname, ext);
    EXPECT_EQ(std::string(dir), fits);
    const std::string tooLong = "/" + std::string(254, 'd') + "/";
    _splitpath((tooLong + "f.e").c_str(), drive, dir, fname, ext);
    EXPECT_STREQ(dir, "");
    EXPECT_STREQ(fname, "");
}

} // namespace
