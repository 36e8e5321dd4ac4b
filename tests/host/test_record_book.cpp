// The record of the cards written, read back: rows as the programs write
// them, a file as a spreadsheet leaves it, damaged lines, and the questions
// asked of it (a card's last row, a label name's highest number).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cloning/cloning_texts.h"
#include "cloning/record_book.h"
#include "tests/support/scratch_dir.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

RecordRow Row(const std::string& label, const std::string& serial, uint64_t capacity, bool ready) {
  RecordRow row;
  row.time = "2026-12-10T08:31:05+08:00";
  row.drive = "E:";
  row.label = label;
  row.serial = serial;
  row.capacity = capacity;
  row.golden = "D:\\样板 卡";
  row.goldenFingerprint = "03066C29A1B2C3D4";
  row.cardFingerprint = ready ? "03066C29A1B2C3D4" : "";
  row.ready = ready;
  row.filesWritten = 12;
  row.filesRemoved = 1;
  row.bytesWritten = 8000000;
  row.seconds = 3.5;
  row.version = "1.1.8";
  return row;
}

void ExpectSameRow(const RecordRow& read, const RecordRow& written) {
  EXPECT_EQ(read.time, written.time);
  EXPECT_EQ(read.drive, written.drive);
  EXPECT_EQ(read.label, written.label);
  EXPECT_EQ(read.serial, written.serial);
  EXPECT_EQ(read.capacity, written.capacity);
  EXPECT_EQ(read.golden, written.golden);
  EXPECT_EQ(read.goldenFingerprint, written.goldenFingerprint);
  EXPECT_EQ(read.cardFingerprint, written.cardFingerprint);
  EXPECT_EQ(read.ready, written.ready);
  EXPECT_EQ(read.reason, written.reason);
  EXPECT_EQ(read.filesWritten, written.filesWritten);
  EXPECT_EQ(read.filesRemoved, written.filesRemoved);
  EXPECT_EQ(read.bytesWritten, written.bytesWritten);
  EXPECT_DOUBLE_EQ(read.seconds, written.seconds);
  EXPECT_EQ(read.version, written.version);
}

}  // namespace

TEST(RecordBook, RowsTheProgramsWriteReadBackAsTheyWere) {
  ScratchDir scratch;
  const auto file = scratch.path() / "record.csv";
  std::vector<RecordRow> rows = {Row("-2+3", "1234-ABCD", 7948206080, false), Row("=1+1", "", 0, true),
                                 Row(" 北坡01 ", "0306-6C29", 256060514304, true)};
  rows[0].reason = "存储卡已满, \"换一张\"";
  rows[1].reason = "第一行\r\n第二行";
  std::string error;
  ASSERT_TRUE(AppendRecord(file, rows, error)) << error;
  ASSERT_TRUE(AppendRecord(file, {rows[2]}, error)) << error;

  RecordBook book;
  ASSERT_TRUE(ReadRecord(file, book, error)) << error;
  EXPECT_EQ(book.skipped, 0u);
  ASSERT_EQ(book.entries.size(), 4u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    ExpectSameRow(book.entries[i].row, rows[i]);
    EXPECT_FALSE(book.entries[i].capacityRounded);
  }

  // No file yet is an empty record; a folder in its place cannot be read.
  EXPECT_TRUE(ReadRecord(scratch.path() / "none.csv", book, error));
  EXPECT_TRUE(book.entries.empty());
  EXPECT_FALSE(ReadRecord(scratch.path(), book, error));
  EXPECT_FALSE(error.empty());
}

