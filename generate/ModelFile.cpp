#include "ModelFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

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
        case EISDIR:
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

std::string MessageOf(int systemError) {
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
            return "I/O error " + std::to_string(systemError);
    }
}

[[noreturn]] void Fail(int systemError) { throw FileError(systemError); }

void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            Fail(errno);
        }
        if (written == 0) Fail(ENOSPC);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void Close(int fd) {
    // Linux releases the descriptor even when close() reports an error, so it
    // is never retried; the error itself is still a failed write.
    if (::close(fd) != 0 && errno != EINTR) Fail(errno);
}

// A file descriptor that is closed, and its file removed, unless committed.
class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& folder) {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = folder + "/.velkora-" + std::to_string(::getpid()) + "-" +
                    std::to_string(counter++) + ".tmp";
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
            if (fd_ >= 0) return;
            if (errno != EEXIST) Fail(errno);
        }
        Fail(EEXIST);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_) ::unlink(path_.c_str());
    }

    int Descriptor() const { return fd_; }

    void CloseAndRename(const std::string& target) {
        const int fd = fd_;
        fd_ = -1;
        Close(fd);
        if (::rename(path_.c_str(), target.c_str()) != 0) Fail(errno);
        committed_ = true;
    }

  private:
    std::string path_;
    int fd_ = -1;
    bool committed_ = false;
};

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file that a symbolic link finally names; the path itself otherwise, and
// also for a dangling link, which is then replaced like a missing file.
std::string FinalPath(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

void WriteInPlace(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) Fail(errno);
    try {
        WriteAll(fd, bytes);
    } catch (...) {
        ::close(fd);
        throw;
    }
    Close(fd);
}

void Replace(const std::string& target, const struct stat* existing, std::string_view bytes) {
    TemporaryFile temporary(FolderOf(target));
    const int fd = temporary.Descriptor();
    // A replaced file keeps its permissions.
    if (existing != nullptr && ::fchmod(fd, existing->st_mode & 07777) != 0) Fail(errno);
    WriteAll(fd, bytes);
    // A file system that cannot sync says so with EINVAL; that loses nothing.
    if (::fsync(fd) != 0 && errno != EINVAL) Fail(errno);
    temporary.CloseAndRename(target);
}

void WriteTo(const std::string& path, std::string_view bytes) {
    if (path.empty()) Fail(EINVAL);
    const std::string target = FinalPath(path);
    struct stat existing {};
    if (::stat(target.c_str(), &existing) != 0) {
        if (errno != ENOENT) Fail(errno);
        Replace(target, nullptr, bytes);
        return;
    }
    if (S_ISDIR(existing.st_mode)) Fail(EISDIR);
    if (!S_ISREG(existing.st_mode)) {
        WriteInPlace(target, bytes);
        return;
    }
    Replace(target, &existing, bytes);
}

}  // namespace

FileError::FileError(int systemError)
    : Failure(MessageOf(systemError)),
      systemError_(systemError),
      code_(MappedCode(systemError) != 0 ? MappedCode(systemError) : systemError) {}

void WriteModelFile(const std::string& path, std::string_view bytes) {
    InPlace(path, [&] { WriteTo(path, bytes); });
}

}  // namespace velkora
