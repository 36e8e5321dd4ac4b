// cardclone [--json] [--keep-extra] GOLDEN TARGET...: makes every target card
// hold the same settings file and audio tree as the checked golden card,
// verified by reading back from the card. Exit code 0 when every card is
// ready, 1 when any card failed, 2 when nothing was done.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "cardclone/clone_command.h"

#include "cardcheck/card_model.h"
#include "common/file_io.h"
#include "cardclone/clone_targets.h"
#include "cardclone/clone_report.h"
#include "cardclone/clone_run.h"
#include "common/console.h"
#include "settings/audio_folders.h"
#include "settings/config_names.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitReady = 0;
constexpr int kExitFailed = 1;
constexpr int kExitNothingDone = 2;

std::string Usage() {
  return std::string("用法: cardclone [--json] [--keep-extra] 样板卡 目标卡...\n") + "把检查过的样板卡的 " +
         kConfigFileName + " 和 " + std::string(kAudioFolder) +
         " 文件夹逐字节复制到每张目标卡上，读回校验，多张卡同时写。\n"
         "  --json        以一个 JSON 文档输出结果\n"
         "  --keep-extra  保留目标卡 " +
         std::string(kAudioFolder) +
         " 里样板卡没有的文件和文件夹 (默认删除)\n"
         "退出码: 0 全部可以使用，1 有卡失败，2 什么都没做 (用法错误、样板卡不能使用、目标被拒绝)\n";
}

struct Options {
  bool json = false;
  bool keepExtra = false;
  std::vector<std::string> cards;  // the golden card, then the targets
};

int NothingDone(const Options& options, const std::string& golden, const std::string& heading,
                const std::vector<std::string>& reasons) {
  if (options.json) {
    WriteText(stdout, RefusalJson(golden, reasons));
  } else {
    std::string text = "cardclone: " + heading + "\n";
    for (std::size_t i = 0; i < reasons.size(); ++i)
      text += "  " + std::to_string(i + 1) + ". " + reasons[i] + "\n";
    WriteText(stderr, text + "没有写入任何存储卡。\n");
  }
  return kExitNothingDone;
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

}  // namespace

int CloneCommand(int argc, char** argv) {
  Options options;
  bool optionsDone = false;
  for (const std::string& arg : Utf8Arguments(argc, argv)) {
    if (!optionsDone && arg == "--") {
      optionsDone = true;
    } else if (!optionsDone && arg == "--json") {
      options.json = true;
    } else if (!optionsDone && arg == "--keep-extra") {
      options.keepExtra = true;
    } else if (!optionsDone && (arg == "--help" || arg == "-h")) {
      WriteText(stdout, Usage());
      return kExitReady;
    } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
      WriteText(stderr, "cardclone: 未知选项 " + arg + "\n" + Usage());
      return kExitNothingDone;
    } else {
      options.cards.push_back(arg);
    }
  }
  if (options.cards.size() < 2) {
    WriteText(stderr, std::string("cardclone: 需要一张样板卡和至少一张目标卡\n") + Usage());
    return kExitNothingDone;
  }

  // The golden card: checked first, then read; it is never written.
  const std::string& goldenGiven = options.cards.front();
  fs::path goldenPath = TargetPath(goldenGiven);
  std::error_code ec;
  if (!fs::is_directory(goldenPath, ec)) {
    return NothingDone(options, goldenGiven, "找不到样板卡", {"找不到目录 " + goldenGiven});
  }
  CardReport check = CheckCard(goldenPath);
  if (!check.Ready()) {
    return NothingDone(options, goldenGiven,
                       "样板卡还不能使用 (" + std::to_string(check.problems.size()) + " 个问题)",
                       check.problems);
  }
  GoldenCard golden;
  std::string problem = ReadGoldenCard(goldenPath, golden);
  if (!problem.empty()) return NothingDone(options, goldenGiven, "无法读取样板卡", {problem});

  std::vector<Target> targets;
  for (std::size_t i = 1; i < options.cards.size(); ++i) {
    targets.push_back({options.cards[i], TargetPath(options.cards[i]), {}});
  }
  std::vector<std::string> refusals = RefuseTargets(golden, targets);
  if (!refusals.empty()) return NothingDone(options, goldenGiven, "目标卡被拒绝", refusals);

  CloneRun run(golden, targets, options.keepExtra);
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
  if (options.json) {
    WriteText(stdout, ResultsJson(goldenGiven, results));
  } else {
    std::string text;
    for (const CardResult& card : results) text += CardLine(card);
    WriteText(stdout, text + SummaryLine(results));
  }
  for (const CardResult& card : results) {
    if (!card.ready) return kExitFailed;
  }
  return kExitReady;
}
