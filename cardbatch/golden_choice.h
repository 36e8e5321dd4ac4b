// The golden card the window makes cards from: checked, read and summed
// (its fingerprint) once, when chosen, and said in a few lines.
#pragma once

#include <memory>
#include <string>

#include "cardcheck/day_picture.h"
#include "cloning/golden_card.h"

struct GoldenChoice {
  std::shared_ptr<GoldenCard> card;  // empty when the card cannot be used
  VolumeInfo volume;                 // the medium it lies on, whether it can be used or not
  std::string state;   // ready or its problems, the settings, the files, the fingerprint, warnings
  std::string report;  // the card check's whole report, in its words; empty when it did not run
  DayPicture day;      // its settings' day at a glance (drawn only when its settings were read)
  CardReport check;    // the card check's report itself (its sheet of the day's cards shows it)
};

// The golden card as the user named it (given, UTF-8). Reads the whole card
// (for its fingerprint): slow, off the window's thread.
GoldenChoice ChooseGolden(const std::string& given);
