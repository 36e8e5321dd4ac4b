// cardcheck [--json] [--html PAGE] [--expect CODE] [--record FILE] [DIR]:
// checks a prepared card without writing to it, and looks it up in the
// record of the cards written; --html also writes the report as a page to
// read and print. Exit code 0 when the card is ready, 1 when problems were
// found, 2 when the card or the record cannot be read, the page cannot be
// written or the command line is wrong.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cardcheck/card_html.h"
#include "cardcheck/card_report.h"
#include "cardcheck/check_texts.h"
#include "cardcheck/fingerprint.h"
#include "cloning/clone_record.h"
#include "cloning/record_book.h"
#include "common/console.h"
#include "common/file_io.h"
#include "common/text_format.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitReady = 0;
constexpr int kExitProblems = 1;
constexpr int kExitUnreadable = 2;

int UsageError(const std::string& message) {
  WriteText(stderr, Format(kTextUsageError, message.c_str()) + kTextUsage);
  return kExitUnreadable;
}

// Reads the record named on the command line; false, said on standard
// error, when there is none or it cannot be read.
bool ReadRecordGiven(const std::string& given, RecordBook& book) {
  const fs::path file = fs::u8path(given);
  EntryInfo info;
  IoError io;
  std::string error;
  if (LookAt(file, info, io) && info.kind == EntryKind::kMissing) {
    WriteText(stderr, Format(kTextNoRecord, given.c_str()));
    return false;
  }
  if (!ReadRecord(file, book, error)) {
    WriteText(stderr, Format(kTextRecordUnreadable, given.c_str(), error.c_str()));
    return false;
  }
  return true;
}

// The card's last row in the record, by its drive's serial, label and
// capacity; compared with the card's fingerprint as it is now.
void LookUpCard(const fs::path& card, const std::string& given, const RecordBook& book, CardReport& report) {
  RecordCheck& check = report.record;
  check.asked = true;
  check.file = given;
  check.skipped = book.skipped;
  VolumeInfo volume;
  IoError error;
  if (!VolumeOf(card, volume, error) || !volume.isRoot) return;
  check.isRoot = true;
  check.serial = SerialText(volume.serial);
  check.label = volume.label;
  check.capacity = volume.capacity;
  const RecordEntry* entry = LastRowOf(book, check.serial, check.label, check.capacity);
  if (entry == nullptr) return;
  const RecordRow& row = entry->row;
  check.found = true;
  check.time = row.time;
  check.shortTime = ShortRecordTime(row.time);
  check.goldenFingerprint = row.goldenFingerprint;
  check.cardFingerprint = row.cardFingerprint;
  check.ready = row.ready;
  check.reason = row.reason;
  std::string digits;
  check.same = !report.fingerprint.empty() && ParseFingerprint(row.cardFingerprint, digits) &&
               FingerprintMatches(report.fingerprint, digits);
}

int CheckCommand(int argc, char** argv) {
  bool json = false;
  bool haveDirectory = false, haveRecord = false, haveHtml = false;
  bool optionsDone = false;
  std::string directory, expectGiven, expect, recordGiven, htmlGiven;
  std::vector<std::string> args = Utf8Arguments(argc, argv);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsDone && arg == "--") {
      optionsDone = true;
    } else if (!optionsDone && arg == "--json") {
      json = true;
    } else if (!optionsDone && arg == "--html") {
      if (i + 1 >= args.size() || args[i + 1].empty()) return UsageError(kTextHtmlNotGiven);
      htmlGiven = args[++i];
      haveHtml = true;
    } else if (!optionsDone && arg == "--expect") {
      expectGiven = i + 1 < args.size() ? args[++i] : "";
      if (!ParseFingerprint(expectGiven, expect))
        return UsageError(Format(kTextBadExpect, expectGiven.c_str()));
    } else if (!optionsDone && arg == "--record") {
      if (i + 1 >= args.size()) return UsageError(kTextRecordNotGiven);
      recordGiven = args[++i];
      haveRecord = true;
    } else if (!optionsDone && (arg == "--help" || arg == "-h")) {
      WriteText(stdout, kTextUsage);
      return kExitReady;
    } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
      return UsageError(Format(kTextUnknownOption, arg.c_str()));
    } else if (haveDirectory) {
      return UsageError(kTextOneDirectory);
    } else {
      directory = arg;
      haveDirectory = true;
    }
  }

  std::error_code ec;
  fs::path card = haveDirectory ? fs::u8path(directory) : fs::current_path(ec);
  if (ec || !fs::is_directory(card, ec)) {
    const bool there = !ec && fs::exists(card, ec);
    WriteText(stderr, Format(there ? kTextNotADirectory : kTextNoDirectory,
                             (haveDirectory ? directory : card.u8string()).c_str()));
    return kExitUnreadable;
  }

  RecordBook book;
  if (haveRecord && !ReadRecordGiven(recordGiven, book)) return kExitUnreadable;

  CardReport report = CheckCard(card);
  if (report.readable) AddFingerprint(card, expect, expectGiven, report);
  if (haveRecord) LookUpCard(card, recordGiven, book, report);
  IoError error;
  if (haveHtml && !ReplaceFileWith(fs::u8path(htmlGiven), RenderHtml(report), error)) {
    WriteText(stderr, Format(kTextHtmlUnwritable, htmlGiven.c_str(), error.text.c_str()));
    return kExitUnreadable;
  }
  WriteText(stdout, json ? RenderJson(report) : RenderText(report));
  if (!report.readable) return kExitUnreadable;
  return report.Ready() ? kExitReady : kExitProblems;
}

}  // namespace

int main(int argc, char** argv) { return RunConsoleProgram(argc, argv, kTextConsoleTitle, CheckCommand); }
