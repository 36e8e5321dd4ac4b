// Reading the record of the cards written back, as the many-card window and
// cardcheck --record do: a record of 10,000 rows written as the programs
// write it (BOM, header, RecordLine rows) into a temporary file, then read
// ROUNDS times (default 11).
//   record_bench [ROUNDS]
// Prints "record-read SECONDS ROWS", the median of the rounds; exit code 1
// when a round did not read every row.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "cloning/cloning_texts.h"
#include "cloning/record_book.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRows = 10000;

// A run of cards as a day in the workshop leaves them: numbered labels, one
// card in twenty failed with a reason that needs quoting.
std::string RecordText() {
  std::string text = std::string("\xEF\xBB\xBF") + kRecordHeader + "\r\n";
  for (int i = 0; i < kRows; ++i) {
    RecordRow row;
    char label[32], serial[24];
    std::snprintf(label, sizeof label, "北坡%04d", i % 10000);
    std::snprintf(serial, sizeof serial, "%04X-%04X", 0x1000 + i / 16, i % 0x10000);
    row.time = "2026-12-10T08:31:05+08:00";
    row.drive = "E:";
    row.label = label;
    row.serial = serial;
    row.capacity = 7948206080ull + static_cast<unsigned>(i % 3) * 512;
    row.golden = "D:\\样板卡\\北坡 2026";
    row.goldenFingerprint = "03066C29A1B2C3D4";
    row.ready = i % 20 != 0;
    row.cardFingerprint = row.ready ? "03066C29A1B2C3D4" : "";
    row.reason = row.ready ? "" : "写入 audio\\SenseRand\\a.wav 时: 存储卡已满, \"换一张\"";
    row.filesWritten = 120;
    row.filesRemoved = i % 7;
    row.bytesWritten = 81234567;
    row.seconds = 36.5;
    row.version = "1.1.8";
    text += RecordLine(row);
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
  std::error_code ec;
  const fs::path file =
      fs::temp_directory_path(ec) /
      ("record_bench-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
       ".csv");
  {
    const std::string text = RecordText();
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) {
      std::fprintf(stderr, "record_bench: cannot write %s\n", file.u8string().c_str());
      return 2;
    }
  }
  std::vector<double> seconds;
  std::size_t rows = 0;
  bool whole = true;
  for (int round = 0; round < rounds; ++round) {
    RecordBook book;
    std::string error;
    auto start = std::chrono::steady_clock::now();
    bool read = ReadRecord(file, book, error);
    seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    rows = book.entries.size();
    if (!read || rows != kRows || book.skipped != 0) {
      std::fprintf(stderr, "record_bench: read %zu rows, %zu skipped %s\n", rows, book.skipped,
                   error.c_str());
      whole = false;
    }
  }
  fs::remove(file, ec);
  std::sort(seconds.begin(), seconds.end());
  std::printf("record-read %.4f %zu\n", seconds[seconds.size() / 2], rows);
  return whole ? 0 : 1;
}
