// The record of the cards written: one CSV row per card, ready or failed,
// added to the end of a file that is never rewritten. UTF-8 with a BOM (so
// that Excel opens it as Chinese), comma-separated, quoted as RFC 4180 says,
// lines ended by CR LF; the header row is kRecordHeader.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cloning/card_result.h"
#include "cloning/clone_targets.h"
#include "cloning/golden_card.h"

struct RecordRow {
  std::string time;  // ISO 8601, local time with its offset
  std::string drive;
  std::string label;
  std::string serial;  // "XXXX-XXXX", empty where the system gives none
  uint64_t capacity = 0;
  std::string golden;
  std::string goldenFingerprint;
  std::string cardFingerprint;  // read back after writing; empty for a failed card
  bool ready = false;
  std::string reason;
  int filesWritten = 0;
  int filesRemoved = 0;
  uint64_t bytesWritten = 0;
  double seconds = 0;
  std::string version;
};

// One field as RFC 4180 writes it: quoted when it holds a comma, a quote,
// CR or LF (or begins or ends with a space), a quote doubled. A field that a
// spreadsheet would take for a formula (it begins with =, +, -, @, a tab or
// a carriage return: a volume label "=1+1") is written as text: quoted, with
// an apostrophe first.
std::string CsvField(const std::string& text);

// The row's fields in the header's order, and CR LF.
std::string RecordLine(const RecordRow& row);

// A volume serial as Windows' dir shows it: "1234-ABCD"; empty for 0.
std::string SerialText(uint32_t serial);

// Adds rows to the end of file, after the BOM and the header when the file
// is new or empty; flushed to the medium. False with error (UTF-8) when the
// file cannot be opened or written (held by another program, say).
bool AppendRecord(const std::filesystem::path& file, const std::vector<RecordRow>& rows, std::string& error);

// The row of one card of a run: the golden card as the user named it, its
// fingerprint as the run read it (result's, else the one golden carries),
// the card's own as measured on it (empty for a failed card).
RecordRow MakeRecordRow(const GoldenCard& golden, const Target& target, const CardResult& result);

// The rows of a record file not yet written: a row waits while the file
// cannot be written (held open and locked by another program) and goes in,
// in order, at the next Flush that succeeds: none is dropped.
class PendingRecord {
 public:
  explicit PendingRecord(std::filesystem::path file) : file_(std::move(file)) {}
  const std::filesystem::path& file() const { return file_; }
  void Add(const std::vector<RecordRow>& rows) { rows_.insert(rows_.end(), rows.begin(), rows.end()); }
  // Writes the waiting rows; false with error while they cannot be written.
  bool Flush(std::string& error);
  std::size_t waiting() const { return rows_.size(); }

 private:
  std::filesystem::path file_;
  std::vector<RecordRow> rows_;
};
