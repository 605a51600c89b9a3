// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "ModelFile.h"
#include "TempFolder.h"

namespace velkora {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempFolder;

struct ErrorCase {
    int systemError;
    const char* message;
    int code;
    FileKind kind = FileKind::File;
};

// Test listings show the case by its message.
void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.message; }

class FileErrorMessages : public testing::TestWithParam<ErrorCase> {};

TEST_P(FileErrorMessages, FollowTheSystemError) {
    const FileError error(GetParam().systemError, GetParam().kind);
    EXPECT_STREQ(error.what(), GetParam().message);
    EXPECT_EQ(error.Code(), GetParam().code);
    EXPECT_EQ(error.SystemError(), GetParam().systemError);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, FileErrorMessages,
    testing::Values(
        ErrorCase{ENOENT, "File not found", 2}, ErrorCase{ENOTDIR, "Invalid filename", 3},
        ErrorCase{ENAMETOOLONG, "Invalid filename", 3}, ErrorCase{EISDIR, "is a folder", EISDIR},
        ErrorCase{EMFILE, "Too many open files", 4}, ErrorCase{ENFILE, "Too many open files", 4},
        ErrorCase{EACCES, "File access denied", 5}, ErrorCase{EROFS, "File access denied", 5},
        ErrorCase{ENOSPC, "Disk full", 101}, ErrorCase{EDQUOT, "Disk full", 101},
        ErrorCase{EIO, "I/O error 5", EIO}, ErrorCase{EFBIG, "I/O error 27", EFBIG},
        ErrorCase{ENXIO, "nobody reads the pipe", ENXIO, FileKind::Pipe},
        ErrorCase{ENXIO, "no such device", ENXIO, FileKind::Device},
        ErrorCase{EAGAIN, "the device took nothing for a second", EAGAIN, FileKind::Device},
        ErrorCase{EBUSY, "the device is busy", EBUSY, FileKind::Device},
        ErrorCase{ENOMEDIUM, "the device is not ready (no medium)", ENOMEDIUM, FileKind::Device}));

std::string FailureOf(const std::string& path, std::string_view bytes) {
    try {
        WriteModelFile(path, bytes);
    } catch (const FileError& error) {
        return error.what();
    }
    return "no failure";
}

class ModelFileTest : public testing::Test {
  protected:
    TempFolder folder;
    std::string target = folder.Path("model.maa");

    void ExpectOnlyTarget() const {
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"model.maa"});
    }
};

TEST_F(ModelFileTest, CreatesTheFile) {
    WriteModelFile(target, "a\r\nb\r\n");
    EXPECT_EQ(ReadFile(target), "a\r\nb\r\n");
    ExpectOnlyTarget();
}

TEST_F(ModelFileTest, ReplacesAnExistingFileKeepingItsPermissions) {
    { std::ofstream(target) << "an older and longer model"; }
    ::chmod(target.c_str(), 0640);
    WriteModelFile(target, "new");
    EXPECT_EQ(ReadFile(target), "new");
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    ExpectOnlyTarget();
}

TEST_F(ModelFileTest, FollowsASymbolicLink) {
    const std::string real = folder.Path("real.txt");
    { std::ofstream(real) << "old"; }
    fs::create_symlink(real, target);
    WriteModelFile(target, "new");
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_EQ(ReadFile(real), "new");
}

TEST_F(ModelFileTest, PathFailures) {
    { std::ofstream(folder.Path("plain")) << "x"; }
    fs::create_directory(folder.Path("sub"));
    EXPECT_EQ(FailureOf(folder.Path("missing/model.maa"), "x"), "File not found");
    EXPECT_EQ(FailureOf(folder.Path("plain/model.maa"), "x"), "Invalid filename");
    EXPECT_EQ(FailureOf(folder.Path("sub"), "x"), "is a folder");
    EXPECT_EQ(FailureOf(folder.Path(std::string(300, 'n')), "x"), "Invalid filename");
    EXPECT_EQ(FailureOf("", "x"), "Invalid filename");
    EXPECT_TRUE(fs::is_directory(folder.Path("sub")));
    EXPECT_TRUE(fs::is_empty(folder.Path("sub")));
}

