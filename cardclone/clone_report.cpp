#include "cardclone/clone_report.h"

#include <cstdio>

#include <nlohmann/json.hpp>

namespace {

std::string Megabytes(uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
  return text;
}

std::string Dump(const nlohmann::json& document) {
  // Texts from the system may not be UTF-8 everywhere; never fail on them.
  return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string CardLine(const CardResult& card) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", card.seconds);
  std::string line = card.target + "  " + (card.ready ? "可以使用" : "失败 (" + card.reason + ")");
  line += "，写入 " + std::to_string(card.filesWritten) + " 个文件，删除 " +
          std::to_string(card.filesRemoved) + " 个，已相同 " + std::to_string(card.filesIdentical) + " 个，" +
          Megabytes(card.bytesWritten) + "，" + seconds + " 秒，" + (card.verified ? "已校验" : "未校验") +
          "\n";
  return line;
}

std::string SummaryLine(const std::vector<CardResult>& cards) {
  int ready = 0;
  for (const CardResult& card : cards) ready += card.ready ? 1 : 0;
  return std::to_string(ready) + " 张存储卡可以使用，" + std::to_string(cards.size() - ready) + " 张失败\n";
}

std::string ResultsJson(const std::string& golden, const std::vector<CardResult>& cards) {
  nlohmann::json document;
  document["golden"] = golden;
  document["cards"] = nlohmann::json::array();
  int ready = 0;
  for (const CardResult& card : cards) {
    ready += card.ready ? 1 : 0;
    document["cards"].push_back({{"target", card.target},
                                 {"ready", card.ready},
                                 {"reason", card.reason},
                                 {"files_written", card.filesWritten},
                                 {"files_removed", card.filesRemoved},
                                 {"files_identical", card.filesIdentical},
                                 {"bytes_written", card.bytesWritten},
                                 {"seconds", card.seconds},
                                 {"verified", card.verified}});
  }
  document["ready"] = ready;
  document["failed"] = static_cast<int>(cards.size()) - ready;
  return Dump(document);
}

std::string RefusalJson(const std::string& golden, const std::vector<std::string>& reasons) {
  nlohmann::json document;
  document["golden"] = golden;
  document["done"] = false;
  document["errors"] = reasons;
  return Dump(document);
}

std::string ProgressLine(const std::string& target, uint64_t done, uint64_t total, CardState state) {
  int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
  const char* words = state == CardState::kReady ? "完成" : state == CardState::kFailed ? "失败" : "写入中";
  char numbers[96];
  std::snprintf(numbers, sizeof numbers, "%3d%%  ", percent);
  return "  " + target + "  " + numbers + Megabytes(done) + " / " + Megabytes(total) + "  " + words;
}
