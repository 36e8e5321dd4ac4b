// The golden card the window makes cards from: checked, read and summed
// (its fingerprint) once, when chosen, and said in a few lines.
#pragma once

#include <memory>
#include <string>

#include "cardclone/golden_card.h"

struct GoldenChoice {
  std::string given;                 // as the user named it, UTF-8
  std::shared_ptr<GoldenCard> card;  // empty when the card cannot be used
  std::string state;   // ready or its problems, the settings, the files, the fingerprint, warnings
  std::string report;  // the card check's whole report, in its words; empty when it did not run
};

// Reads the whole card (for its fingerprint): slow, off the window's thread.
GoldenChoice ChooseGolden(const std::string& given);
