// What stands on a card in a reader, said before it is written: empty, the
// golden card's files already, other sounds (and how many files would go),
// other files outside the audio tree (kept, never touched), or why it cannot
// be written at all.
#pragma once

#include <string>
#include <vector>

#include "cardclone/clone_plan.h"
#include "cardclone/clone_targets.h"
#include "cardclone/golden_card.h"

struct CardSurvey {
  std::string refusal;  // why the card cannot be written; empty when it can
  bool identical = false;
  int removeFiles = 0;
  std::string text;                   // the list's words for it
  std::vector<std::string> removals;  // each entry a run would remove, as cardclone's plan names it
};

// The card's target as the clone takes it: the drive's root ("F:").
Target DriveTarget(const std::string& drive);

// The clone's plan for the card (target's id and volume filled in), with the
// reason it is refused, if it is, as the plan's refusal. anyFolder takes
// folders for cards, as cardclone --any-folder does (the tests' cards).
CardPlan PlanDriveCard(const GoldenCard& golden, Target& target, bool anyFolder = false);

// Looks at target (its id and volume filled in) against golden; golden's
// fingerprint must be worked out. Reads the card's files only when their
// names and sizes are the golden card's, to tell whether they are the same.
CardSurvey SurveyCard(const GoldenCard& golden, Target& target, bool anyFolder = false);

// A card just made and verified: the golden card's files, and whatever it
// holds outside them; nothing of it is read again.
CardSurvey MadeCardSurvey(const Target& target);
