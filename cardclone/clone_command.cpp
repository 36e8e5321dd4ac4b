// cardclone [--json] [--keep-extra] [--dry-run] [--yes] [--any-folder]
// [--record FILE] [--label NAME [--first N]] GOLDEN TARGET...: makes every target card hold the same settings
// file and audio tree as the checked golden card, verified by reading back from the card. It says first what
// it will do to each card and, when files would be removed, asks once (or takes --yes). Exit code 0 when
// every card is ready (or the plan was only shown), 1 when any card failed, 2 when nothing was done.
#include "cardclone/clone_command.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "cardcheck/card_model.h"
#include "cardcheck/fingerprint.h"
#include "cloning/card_label.h"
#include "cloning/clone_record.h"
#include "cloning/record_book.h"
#include "cardclone/clone_report.h"
#include "cloning/clone_run.h"
#include "cloning/clone_targets.h"
#include "cardclone/clone_texts.h"
#include "cloning/cloning_texts.h"
#include "common/console.h"
#include "settings/audio_folders.h"
#include "settings/config_names.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitReady = 0;
constexpr int kExitFailed = 1;
constexpr int kExitNothingDone = 2;

std::string Usage() { return Format(kTextUsage, kConfigFileName, kAudioFolder, kAudioFolder); }

struct Options {
  bool json = false;
  bool keepExtra = false;
  bool dryRun = false;
  bool yes = false;
  bool anyFolder = false;
  std::string record;              // the record file, UTF-8; empty for none
  std::string label;               // the name of the cards' numbered labels; empty: labels kept
  int first = 1;                   // the first number of the labels
  bool firstGiven = false;
  std::vector<std::string> cards;  // the golden card, then the targets
};

// The options and cards; the exit code when the program ends here instead
// (the usage asked for, or wrong).
std::optional<int> ParseArguments(int argc, char** argv, Options& options) {
  bool optionsDone = false;
  std::vector<std::string> args = Utf8Arguments(argc, argv);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsDone && arg == "--record") {
      options.record = i + 1 < args.size() ? args[++i] : "";
      if (options.record.empty()) {
        WriteText(stderr, Format(kTextUnknownOption, kTextNoRecordGiven, Usage().c_str()));
        return kExitNothingDone;
      }
    } else if (!optionsDone && arg == "--label") {
      options.label = i + 1 < args.size() ? args[++i] : "";
      if (options.label.empty()) {
        WriteText(stderr, Format(kTextUnknownOption, kTextNoLabelGiven, Usage().c_str()));
        return kExitNothingDone;
      }
    } else if (!optionsDone && arg == "--first") {
      const std::string given = i + 1 < args.size() ? args[++i] : "";
      char* end = nullptr;
      long first = std::strtol(given.c_str(), &end, 10);
      if (given.empty() || *end != '\0' || given[0] == '-' || given[0] == '+' || first > 99999999) {
        WriteText(stderr,
                  Format(kTextUnknownOption, Format(kTextBadFirst, given.c_str()).c_str(), Usage().c_str()));
        return kExitNothingDone;
      }
      options.first = static_cast<int>(first);
      options.firstGiven = true;
    } else if (!optionsDone && arg == "--") {
      optionsDone = true;
    } else if (!optionsDone && arg == "--json") {
      options.json = true;
    } else if (!optionsDone && arg == "--keep-extra") {
      options.keepExtra = true;
    } else if (!optionsDone && arg == "--dry-run") {
      options.dryRun = true;
    } else if (!optionsDone && arg == "--yes") {
      options.yes = true;
    } else if (!optionsDone && arg == "--any-folder") {
      options.anyFolder = true;
    } else if (!optionsDone && (arg == "--help" || arg == "-h")) {
      WriteText(stdout, Usage());
      return kExitReady;
    } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
      WriteText(stderr, Format(kTextUnknownOption, arg.c_str(), Usage().c_str()));
      return kExitNothingDone;
    } else {
      options.cards.push_back(arg);
    }
  }
  if (options.firstGiven && options.label.empty()) {
    WriteText(stderr, Format(kTextUnknownOption, kTextFirstWithoutLabel, Usage().c_str()));
    return kExitNothingDone;
  }
  if (options.cards.size() >= 2) return std::nullopt;
  WriteText(stderr, Format(kTextTooFewCards, Usage().c_str()));
  return kExitNothingDone;
}

