// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>

namespace velkora {

namespace {

// The number of the message for the errors that have one of their own, 0 for
// any other.
int MappedCode(int systemError) {
    switch (systemError) {
        case ENOENT:
            return 2;
        case ENOTDIR:
        case ENAMETOOLONG:
        case EINVAL:
        case ELOOP:
            return 3;
        case EMFILE:
        case ENFILE:
            return 4;
        case EACCES:
        case EPERM:
        case EROFS:
            return 5;
        case ENOSPC:
        case EDQUOT:
            return 101;
        default:
            return 0;
    }
}

// Plain words for what goes wrong with a folder, a pipe or a device, where
// a number would tell the user nothing.
struct Words {
    int systemError;
    std::optional<FileKind> kind;  // none: whatever the file is
    const char* message;
};

constexpr Words kWords[] = {
    {EISDIR, {}, "is a folder"},
    {ENXIO, FileKind::Pipe, "nobody reads the pipe"},
    {EPIPE, {}, "nobody reads the pipe"},
    {EAGAIN, FileKind::Pipe, "the pipe's reader took nothing for a second"},
    {EAGAIN, FileKind::Device, "the device took nothing for a second"},
    {ENXIO, FileKind::Socket, "is a socket, which cannot be written as a file"},
    {ENXIO, {}, "no such device"},
    {ENODEV, {}, "no such device"},
    {EBUSY, {}, "the device is busy"},
    {ENOMEDIUM, {}, "the device is not ready (no medium)"},
    {ETXTBSY, {}, "the file is a program that is running"},
};

std::string MessageOf(int systemError, FileKind kind) {
    switch (MappedCode(systemError)) {
        case 2:
            return "File not found";
        case 3:
            return "Invalid filename";
        case 4:
            return "Too many open files";
        case 5:
            return "File access denied";
        case 101:
            return "Disk full";
        default:
            break;
    }
    for (const Words& words : kWords) {
        if (words.systemError == systemError && (!words.kind || words.kind == kind))
            return words.message;
    }
    return "I/O error " + std::to_string(systemError);
}

// What kind of file path names now, for the words of a failure.
FileKind KindOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return FileKind::File;
    if (S_ISFIFO(status.st_mode)) return FileKind::Pipe;
    if (S_ISSOCK(status.st_mode)) return FileKind::Socket;
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) return FileKind::Device;
    return FileKind::File;
}

[[noreturn]] void Fail(int systemError) { throw FileError(systemError); }

// How long a named pipe or a device may keep a write waiting: for a reader
// to open the pipe, or for room to take more bytes.
constexpr std::chrono::milliseconds kPatience{1000};

// Waits until fd takes more bytes; false when it did not within kPatience.
bool WaitUntilWritable(int fd) {
    pollfd wanted{fd, POLLOUT, 0};
    for (;;) {
        const int ready = ::poll(&wanted, 1, static_cast<int>(kPatience.count()));
        if (ready > 0) return true;
        if (ready == 0) return false;
        if (errno != EINTR) Fail(errno);
    }
}

// Descriptors are non-blocking, so a pipe or device without room says so
// instead of stopping the program.
void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                if (!WaitUntilWritable(fd)) Fail(EAGAIN);
                continue;
            }
            Fail(errno);
        }
        if (written == 0) Fail(ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// A file system that cannot sync says so with EINVAL; that loses nothing.
void Sync(int fd) {
    if (::fsync(fd) != 0 && errno != EINVAL) Fail(errno);
}

// An open descriptor, closed on every way out.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }

    int Get() const { return fd_; }

    // Linux releases the descriptor even when close() reports an error, so
    // it is never retried; the error itself is still a failed write.
    void Close() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && errno != EINTR) Fail(errno);
    }

  private:
    int fd_;
};

// The signals that end the program when nobody handles them.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The temporary file being written, for the signal handler: a plain buffer
// and a flag, which a handler may read.
char temporaryPath[PATH_MAX];
volatile std::sig_atomic_t haveTemporary = 0;

extern "C" void RemoveTemporaryAndEnd(int number) {
    if (haveTemporary) ::unlink(temporaryPath);
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    ::sigaction(number, &defaults, nullptr);
    ::raise(number);  // delivered, with the default action, when the handler returns
}

