// cardcheck [--json] [DIR]: checks a prepared card without writing to it.
// Exit code 0 when the card is ready, 1 when problems were found, 2 when the
// card cannot be read or the command line is wrong.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "cardcheck/card_report.h"
#include "common/console.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitReady = 0;
constexpr int kExitProblems = 1;
constexpr int kExitUnreadable = 2;

constexpr const char* kUsage =
    "用法: cardcheck [--json] [目录]\n"
    "检查存储卡 (默认为当前目录) 上的设置、音频文件和播放计划，不写入存储卡。\n"
    "  --json  以一个 JSON 文档输出报告\n"
    "退出码: 0 可以使用，1 发现问题，2 无法读取存储卡或用法错误\n";

int UsageError(const std::string& message) {
  WriteText(stderr, "cardcheck: " + message + "\n" + kUsage);
  return kExitUnreadable;
}

int CheckCommand(int argc, char** argv) {
  bool json = false;
  bool haveDirectory = false;
  bool optionsDone = false;
  std::string directory;
  for (const std::string& arg : Utf8Arguments(argc, argv)) {
    if (!optionsDone && arg == "--") {
      optionsDone = true;
    } else if (!optionsDone && arg == "--json") {
      json = true;
    } else if (!optionsDone && (arg == "--help" || arg == "-h")) {
      WriteText(stdout, kUsage);
      return kExitReady;
    } else if (!optionsDone && arg.size() > 1 && arg[0] == '-') {
      return UsageError("未知选项 " + arg);
    } else if (haveDirectory) {
      return UsageError("只能检查一个目录");
    } else {
      directory = arg;
      haveDirectory = true;
    }
  }

  std::error_code ec;
  fs::path card = haveDirectory ? fs::u8path(directory) : fs::current_path(ec);
  if (ec || !fs::is_directory(card, ec)) {
    WriteText(stderr, "cardcheck: 找不到目录 " + (haveDirectory ? directory : card.u8string()) + "\n");
    return kExitUnreadable;
  }

  CardReport report = CheckCard(card);
  WriteText(stdout, json ? RenderJson(report) : RenderText(report));
  return report.Ready() ? kExitReady : kExitProblems;
}

}  // namespace

int main(int argc, char** argv) { return RunConsoleProgram(argc, argv, CheckCommand); }
