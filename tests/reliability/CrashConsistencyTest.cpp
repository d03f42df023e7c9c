// Writers killed with SIGKILL at random moments, again and again: after every kill the log
// holds, byte for byte, the text of the last write that returned or of the one in flight,
// never anything else, and it reads back. Then two writers at once, on different keys and
// on the same key, killed at random moments: no line is lost and the file is never invalid.
//
// Each mode runs for RIDUDUZ_SOAK_SECONDS (default 7) or RIDUDUZ_SOAK_ROUNDS rounds,
// whichever ends first; tests/reliability/soak runs the long version.
#include "IniModel.h"
#include "TempDir.h"
#include "winapi/IniText.h"
#include "winapi/Profile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <random>
#include <set>
#include <string>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using testutil::ReadFile;
using testutil::TempDir;
using testutil::WriteFile;

const std::string kBase =
    "; Riduduz work log\r\n[WorkTime]\r\n2009-06-08=10\r\n2009-06-09=0\r\n2009-06-10=0\r\n"
    "  ; a comment in the middle\r\n[Days]\r\nCount=3\r\nDay0=2009-06-08\r\nDay1=2009-06-09\r\n"
    "Day2=2009-06-10\r\n";

double SoakSeconds() {
    const char* s = std::getenv("RIDUDUZ_SOAK_SECONDS");
    return s ? std::atof(s) : 7.0;
}

long SoakRounds() {
    const char* s = std::getenv("RIDUDUZ_SOAK_ROUNDS");
    return s ? std::atol(s) : 1000000;
}

std::string With(const std::string& text, const char* key, unsigned long value) {
    return *winapi::ini::SetValue(text, "WorkTime", key, std::to_string(value));
}

unsigned long Stored(const std::string& text, const char* key) {
    const auto v = inimodel::Lookup(text, "WorkTime", key);
    return v ? std::stoul(*v) : ~0ul;
}

// A child that writes key=first, first+1, ... and reports each write that returned TRUE
// through the pipe. Returns its pid; the parent keeps the reading end.
pid_t StartWriter(const std::string& file, const char* key, unsigned long first, int& readEnd) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        for (unsigned long v = first;; ++v) {
            if (!WritePrivateProfileStringA("WorkTime", key, std::to_string(v).c_str(),
                                            file.c_str()))
                ::_exit(3);
            if (::write(fds[1], &v, sizeof v) != sizeof v) ::_exit(4);
        }
    }
    ::close(fds[1]);
    readEnd = fds[0];
    return child;
}

// Kills the writer and returns the last value it reported, or `none` if it reported none.
unsigned long KillAndDrain(pid_t child, int readEnd, unsigned long none, bool& diedOfKill) {
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    diedOfKill = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    unsigned long last = none, v = 0;
    while (::read(readEnd, &v, sizeof v) == sizeof v)
        last = v;
    ::close(readEnd);
    return last;
}

void RandomPause(std::mt19937& rng) {
    const long us = std::uniform_int_distribution<long>(0, 4000)(rng);
    const timespec t{0, us * 1000};
    ::nanosleep(&t, nullptr); // the random moment of the kill, not a wait for anything
}

struct Figures {
    long rounds = 0, midWrite = 0;
};

void Report(const char* what, const Figures& f) {
    std::cout << what << ": " << f.rounds << " kills, " << f.midWrite
              << " with a write in flight (new text found or a temporary file left)\n";
    ::testing::Test::RecordProperty(std::string(what) + "_kills", static_cast<int>(f.rounds));
}

bool StrayTemp(const TempDir& dir) {
    return dir.Names().size() > 2;
}

class CrashConsistency : public ::testing::Test {
protected:
    void SetUp() override { WriteFile(file, kBase); }
    bool Due() const {
        return figures.rounds >= SoakRounds() || std::chrono::steady_clock::now() - start >
                                                     std::chrono::duration<double>(SoakSeconds());
    }