TEST_F(ModelFileTest, ReadOnlyFolderIsAccessDeniedAndKeepsTheOldFile) {
    { std::ofstream(target) << "old"; }
    ::chmod(folder.Root().c_str(), 0555);
    // Root may write anywhere, so act as an ordinary user for the attempt.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::seteuid(65534), 0);
    }
    const std::string failure = FailureOf(target, "new");
    if (root) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    ::chmod(folder.Root().c_str(), 0755);
    EXPECT_EQ(failure, "File access denied");
    EXPECT_EQ(ReadFile(target), "old");
    ExpectOnlyTarget();
}

constexpr uid_t kNobody = 65534;

// Runs work with the effective user and group `id` (root may write anywhere,
// so permission cases act as an ordinary user).
template <class Work>
void ActingAs(uid_t id, Work&& work) {
    if (id == 0) return work();
    ASSERT_EQ(::setegid(id), 0);
    ASSERT_EQ(::seteuid(id), 0);
    work();
    ASSERT_EQ(::seteuid(0), 0);
    ASSERT_EQ(::setegid(0), 0);
}

struct ReplacedFileCase {
    const char* name;
    uid_t user;       // who writes
    uid_t fileOwner;  // owner and group of the existing file
    mode_t fileMode;
    mode_t folderMode;
    const char* failure;  // "" for success
    const char* content;  // of the file afterwards
};

void PrintTo(const ReplacedFileCase& c, std::ostream* os) { *os << c.name; }

class ReplacedFiles : public testing::TestWithParam<ReplacedFileCase> {};

TEST_P(ReplacedFiles, AreTreatedAsOpeningForWritingWould) {
    ASSERT_EQ(::geteuid(), 0u) << "the cases set owners";
    const ReplacedFileCase& c = GetParam();
    TempFolder folder;
    const std::string target = folder.Path("model.maa");
    { std::ofstream(target) << "old"; }
    ASSERT_EQ(::chown(target.c_str(), c.fileOwner, c.fileOwner), 0);
    ASSERT_EQ(::chmod(target.c_str(), c.fileMode), 0);
    ASSERT_EQ(::chmod(folder.Root().c_str(), c.folderMode), 0);
    std::string failure;
    ActingAs(c.user, [&] {
        try {
            WriteModelFile(target, "new");
        } catch (const FileError& error) {
            failure = error.what();
        }
    });
    EXPECT_EQ(failure, c.failure);
    EXPECT_EQ(ReadFile(target), c.content);
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, c.fileMode);
    EXPECT_EQ(after.st_uid, c.fileOwner);
    EXPECT_EQ(after.st_gid, c.fileOwner);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"model.maa"});
}

INSTANTIATE_TEST_SUITE_P(
    Permissions, ReplacedFiles,
    testing::Values(ReplacedFileCase{"ReadOnlyFileOfTheUser", kNobody, kNobody, 0444, 0777,
                                     "File access denied", "old"},
                    ReplacedFileCase{"ReadOnlyFileAsRoot", 0, 0, 0444, 0755, "", "new"},
                    ReplacedFileCase{"WritableFileInAReadOnlyFolder", kNobody, kNobody, 0640, 0555,
                                     "", "new"},
                    ReplacedFileCase{"OtherUsersFileAsRootKeepsOwnerAndMode", 0, kNobody, 0604,
                                     0755, "", "new"},
                    ReplacedFileCase{"SetUserIdBitKept", 0, 0, 04750, 0755, "", "new"}),
    [](const testing::TestParamInfo<ReplacedFileCase>& row) {
        return std::string(row.param.name);
    });

TEST_F(ModelFileTest, HardLinksKeepSharingTheFile) {
    { std::ofstream(target) << "old"; }
    fs::create_hard_link(target, folder.Path("other.maa"));
    WriteModelFile(target, "new");
    EXPECT_EQ(ReadFile(folder.Path("other.maa")), "new");
}

TEST_F(ModelFileTest, SymbolicLinkInAStickyFolderFollowsTheKernelsProtection) {
    std::ifstream setting("/proc/sys/fs/protected_symlinks");
    int protectedLinks = 0;
    if (!(setting >> protectedLinks) || protectedLinks == 0)
        GTEST_SKIP() << "the kernel does not protect symbolic links here";
    const std::string real = folder.Path("real.txt");
    { std::ofstream(real) << "old"; }
    ASSERT_EQ(::chmod(folder.Root().c_str(), 01777), 0);
    ASSERT_EQ(::symlink(real.c_str(), target.c_str()), 0);
    ASSERT_EQ(::lchown(target.c_str(), kNobody, kNobody), 0);
    EXPECT_EQ(FailureOf(target, "new"), "File access denied");
    EXPECT_EQ(ReadFile(real), "old");
}

