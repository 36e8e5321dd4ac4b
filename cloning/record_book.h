// The record of the cards written, read back: which run made a card that
// comes back, and which numbers a label name has used. Read the way people
// leave such a file: rows of older versions (fewer columns) and of newer ones
// (more), a file opened and saved again by a spreadsheet (the BOM kept or
// lost, CR LF or LF, fields quoted or not, lines in the system's ANSI code
// page instead of UTF-8, a leading apostrophe, long numbers written as
// 2.56061E+11). A damaged line is skipped and counted, never a reason to
// stop reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cloning/clone_record.h"

// One row as read back. Fields missing from a shorter row are empty (0).
struct RecordEntry {
  RecordRow row;
  // The capacity came as a spreadsheet rounds it (2.56061E+11): compared
  // to its digits, not exactly.
  bool capacityRounded = false;
  // What the last digit given is worth (1e6 for 2.56061E+11); 1 when exact.
  uint64_t capacityUnit = 1;
  // The capacity exactly or, when rounded, within what the rounding lost.
  bool SameCapacity(uint64_t bytes) const;
};

struct RecordBook {
  std::vector<RecordEntry> entries;  // in the file's order
  std::size_t skipped = 0;           // damaged lines, not read
};

// The record's own names for its columns, in the header's order
// (kRecordHeader split at its commas).
const std::vector<std::string>& RecordColumnNames();

// The rows of a record's text (the whole file's bytes).
RecordBook ParseRecord(const std::string& bytes);

// Reads the record file. A file that does not exist is an empty record
// (true); false with error (UTF-8) when it exists and cannot be read.
bool ReadRecord(const std::filesystem::path& file, RecordBook& book, std::string& error);

// The last row of the card known by its serial ("XXXX-XXXX"), label and
// capacity; labels compared as FAT compares them (ASCII letters in either
// case). Null when the book has none, or the card has no serial.
const RecordEntry* LastRowOf(const RecordBook& book, const std::string& serial, const std::string& label,
                             uint64_t capacity);

// The highest number a ready card's label took after name ("北坡" and
// "北坡07" give 7; letters compared in either case); 0 when none did.
int HighestLabelNumber(const RecordBook& book, const std::string& name);

// "12-10 08:31": the month, day, hour and minute of a record's time as the
// window shows it, from ISO 8601 or from what a spreadsheet made of it
// ("2026/12/10 8:31"); the text as it is when it has no such numbers.
std::string ShortRecordTime(const std::string& time);