    TempDir dir;
    const std::string file = dir / "riduduz.ini";
    std::mt19937 rng{20090609};
    Figures figures;
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

TEST_F(CrashConsistency, OneWriterKilledAtRandomMomentsLeavesOldOrNewText) {
    unsigned long stored = 0; // what the file holds
    while (!Due()) {
        int pipe = -1;
        const pid_t child = StartWriter(file, "2009-06-09", stored + 1, pipe);
        ASSERT_GT(child, 0);
        RandomPause(rng);
        bool killed = false;
        const unsigned long acked = KillAndDrain(child, pipe, stored, killed);
        ASSERT_TRUE(killed) << "the writer failed on its own";
        const auto text = ReadFile(file);
        ASSERT_TRUE(text) << "round " << figures.rounds;
        const unsigned long now = Stored(*text, "2009-06-09");
        ASSERT_TRUE(now == acked || now == acked + 1)
            << "round " << figures.rounds << ": last returned write " << acked << ", file holds "
            << now;
        ASSERT_EQ(*text, With(kBase, "2009-06-09", now)) << "round " << figures.rounds;
        EXPECT_EQ(GetPrivateProfileIntA("worktime", "2009-06-09", -1, file.c_str()), now);
        figures.midWrite += now == acked + 1 || StrayTemp(dir);
        stored = now;
        ++figures.rounds;
    }
    Report("one writer", figures);
    ASSERT_TRUE(WritePrivateProfileStringA("WorkTime", "2009-06-09", "1", file.c_str()));
    EXPECT_EQ(dir.Names(), (std::set<std::string>{"riduduz.ini", "riduduz.ini.lock"}))
        << "the next write removes what killed writers left";
    EXPECT_GT(figures.midWrite, 0) << "no kill landed inside a write";
}

TEST_F(CrashConsistency, TwoWritersOnDifferentKeysKilledAtRandomMomentsLoseNothing) {
    unsigned long a = 0, b = 0;
    while (!Due()) {
        int pipeA = -1, pipeB = -1;
        const pid_t childA = StartWriter(file, "2009-06-09", a + 1, pipeA);
        const pid_t childB = StartWriter(file, "2009-06-10", b + 1, pipeB);
        ASSERT_GT(childA, 0);
        ASSERT_GT(childB, 0);
        RandomPause(rng);
        bool killedA = false, killedB = false;
        const unsigned long ackA = KillAndDrain(childA, pipeA, a, killedA);
        RandomPause(rng);
        const unsigned long ackB = KillAndDrain(childB, pipeB, b, killedB);
        ASSERT_TRUE(killedA && killedB) << "a writer failed on its own";
        const auto text = ReadFile(file);
        ASSERT_TRUE(text);
        const unsigned long nowA = Stored(*text, "2009-06-09"), nowB = Stored(*text, "2009-06-10");
        ASSERT_TRUE(nowA == ackA || nowA == ackA + 1)
            << "round " << figures.rounds << ": " << ackA << " vs " << nowA;
        ASSERT_TRUE(nowB == ackB || nowB == ackB + 1)
            << "round " << figures.rounds << ": " << ackB << " vs " << nowB;
        ASSERT_EQ(*text, With(With(kBase, "2009-06-09", nowA), "2009-06-10", nowB));
        figures.midWrite += nowA == ackA + 1 || nowB == ackB + 1 || StrayTemp(dir);
        a = nowA;
        b = nowB;
        ++figures.rounds;
    }
    Report("two writers, different keys", figures);
}

TEST_F(CrashConsistency, TwoWritersOnTheSameKeyLeaveOneOfTheirLastValues) {
    constexpr unsigned long kB = 1000000000; // B's values, told apart from A's
    unsigned long a = 0, b = kB, stored = 0; // a, b: the last value each may have written
    while (!Due()) {
        int pipeA = -1, pipeB = -1;
        const pid_t childA = StartWriter(file, "2009-06-09", a + 1, pipeA);
        const pid_t childB = StartWriter(file, "2009-06-09", b + 1, pipeB);
        ASSERT_GT(childA, 0);
        ASSERT_GT(childB, 0);
        RandomPause(rng);
        bool killedA = false, killedB = false;
        const unsigned long ackA = KillAndDrain(childA, pipeA, a, killedA);
        const unsigned long ackB = KillAndDrain(childB, pipeB, b, killedB);
        ASSERT_TRUE(killedA && killedB) << "a writer failed on its own";
        const auto text = ReadFile(file);
        ASSERT_TRUE(text);
        const unsigned long now = Stored(*text, "2009-06-09");
        // The last write in lock order is one writer's last returned write or its write in
        // flight; when neither returned, the file may still hold what it held.
        std::set<unsigned long> allowed = {ackA + 1, ackB + 1};
        if (ackA > a) allowed.insert(ackA);
        if (ackB > b) allowed.insert(ackB);
        if (ackA == a && ackB == b) allowed.insert(stored);
        ASSERT_TRUE(allowed.count(now))
            << "round " << figures.rounds << ": " << now << " is neither writer's last value ("
            << ackA << ", " << ackB << ")";
        ASSERT_EQ(*text, With(kBase, "2009-06-09", now));
        figures.midWrite += now == ackA + 1 || now == ackB + 1 || StrayTemp(dir);
        stored = now;
        a = ackA + 1;
        b = ackB + 1;
        ++figures.rounds;
    }
    Report("two writers, same key", figures);
}

} // namespace
