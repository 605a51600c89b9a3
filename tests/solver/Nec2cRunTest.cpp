// SPDX-License-Identifier: GPL-3.0-or-later
// Ending a run of a stand-in nec2c that never finishes: by the time limit, a
// stop request, a signal or a closed output pipe. Nothing may be left: no
// process of its group and no temporary folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>

#include "Nec2cRun.h"
#include "StopOnSignals.h"
#include "TempFolder.h"

namespace velkora {
namespace {

using namespace std::chrono_literals;

// Whether any process of the group still runs (a zombie has ended).
bool GroupRuns(int group) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) continue;
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        char state = 0;
        int parent = 0, pgrp = 0;
        fields >> state >> parent >> pgrp;
        if (pgrp == group && state != 'Z') return true;
    }
    return false;
}

// A stand-in nec2c first on PATH that tells its process ID and sleeps in a
// child of its own; TMPDIR points to a folder of the test's.
class StuckNec2c : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directory(folder_.Path("bin"));
        std::filesystem::create_directory(folder_.Path("tmp"));
        std::ofstream(folder_.Path("bin/nec2c"))
            << "#!/bin/sh\necho $$ > '" << folder_.Path("pid.part") << "'\n/bin/mv '"
            << folder_.Path("pid.part") << "' '" << folder_.Path("pid") << "'\n/bin/sleep 30\n";
        std::filesystem::permissions(folder_.Path("bin/nec2c"), std::filesystem::perms(0755));
        path_ = std::getenv("PATH");
        ::setenv("PATH", folder_.Path("bin").c_str(), 1);
        ::setenv("TMPDIR", folder_.Path("tmp").c_str(), 1);
    }
    void TearDown() override {
        ::setenv("PATH", path_.c_str(), 1);
        ::unsetenv("TMPDIR");
    }

    bool Started() const { return std::filesystem::exists(folder_.Path("pid")); }
    int Pid() const {
        int pid = 0;
        std::ifstream(folder_.Path("pid")) >> pid;
        return pid;
    }
    // Waits for the stand-in, then does what ends the run.
    std::thread WhenStarted(std::function<void()> act) const {
        return std::thread([this, act] {
            for (int i = 0; i < 500 && !Started(); ++i) std::this_thread::sleep_for(10ms);
            act();
        });
    }
    // After the run: the stand-in ran, and neither it nor its folder is left.
    void ExpectNothingLeft() const {
        ASSERT_TRUE(Started());
        // A killed process may take a moment to be scheduled and die.
        bool runs = true;
        for (int i = 0; i < 200 && runs; ++i, std::this_thread::sleep_for(10ms))
            runs = GroupRuns(Pid());
        EXPECT_FALSE(runs) << "nec2c's group outlived the run";
        EXPECT_TRUE(std::filesystem::is_empty(folder_.Path("tmp"))) << "temporary folder left";
    }

    test::TempFolder folder_;
    std::string path_;
};

TEST_F(StuckNec2c, TimeLimitAndStopRequestEndTheRun) {
    RunControl limited;
    limited.timeout = 300ms;
    try {
        RunNec2c({"deck", "deck"}, limited);
        ADD_FAILURE() << "no time limit";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Message(), "nec2c took longer than 0.3 s and was stopped");
    }
    ExpectNothingLeft();

    std::filesystem::remove(folder_.Path("pid"));
    RunControl stopped;
    stopped.stopRequested = [this] { return Started(); };
    EXPECT_THROW(RunNec2c({"deck"}, stopped), Stopped);
    ExpectNothingLeft();
}

TEST_F(StuckNec2c, SignalsAndAClosedPipeStopTheRun) {
    const struct {
        const char* reason;
        int signal;  // 0: the reader of the output pipe goes away
    } kStops[] = {
        {"SIGINT", SIGINT}, {"SIGTERM", SIGTERM}, {"SIGHUP", SIGHUP}, {"a closed output pipe", 0}};
    for (const auto& row : kStops) {
        SCOPED_TRACE(row.reason);
        std::filesystem::remove(folder_.Path("pid"));
        int pipe[2];
        ASSERT_EQ(::pipe(pipe), 0);
        {
            const StopOnSignals stop(pipe[1]);
            RunControl control;
            control.stopRequested = [&stop] { return stop.Requested(); };
            std::thread act = WhenStarted(
                [&] { row.signal != 0 ? ::kill(::getpid(), row.signal) : ::close(pipe[0]); });
            EXPECT_THROW(RunNec2c({"deck"}, control), Stopped);
            act.join();
            EXPECT_EQ(stop.Reason(), row.reason);
        }
        ::close(pipe[1]);
        if (row.signal != 0) ::close(pipe[0]);
        ExpectNothingLeft();
    }
}

}  // namespace
}  // namespace velkora
