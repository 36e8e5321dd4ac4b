// A file on the computer (a report, a sheet) written whole: under a
// temporary name beside it, then put in place.
#include <cstdio>

#include "common/file_io.h"
#include "common/text_format.h"

namespace fs = std::filesystem;

namespace {

// "FILE.~00" to "FILE.~99": the first where a new file can be made.
constexpr int kReplaceTempCount = 100;

}  // namespace

bool ReplaceFileWith(const fs::path& file, const std::string& bytes, IoError& error) {
  OutFile out;
  fs::path temp;
  for (int number = 0; number < kReplaceTempCount && temp.empty(); ++number) {
    fs::path name = file;
    name += Format(".~%02d", number);
    bool occupied = false;
    if (out.CreateNew(name, occupied)) temp = name;
    if (temp.empty() && !occupied) break;
  }
  if (temp.empty()) {
    error = out.error();
    return false;
  }
  bool written = out.Write(bytes.data(), bytes.size()) && out.FlushToMedium() && out.Close();
  if (written && PutFileInPlace(temp, file, error)) return true;
  if (!written) error = out.error();
  out.Close();
  RemoveFile(temp);
  return false;
}