int NothingDone(const Options& options, const std::string& heading, const std::vector<std::string>& reasons,
                const std::vector<Target>& targets = {}, const std::vector<CardPlan>& plans = {}) {
  const std::string& golden = options.cards.front();
  if (options.json) {
    WriteText(stdout, RefusalJson(golden, reasons.empty() ? std::vector<std::string>{heading} : reasons,
                                  targets, plans));
  } else {
    std::string text = Format(kTextNothingDoneHeading, heading.c_str());
    for (std::size_t i = 0; i < reasons.size(); ++i)
      text += Format(kTextNumberedReason, i + 1, reasons[i].c_str());
    WriteText(stderr, text + kTextNothingWritten);
  }
  return kExitNothingDone;
}

// The golden card: checked first, then read; it is never written. The exit
// code when it cannot be cloned.
std::optional<int> LoadGolden(const Options& options, GoldenCard& golden) {
  const std::string& given = options.cards.front();
  CardReport check;
  std::vector<std::string> problems;
  std::string heading = LoadGoldenCard(given, golden, check, problems);
  if (heading.empty()) return std::nullopt;
  return NothingDone(options, heading, problems);
}

// The numbered labels the cards get, going on from the highest number the
// record gave the name; checked against every target's file system before
// anything is written. The exit code when the program ends here.
std::optional<int> PrepareLabels(const Options& options, const std::vector<Target>& targets,
                                 const std::vector<CardPlan>& plans, std::unique_ptr<LabelNumbers>& labels) {
  if (options.label.empty()) return std::nullopt;
  int next = options.first;
  if (!options.record.empty()) {
    RecordBook book;
    std::string error;
    if (!ReadRecord(fs::u8path(options.record), book, error))
      return NothingDone(options, Format(kTextRecordUnreadable, options.record.c_str(), error.c_str()), {});
    next = std::max(next, HighestLabelNumber(book, options.label) + 1);
  }
  const int count = static_cast<int>(targets.size());
  labels = std::make_unique<LabelNumbers>(options.label, next, LabelDigits(next + count - 1));
  std::vector<std::string> refusals;
  for (const Target& target : targets) {
    std::string refusal = labels->Refusal(count, target.volume);
    if (!refusal.empty()) refusals.push_back(target.given + " " + refusal);
  }
  if (refusals.empty()) return std::nullopt;
  return NothingDone(options, kTextLabelRefused, refusals, targets, plans);
}

// Says what will be done; asks when something would be removed, and always
// when started from Explorer (where the order of the dropped drives decides
// which is the golden card). The exit code when the program ends here.
std::optional<int> ShowPlanAndAsk(const Options& options, const GoldenCard& golden,
                                  const std::vector<Target>& targets, const std::vector<CardPlan>& plans,
                                  const LabelNumbers* labels) {
  if (!options.json) {
    for (const std::string& warning : golden.warnings) WriteText(stdout, warning + "\n");
    WriteText(stdout, PlanText(golden, targets, plans));
    if (labels != nullptr) {
      const int next = labels->Next();
      WriteText(stdout, Format(kTextPlanLabels, NumberedLabel(labels->name(), next, labels->digits()).c_str(),
                               NumberedLabel(labels->name(), next + 1, labels->digits()).c_str()));
    }
  }
  if (options.dryRun) {
    if (options.json) WriteText(stdout, RefusalJson(golden.given, {}, targets, plans));
    if (!options.json) WriteText(stdout, kTextDryRun);
    return kExitReady;
  }
  bool removes = false;
  for (const CardPlan& plan : plans) removes = removes || (plan.refusal.empty() && plan.Removes());
  if (options.yes || (!removes && !ConsoleStartedAlone())) return std::nullopt;
  if (!options.json && InteractiveConsole()) {
    if (AskYes(removes ? kTextAskRemove : kTextAskWrite)) return std::nullopt;
    return NothingDone(options, kTextNotConfirmed, {});
  }
  return NothingDone(options, kTextNeedsYes, {}, targets, plans);
}

