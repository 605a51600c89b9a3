// SPDX-License-Identifier: GPL-3.0-or-later
// velkora-cli solve against nec2c alone on the deck solve gives it for the
// whole band in one run, measured in the same run (interleaved, median of
// many runs): solve as a whole process, and solve run in this process, which
// leaves out the start-up of Qt that every velkora-cli command pays
// (measured on its own as velkora-cli --version). solve splits a band into
// one nec2c per core, so on a sweep it can beat the single run.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QString>
#include <QTextStream>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Cli.h"
#include "Solver.h"

extern char** environ;

namespace {

constexpr int kRuns = 15;

// Runs a program to its end with standard output and error discarded;
// returns the wall time in milliseconds.
double TimedRun(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int status = 0;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0 ||
        waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "solve_bench: %s failed\n", command[0].c_str());
        std::exit(1);
    }
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double TimedInProcess(const QStringList& args) {
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const auto start = std::chrono::steady_clock::now();
    if (velkora::RunCli(args, outStream, errStream) != velkora::kCliSuccess) {
        std::fprintf(stderr, "solve_bench: %s\n", qPrintable(err));
        std::exit(1);
    }
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The deck solve gives nec2c for a project's band in one run: the model
// generate writes (corrected taper, free space) up to its source card, then
// solve's own frequency and pattern cards.
void WriteDeck(const std::string& cli, const char* project, const std::vector<double>& mhz) {
    TimedRun({cli, "generate", "--target", "nec", "--axis", "x", "--project", project, "--output",
              "sample.nec"});
    std::ifstream in("sample.nec");
    std::string model, line;
    while (std::getline(in, line) && line.rfind("FR ", 0) != 0) model += line + "\n";
    velkora::SolveJob job;
    job.deck = model;
    job.mhz = mhz;
    job.parts = 1;
    std::ofstream("sample.nec") << velkora::FirstRunDecks(job).front();
}

std::vector<double> Band(double start, double step, int count) {
    std::vector<double> mhz;
    for (int i = 0; i < count; ++i) mhz.push_back(std::round((start + i * step) * 1e9) / 1e9);
    return mhz;
}

void Compare(const std::string& cli, const char* label, const char* project,
             const std::string& sweep, const std::vector<double>& mhz) {
    WriteDeck(cli, project, mhz);
    QStringList args = {"solve", "--project", project};
    if (!sweep.empty()) args << "--sweep" << QString::fromStdString(sweep);
    std::vector<std::string> command = {cli};
    for (const QString& arg : args) command.push_back(arg.toStdString());

    std::vector<double> alone, solve, inProcess, startUp;
    for (int run = 0; run < kRuns; ++run) {
        alone.push_back(TimedRun({"nec2c", "-i", "sample.nec", "-o", "sample.out"}));
        solve.push_back(TimedRun(command));
        inProcess.push_back(TimedInProcess(args));
        startUp.push_back(TimedRun({cli, "--version"}));
    }
    const double baseline = Median(alone);
    std::printf("%s, median of %d runs\n", label, kRuns);
    std::printf("  nec2c alone on the deck     %8.2f ms  1.00x (baseline)\n", baseline);
    std::printf("  velkora-cli solve           %8.2f ms  %.2fx\n", Median(solve),
                Median(solve) / baseline);
    std::printf("  solve in this process       %8.2f ms  %.2fx\n", Median(inProcess),
                Median(inProcess) / baseline);
    std::printf("  velkora-cli --version       %8.2f ms  %.2fx (start-up alone)\n", Median(startUp),
                Median(startUp) / baseline);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const std::string cli = VELKORA_CLI;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("velkora-solve-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    TimedRun({cli, "init", "--sample"});
    Compare(cli, "3-element sample (project 2) at F0", "2", "", {28.5});
    Compare(cli, "6-element sample (project 4), 61 frequencies split across the cores", "4",
            "13.875:14.475:0.01", Band(13.875, 0.01, 61));
    std::filesystem::current_path(folder.parent_path());
    std::filesystem::remove_all(folder);
    return 0;
}
