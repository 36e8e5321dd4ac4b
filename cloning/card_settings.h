// The settings file, written last, once the audio tree is complete and
// verified: through the first free temporary name (CreateConfigTemp, as the
// tool's own Generate does), flushed, read back and put in place. A card
// whose settings file already holds the golden bytes and that needed no
// other change is left as it is.
#pragma once

#include <filesystem>

#include "cloning/aligned_buffer.h"
#include "cloning/card_session.h"
#include "cloning/golden_card.h"
#include "common/file_io.h"

class SettingsWrite {
 public:
  SettingsWrite(const GoldenCard& golden, CardSession& card)
      : golden_(golden), card_(card), buffer_(kIoAlign) {}

  // False after recording why on the card.
  bool Run();
  // After a failure: closes the file and removes the temporary one.
  void Abandon();

 private:
  bool AlreadyThere(const std::filesystem::path& settings);
  bool CreateTemp();
  bool ReadBackMatches();
  // Whether got bytes read into the buffer are the golden settings.
  bool HoldsGolden(long long got);

  const GoldenCard& golden_;
  CardSession& card_;
  AlignedBuffer buffer_;
  std::filesystem::path settingsTemp_;  // set while a temporary file of ours stands there
  OutFile out_;
};
