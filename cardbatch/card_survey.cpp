#include "cardbatch/card_survey.h"

#include <vector>

#include "cardbatch/batch_texts.h"
#include "cardcheck/fingerprint.h"
#include "cardclone/card_names.h"
#include "cardclone/clone_report.h"
#include "common/text_format.h"
#include "settings/config_names.h"
#include "settings/playback_pages.h"

namespace {

// Entries in the card's root other than its settings, its leftovers and its
// audio tree: the user's own, which the clone never touches. Names the
// system keeps for itself (hidden "System Volume Information", dot files of
// other systems) are not counted.
int EntriesOutside(const std::filesystem::path& root) {
  std::vector<FolderEntry> entries;
  IoError error;
  if (!ListFolder(root, entries, error)) return 0;
  int count = 0;
  for (const FolderEntry& entry : entries) {
    const std::string& name = entry.name;
    if (FoldCase(name) == FoldCase(kAudioFolder) || name == kConfigFileName) continue;
    if (name.empty() || name[0] == '.' || FoldCase(name) == "system volume information") continue;
    if (IsConfigLeftover(root / std::filesystem::u8path(name))) continue;
    ++count;
  }
  return count;
}

// The words for those entries, after what is said of the rest of the card.
std::string OutsideText(int outside) {
  return outside > 0 ? kTextSeparator + Format(kTextOutside, outside) : "";
}

}  // namespace

Target DriveTarget(const std::string& drive) { return {drive, TargetPath(drive), {}, {}}; }

CardPlan PlanDriveCard(const GoldenCard& golden, Target& target, bool anyFolder) {
  std::vector<Target> one{target};
  std::vector<std::string> refusals = RefuseTargets(golden, one, anyFolder);
  target = one.front();
  if (refusals.empty()) return PlanCard(golden, target, false);
  CardPlan refused;
  refused.refusal = refusals.front();
  return refused;
}

CardSurvey SurveyCard(const GoldenCard& golden, Target& target, bool anyFolder) {
  CardSurvey survey;
  CardPlan plan = PlanDriveCard(golden, target, anyFolder);
  if (!plan.refusal.empty()) {
    survey.refusal = survey.text = plan.refusal;
    return survey;
  }
  survey.removeFiles = plan.removeFiles;
  for (const Removal& removal : plan.removals) {
    if (!removal.leftover) survey.removals.push_back(RemovalText(removal));
  }
  EntryInfo settings, audio;
  IoError error;
  bool bare = LookAt(target.path / kConfigFileName, settings, error) &&
              settings.kind == EntryKind::kMissing && LookAt(target.path / kAudioFolder, audio, error) &&
              audio.kind == EntryKind::kMissing;
  int outside = EntriesOutside(target.path);
  bool nothingToWrite = plan.writeFiles == 0 && plan.makeFolders.empty() && plan.settingsSame;
  if (nothingToWrite && !plan.Removes()) {
    std::string code, problem;
    survey.identical = CardFingerprint(target.path, code, problem) && code == golden.fingerprint;
  }
  if (survey.identical) {
    survey.text = kTextIdentical;
  } else if (plan.Removes()) {
    survey.text = Format(kTextOtherSounds, plan.removeFiles);
  } else if (bare && outside == 0) {
    survey.text = kTextEmpty;
  } else if (plan.writeFiles > 0) {
    survey.text = Format(kTextToWrite, plan.writeFiles);
  } else {
    survey.text = kTextToRewrite;
  }
  survey.text += OutsideText(outside);
  return survey;
}

CardSurvey MadeCardSurvey(const Target& target) {
  CardSurvey survey;
  survey.identical = true;
  survey.text = kTextIdentical + OutsideText(EntriesOutside(target.path));
  return survey;
}
