// The golden card's files, read once each, in pieces, into the window that
// every card writer takes them from.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cardcheck/checksum.h"
#include "cardclone/golden_card.h"
#include "cardclone/piece_window.h"

constexpr std::size_t kPieceSize = 1 << 20;
constexpr std::size_t kWindowPieces = 16;

// One piece of one golden file. The last piece of a file carries the
// checksum of the whole file.
struct GoldenPiece {
  std::size_t file = 0;  // index into GoldenCard::files
  std::vector<char> bytes;
  bool last = false;
  Digest128 digest;
  std::string readError;  // the golden card could not be read: the run ends here
};

using GoldenWindow = PieceWindow<GoldenPiece>;

// Reads every golden file in order into window, then ends it. Stops early
// when the golden card cannot be read or no writer is left.
void ReadGolden(const GoldenCard& golden, GoldenWindow& window);
