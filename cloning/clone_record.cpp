#include "cloning/clone_record.h"

#include <cstdio>
#include <ctime>

#include "cloning/cloning_texts.h"
#include "common/file_io.h"

namespace {

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

}  // namespace

std::string CsvField(const std::string& text) {
  bool formula = !text.empty() && std::string("=+-@\t\r").find(text.front()) != std::string::npos;
  bool quote = formula || text.find_first_of(",\"\r\n") != std::string::npos ||
               (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quote) return text;
  std::string out = formula ? "\"'" : "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

std::string RecordLine(const RecordRow& row) {
  const std::string fields[] = {row.time,
                                row.drive,
                                row.label,
                                row.serial,
                                std::to_string(row.capacity),
                                row.golden,
                                row.goldenFingerprint,
                                row.cardFingerprint,
                                row.ready ? kRecordReady : kRecordFailed,
                                row.reason,
                                std::to_string(row.filesWritten),
                                std::to_string(row.filesRemoved),
                                std::to_string(row.bytesWritten),
                                Number(row.seconds),
                                row.version};
  std::string line;
  for (std::size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i)
    line += (i ? "," : "") + CsvField(fields[i]);
  return line + "\r\n";
}


std::string SerialText(uint32_t serial) {
  if (serial == 0) return "";
  char text[16];
  std::snprintf(text, sizeof text, "%04X-%04X", static_cast<unsigned>(serial >> 16),
                static_cast<unsigned>(serial & 0xFFFF));
  return text;
}

bool AppendRecord(const std::filesystem::path& file, const std::vector<RecordRow>& rows, std::string& error) {
  OutFile out;
  bool empty = false;
  std::string text;
  bool opened = out.OpenToAppend(file, empty);
  if (opened && empty) text = std::string("\xEF\xBB\xBF") + kRecordHeader + "\r\n";
  for (const RecordRow& row : rows) text += RecordLine(row);
  bool written = opened && out.Write(text.data(), text.size()) && out.FlushToMedium() && out.Close();
  if (!written) error = out.error().text;
  return written;
}

RecordRow MakeRecordRow(const GoldenCard& golden, const Target& target, const CardResult& result) {
  RecordRow row;
  row.time = LocalTimeText(std::time(nullptr));
  row.drive = target.volume.isRoot ? target.volume.root.u8string() : target.given;
  while (row.drive.size() > 1 && (row.drive.back() == '\\' || row.drive.back() == '/')) row.drive.pop_back();
  row.label = result.labelled ? result.label : target.volume.label;
  row.serial = SerialText(target.volume.serial);
  row.capacity = target.volume.capacity;
  row.golden = golden.given;
  row.goldenFingerprint = result.goldenFingerprint.empty() ? golden.fingerprint : result.goldenFingerprint;
  row.cardFingerprint = result.ready ? result.fingerprint : "";
  row.ready = result.ready;
  row.reason = result.ready ? result.labelProblem : result.reason;
  row.filesWritten = result.filesWritten;
  row.filesRemoved = result.filesRemoved;
  row.bytesWritten = result.bytesWritten;
  row.seconds = result.seconds;
  row.version = BCT_VERSION;
  return row;
}

bool PendingRecord::Flush(std::string& error) {
  if (rows_.empty()) return true;
  if (!AppendRecord(file_, rows_, error)) return false;
  rows_.clear();
  return true;
}
