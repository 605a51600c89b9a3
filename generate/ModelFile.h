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

// Writes bytes as the whole content of the file at path.
//
// A regular file (or none) is replaced atomically: the bytes go to a new
// temporary file in the same folder, which is flushed to disk, closed and only
// then renamed over path. After any failure the temporary file is removed and
// an existing file at path is left exactly as it was. A symbolic link is
// followed: the file it names is replaced, the link stays.
//
// A path that names something other than a regular file (a device such as
// /dev/null or /dev/full, a named pipe) is opened and written in place; it is
// never replaced. A folder is an invalid filename.
//
// Throws FileError.
void WriteModelFile(const std::string& path, std::string_view bytes);

}  // namespace velkora
