#include "cardbatch/golden_choice.h"

#include <vector>

#include "cardbatch/batch_texts.h"
#include "cardcheck/card_render.h"
#include "cardcheck/fingerprint.h"
#include "cloning/clone_targets.h"
#include "common/text_format.h"

namespace {

// The fields that say what the device will do, in the check's words.
constexpr const char* kSummaryFields[] = {"Ena", "SenMod", "TimerMod", "Vol"};
constexpr std::size_t kProblemsShown = 3;

std::string SettingsInWords(const CardReport& check) {
  std::string words;
  for (const char* name : kSummaryFields) {
    for (const SettingField& field : check.fields) {
      if (field.name != name) continue;
      if (!words.empty()) words += kTextSeparator;
      words += Format(kTextSettingWords, field.caption.c_str(), field.text.c_str());
    }
  }
  return words;
}

}  // namespace

GoldenChoice ChooseGolden(const std::string& given) {
  GoldenChoice choice;
  auto card = std::make_shared<GoldenCard>();
  CardReport check;
  std::vector<std::string> problems;
  std::string heading = LoadGoldenCard(given, *card, check, problems);
  choice.volume = card->volume;
  std::string problem;
  if (heading.empty() && !CardFingerprint(card->root, card->fingerprint, problem)) {
    heading = Format(kTextGoldenUnusable, problem.c_str());
    problems.clear();
  }
  if (!check.directory.empty()) {
    check.fingerprint = card->fingerprint;
    choice.report = RenderText(check);
    choice.day = DescribeDay(check);
    choice.check = check;
  }
  if (!heading.empty()) {
    choice.state = heading;
    for (std::size_t i = 0; i < problems.size() && i < kProblemsShown; ++i)
      choice.state += "\n" + problems[i];
    if (problems.size() > kProblemsShown) choice.state += Format(kTextGoldenMoreProblems, problems.size());
    return choice;
  }
  choice.state =
      std::string(kTextGoldenReady) + kTextSeparator +
      Format(kTextGoldenFingerprint, ShortFingerprint(card->fingerprint).c_str()) + "\n" +
      SettingsInWords(check) + "\n" +
      Format(kTextGoldenFiles, static_cast<int>(card->files.size()), SizeText(card->totalBytes).c_str());
  for (const std::string& warning : card->warnings) choice.state += "\n" + warning;
  choice.card = std::move(card);
  return choice;
}