// While it lives, a signal that would end the program removes the tracked
// temporary file first. Signals the program handles itself are left alone.
class RemovalOnSignal {
  public:
    RemovalOnSignal() {
        struct sigaction handler {};
        handler.sa_handler = RemoveTemporaryAndEnd;
        sigemptyset(&handler.sa_mask);
        for (const int number : kEndingSignals) sigaddset(&handler.sa_mask, number);
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            struct sigaction current {};
            if (::sigaction(kEndingSignals[i], nullptr, &current) != 0) continue;
            if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
            taken_[i] = ::sigaction(kEndingSignals[i], &handler, nullptr) == 0;
        }
    }
    RemovalOnSignal(const RemovalOnSignal&) = delete;
    RemovalOnSignal& operator=(const RemovalOnSignal&) = delete;
    ~RemovalOnSignal() {
        struct sigaction defaults {};
        defaults.sa_handler = SIG_DFL;
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            if (taken_[i]) ::sigaction(kEndingSignals[i], &defaults, nullptr);
        }
        haveTemporary = 0;
    }

    // Called before the file is created, so that no moment is uncovered.
    static void Track(const std::string& path) {
        haveTemporary = 0;
        if (path.size() >= sizeof temporaryPath) return;
        std::memcpy(temporaryPath, path.c_str(), path.size() + 1);
        haveTemporary = 1;
    }

  private:
    bool taken_[std::size(kEndingSignals)] = {};
};

// Temporary files are named ".velkora-PID-N.tmp": the process that writes
// one is known from its name.
constexpr std::string_view kTemporaryPrefix = ".velkora-";
constexpr std::string_view kTemporarySuffix = ".tmp";

// The process that wrote a temporary file, read from its name; nothing for
// a name of another kind.
std::optional<pid_t> WriterOf(std::string_view name) {
    if (!name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) return {};
    name.remove_prefix(kTemporaryPrefix.size());
    name.remove_suffix(kTemporarySuffix.size());
    const char* const end = name.data() + name.size();
    pid_t pid = 0;
    unsigned number = 0;
    const auto [dash, pidError] = std::from_chars(name.data(), end, pid);
    if (pidError != std::errc() || pid <= 0 || dash == end || *dash != '-') return {};
    const auto [last, numberError] = std::from_chars(dash + 1, end, number);
    if (numberError != std::errc() || last != end) return {};
    return pid;
}

// Removes the temporary files in folder that a write of this user left when
// its process was killed: the name says whose they are, and a process that
// is gone cannot be writing them. Best effort: whatever cannot be removed
// stays, and the write goes on.
void RemoveStaleTemporaries(const std::string& folder) {
    struct Closer {
        void operator()(DIR* open) const { ::closedir(open); }
    };
    const std::unique_ptr<DIR, Closer> dir(::opendir(folder.c_str()));
    if (!dir) return;
    const int fd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::optional<pid_t> writer = WriterOf(entry->d_name);
        if (!writer || ::kill(*writer, 0) == 0 || errno != ESRCH) continue;
        struct stat status {};
        if (::fstatat(fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(status.st_mode) || status.st_uid != ::geteuid())
            continue;
        ::unlinkat(fd, entry->d_name, 0);
    }
}

// A new file beside the target, removed again unless renamed over it.
class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& folder) {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = folder + "/" + std::string(kTemporaryPrefix) + std::to_string(::getpid()) +
                    "-" + std::to_string(counter++) + std::string(kTemporarySuffix);
            RemovalOnSignal::Track(path_);
            const int fd =
                ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
            if (fd >= 0) {
                fd_ = std::make_unique<Descriptor>(fd);
                return;
            }
            if (errno != EEXIST) Fail(errno);
        }
        Fail(EEXIST);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        fd_.reset();
        if (!committed_) ::unlink(path_.c_str());
    }

    int Get() const { return fd_->Get(); }

    void CloseAndRename(const std::string& target) {
        fd_->Close();
        if (::rename(path_.c_str(), target.c_str()) != 0) Fail(errno);
        committed_ = true;
    }

  private:
    RemovalOnSignal removal_;
    std::string path_;
    std::unique_ptr<Descriptor> fd_;
    bool committed_ = false;
};

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// After a rename the folder holds the new name; syncing it makes that last.
// A folder that cannot be opened for reading cannot be synced, and the
// rename stands all the same.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    Descriptor descriptor(fd);
    Sync(fd);
}

// Writes bytes to a new temporary file in the target's folder and renames it
// over the target. A replaced file's owner, group and mode go to the new one
// (given as `existing`); false, with nothing changed, when they cannot or the
// folder takes no new file.
bool Replace(const std::string& target, const struct stat* existing, std::string_view bytes) {
    RemoveStaleTemporaries(FolderOf(target));
    std::unique_ptr<TemporaryFile> temporary;
    try {
        temporary = std::make_unique<TemporaryFile>(FolderOf(target));
    } catch (const FileError& error) {
        const bool folderRefuses = error.SystemError() == EACCES || error.SystemError() == EPERM;
        if (existing != nullptr && folderRefuses) return false;
        throw;
    }
    const int fd = temporary->Get();
    if (existing != nullptr) {
        struct stat made {};
        if (::fstat(fd, &made) != 0) Fail(errno);
        if ((made.st_uid != existing->st_uid || made.st_gid != existing->st_gid) &&
            ::fchown(fd, existing->st_uid, existing->st_gid) != 0)
            return false;
        // After fchown, which clears the set-user-ID and set-group-ID bits.
        if (::fchmod(fd, existing->st_mode & 07777) != 0) Fail(errno);
    }
    WriteAll(fd, bytes);
    Sync(fd);
    temporary->CloseAndRename(target);
    SyncFolder(FolderOf(target));
    return true;
}

