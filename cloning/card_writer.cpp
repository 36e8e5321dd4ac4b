#include "cloning/card_writer.h"

#include <chrono>
#include <memory>
#include <string>

#include "cardcheck/card_model.h"
#include "cardcheck/fingerprint.h"
#include "cloning/card_tree.h"
#include "cloning/card_verify.h"
#include "cloning/cloning_texts.h"
#include "settings/config_names.h"

namespace fs = std::filesystem;

namespace {

// A card that fails once its settings are written carries them no longer,
// so it never looks ready.
bool FailWritten(CardSession& card, const std::string& reason) {
  IoError ignored;
  RemoveEntry(card.target().path / kConfigFileName, EntryKind::kFile, ignored);
  FlushFolder(card.target().path, ignored);
  return card.Fail(reason);
}

bool CheckTheCard(CardSession& card) {
  CardReport report = CheckCard(card.target().path);
  if (report.Ready()) return true;
  std::string reason = Format(kTextCardCheckFailed, report.problems.front().c_str());
  if (report.problems.size() > 1) reason += Format(kTextProblemCount, report.problems.size());
  return FailWritten(card, reason);
}

}  // namespace

CardWriter::CardWriter(const GoldenCard& golden, const Target& target, const CardPlan& plan, bool keepExtra,
                       GoldenWindow& window, std::size_t writer, CardResult& result,
                       std::atomic<uint64_t>& progress, const std::atomic<bool>& stop)
    : golden_(golden),
      plan_(plan),
      keepExtra_(keepExtra),
      window_(window),
      writer_(writer),
      stop_(stop),
      card_(target, result),
      copy_(golden, plan, card_, progress),
      settings_(golden, card_) {}

void CardWriter::Run() {
  auto start = std::chrono::steady_clock::now();
  bool ok = Write();
  window_.Leave(writer_);
  if (!ok && card_.touched()) {
    copy_.Abandon();
    settings_.Abandon();
    // Whatever failed, the old settings file is gone (Touch) and no new one
    // was put in place but after every check.
  }
  CardResult& result = card_.result();
  result.ready = ok;
  result.verified = ok;
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool CardWriter::Write() {
  if (!plan_.refusal.empty()) return card_.Fail(plan_.refusal);
  if (!card_.StillTheCard()) return false;
  // Settings other than the golden ones go before anything else changes.
  if (!plan_.settingsSame && !card_.Touch()) return false;
  return NotStopped() && PrepareTree(plan_, card_) && CopyFiles() && copy_.Finish() &&
         VerifyTree(golden_, keepExtra_, card_, spelled_) && NotStopped() && settings_.Run() &&
         CheckTheCard(card_) && MeasureFingerprint();
}

// The card's fingerprint as it stands now: its golden files as they were
// found identical or read back on the way, everything else read from it.
bool CardWriter::MeasureFingerprint() {
  KnownFiles known;
  for (std::size_t i = 0; i < spelled_.size(); ++i) {
    known[spelled_[i]] = {spelled_[i], golden_.files[i].size, copy_.OnCard(i)};
  }
  std::string problem;
  CardResult& result = card_.result();
  if (CardFingerprint(card_.target().path, result.fingerprint, problem, known)) return true;
  result.fingerprint.clear();
  return FailWritten(card_, problem);
}

// A stopped card ends as a failed one: whatever it was given so far stays,
// its settings file is gone once anything on it changed (Touch), and a later
// run finishes it.
bool CardWriter::NotStopped() { return !stop_ || card_.Fail(kTextStopped); }

bool CardWriter::CopyFiles() {
  constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t current = kNone;
  while (std::shared_ptr<const GoldenPiece> piece = window_.Next(writer_)) {
    if (piece->goldenChanged) {
      // Whatever the card held, it is not the golden card as it stands now:
      // a card that needed no change loses its settings file too.
      card_.Fail(piece->readError);
      card_.Touch();
      return false;
    }
    if (!piece->readError.empty()) return card_.Fail(piece->readError);
    if (!NotStopped()) return false;
    if (piece->file != current) {
      current = piece->file;
      if (!copy_.Begin(current)) return false;
    }
    if (!copy_.Take(*piece)) return false;
    if (piece->last && !copy_.End(piece->digest)) return false;
  }
  bool allRead = current == kNone ? golden_.files.empty() : current + 1 == golden_.files.size();
  return allRead || card_.Fail(kTextGoldenCutShort);
}