// Progress lines, drawn again in place every few tenths of a second.
class Progress {
 public:
  Progress(const CloneRun& run, const std::vector<Target>& targets, uint64_t total)
      : run_(run), targets_(targets), total_(total) {}
  void Draw() {
    std::string text;
    if (drawn_) text += "\x1b[" + std::to_string(targets_.size()) + "A";
    for (std::size_t i = 0; i < targets_.size(); ++i) {
      text += "\r\x1b[2K" + ProgressLine(targets_[i].given, run_.BytesDone(i), total_, run_.State(i)) + "\n";
    }
    drawn_ = true;
    WriteText(stdout, text);
  }
  void Erase() {
    if (drawn_) WriteText(stdout, "\x1b[" + std::to_string(targets_.size()) + "A\r\x1b[0J");
  }

 private:
  const CloneRun& run_;
  const std::vector<Target>& targets_;
  uint64_t total_;
  bool drawn_ = false;
};

// The record's rows of a run that has ended, one per card.
std::vector<RecordRow> RecordOf(GoldenCard& golden, const CloneRun& run, const std::vector<Target>& targets) {
  golden.fingerprint = run.GoldenFingerprint();
  std::string problem;
  // Every card failed before the golden card was read whole: read it now.
  if (golden.fingerprint.empty()) CardFingerprint(golden.root, golden.fingerprint, problem);
  std::vector<RecordRow> rows;
  for (std::size_t i = 0; i < targets.size(); ++i)
    rows.push_back(MakeRecordRow(golden, targets[i], run.results()[i]));
  return rows;
}

// Runs the clone, with progress lines on a terminal, and reports the cards.
int Clone(const Options& options, GoldenCard& golden, const std::vector<Target>& targets,
          const std::vector<CardPlan>& plans, LabelNumbers* labels) {
  CloneRun run(golden, targets, plans, options.keepExtra, labels);
  run.Start();
  if (!options.json && StdoutIsLiveTerminal()) {
    Progress progress(run, targets, golden.totalBytes);
    for (;;) {
      progress.Draw();
      if (run.Finished()) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    progress.Erase();
  }
  run.Wait();

  const std::vector<CardResult>& results = run.results();
  std::string recordError;
  bool recorded = options.record.empty() ||
                  AppendRecord(fs::u8path(options.record), RecordOf(golden, run, targets), recordError);
  if (!recorded)
    WriteText(stderr, Format(kTextRecordNotWritten, options.record.c_str(), recordError.c_str()));
  if (options.json) {
    WriteText(stdout, ResultsJson(golden.given, results, targets, plans));
  } else {
    std::string text;
    for (const CardResult& card : results) text += CardLine(card);
    WriteText(stdout, text + SummaryLine(results));
  }
  for (const CardResult& card : results) {
    if (!card.ready) return kExitFailed;
  }
  return recorded ? kExitReady : kExitFailed;
}

}  // namespace

int CloneCommand(int argc, char** argv) {
  Options options;
  if (std::optional<int> exit = ParseArguments(argc, argv, options)) return *exit;
  if (!options.label.empty() && !VolumeLabelsCanBeSet()) return NothingDone(options, kTextLabelsNotHere, {});
  GoldenCard golden;
  if (std::optional<int> exit = LoadGolden(options, golden)) return *exit;
  std::vector<Target> targets;
  for (std::size_t i = 1; i < options.cards.size(); ++i) {
    targets.push_back({options.cards[i], TargetPath(options.cards[i]), {}, {}});
  }
  std::vector<std::string> refusals = RefuseTargets(golden, targets, options.anyFolder);
  if (!refusals.empty()) return NothingDone(options, kTextTargetsRefused, refusals);
  std::vector<CardPlan> plans;
  for (const Target& target : targets) plans.push_back(PlanCard(golden, target, options.keepExtra));
  std::unique_ptr<LabelNumbers> labels;
  if (std::optional<int> exit = PrepareLabels(options, targets, plans, labels)) return *exit;
  if (std::optional<int> exit = ShowPlanAndAsk(options, golden, targets, plans, labels.get())) return *exit;
  // A record that cannot be written is found out before any card is.
  std::string recordError;
  if (!options.record.empty() && !AppendRecord(fs::u8path(options.record), {}, recordError)) {
    return NothingDone(options, Format(kTextRecordUnwritable, options.record.c_str(), recordError.c_str()),
                       {});
  }
  return Clone(options, golden, targets, plans, labels.get());
}
