// The medium a path lies on, on Linux: its mount, type and room, and the
// system's and the program's own file systems.
#include <errno.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "common/file_io.h"

namespace fs = std::filesystem;

namespace {

void Fail(IoError& error) {
  error.code = errno;
  error.text = std::strerror(errno);
}

}  // namespace

bool FreeSpace(const fs::path& path, std::uint64_t& bytes) {
  struct statvfs info;
  if (::statvfs(path.c_str(), &info) != 0) return false;
  bytes = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
  return true;
}

bool FlushMedium(const fs::path& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool flushed = ::syncfs(fd) == 0;
  ::close(fd);
  return flushed;
}

namespace {

// A field of /proc/self/mountinfo with its octal escapes ("\040" for a
// blank) undone.
std::string Unescaped(const std::string& field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    auto octal = [&](std::size_t at) { return at < field.size() && field[at] >= '0' && field[at] <= '7'; };
    if (field[i] == '\\' && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
      out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

bool Below(const fs::path& path, const fs::path& root) {
  auto p = path.begin();
  for (auto r = root.begin(); r != root.end(); ++r, ++p) {
    if (r->empty()) continue;  // the empty element after a trailing slash
    if (p == path.end() || *p != *r) return false;
  }
  return true;
}

// The mount holding path: the longest mount point above it, and its type.
void FindMount(const fs::path& path, VolumeInfo& info) {
  std::ifstream mounts("/proc/self/mountinfo");
  std::string line;
  std::size_t best = 0;
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string id, parent, numbers, root, point, word;
    fields >> id >> parent >> numbers >> root >> point;
    while (fields >> word && word != "-") {
    }
    std::string type;
    fields >> type;
    fs::path mountPoint = Unescaped(point);
    std::size_t depth = static_cast<std::size_t>(std::distance(mountPoint.begin(), mountPoint.end()));
    if (Below(path, mountPoint) && depth >= best) {
      best = depth;
      info.root = mountPoint;
      info.fileSystem = type;
    }
  }
}

}  // namespace

bool VolumeOf(const fs::path& path, VolumeInfo& info, IoError& error) {
  info = VolumeInfo{};
  std::error_code ec;
  fs::path canonical = fs::canonical(path, ec);
  struct stat st;
  struct statvfs space;
  if (ec || ::stat(canonical.c_str(), &st) != 0 || ::statvfs(canonical.c_str(), &space) != 0) {
    if (ec) errno = ec.value();
    Fail(error);
    return false;
  }
  FindMount(canonical, info);
  info.isRoot = !info.root.empty() && canonical == info.root;
  info.device = static_cast<std::uint64_t>(st.st_dev);
  info.capacity = static_cast<std::uint64_t>(space.f_blocks) * space.f_frsize;
  info.available = static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize;
  info.allocationUnit = space.f_bsize;
  // FAT holds no file of 4 GiB or more (exFAT, "exfat", does).
  bool fat = info.fileSystem == "vfat" || info.fileSystem == "msdos" || info.fileSystem == "fuse.fusefat";
  if (fat) info.maxFileSize = 0xFFFFFFFFull;
  return true;
}

bool VolumeLabelsCanBeSet() { return false; }

bool SetVolumeLabelOf(const fs::path&, const std::string&, IoError& error) {
  error = IoError{EPERM, std::strerror(EPERM)};
  return false;
}

// Linux has no OEM code page: the count is in code page 936, the one
// Chinese Windows keeps FAT labels in, so that the rules read the same here.
int OemTextBytes(const std::string& text) {
  iconv_t convert = ::iconv_open("CP936", "UTF-8");
  if (convert == reinterpret_cast<iconv_t>(-1)) return -1;
  std::string in = text;
  char out[256];
  char* from = &in[0];
  std::size_t left = in.size();
  int bytes = 0;
  while (left > 0) {
    char* to = out;
    std::size_t room = sizeof out;
    std::size_t done = ::iconv(convert, &from, &left, &to, &room);
    bytes += static_cast<int>(to - out);
    if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
      bytes = -1;
      break;
    }
  }
  ::iconv_close(convert);
  return bytes;
}

fs::path SystemRoot() { return "/"; }

fs::path ProgramPath() {
  std::error_code ec;
  return fs::read_symlink("/proc/self/exe", ec);
}
