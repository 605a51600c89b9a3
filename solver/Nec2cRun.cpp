// SPDX-License-Identifier: GPL-3.0-or-later
// Runs nec2c processes with fork and exec, each leading a session and so a
// process group of its own, and waits on them through pidfds so that a stop or the time limit
// is seen at once.
#include "Nec2cRun.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "NecReport.h"

namespace velkora {

namespace {

std::string SystemMessage(int error) { return std::strerror(error); }

std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "";
    for (;;) {
        const std::size_t colon = rest.find(':');
        std::string folder(rest.substr(0, colon));
        if (folder.empty()) folder = ".";
        const std::string candidate = folder + "/" + name;
        struct stat status {};
        if (::stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string_view::npos) return {};
        rest.remove_prefix(colon + 1);
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    out.close();
    if (!out) throw Failure("Could not write the deck for nec2c to " + path);
}

// A new folder for the decks and reports, removed with everything in it.
class TemporaryFolder {
  public:
    TemporaryFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern =
            std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/velkora-nec2c-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw Failure("Could not make a temporary folder for nec2c in " +
                          pattern.substr(0, pattern.rfind('/')) + ": " + SystemMessage(errno));
        path_ = pattern;
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// A descriptor closed on every way out.
class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int Get() const { return fd_; }

  private:
    int fd_;
};

// One nec2c on one deck. Until it has ended on its own, the destructor kills
// its whole process group and waits for it.
class Nec2cProcess {
  public:
    Nec2cProcess(const std::string& program, const std::string& deck, const std::string& report,
                 const std::string& errors) {
        const Fd nothing(::open("/dev/null", O_RDWR | O_CLOEXEC));
        const Fd errorFile(::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
        if (nothing.Get() < 0 || errorFile.Get() < 0)
            throw Failure("Could not run nec2c: " + SystemMessage(errno));
        const char* argv[] = {program.c_str(), "-i", deck.c_str(), "-o", report.c_str(), nullptr};
        const pid_t parent = ::getpid();
        pid_ = ::fork();
        if (pid_ < 0) throw Failure("Could not run nec2c: " + SystemMessage(errno));
        if (pid_ == 0) BecomeNec2c(parent, nothing.Get(), errorFile.Get(), argv);
        pidfd_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
    }
    Nec2cProcess(const Nec2cProcess&) = delete;
    Nec2cProcess& operator=(const Nec2cProcess&) = delete;
    ~Nec2cProcess() {
        if (running_) {
            ::kill(-pid_, SIGKILL);
            ::kill(pid_, SIGKILL);  // in case it has not made its group yet
            Reap(0);
        }
        if (pidfd_ >= 0) ::close(pidfd_);
    }

    bool Running() const { return running_; }
    int PidFd() const { return pidfd_; }
    bool Succeeded() const { return WIFEXITED(status_) && WEXITSTATUS(status_) == 0; }

    // Collects the exit status once nec2c has ended; true while it runs.
    bool StillRunning() {
        if (running_) Reap(WNOHANG);
        return running_;
    }

  private:
    // Between fork and exec only async-signal-safe calls: the program may
    // have other threads.
    [[noreturn]] static void BecomeNec2c(pid_t parent, int nothing, int errors,
                                         const char* const* argv) {
        // A session of its own is a process group of its own, away from the
        // terminal's signals; where the kernel shares CPU time out by session
        // (autogroup), it also lets the parts of a band run side by side on
        // a busy machine.
        ::setsid();
        // Killed with the thread that started it, should that die first.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(127);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::signal(SIGPIPE, SIG_DFL);
        ::dup2(nothing, 0);
        ::dup2(nothing, 1);
        ::dup2(errors, 2);
        // Nothing else of the program's: a pipe it holds must close when it does.
        ::close_range(3, ~0U, 0);
        ::execv(argv[0], const_cast<char* const*>(argv));
        ::_exit(127);
    }

    void Reap(int options) {
        pid_t got = 0;
        do got = ::waitpid(pid_, &status_, options);
        while (got < 0 && errno == EINTR);
        if (got == pid_ || (got < 0 && errno == ECHILD)) running_ = false;
    }

    pid_t pid_ = -1;
    int pidfd_ = -1;
    int status_ = 0;
    bool running_ = true;
};

std::string Seconds(std::chrono::milliseconds time) {
    std::ostringstream text;
    text << static_cast<double>(time.count()) / 1000.0;
    return text.str();
}

// nec2c writes its complaints about a deck at the end of the report; a crash
// leaves a line on its error output.
std::string Complaint(const std::string& report, const std::string& errors) {
    for (const std::string* text : {&errors, &report}) {
        std::istringstream lines(*text);
        std::string last;
        for (std::string line; std::getline(lines, line);)
            if (line.find_first_not_of(" \t\r") != std::string::npos) last = line;
        const std::size_t from = last.find_first_not_of(" \t\r");
        if (from != std::string::npos)
            return last.substr(from, last.find_last_not_of(" \t\r") + 1 - from);
    }
    return "no report";
}

using Runs = std::vector<std::unique_ptr<Nec2cProcess>>;

// Waits until every run has ended, the caller stops, or time runs out.
void Wait(Runs& runs, const std::vector<std::string>& reports, const RunControl& control) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + control.timeout;
    Clock::time_point nextProgress = Clock::now() + std::chrono::seconds(1);
    for (;;) {
        std::vector<pollfd> ended;
        bool running = false;
        for (const auto& run : runs) {
            if (!run->StillRunning()) continue;
            running = true;
            if (run->PidFd() >= 0) ended.push_back({run->PidFd(), POLLIN, 0});
        }
        if (!running) return;
        if (control.stopRequested && control.stopRequested()) throw Stopped();
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            throw Failure("nec2c took longer than " + Seconds(control.timeout) +
                          " s and was stopped");
        if (control.progress && now >= nextProgress) {
            int done = 0;
            for (const std::string& report : reports) done += FrequenciesIn(ReadFile(report));
            control.progress(done);
            nextProgress = now + std::chrono::seconds(1);
        }
        // Without pidfds (before Linux 5.3) look again soon.
        ::poll(ended.data(), ended.size(), ended.empty() ? 10 : 100);
    }
}

}  // namespace

std::vector<std::string> RunNec2c(const std::vector<std::string>& decks,
                                  const RunControl& control) {
    const std::string program = FindOnPath("nec2c");
    if (program.empty())
        throw Failure(
            "nec2c was not found on PATH; install the NEC-2 engine with "
            "\"apt-get install nec2c\" (Debian package nec2c)");
    const TemporaryFolder folder;
    std::vector<std::string> reports;
    Runs runs;
    for (std::size_t i = 0; i < decks.size(); ++i) {
        const std::string name = "part" + std::to_string(i);
        WriteFile(folder.File(name + ".nec"), decks[i]);
        reports.push_back(folder.File(name + ".out"));
        runs.push_back(std::make_unique<Nec2cProcess>(program, folder.File(name + ".nec"),
                                                      reports.back(), folder.File(name + ".err")));
    }
    Wait(runs, reports, control);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        reports[i] = ReadFile(reports[i]);
        if (!runs[i]->Succeeded())
            throw Failure(
                "nec2c refused the deck: " +
                Complaint(reports[i], ReadFile(folder.File("part" + std::to_string(i) + ".err"))));
    }
    return reports;
}

}  // namespace velkora
