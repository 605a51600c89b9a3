// velkora-cli solve on the 3-element sample at one frequency against nec2c
// alone on the same deck, measured in the same run (interleaved, median of
// many runs): solve as a whole process, and solve run in this process, which
// leaves out the start-up of Qt that every velkora-cli command pays
// (measured on its own as velkora-cli --version).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QString>
#include <QTextStream>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Cli.h"

extern char** environ;

namespace {

constexpr int kRuns = 40;

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

// The deck solve writes for a project: corrected taper, free space; F0
// alone, or the sweep given as the FR card solve writes for it.
void WriteDeck(const std::string& cli, const char* project, const std::string& sweepCard) {
    TimedRun({cli, "generate", "--target", "nec", "--axis", "x", "--project", project, "--output",
              "sample.nec"});
    if (sweepCard.empty()) return;
    std::ifstream in("sample.nec");
    std::string deck, line;
    while (std::getline(in, line)) deck += (line.rfind("FR ", 0) == 0 ? sweepCard : line) + "\n";
    std::ofstream("sample.nec") << deck;
}

void Compare(const std::string& cli, const char* label, const char* project,
             const std::string& sweep, const std::string& sweepCard) {
    WriteDeck(cli, project, sweepCard);
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
    Compare(cli, "3-element sample (project 2) at F0", "2", "", "");
    Compare(cli, "6-element sample (project 4), 41 frequencies", "4", "14:14.35:0.00875",
            "FR 0 41 0 0 14 0.00875");
    std::filesystem::current_path(folder.parent_path());
    std::filesystem::remove_all(folder);
    return 0;
}
