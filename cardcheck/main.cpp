// cardcheck [--json] [DIR]: checks a prepared card without writing to it.
// Exit code 0 when the card is ready, 1 when problems were found, 2 when the
// card cannot be read or the command line is wrong.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

#include "cardcheck/card_report.h"

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

void Write(std::FILE* stream, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

// The arguments in UTF-8. On Windows the narrow argv is in the ANSI code page
// and loses names outside it, so they are taken from the wide command line.
std::vector<std::string> Arguments(int argc, char** argv) {
#ifdef _WIN32
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide != nullptr) {
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
      int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
      std::string arg(size > 0 ? static_cast<std::size_t>(size) : 1u, '\0');
      if (size > 0) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &arg[0], size, nullptr, nullptr);
      arg.resize(arg.size() - 1);
      args.push_back(arg);
    }
    LocalFree(wide);
    return args;
  }
#endif
  return std::vector<std::string>(argv + 1, argv + argc);
}

int UsageError(const std::string& message) {
  Write(stderr, "cardcheck: " + message + "\n" + kUsage);
  return kExitUnreadable;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);
#endif
  bool json = false;
  bool haveDirectory = false;
  bool optionsDone = false;
  std::string directory;
  for (const std::string& arg : Arguments(argc, argv)) {
    if (!optionsDone && arg == "--") {
      optionsDone = true;
    } else if (!optionsDone && arg == "--json") {
      json = true;
    } else if (!optionsDone && (arg == "--help" || arg == "-h")) {
      Write(stdout, kUsage);
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
    Write(stderr, "cardcheck: 找不到目录 " + (haveDirectory ? directory : card.u8string()) + "\n");
    return kExitUnreadable;
  }

  CardReport report = CheckCard(card);
  Write(stdout, json ? RenderJson(report) : RenderText(report));
  return report.Ready() ? kExitReady : kExitProblems;
}
