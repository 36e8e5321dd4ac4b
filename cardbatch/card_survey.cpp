#include "cardbatch/card_survey.h"

#include <vector>

#include "cardbatch/batch_texts.h"
#include "cardcheck/fingerprint.h"
#include "cloning/card_names.h"
#include "cloning/clone_record.h"
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

PlannedCard PlanDriveCard(const std::shared_ptr<const GoldenCard>& golden, const std::string& drive,
                          bool anyFolder) {
  PlannedCard planned{golden, {drive, TargetPath(drive), {}, {}}, {}};
  planned.plan.refusal = RefuseTarget(*golden, planned.target, anyFolder);
  if (planned.plan.refusal.empty()) planned.plan = PlanCard(*golden, planned.target, false);
  return planned;
}

bool PlannedCard::StillFor(const std::shared_ptr<const GoldenCard>& now) const {
  VolumeInfo volume;
  IoError error;
  return now == golden && IdOf(target.path) == target.id && VolumeOf(target.path, volume, error) &&
         volume.available == target.volume.available && volume.capacity == target.volume.capacity;
}

std::string HistoryText(const RecordEntry& last, const std::string& fingerprintNow) {
  const std::string when = ShortRecordTime(last.row.time);
  if (!last.row.ready) return Format(kTextLastFailed, when.c_str(), last.row.reason.c_str());
  const bool same = !fingerprintNow.empty() && fingerprintNow == last.row.cardFingerprint;
  return Format(kTextLastMade, when.c_str(), ShortFingerprint(last.row.goldenFingerprint).c_str(),
                same ? kTextSameAsThen : kTextChangedSince);
}

CardSurvey SurveyCard(const std::shared_ptr<const GoldenCard>& golden, const std::string& drive,
                      bool anyFolder, const RecordBook* record) {
  CardSurvey survey;
  auto planned = std::make_shared<PlannedCard>(PlanDriveCard(golden, drive, anyFolder));
  const CardPlan& plan = planned->plan;
  const Target& target = planned->target;
  survey.planned = planned;
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
  const RecordEntry* last = record == nullptr ? nullptr
                                              : LastRowOf(*record, SerialText(target.volume.serial),
                                                          target.volume.label, target.volume.capacity);
  std::string code, problem;
  bool measured = false;
  if ((nothingToWrite && !plan.Removes()) || (last != nullptr && last->row.ready)) {
    measured = CardFingerprint(target.path, code, problem);
    survey.identical = nothingToWrite && !plan.Removes() && measured && code == golden->fingerprint;
  }
  if (last != nullptr) survey.history = HistoryText(*last, measured ? code : "");
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
  if (!survey.history.empty()) survey.text += kTextSeparator + survey.history;
  return survey;
}

CardSurvey MadeCardSurvey(const std::string& drive) {
  CardSurvey survey;
  survey.identical = true;
  survey.text = kTextIdentical + OutsideText(EntriesOutside(TargetPath(drive)));
  return survey;
}
