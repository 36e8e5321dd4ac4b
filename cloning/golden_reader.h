// The golden card's files, read once each, in pieces, into the window that
// every card writer takes them from.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "cardcheck/checksum.h"
#include "cloning/golden_card.h"
#include "cloning/piece_window.h"

constexpr std::size_t kPieceSize = 1 << 20;
constexpr std::size_t kWindowPieces = 16;

// One piece of one golden file. The last piece of a file carries the
// checksum of the whole file.
struct GoldenPiece {
  std::size_t file = 0;  // index into GoldenCard::files
  std::vector<char> bytes;
  bool last = false;
  Digest128 digest;
  std::string readError;       // the golden card could not be read: the run ends here
  bool goldenChanged = false;  // readError says the golden card changed while it was copied
};

using GoldenWindow = PieceWindow<GoldenPiece>;

// Reads every golden file in order into window; once every writer has
// taken every piece, lists the golden card again and ends the window with a
// piece that says so if it is no longer as it was read (GoldenChange). Stops
// early when the golden card cannot be read or no writer is left. Before
// the window ends, read is given the golden card's fingerprint as read
// (empty when not every file was).
void ReadGolden(const GoldenCard& golden, GoldenWindow& window,
                const std::function<void(const std::string&)>& read = nullptr);
