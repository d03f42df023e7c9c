// The loop without a display: posted tasks, timers and the opener.
#include "backend/Backend.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace backend;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

namespace {

// Runs the loop until `cond` holds or `limit` passes; true if it held in time.
bool RunFor(const std::function<bool()>& cond, milliseconds limit = milliseconds(5000)) {
    bool expired = false;
    const TimerId guard =
        Current().StartTimer(static_cast<int>(limit.count()), [&] { expired = true; });
    Current().RunUntil([&] { return cond() || expired; });
    Current().StopTimer(guard);
    return cond() && !expired;
}

void BusyFor(milliseconds d) {
    const auto end = Clock::now() + d;
    while (Clock::now() < end) {
    }
}

} // namespace

TEST(Post, RunsLaterInOrderAndTasksPostedByTasksRunOnALaterTurn) {
    std::vector<std::string> ran;
    Current().Post([&] {
        ran.push_back("a");
        Current().Post([&] { ran.push_back("c"); });
    });
    Current().Post([&] { ran.push_back("b"); });
    EXPECT_TRUE(ran.empty());
    ASSERT_TRUE(RunFor([&] { return ran.size() == 3; }));
    EXPECT_EQ(ran, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(Post, ANestedLoopRunsTheTasksQueuedBehindIt) {
    std::vector<std::string> ran;
    Current().Post([&] {
        ran.push_back("outer");
        Current().RunUntil([&] { return ran.size() == 2; });
        ran.push_back("nested done");
    });
    Current().Post([&] { ran.push_back("queued"); });
    ASSERT_TRUE(RunFor([&] { return ran.size() == 3; }));
    EXPECT_EQ(ran, (std::vector<std::string>{"outer", "queued", "nested done"}));
}

TEST(Timer, FirstTickAfterOneIntervalThenPeriodic) {
    std::vector<Clock::time_point> ticks;
    const auto start = Clock::now();
    const TimerId id = Current().StartTimer(30, [&] { ticks.push_back(Clock::now()); });
    ASSERT_TRUE(RunFor([&] { return ticks.size() >= 3; }));
    Current().StopTimer(id);
    EXPECT_GE(ticks[0] - start, milliseconds(29));
    EXPECT_GE(ticks[1] - ticks[0], milliseconds(1));
}

TEST(Timer, StopFromInsideItsOwnTickEndsIt) {
    int count = 0;
    TimerId id = 0;
    id = Current().StartTimer(10, [&] {
        ++count;
        Current().StopTimer(id);
    });
    // Another timer that ticks several times in the while.
    int other = 0;
    const TimerId witness = Current().StartTimer(10, [&] { ++other; });
    ASSERT_TRUE(RunFor([&] { return other >= 5; }));
    Current().StopTimer(witness);
    EXPECT_EQ(count, 1);
}

TEST(Timer, ALateTickIsDeliveredOnceAndTheNextComesAFullIntervalLater) {
    std::vector<Clock::time_point> ends;
    const TimerId id = Current().StartTimer(20, [&] {
        if (ends.empty()) BusyFor(milliseconds(90)); // the loop is busy for 4 intervals
        ends.push_back(Clock::now());
    });
    ASSERT_TRUE(RunFor([&] { return ends.size() >= 3; }));
    Current().StopTimer(id);
    // No burst of the missed ticks: the one after the late tick is a full interval later.
    // (Later ticks keep their own schedule, so a loaded machine may bring them closer.)
    EXPECT_GE(ends[1] - ends[0], milliseconds(18));
}

TEST(RunUntil, ReturnsRightAfterTheTickThatEndsIt) {
    bool done = false, guard = false;
    TimerId id = 0;
    id = Current().StartTimer(10, [&] {
        done = true;
        Current().StopTimer(id);
    });
    // Nothing else is due for a minute: RunUntil must not wait for it.
    const TimerId far = Current().StartTimer(60000, [&] { guard = true; });
    Current().RunUntil([&] { return done || guard; });
    Current().StopTimer(far);
    EXPECT_TRUE(done);
    EXPECT_FALSE(guard);
}

class OpenDocument : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/riduduz-opener-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        record_ = dir_ + "/record";
        const std::string script = dir_ + "/xdg-open";
        std::ofstream(script) << "#!/bin/sh\n"
                                 "{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > \""
                              << record_ << ".tmp\" && mv \"" << record_ << ".tmp\" \"" << record_
                              << "\"\n";
        ASSERT_EQ(chmod(script.c_str(), 0755), 0);
        oldPath_ = getenv("PATH") ? getenv("PATH") : "";
    }
    void TearDown() override {
        setenv("PATH", oldPath_.c_str(), 1);
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }

    std::string ReadRecord() {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (access(record_.c_str(), R_OK) != 0 && Clock::now() < deadline)
            std::this_thread::sleep_for(milliseconds(5));
        std::ifstream in(record_);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::string dir_, record_, oldPath_;
};

TEST_F(OpenDocument, HandsTheTargetOverAsOneArgumentAndLeavesNoChild) {
    setenv("PATH", (dir_ + ":" + oldPath_).c_str(), 1);
    const std::string target = "/tmp/my file;$(touch " + dir_ + "/pwned)'\"*.txt";
    ASSERT_TRUE(Current().OpenDocument(target));
    EXPECT_EQ(ReadRecord(), "1\n" + target + "\n");
    EXPECT_NE(access((dir_ + "/pwned").c_str(), F_OK), 0);
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(OpenDocument, FalseWhenNoOpenerCanBeStarted) {
    setenv("PATH", (dir_ + "/nothing-here").c_str(), 1);
    EXPECT_FALSE(Current().OpenDocument("https://example.org/"));
}
