// cardcheck [--json] [--expect CODE] [DIR]: checks a prepared card without writing to it.
// Exit code 0 when the card is ready, 1 when problems were found, 2 when the
// card cannot be read or the command line is wrong.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cardcheck/card_report.h"
#include "cardcheck/check_texts.h"
#include "cardcheck/fingerprint.h"
#include "common/console.h"
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

int CheckCommand(int argc, char** argv) {
  bool json = false;
  bool haveDirectory = false;
  bool optionsDone = false;
  std::string directory, expectGiven, expect;
  std::vector<std::string> args = Utf8Arguments(argc, argv);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsDone && arg == "--") {
      optionsDone = true;
    } else if (!optionsDone && arg == "--json") {
      json = true;
    } else if (!optionsDone && arg == "--expect") {
      expectGiven = i + 1 < args.size() ? args[++i] : "";
      if (!ParseFingerprint(expectGiven, expect))
        return UsageError(Format(kTextBadExpect, expectGiven.c_str()));
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

  CardReport report = CheckCard(card);
  if (report.readable) AddFingerprint(card, expect, expectGiven, report);
  WriteText(stdout, json ? RenderJson(report) : RenderText(report));
  if (!report.readable) return kExitUnreadable;
  return report.Ready() ? kExitReady : kExitProblems;
}

}  // namespace

int main(int argc, char** argv) { return RunConsoleProgram(argc, argv, kTextConsoleTitle, CheckCommand); }
