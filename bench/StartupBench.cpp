// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up time of the window against a bare Qt Widgets window. Both programs
// are started alternately on a private Xvfb server, each timed from its launch
// to the map of its first top-level window and then stopped; the window runs in
// a folder holding the sample designs. Prints the median of 21 runs of each
// and their ratio. A whole process is measured, so this is a plain timing
// program rather than a Google Benchmark.
// Usage: startup_bench [--window PATH]   (another build of the window, to
// compare builds)
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 21;
constexpr auto kMapLimit = std::chrono::seconds(10);

// Starts `argv` in `dir` with its output silenced; the child never returns.
pid_t Launch(const std::vector<std::string>& argv, const std::string& dir) {
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid > 0) return pid;
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr) ||
        chdir(dir.c_str()) != 0)
        _exit(127);
    execvp(args[0], args.data());
    _exit(127);
}

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// A private X server on a free display; its display name is ":N".
class PrivateXServer {
  public:
    PrivateXServer() {
        int fds[2];
        if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
        pid_ = Launch({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "800x600x24",
                       "-nolisten", "tcp"},
                      "/");
        close(fds[1]);
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (number.empty()) throw std::runtime_error("Xvfb did not start (is it installed?)");
        display_ = ":" + number;
    }
    ~PrivateXServer() { Stop(pid_); }
    const std::string& Display() const { return display_; }

  private:
    pid_t pid_ = -1;
    std::string display_;
};

// Watches the root window for top-level windows being mapped.
class MapWatch {
  public:
    explicit MapWatch(const std::string& display)
        : connection_(xcb_connect(display.c_str(), nullptr)) {
        if (xcb_connection_has_error(connection_))
            throw std::runtime_error("cannot connect to " + display);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
    }
    ~MapWatch() { xcb_disconnect(connection_); }

    // Milliseconds from now until `argv`, started in `dir`, maps its first
    // top-level window; the program is stopped afterwards.
    double TimeToMap(const std::vector<std::string>& argv, const std::string& dir) {
        Drain();
        const auto start = Clock::now();
        const pid_t pid = Launch(argv, dir);
        while (!Mapped()) {
            if (waitpid(pid, nullptr, WNOHANG) == pid)
                throw std::runtime_error(argv[0] + " ended before it showed a window");
            if (Clock::now() - start > kMapLimit) {
                Stop(pid);
                throw std::runtime_error(argv[0] + " showed no window within 10 s");
            }
            pollfd watch{xcb_get_file_descriptor(connection_), POLLIN, 0};
            poll(&watch, 1, 50);
        }
        const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
        Stop(pid);
        return elapsed.count();
    }

  private:
    bool Mapped() {
        bool mapped = false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY)
                mapped =
                    mapped || !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
            std::free(event);
        }
        if (xcb_connection_has_error(connection_))
            throw std::runtime_error("lost the connection to the X server");
        return mapped;
    }

    // Drops the unmap and destroy notices of the program stopped before.
    void Drain() {
        std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_),
                                            nullptr));  // a round trip
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) std::free(event);
    }

    xcb_connection_t* connection_;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Options {
    bool selected = true;
    std::string window = VELKORA_WINDOW;
};

// bench.sh hands every benchmark its --benchmark_filter; this program's one
// measurement is named "startup".
Options ParseOptions(int argc, char** argv) {
    const std::string filter = "--benchmark_filter=";
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind(filter, 0) == 0)
            options.selected = std::regex_search("startup", std::regex(arg.substr(filter.size())));
        else if (arg == "--window" && i + 1 < argc)
            options.window = argv[++i];
        else
            throw std::runtime_error("unknown argument " + arg);
    }
    return options;
}

void Run(const std::string& windowProgram) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("velkora-startup-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    struct Cleanup {
        std::filesystem::path path;
        ~Cleanup() { std::filesystem::remove_all(path); }
    } cleanup{folder};
    const pid_t init = Launch({VELKORA_CLI, "init", folder.string(), "--sample"}, "/");
    int status = 0;
    waitpid(init, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("velkora-cli init --sample failed");

    PrivateXServer server;
    setenv("DISPLAY", server.Display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    MapWatch watch(server.Display());
    const std::vector<std::string> window{windowProgram};
    const std::vector<std::string> bare{BARE_WINDOW};
    // One untimed start of each fills the file and font caches.
    watch.TimeToMap(window, folder.string());
    watch.TimeToMap(bare, folder.string());
    std::vector<double> windowTimes;
    std::vector<double> bareTimes;
    for (int run = 0; run < kRuns; ++run) {
        windowTimes.push_back(watch.TimeToMap(window, folder.string()));
        bareTimes.push_back(watch.TimeToMap(bare, folder.string()));
    }
    const double windowMedian = Median(windowTimes);
    const double bareMedian = Median(bareTimes);
    std::printf("startup: launch to first mapped window, median of %d alternating runs\n", kRuns);
    std::printf("  bare Qt Widgets window  %7.1f ms\n", bareMedian);
    std::printf("  Velkora window          %7.1f ms\n", windowMedian);
    std::printf("  ratio                   %7.2f (goal: at most 1.5)\n", windowMedian / bareMedian);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options options = ParseOptions(argc, argv);
        if (options.selected) Run(options.window);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "startup_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
