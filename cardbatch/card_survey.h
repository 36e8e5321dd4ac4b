// What stands on a card in a reader, said before it is written: empty, the
// golden card's files already, other sounds (and how many files would go),
// other files outside the audio tree (kept, never touched), or why it cannot
// be written at all.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cloning/clone_plan.h"
#include "cloning/clone_targets.h"
#include "cloning/golden_card.h"
#include "cloning/record_book.h"

// A card as one look at it planned it: its target (id and volume filled
// in), the clone's plan (with the reason it is refused, if it is, as the
// plan's refusal) and the golden card it was planned against.
struct PlannedCard {
  std::shared_ptr<const GoldenCard> golden;
  Target target;
  CardPlan plan;
  // Whether a run may take the plan as it is: planned against this golden
  // card, and the card in the reader still the one planned, with the room it
  // had (anything written to it or removed from it changes that).
  bool StillFor(const std::shared_ptr<const GoldenCard>& now) const;
};

// Plans the card in drive ("F:"; folders too where anyFolder, as cardclone
// --any-folder takes them: the tests' cards).
PlannedCard PlanDriveCard(const std::shared_ptr<const GoldenCard>& golden, const std::string& drive,
                          bool anyFolder = false);

struct CardSurvey {
  std::string refusal;  // why the card cannot be written; empty when it can
  bool identical = false;
  int removeFiles = 0;
  std::string text;                            // the list's words for it
  std::vector<std::string> removals;           // each entry a run would remove, as cardclone's plan names it
  std::shared_ptr<const PlannedCard> planned;  // the plan made for it; none for a card just made
  std::string history;  // what the record says of its last run, and whether it is as it was made; in text
};

// Looks at the card in drive against golden, whose fingerprint must be
// worked out. Reads the card's files only when their names and sizes are the
// golden card's, to tell whether they are the same, or when the record
// (none: not looked up) knows the card, to tell whether it is as that run
// made it.
CardSurvey SurveyCard(const std::shared_ptr<const GoldenCard>& golden, const std::string& drive,
                      bool anyFolder = false, const RecordBook* record = nullptr);

// "上次: 12-10 08:31 写入，样板 0306-6C29，与当时相同": the record's last row
// of a card, and whether the card's fingerprint now (empty: not worked out)
// is the one measured then.
std::string HistoryText(const RecordEntry& last, const std::string& fingerprintNow);

// A card just made and verified: the golden card's files, and whatever it
// holds outside them; nothing of it is read again.
CardSurvey MadeCardSurvey(const std::string& drive);
