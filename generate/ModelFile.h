// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a finished model to its file, so that the file appears complete or
// not at all.
#pragma once

#include <string>
#include <string_view>

#include "Failure.h"

namespace velkora {

// What a path names, for the words of a failure.
enum class FileKind { File, Pipe, Device, Socket };

// A file that could not be created, written or closed. The message follows
// the system error met: "File not found" (2), "Invalid filename" (3), "Too
// many open files" (4), "File access denied" (5), "Disk full" (101); plain
// words for a folder ("is a folder"), a pipe ("nobody reads the pipe") or a
// device ("the device is busy", "no such device", ...); and "I/O error N" for
// any other, where N is the POSIX errno value (so that "errno N" or
// strerror(N) explains it).
class FileError : public Failure {
  public:
    explicit FileError(int systemError, FileKind kind = FileKind::File);
    // The number of the message: 2, 3, 4, 5, 101, or the errno value for
    // "I/O error N".
    int Code() const { return code_; }
    int SystemError() const { return systemError_; }

  private:
    int systemError_;
    int code_;
};

// Writes bytes as the whole content of the file at path, honouring the file
// it replaces as opening the path for writing would: where the user may not
// write the file, the write is refused ("File access denied"), whatever the
// folder allows; the kernel follows symbolic links, with its protections.
//
// A regular file (or none) is replaced atomically where that keeps the file
// as it was: the bytes go to a new temporary file in the folder of the file
// (a symbolic link stays, the file it names is replaced), which gets the
// replaced file's owner, group and mode, is flushed to disk, closed and only
// then renamed over it; the folder is synced after the rename. After any
// failure the temporary file is removed and an existing file is left exactly
// as it was; a signal that ends the program (SIGINT, SIGTERM, SIGHUP, unless
// the program handles it) removes it too. Where the folder takes no new file
// but the file may be written, where the owner or group cannot be kept, and
// for a file with further hard links, the file is written in place.
//
// A file written in place first reserves the room for the new model
// (posix_fallocate) and only then overwrites the old one: a full disk fails
// before a byte of the old model changed.
//
// Anything else (a device such as /dev/null or /dev/full, a named pipe) is
// written in place, never replaced, and never blocks the program: a named
// pipe without a reader, or whose reader goes away, fails with "nobody reads
// the pipe" (and no SIGPIPE), a pipe or device that takes no bytes for a
// second says so. A folder fails with "is a folder".
//
// Temporary files are named ".velkora-PID-N.tmp". Each write removes those
// in its folder that belong to the user and whose process is gone: what a
// killed write (SIGKILL, a power cut) left behind.
//
// Throws FileError, whose Where() is path.
void WriteModelFile(const std::string& path, std::string_view bytes);

}  // namespace velkora
