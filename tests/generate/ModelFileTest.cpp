#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
};

// Test listings show the case by its message.
void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.message; }

class FileErrorMessages : public testing::TestWithParam<ErrorCase> {};

TEST_P(FileErrorMessages, FollowTheSystemError) {
    const FileError error(GetParam().systemError);
    EXPECT_STREQ(error.what(), GetParam().message);
    EXPECT_EQ(error.Code(), GetParam().code);
    EXPECT_EQ(error.SystemError(), GetParam().systemError);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, FileErrorMessages,
    testing::Values(
        ErrorCase{ENOENT, "File not found", 2}, ErrorCase{ENOTDIR, "Invalid filename", 3},
        ErrorCase{ENAMETOOLONG, "Invalid filename", 3}, ErrorCase{EISDIR, "Invalid filename", 3},
        ErrorCase{EMFILE, "Too many open files", 4}, ErrorCase{ENFILE, "Too many open files", 4},
        ErrorCase{EACCES, "File access denied", 5}, ErrorCase{EROFS, "File access denied", 5},
        ErrorCase{ENOSPC, "Disk full", 101}, ErrorCase{EDQUOT, "Disk full", 101},
        ErrorCase{EIO, "I/O error 5", EIO}, ErrorCase{EFBIG, "I/O error 27", EFBIG}));

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
    EXPECT_EQ(FailureOf(folder.Path("sub"), "x"), "Invalid filename");
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

TEST_F(ModelFileTest, WriteFailingPartWayKeepsTheOldFileAndLeavesNoTemporary) {
    { std::ofstream(target) << "old"; }
    // A file size limit makes the write fail after 1000 bytes.
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
    ExpectOnlyTarget();
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
