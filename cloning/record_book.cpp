#include "cloning/record_book.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "cloning/cloning_texts.h"
#include "common/file_io.h"

namespace {

// The columns in the order RecordLine writes them, the order of kRecordHeader.
enum Column {
  kTime,
  kDrive,
  kLabel,
  kSerial,
  kCapacity,
  kGolden,
  kGoldenFingerprint,
  kCardFingerprint,
  kResult,
  kReason,
  kFilesWritten,
  kFilesRemoved,
  kBytesWritten,
  kSeconds,
  kVersion,
  kColumnCount
};

// The field each column is in; -1 for a column the rows do not have.
using ColumnMap = std::array<int, kColumnCount>;

// A header row names at least this many columns; no row of cards does.
constexpr int kHeaderNames = 3;

constexpr std::string_view kBom = "\xEF\xBB\xBF";

ColumnMap HeaderOrder() {
  ColumnMap map;
  for (int column = 0; column < kColumnCount; ++column) map[column] = column;
  return map;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Where the row beginning at start ends (end, before its line break) and the
// next one begins (next). A quote opens a quoted field only at the field's
// start; inside it "" is a quote, and commas and line breaks are text. CR LF,
// LF and a lone CR all end a row. False when a quoted field is still open at
// the end of the text.
bool RowExtent(std::string_view text, std::size_t start, std::size_t& end, std::size_t& next) {
  bool fieldStart = true, quoted = false;
  for (std::size_t i = start; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') continue;
      if (i + 1 < text.size() && text[i + 1] == '"') {
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"' && fieldStart) {
      quoted = true;
      fieldStart = false;
    } else if (c == ',') {
      fieldStart = true;
    } else if (c == '\n' || c == '\r') {
      end = i;
      next = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? i + 2 : i + 1;
      return true;
    } else {
      fieldStart = false;
    }
  }
  end = next = text.size();
  return !quoted;
}

// Past the first line break after start, whatever the quotes say.
std::size_t AfterLine(std::string_view text, std::size_t start) {
  std::size_t at = text.find_first_of("\r\n", start);
  if (at == std::string_view::npos) return text.size();
  return text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? at + 2 : at + 1;
}

// A text a spreadsheet would take for a formula is written with an
// apostrophe first (CsvField); the apostrophe is not part of it.
void DropFormulaMark(std::string& field) {
  if (field.size() >= 2 && field[0] == '\'' &&
      std::string_view("=+-@\t\r").find(field[1]) != std::string_view::npos)
    field.erase(0, 1);
}

// The fields of a whole row (RowExtent's rules; what follows a closing
// quote before the next comma is kept too).
void SplitFields(std::string_view row, std::vector<std::string>& fields) {
  fields.clear();
  fields.emplace_back();
  bool fieldStart = true, quoted = false;
  for (std::size_t i = 0; i < row.size(); ++i) {
    const char c = row[i];
    if (quoted) {
      if (c != '"') {
        fields.back() += c;
      } else if (i + 1 < row.size() && row[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"' && fieldStart) {
      quoted = true;
      fieldStart = false;
    } else if (c == ',') {
      fields.emplace_back();
      fieldStart = true;
    } else {
      fields.back() += c;
      fieldStart = false;
    }
  }
  for (std::string& field : fields) DropFormulaMark(field);
}

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    int more = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      more = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      more = 2;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      more = 3;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (end - p <= more || p[1] < low || p[1] > high) return false;
    for (int k = 2; k <= more; ++k) {
      if (p[k] < 0x80 || p[k] > 0xBF) return false;
    }
    p += more + 1;
  }
  return true;
}

bool Blank(const std::vector<std::string>& fields) {
  return std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return Trimmed(f).empty(); });
}

// The columns a header row names, or false when the row is none.
bool HeaderMap(const std::vector<std::string>& fields, ColumnMap& map) {
  ColumnMap found;
  found.fill(-1);
  int names = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    std::string_view field = Trimmed(fields[i]);
    for (int column = 0; column < kColumnCount; ++column) {
      if (found[column] < 0 && field == RecordColumnNames()[static_cast<std::size_t>(column)]) {
        found[column] = static_cast<int>(i);
        ++names;
        break;
      }
    }
  }
  if (names < kHeaderNames) return false;
  map = found;
  return true;
}

