#include "cardclone/clone_report.h"

#include <nlohmann/json.hpp>

#include "cardclone/clone_texts.h"

namespace {

std::string Megabytes(uint64_t bytes) { return Format(kTextMegabytes, static_cast<double>(bytes) / 1e6); }

std::string Dump(const nlohmann::json& document) {
  // Texts from the system may not be UTF-8 everywhere; never fail on them.
  return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string CardLine(const CardResult& card) {
  const std::string outcome = card.ready ? kTextCardReady : Format(kTextCardFailed, card.reason.c_str());
  return Format(kTextCardLine, card.target.c_str(), outcome.c_str(), card.filesWritten, card.filesRemoved,
                card.filesIdentical, Megabytes(card.bytesWritten).c_str(), card.seconds,
                card.verified ? kTextVerified : kTextNotVerified);
}

std::string SummaryLine(const std::vector<CardResult>& cards) {
  int ready = 0;
  for (const CardResult& card : cards) ready += card.ready ? 1 : 0;
  return Format(kTextSummary, ready, cards.size() - ready);
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
  const char* words = state == CardState::kReady    ? kTextProgressDone
                      : state == CardState::kFailed ? kTextProgressFailed
                                                    : kTextProgressWriting;
  return Format(kTextProgressLine, target.c_str(), percent, Megabytes(done).c_str(), Megabytes(total).c_str(),
                words);
}
