// Writing a finished model to its file, so that the file appears complete or
// not at all.
#pragma once

#include <string>
#include <string_view>

#include "Failure.h"

namespace velkora {

// A file that could not be created, written or closed. The message follows
// the system error met: "File not found" (2), "Invalid filename" (3), "Too
// many open files" (4), "File access denied" (5), "Disk full" (101), and
// "I/O error N" for any other, where N is the POSIX errno value (so that
// "errno N" or strerror(N) explains it).
class FileError : public Failure {
  public:
    explicit FileError(int systemError);
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
// Anything else (a device such as /dev/null or /dev/full, a named pipe) is
// written in place, never replaced, and never blocks the program: a named
// pipe without a reader fails with "I/O error 6" (ENXIO), a pipe or device
// that takes no bytes for a second with "I/O error 11" (EAGAIN), a pipe whose
// reader goes away with "I/O error 32" (EPIPE, and no SIGPIPE). A folder is
// an invalid filename.
//
// Throws FileError, whose Where() is path.
void WriteModelFile(const std::string& path, std::string_view bytes);

}  // namespace velkora