// A whole number as written, or as a spreadsheet writes a long one
// (2.56061E+11): its value and what its last digit given is worth. Empty is
// 0. False for anything else.
bool ParseCount(std::string_view text, uint64_t& value, uint64_t& unit) {
  constexpr uint64_t kMax = ~uint64_t{0};
  text = Trimmed(text);
  value = 0;
  unit = 1;
  if (text.empty()) return true;
  uint64_t digits = 0;
  int fraction = 0, given = 0;
  std::size_t i = 0;
  auto take = [&](bool afterPoint) {
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++given) {
      const unsigned d = static_cast<unsigned>(text[i] - '0');
      if (digits > (kMax - d) / 10) return false;
      digits = digits * 10 + d;
      if (afterPoint) ++fraction;
    }
    return true;
  };
  if (!take(false)) return false;
  if (i < text.size() && text[i] == '.') {
    ++i;
    if (!take(true)) return false;
  }
  if (given == 0) return false;
  int exponent = 0;
  bool scientific = false;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    scientific = true;
    ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t first = i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && exponent < 1000; ++i)
      exponent = exponent * 10 + (text[i] - '0');
    if (i == first) return false;
    if (negative) exponent = -exponent;
  }
  if (i != text.size()) return false;
  int shift = exponent - fraction;
  if (shift < 0) {
    // Digits below 1: a whole number only when they are all zero.
    for (; shift < 0; ++shift) {
      if (digits % 10 != 0) return false;
      digits /= 10;
    }
  }
  uint64_t worth = 1;
  for (; shift > 0; --shift) {
    if (worth > kMax / 10) return false;
    worth *= 10;
  }
  if (digits != 0 && digits > kMax / worth) return false;
  value = digits * worth;
  unit = scientific ? worth : 1;
  return true;
}

uint64_t CountOr0(std::string_view text) {
  uint64_t value = 0, unit = 1;
  return ParseCount(text, value, unit) ? value : 0;
}

double SecondsOf(std::string_view text) {
  std::string number(Trimmed(text));
  if (number.empty()) return 0;
  char* end = nullptr;
  double value = std::strtod(number.c_str(), &end);
  return end == number.c_str() + number.size() && value >= 0 ? value : 0;
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// The row's entry, by the columns of map. False when the row is damaged:
// it has no serial column, or a capacity that is no number.
bool EntryOf(std::vector<std::string>& fields, const ColumnMap& map, RecordEntry& entry) {
  auto field = [&](Column column) -> std::string* {
    const int at = map[column];
    return at >= 0 && static_cast<std::size_t>(at) < fields.size() ? &fields[static_cast<std::size_t>(at)]
                                                                   : nullptr;
  };
  if (field(kSerial) == nullptr) return false;
  // Each column is a field of its own: what it holds is moved out.
  auto text = [&](Column column) -> std::string {
    std::string* f = field(column);
    return f ? std::move(*f) : std::string();
  };
  RecordRow& row = entry.row;
  if (std::string* capacity = field(kCapacity)) {
    if (!ParseCount(*capacity, row.capacity, entry.capacityUnit)) return false;
    entry.capacityRounded = entry.capacityUnit > 1;
  }
  row.time = text(kTime);
  row.drive = text(kDrive);
  row.label = text(kLabel);
  row.serial = std::string(Trimmed(*field(kSerial)));
  row.golden = text(kGolden);
  row.goldenFingerprint = std::string(Trimmed(text(kGoldenFingerprint)));
  row.cardFingerprint = std::string(Trimmed(text(kCardFingerprint)));
  row.ready = field(kResult) && Trimmed(*field(kResult)) == kRecordReady;
  row.reason = text(kReason);
  row.filesWritten = static_cast<int>(std::min<uint64_t>(CountOr0(text(kFilesWritten)), 0x7FFFFFFF));
  row.filesRemoved = static_cast<int>(std::min<uint64_t>(CountOr0(text(kFilesRemoved)), 0x7FFFFFFF));
  row.bytesWritten = CountOr0(text(kBytesWritten));
  row.seconds = SecondsOf(text(kSeconds));
  row.version = text(kVersion);
  return true;
}

}  // namespace

