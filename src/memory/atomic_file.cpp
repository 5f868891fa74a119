#include "memory/atomic_file.h"

// POSIX; atomic_file_win32.cpp is the Windows side.
#ifndef _WIN32

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

namespace korvel {

namespace {

bool writeAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Makes the rename itself durable; a folder that cannot be opened or synced costs only that.
void syncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool replaceFileContents(const std::filesystem::path& target, std::string_view content) {
  std::filesystem::path real = target;
  struct stat old {};
  bool hadFile = false;
  if (::lstat(target.c_str(), &old) == 0) {
    if (S_ISLNK(old.st_mode)) {
      std::error_code ec;
      real = std::filesystem::weakly_canonical(target, ec);
      if (ec) return false;
      if (::stat(real.c_str(), &old) == 0) hadFile = true;
    } else {
      hadFile = true;
    }
  }
  if (hadFile) {
    if (!S_ISREG(old.st_mode)) return false;
    if ((old.st_mode & 0222) == 0 || ::access(real.c_str(), W_OK) != 0) return false;
  }

  std::filesystem::path temporary = real;
  temporary += ".tmp";
  // A temporary file left by an interrupted save is stale; a directory of that name makes the save fail.
  ::unlink(temporary.c_str());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return false;

  bool ok = writeAll(fd, content);
  if (ok && hadFile) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
  // A file system without fsync (EINVAL) still gets the rename; a failed flush to the disk does not.
  if (ok && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok) ok = ::rename(temporary.c_str(), real.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  syncFolder(real.parent_path());
  return true;
}

}  // namespace korvel

#endif  // _WIN32
