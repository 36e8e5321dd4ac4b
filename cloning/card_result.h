// What becomes of one target card: its state while the clone runs, shown in
// its progress line, and the result reported afterwards.
#pragma once

#include <cstdint>
#include <string>

enum class CardState { kWriting, kReady, kFailed };

struct CardResult {
  std::string target;  // as given
  bool ready = false;
  std::string reason;  // why the card failed; empty when ready
  int filesWritten = 0;
  int filesRemoved = 0;  // files the golden card lacks (with their folders)
  int filesIdentical = 0;
  uint64_t bytesWritten = 0;
  double seconds = 0;
  bool verified = false;    // every file read back and the card check says ready
  std::string fingerprint;  // of the card as it stands once ready, measured on it; empty when it failed
  // The golden card's as the run had read it when the card was done; empty
  // when the reading had not got through the golden card by then.
  std::string goldenFingerprint;
  // A card given a numbered label once made: the label it has now (read
  // back), and why it is not the one it was to get (empty when it is). The
  // card is ready all the same.
  bool labelled = false;
  std::string label;
  std::string labelProblem;
};