const std::vector<std::string>& RecordColumnNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> split(1);
    for (const char* c = kRecordHeader; *c != '\0'; ++c) {
      if (*c == ',') {
        split.emplace_back();
      } else {
        split.back() += *c;
      }
    }
    return split;
  }();
  return names;
}

bool RecordEntry::SameCapacity(uint64_t bytes) const {
  if (!capacityRounded) return row.capacity == bytes;
  const uint64_t off = bytes > row.capacity ? bytes - row.capacity : row.capacity - bytes;
  return off <= capacityUnit / 2;
}

RecordBook ParseRecord(const std::string& bytes) {
  RecordBook book;
  const std::string_view text = bytes;
  book.entries.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
  ColumnMap map = HeaderOrder();
  std::vector<std::string> fields;
  std::string converted;
  std::size_t at = 0;
  while (at < text.size()) {
    // A BOM begins the file, and each file pasted after it.
    if (text.compare(at, kBom.size(), kBom) == 0) at += kBom.size();
    std::size_t end = 0, next = 0;
    if (!RowExtent(text, at, end, next)) {
      // A quote never closed: only its line is lost, the rows after it are read.
      ++book.skipped;
      at = AfterLine(text, at);
      continue;
    }
    std::string_view row = text.substr(at, end - at);
    at = next;
    if (!IsUtf8(row)) {
      // Saved again by a spreadsheet in the system's code page. Its
      // structure is the same: the quotes, commas and line breaks are ASCII,
      // and no second byte of a GBK character is below 0x40.
      converted = Utf8OfAnsi(std::string(row));
      row = converted;
    }
    SplitFields(row, fields);
    if (Blank(fields) || HeaderMap(fields, map)) continue;
    RecordEntry entry;
    if (!EntryOf(fields, map, entry)) {
      ++book.skipped;
      continue;
    }
    book.entries.push_back(std::move(entry));
  }
  return book;
}

bool ReadRecord(const std::filesystem::path& file, RecordBook& book, std::string& error) {
  book = RecordBook{};
  EntryInfo info;
  IoError io;
  if (!LookAt(file, info, io)) {
    error = io.text;
    return false;
  }
  if (info.kind == EntryKind::kMissing) return true;
  std::string bytes;
  if (!ReadWholeFile(file, bytes, io)) {
    error = io.text;
    return false;
  }
  book = ParseRecord(bytes);
  return true;
}

const RecordEntry* LastRowOf(const RecordBook& book, const std::string& serial, const std::string& label,
                             uint64_t capacity) {
  if (serial.empty()) return nullptr;
  for (auto it = book.entries.rbegin(); it != book.entries.rend(); ++it) {
    if (SameLetters(it->row.serial, serial) && SameLetters(it->row.label, label) &&
        it->SameCapacity(capacity))
      return &*it;
  }
  return nullptr;
}

int HighestLabelNumber(const RecordBook& book, const std::string& name) {
  int highest = 0;
  for (const RecordEntry& entry : book.entries) {
    const std::string& label = entry.row.label;
    if (!entry.row.ready || label.size() < name.size() ||
        !SameLetters(std::string_view(label).substr(0, name.size()), name))
      continue;
    long long number = 0;
    bool digits = true;
    for (std::size_t i = name.size(); i < label.size() && digits; ++i) {
      digits = label[i] >= '0' && label[i] <= '9';
      number = std::min<long long>(number * 10 + (label[i] - '0'), 0x7FFFFFFF);
    }
    if (digits) highest = std::max(highest, static_cast<int>(number));
  }
  return highest;
}

std::string ShortRecordTime(const std::string& time) {
  constexpr int kNeeded = 5;  // year, month, day, hour, minute
  long numbers[kNeeded] = {};
  int found = 0;
  for (std::size_t i = 0; i < time.size() && found < kNeeded;) {
    if (time[i] < '0' || time[i] > '9') {
      ++i;
      continue;
    }
    long value = 0;
    for (; i < time.size() && time[i] >= '0' && time[i] <= '9'; ++i)
      value = std::min(value * 10 + (time[i] - '0'), 99999L);
    numbers[found++] = value;
  }
  if (found < kNeeded) return time;
  char text[64];
  std::snprintf(text, sizeof text, "%02ld-%02ld %02ld:%02ld", numbers[1], numbers[2], numbers[3], numbers[4]);
  return text;
}
