#include "params/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

std::string failure(const std::string& path, int error) {
  return "Can't write " + path + ": " + std::strerror(error);
}

// Writes all of text to fd; the errno of the failed write, or 0.
int writeAll(int fd, const std::string& text) {
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (written == 0) return EIO;
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return 0;
}

// Replacing a symbolic link by a file would cut the link; replace its target instead.
std::string resolvedTarget(const std::string& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      std::string target(real);
      std::free(real);
      return target;
    }
  }
  return path;
}

// A new file in the target's folder, created with the usual permissions (0666 less umask),
// which mkstemp's 0600 would not give.
int createTemporary(const std::string& target, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  std::string::size_type slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    tempPath = folder + "." + base + "." + std::to_string(::getpid()) + "." +
               std::to_string(counter++) + "." + std::to_string(tick % 100000) + ".tmp";
    int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Opens path for writing without waiting for a reader of a FIFO (none: ENXIO), then makes
// writes blocking again.
int openForWriting(const std::string& path, int flags) {
  int fd = ::open(path.c_str(), flags | O_WRONLY | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) return fd;
  const int status = ::fcntl(fd, F_GETFL);
  if (status >= 0) ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
  return fd;
}

std::string writeWhole(int fd, const std::string& path, const std::string& text) {
  if (fd < 0) return failure(path, errno);
  int error = writeAll(fd, text);
  if (::close(fd) != 0 && error == 0) error = errno;
  return error == 0 ? std::string() : failure(path, error);
}

}  // namespace

std::string replaceFileContents(const std::string& path, const std::string& content) {
  const std::string target = resolvedTarget(path);
  // Only a regular file is replaced by renaming; a FIFO or a device is written in place.
  struct stat existing;
  if (::stat(target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
    return writeWhole(openForWriting(target, O_TRUNC), path, content);
  }
  std::string tempPath;
  int fd = createTemporary(target, tempPath);
  if (fd < 0) return failure(path, errno);

  int error = writeAll(fd, content);
  struct stat old;
  if (error == 0 && ::stat(target.c_str(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) != 0) {
    error = errno;
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(tempPath.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(tempPath.c_str());
    return failure(path, error);
  }
  return {};
}

std::string appendToFile(const std::string& path, const std::string& text) {
  return writeWhole(openForWriting(path, O_CREAT | O_APPEND), path, text);
}