// Saved again by a spreadsheet on Chinese Windows: code page 936, LF, no BOM
// and no quotes, the capacity rounded, a column added; then rows the
// programs appended in UTF-8, an older program's shorter row, and a second
// record pasted below with its own BOM and columns.
TEST(RecordBook, AFileAsASpreadsheetLeavesItReadsLineByLine) {
  const std::string gbkHeader =
      "\xCA\xB1\xBC\xE4,\xC5\xCC\xB7\xFB,\xBE\xED\xB1\xEA,\xBE\xED\xD0\xF2\xC1\xD0\xBA\xC5,"
      "\xC8\xDD\xC1\xBF\xD7\xD6\xBD\xDA,\xD1\xF9\xB0\xE5,\xD1\xF9\xB0\xE5\xD6\xB8\xCE\xC6,"
      "\xBF\xA8\xD6\xB8\xCE\xC6,\xBD\xE1\xB9\xFB,\xD4\xAD\xD2\xF2,\xD0\xB4\xC8\xEB\xCE\xC4\xBC\xFE,"
      "\xC9\xBE\xB3\xFD\xCE\xC4\xBC\xFE,\xD0\xB4\xC8\xEB\xD7\xD6\xBD\xDA,\xC3\xEB,"
      "\xB3\xCC\xD0\xF2\xB0\xE6\xB1\xBE,\xB1\xB8\xD7\xA2\n";  // ... 程序版本,备注
  // 北坡03, golden 北坡样板, 可以使用, remark 备注.
  const std::string gbkRow =
      "2026/12/11 9:00,E:,\xB1\xB1\xC6\xC2"
      "03,ABCD-0001,2.56061E+11,\xB1\xB1\xC6\xC2\xD1\xF9\xB0\xE5,,,"
      "\xBF\xC9\xD2\xD4\xCA\xB9\xD3\xC3,,12,0,8000000,3.5,1.1.7,\xB1\xB8\xD7\xA2\n";
  const RecordRow appended = Row("-北坡04", "ABCD-0002", 7948206080, true);
  const std::string text = gbkHeader + gbkRow + RecordLine(appended) +
                           "2026-12-01T08:00:00+08:00,F:,old,0000-0001,7948206080\n"
                           "\xEF\xBB\xBF卷序列号,卷标,容量字节,结果\r\n"
                           "1111-2222,NB05,2.56E+11,可以使用\r\n";

  RecordBook book = ParseRecord(text);
  EXPECT_EQ(book.skipped, 0u);
  ASSERT_EQ(book.entries.size(), 4u);
  const RecordEntry& gbk = book.entries[0];
  EXPECT_EQ(gbk.row.label, "北坡03");
  EXPECT_EQ(gbk.row.golden, "北坡样板");
  EXPECT_TRUE(gbk.row.ready);
  EXPECT_EQ(gbk.row.filesWritten, 12);
  EXPECT_EQ(gbk.row.version, "1.1.7");
  EXPECT_TRUE(gbk.capacityRounded);
  EXPECT_EQ(gbk.row.capacity, 256061000000u);
  ExpectSameRow(book.entries[1].row, appended);
  const RecordRow& old = book.entries[2].row;
  EXPECT_EQ(old.label, "old");
  EXPECT_EQ(old.capacity, 7948206080u);
  EXPECT_FALSE(old.ready);
  EXPECT_EQ(old.version, "");
  const RecordEntry& pasted = book.entries[3];
  EXPECT_EQ(pasted.row.serial, "1111-2222");
  EXPECT_EQ(pasted.row.label, "NB05");
  EXPECT_TRUE(pasted.row.ready);
  EXPECT_EQ(pasted.row.time, "") << "the pasted record has no time column";
  EXPECT_TRUE(pasted.SameCapacity(255500000000u));
  EXPECT_FALSE(pasted.SameCapacity(255499999999u));

  // Rounded to six digits: within half a unit of the sixth, both ends counted.
  EXPECT_TRUE(gbk.SameCapacity(256060514304u));
  EXPECT_TRUE(gbk.SameCapacity(256061500000u));
  EXPECT_FALSE(gbk.SameCapacity(256061500001u));
  EXPECT_FALSE(gbk.SameCapacity(256060499999u));
  EXPECT_FALSE(book.entries[1].SameCapacity(7948206081u)) << "an exact capacity is compared exactly";
}