// The write passes a file size limit part-way; the limit's signal handler
// then sends the signal under test, which arrives while the temporary file
// exists.
class InterruptedWrite : public testing::TestWithParam<int> {};

int interruptingSignal = 0;

TEST_P(InterruptedWrite, RemovesTheTemporaryFile) {
    TempFolder folder;
    const std::string target = folder.Path("model.maa");
    { std::ofstream(target) << "old"; }
    interruptingSignal = GetParam();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, [](int) { ::raise(interruptingSignal); });
        const struct rlimit limit { 1000, 1000 };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            WriteModelFile(target, std::string(5000, 'w'));
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == GetParam()) << status;
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"model.maa"});
}

INSTANTIATE_TEST_SUITE_P(Signals, InterruptedWrite, testing::Values(SIGINT, SIGTERM),
                         [](const testing::TestParamInfo<int>& row) {
                             return std::string(row.param == SIGINT ? "SIGINT" : "SIGTERM");
                         });

// A file size limit makes the write fail after 1000 bytes: in the temporary
// file, or, for a file with a second hard link, when the room is reserved.
TEST_F(ModelFileTest, WriteFailingPartWayKeepsTheOldFileAndLeavesNoTemporary) {
    for (const bool hardLinked : {false, true}) {
        SCOPED_TRACE(hardLinked ? "written in place" : "replaced");
        { std::ofstream(target) << "old"; }
        if (hardLinked) fs::create_hard_link(target, folder.Path("other.maa"));
        struct rlimit saved {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = saved;
        limit.rlim_cur = 1000;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        const std::string failure = FailureOf(target, std::string(5000, 'w'));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        EXPECT_EQ(failure, "I/O error 27");
        EXPECT_EQ(ReadFile(target), "old");
        fs::remove(folder.Path("other.maa"));
        ExpectOnlyTarget();
    }
}

// What a killed write left: temporary files of this user whose process is
// gone go; a live writer's, another user's and other names stay.
TEST_F(ModelFileTest, StaleTemporaryFilesOfGoneProcessesAreRemoved) {
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string stale = ".velkora-" + std::to_string(gone) + "-0.tmp";
    const std::string live = ".velkora-" + std::to_string(::getpid()) + "-99.tmp";
    const std::string othersStale = ".velkora-" + std::to_string(gone) + "-1.tmp";
    for (const std::string& name : {stale, live, othersStale, std::string(".velkora-x-0.tmp")})
        std::ofstream(folder.Path(name)) << "part";
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(folder.Path(othersStale).c_str(), kNobody, kNobody), 0);
    }
    WriteModelFile(target, "new");
    std::vector<std::string> expected = {live, ".velkora-x-0.tmp", "model.maa"};
    if (::geteuid() == 0) expected.push_back(othersStale);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder.Names(), expected);
}

TEST(ModelFileDevices, DiskFullIsReportedAndTheDeviceStays) {
    ASSERT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_EQ(FailureOf("/dev/full", "some model\r\n"), "Disk full");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST(ModelFileDevices, DeviceIsWrittenInPlace) {
    EXPECT_NO_THROW(WriteModelFile("/dev/null", "some model\r\n"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(ModelFileTest, NamedPipesNeverBlock) {
    const std::string pipe = folder.Path("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(FailureOf(pipe, "nobody reads"), "nobody reads the pipe");  // ENXIO: no reader
    // A reader that never reads: the pipe fills up.
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(FailureOf(pipe, std::string(1 << 20, 'w')),
              "the pipe's reader took nothing for a second");  // EAGAIN
    ::close(reader);
    // A reader that goes away after one read: a failure, and the program lives on.
    std::thread brief([&] {
        const int fd = ::open(pipe.c_str(), O_RDONLY);
        char some[16];
        static_cast<void>(::read(fd, some, sizeof some));
        ::close(fd);
    });
    EXPECT_EQ(FailureOf(pipe, std::string(1 << 20, 'w')), "nobody reads the pipe");  // EPIPE
    brief.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
}

TEST_F(ModelFileTest, NamedPipeIsWrittenInPlace) {
    const std::string pipe = folder.Path("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFile(pipe); });
    WriteModelFile(pipe, "through the pipe\r\n");
    reader.join();
    EXPECT_EQ(received, "through the pipe\r\n");
    EXPECT_EQ(fs::status(pipe).type(), fs::file_type::fifo);
}

}  // namespace
}  // namespace velkora