// The target opened for writing, as the program would open it but without
// truncating it: the kernel checks the permissions, follows symbolic links
// (with its protections) and says what kind of file it is. Never blocks: a
// named pipe without a reader is tried again for up to kPatience.
int OpenForWriting(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        const int error = errno;
        if (fd >= 0 || (error != ENXIO && error != EINTR)) return fd;
        if (std::chrono::steady_clock::now() >= deadline) {
            errno = error;
            return fd;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// The name under which an opened regular file is replaced: the path, or the
// file a symbolic link names; nothing when that is not the file opened.
std::optional<std::string> NameOfOpened(const std::string& path, const struct stat& opened) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0) return std::nullopt;
    if (!S_ISLNK(link.st_mode)) {
        if (link.st_dev != opened.st_dev || link.st_ino != opened.st_ino) return std::nullopt;
        return path;
    }
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    struct stat named {};
    if (!resolved || ::stat(resolved.get(), &named) != 0 || named.st_dev != opened.st_dev ||
        named.st_ino != opened.st_ino)
        return std::nullopt;
    return std::string(resolved.get());
}

// While it lives, SIGPIPE does not end the program: a pipe whose reader went
// away is a failed write (EPIPE, "I/O error 32") like any other.
class PipeSignalHeld {
  public:
    PipeSignalHeld() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        ::pthread_sigmask(SIG_BLOCK, &pipe_, &saved_);
    }
    PipeSignalHeld(const PipeSignalHeld&) = delete;
    PipeSignalHeld& operator=(const PipeSignalHeld&) = delete;
    ~PipeSignalHeld() {
        if (sigismember(&saved_, SIGPIPE) == 0) {
            const timespec now{0, 0};
            while (::sigtimedwait(&pipe_, nullptr, &now) == SIGPIPE) {
            }
        }
        ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
    }

  private:
    sigset_t pipe_;
    sigset_t saved_;
};

// Room for the new model in a regular file written in place, reserved
// before a byte of the old model changes: on a full disk the file keeps its
// old model. A file system that cannot reserve room is written without.
void Reserve(int fd, off_t oldSize, std::size_t newSize) {
    if (newSize == 0) return;
    const int error = ::posix_fallocate(fd, 0, static_cast<off_t>(newSize));
    if (error == 0 || error == EINVAL || error == EOPNOTSUPP) return;
    // A reservation that failed part-way may have grown the file; cutting it
    // back to its old length keeps the old model as it was.
    const int cut = ::ftruncate(fd, oldSize);
    static_cast<void>(cut);
    Fail(error);
}

// Writes through the opened descriptor, as opening for writing would: the
// file keeps its identity. A regular file gets its room first, then the new
// bytes over the old ones, then its new length; a failure part-way leaves it
// incomplete.
void WriteInPlace(const std::string& path, Descriptor& file, const struct stat& opened,
                  std::string_view bytes) {
    const bool regular = S_ISREG(opened.st_mode);
    if (regular) {
        RemoveStaleTemporaries(FolderOf(path));
        Reserve(file.Get(), opened.st_size, bytes.size());
    }
    const PipeSignalHeld pipeSignal;
    WriteAll(file.Get(), bytes);
    if (regular) {
        if (::ftruncate(file.Get(), static_cast<off_t>(bytes.size())) != 0) Fail(errno);
        Sync(file.Get());
    }
    file.Close();
}

void WriteTo(const std::string& path, std::string_view bytes) {
    if (path.empty()) Fail(EINVAL);
    Descriptor file(OpenForWriting(path));
    if (file.Get() < 0) {
        if (errno != ENOENT) Fail(errno);
        Replace(path, nullptr, bytes);  // a new file (a dangling link is replaced)
        return;
    }
    struct stat opened {};
    if (::fstat(file.Get(), &opened) != 0) Fail(errno);
    const bool regular = S_ISREG(opened.st_mode);
    // A file with further hard links keeps them only when written in place.
    if (regular && opened.st_nlink == 1) {
        const std::optional<std::string> name = NameOfOpened(path, opened);
        if (name && Replace(*name, &opened, bytes)) return;
    }
    WriteInPlace(path, file, opened, bytes);
}

}  // namespace

FileError::FileError(int systemError, FileKind kind)
    : Failure(MessageOf(systemError, kind)),
      systemError_(systemError),
      code_(MappedCode(systemError) != 0 ? MappedCode(systemError) : systemError) {}

void WriteModelFile(const std::string& path, std::string_view bytes) {
    WithWhere(path, [&] {
        try {
            WriteTo(path, bytes);
        } catch (const FileError& error) {
            // The same error in the words for what the path names.
            throw FileError(error.SystemError(), KindOf(path));
        }
    });
}

}  // namespace velkora
