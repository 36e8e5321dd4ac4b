#include "cardclone/clone_report.h"

#include <nlohmann/json.hpp>

#include "cardclone/clone_texts.h"
#include "cloning/cloning_texts.h"
#include "settings/audio_folders.h"

namespace {

// At most this many removals of a card are listed by name.
constexpr std::size_t kListedRemovals = 12;

std::string Capacity(const VolumeInfo& volume) {
  std::string label = volume.label.empty() ? "" : Format(kTextPlanLabel, volume.label.c_str());
  return Format(kTextPlanMedium, label.c_str(), SizeText(volume.capacity).c_str(),
                SizeText(volume.available).c_str());
}

std::string CardPlanText(const Target& target, const CardPlan& plan) {
  std::string text = Format(kTextPlanCard, target.given.c_str(), Capacity(target.volume).c_str());
  if (!plan.refusal.empty()) return text + Format(kTextPlanRefused, plan.refusal.c_str());
  text += Format(kTextPlanCounts, plan.writeFiles, SizeText(plan.writeBytes).c_str(), plan.compareFiles,
                 plan.removeFiles);
  std::size_t listed = 0, shown = 0;
  for (const Removal& removal : plan.removals) {
    if (removal.leftover) continue;
    if (shown++ < kListedRemovals) {
      text += RemovalText(removal);
      ++listed;
    }
  }
  if (shown > listed) text += Format(kTextPlanMoreRemovals, shown - listed);
  return text;
}

nlohmann::json PlanJson(const Target& target, const CardPlan& plan) {
  nlohmann::json removals = nlohmann::json::array();
  for (const Removal& removal : plan.removals) {
    if (!removal.leftover) removals.push_back(CardSpelling(removal.rel));
  }
  return {{"refused", plan.refusal.empty() ? nlohmann::json(nullptr) : nlohmann::json(plan.refusal)},
          {"label", target.volume.label},
          {"serial", target.volume.serial},
          {"capacity", target.volume.capacity},
          {"available", target.volume.available},
          {"files_to_write", plan.writeFiles},
          {"bytes_to_write", plan.writeBytes},
          {"files_to_compare", plan.compareFiles},
          {"files_to_remove", plan.removeFiles},
          {"remove", removals}};
}

std::string Dump(const nlohmann::json& document) {
  // Texts from the system may not be UTF-8 everywhere; never fail on them.
  return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace

std::string PlanText(const GoldenCard& golden, const std::vector<Target>& targets,
                     const std::vector<CardPlan>& plans) {
  std::string text = Format(kTextPlanGolden, golden.given.c_str(), Capacity(golden.volume).c_str(),
                            golden.files.size(), SizeText(golden.totalBytes).c_str());
  for (std::size_t i = 0; i < targets.size(); ++i) text += CardPlanText(targets[i], plans[i]);
  return text;
}

std::string CardLine(const CardResult& card) {
  const std::string outcome = card.ready ? kTextCardReady : Format(kTextCardFailed, card.reason.c_str());
  std::string line = Format(kTextCardLine, card.target.c_str(), outcome.c_str(), card.filesWritten,
                            card.filesRemoved, card.filesIdentical, SizeText(card.bytesWritten).c_str(),
                            card.seconds, card.verified ? kTextVerified : kTextNotVerified);
  if (card.labelled && card.labelProblem.empty()) line += Format(kTextCardLabelled, card.label.c_str());
  if (card.labelled && !card.labelProblem.empty())
    line += Format(kTextCardNotLabelled, card.labelProblem.c_str());
  return line;
}

std::string SummaryLine(const std::vector<CardResult>& cards) {
  int ready = 0;
  for (const CardResult& card : cards) ready += card.ready ? 1 : 0;
  return Format(kTextSummary, ready, cards.size() - ready);
}

std::string ResultsJson(const std::string& golden, const std::vector<CardResult>& cards,
                        const std::vector<Target>& targets, const std::vector<CardPlan>& plans) {
  nlohmann::json document;
  document["golden"] = golden;
  document["cards"] = nlohmann::json::array();
  int ready = 0;
  for (std::size_t i = 0; i < cards.size(); ++i) {
    const CardResult& card = cards[i];
    ready += card.ready ? 1 : 0;
    document["cards"].push_back(
        {{"target", card.target},
         {"ready", card.ready},
         {"reason", card.reason},
         {"files_written", card.filesWritten},
         {"files_removed", card.filesRemoved},
         {"files_identical", card.filesIdentical},
         {"bytes_written", card.bytesWritten},
         {"seconds", card.seconds},
         {"verified", card.verified},
         {"label", card.labelled ? nlohmann::json(card.label) : nlohmann::json(nullptr)},
         {"label_problem", card.labelProblem},
         {"plan", PlanJson(targets[i], plans[i])}});
  }
  document["ready"] = ready;
  document["failed"] = static_cast<int>(cards.size()) - ready;
  return Dump(document);
}

std::string RefusalJson(const std::string& golden, const std::vector<std::string>& reasons,
                        const std::vector<Target>& targets, const std::vector<CardPlan>& plans) {
  nlohmann::json document;
  document["golden"] = golden;
  document["done"] = false;
  document["errors"] = reasons;
  if (!plans.empty()) {
    document["cards"] = nlohmann::json::array();
    for (std::size_t i = 0; i < plans.size(); ++i) {
      document["cards"].push_back({{"target", targets[i].given}, {"plan", PlanJson(targets[i], plans[i])}});
    }
  }
  return Dump(document);
}

std::string ProgressLine(const std::string& target, uint64_t done, uint64_t total, CardState state) {
  int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
  const char* words = state == CardState::kReady    ? kTextProgressDone
                      : state == CardState::kFailed ? kTextProgressFailed
                                                    : kTextProgressWriting;
  return Format(kTextProgressLine, target.c_str(), percent, SizeText(done).c_str(), SizeText(total).c_str(),
                words);
}