TEST(RecordBook, DamagedLinesAreSkippedAndCountedBlankOnesIgnored) {
  const std::string good = RecordLine(Row("NB01", "1234-ABCD", 7948206080, true));
  const std::string text = std::string(kRecordHeader) + "\r\n" + good + "\r\n,,,,,,\r\n" +
                           "2026-12-10,E:,NB02,1234-ABCD,7.9 GB\r\n" +                 // not a number
                           "2026-12-10,E:,NB03,1234-ABCD,-5\r\n" + "只有一句话\r\n" +  // no serial column
                           "2026-12-10,E:,\"NB04,1234-ABCD,7948206080\r\n" +           // never closed
                           RecordLine(Row("NB05", "1234-ABCD", 7948206080, true));
  RecordBook book = ParseRecord(text);
  EXPECT_EQ(book.skipped, 4u);
  ASSERT_EQ(book.entries.size(), 2u);
  EXPECT_EQ(book.entries[1].row.label, "NB05") << "the line after the open quote is read";

  // A header without a serial column: nothing under it can be told apart.
  book = ParseRecord("卷标,容量字节,结果\nNB05,7948206080,可以使用\n" + std::string(kRecordHeader) + "\n" +
                     good);
  EXPECT_EQ(book.skipped, 1u);
  EXPECT_EQ(book.entries.size(), 1u);
}

TEST(RecordBook, ACardsLastRowAndALabelNamesHighestNumber) {
  std::vector<RecordRow> rows = {
      Row("NB01", "1234-ABCD", 7948206080, false), Row("nb01", "1234-abcd", 7948206080, true),
      Row("NB01", "1234-ABCD", 15931539456, true),  // another card, same serial
      Row("NB01", "", 7948206080, true),           Row("北坡A1", "5555-0001", 1, true),
      Row("北坡07", "5555-0002", 1, true),         Row("北坡", "5555-0003", 1, true),
      Row("北坡12", "5555-0004", 1, false),        Row("nb9", "5555-0005", 1, true)};
  std::string text;
  for (const RecordRow& row : rows) text += RecordLine(row);
  text += RecordLine(Row("NB02", "1234-ABCD", 7948206080, true));
  RecordBook book = ParseRecord(text);
  ASSERT_EQ(book.entries.size(), rows.size() + 1);

  const RecordEntry* last = LastRowOf(book, "1234-ABCD", "NB01", 7948206080);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last, &book.entries[1]) << "the later of two, letters in either case";
  EXPECT_EQ(LastRowOf(book, "1234-ABCD", "NB01", 15931539456), &book.entries[2]);
  EXPECT_EQ(LastRowOf(book, "1234-ABCD", "NB01", 7948206081), nullptr);
  EXPECT_EQ(LastRowOf(book, "1234-ABCE", "NB01", 7948206080), nullptr);
  EXPECT_EQ(LastRowOf(book, "", "NB01", 7948206080), nullptr) << "a card without a serial is never looked up";

  EXPECT_EQ(HighestLabelNumber(book, "北坡"), 7) << "not 北坡A1, not the failed 北坡12";
  EXPECT_EQ(HighestLabelNumber(book, "NB"), 9);
  EXPECT_EQ(HighestLabelNumber(book, "南坡"), 0);

  EXPECT_EQ(ShortRecordTime("2026-12-10T08:31:05+08:00"), "12-10 08:31");
  EXPECT_EQ(ShortRecordTime("2026/1/5 8:03"), "01-05 08:03");
  EXPECT_EQ(ShortRecordTime("2026/1/5"), "2026/1/5");
}

#ifdef _WIN32
// A spreadsheet keeps the file it shows open for writing, letting others read.
TEST(RecordBook, ARecordOpenInASpreadsheetIsReadAllTheSame) {
  ScratchDir scratch;
  const auto file = scratch.path() / "record.csv";
  std::string error;
  ASSERT_TRUE(AppendRecord(file, {Row("NB01", "1234-ABCD", 1, true)}, error)) << error;
  HANDLE held = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  RecordBook book;
  EXPECT_TRUE(ReadRecord(file, book, error)) << error;
  EXPECT_EQ(book.entries.size(), 1u);
  CloseHandle(held);
}
#endif
