#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cardclone/card_io.h"

namespace fs = std::filesystem;

namespace {

void Fail(IoError& error) {
  error.code = errno;
  error.text = std::strerror(errno);
  error.full = errno == ENOSPC || errno == EFBIG;
}

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

OutFile::~OutFile() {
  if (handle_ >= 0) ::close(Fd(handle_));
}

bool OutFile::Create(const fs::path& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    Fail(error_);
    return false;
  }
  handle_ = fd;
  return true;
}

bool OutFile::CreateNew(const fs::path& path, bool& occupied) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  occupied = fd < 0 && errno == EEXIST;
  if (fd < 0) {
    Fail(error_);
    return false;
  }
  handle_ = fd;
  return true;
}

bool OutFile::Write(const void* data, std::size_t size) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(Fd(handle_), at, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      Fail(error_);
      return false;
    }
    at += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool OutFile::FlushToMedium() {
  if (::fsync(Fd(handle_)) != 0) {
    Fail(error_);
    return false;
  }
  // The bytes are on the medium now; drop them from the cache so that the
  // read-back has to fetch them from there.
  ::posix_fadvise(Fd(handle_), 0, 0, POSIX_FADV_DONTNEED);
  return true;
}

bool OutFile::Close() {
  if (handle_ < 0) return true;
  int result = ::close(Fd(handle_));
  handle_ = -1;
  if (result != 0) {
    Fail(error_);
    return false;
  }
  return true;
}

InFile::~InFile() { Close(); }

bool InFile::Open(const fs::path& path, bool uncached) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    Fail(error_);
    return false;
  }
  handle_ = fd;
  uncached_ = uncached;
  // Clean pages are dropped; what was flushed earlier is then read anew from
  // the medium. (O_DIRECT would say it more firmly, but tmpfs and many FUSE
  // file systems refuse it.)
  if (uncached) ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return true;
}

long long InFile::Read(void* data, std::size_t size) {
  char* at = static_cast<char*>(data);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::read(Fd(handle_), at + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      Fail(error_);
      return -1;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<long long>(done);
}

void InFile::Close() {
  if (handle_ >= 0) ::close(Fd(handle_));
  handle_ = -1;
}

bool PutFileInPlace(const fs::path& from, const fs::path& to, IoError& error) {
  if (std::rename(from.c_str(), to.c_str()) != 0) {
    Fail(error);
    return false;
  }
  // The new name is durable once its folder is flushed. Some file systems
  // (FUSE ones among them) cannot flush a folder; the rename itself stands.
  int dir = ::open(to.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    if (::fsync(dir) != 0 && errno != EINVAL && errno != ENOSYS && errno != EROFS) {
      Fail(error);
      ::close(dir);
      return false;
    }
    ::close(dir);
  }
  return true;
}

FolderId IdOfFolder(const fs::path& path) {
  FolderId id;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    id.valid = true;
    id.volume = static_cast<uint64_t>(st.st_dev);
    id.index = static_cast<uint64_t>(st.st_ino);
  }
  return id;
}

bool StdoutIsLiveTerminal() {
  if (!::isatty(STDOUT_FILENO)) return false;
  const char* term = std::getenv("TERM");
  return term == nullptr || std::strcmp(term, "dumb") != 0;
}
