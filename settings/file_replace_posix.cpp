#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "settings/file_replace.h"

std::FILE* CreateNewFile(const char* path, bool* occupied) {
  *occupied = false;
  int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0) {
    struct stat info;
    *occupied = errno == EEXIST || ::lstat(path, &info) == 0;
    return nullptr;
  }
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) ::close(fd);
  return file;
}

bool FlushFileToMedium(std::FILE* file) { return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0; }

bool IsSmallWritableFile(const char* path, long maxBytes) {
  struct stat info;
  return ::lstat(path, &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) != 0 &&
         info.st_size <= maxBytes;
}

// rename() replaces an existing target atomically on POSIX file systems; the
// directory's own fsync then makes the new entry stay when power is lost.
bool ReplaceWithFile(const char* source, const char* target) {
  if (std::rename(source, target) != 0) return false;
  std::string directory = target;
  std::size_t slash = directory.find_last_of('/');
  directory = slash == std::string::npos ? "." : directory.substr(0, slash + 1);
  int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
  return true;
}

bool RemoveFile(const char* path) { return std::remove(path) == 0; }
