// The golden files onto one target card, piece by piece. A file of the same
// size already there is compared first and left alone when it holds the
// same bytes; otherwise the file is written under a temporary name beside
// it. Written files go in batches: a batch is flushed to the medium, each
// file read back from it and checked against the golden checksum, and only
// then put in place under its name; the names' changes are flushed in turn.
// So no file stands under its name before it is on the medium and verified.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "cloning/aligned_buffer.h"
#include "cloning/card_session.h"
#include "cloning/clone_plan.h"
#include "cloning/cloning_texts.h"
#include "cloning/golden_reader.h"
#include "common/file_io.h"

class FileCopy {
 public:
  // progress counts the bytes written or found identical.
  FileCopy(const GoldenCard& golden, const CardPlan& plan, CardSession& card,
           std::atomic<uint64_t>& progress);

  // Each returns false after recording why on the card.
  bool Begin(std::size_t file);
  bool Take(const GoldenPiece& piece);
  bool End(const Digest128& golden);
  // Puts the last batch in place.
  bool Finish();
  // After a failure: closes the files and removes the temporary ones.
  void Abandon();
  // The checksum of golden file i as it stands on the card: once the card is
  // done, each file was either compared byte by byte with the golden pieces
  // or read back from the medium and its checksum compared with theirs.
  const Digest128& OnCard(std::size_t file) const { return onCard_[file]; }

 private:
  // A written file waiting for its batch to be flushed and read back.
  struct Written {
    std::size_t file;
    std::filesystem::path temp, final;
    Digest128 digest;
  };

  bool SameAsOld(const GoldenPiece& piece);
  bool StartWriting();
  bool SwitchToWriting();
  bool Commit();
  bool ReadBackMatches(const Written& written);
  bool FailIo(FileStep step, std::size_t file, const IoError& error);

  const GoldenCard& golden_;
  const CardPlan& plan_;
  CardSession& card_;
  std::atomic<uint64_t>& progress_;
  AlignedBuffer buffer_;
  bool mediumFlush_ = false;  // the card's medium is flushed at once, not file by file

  std::size_t file_ = 0;
  std::filesystem::path finalPath_, temp_;
  uint64_t offset_ = 0;   // bytes of the file taken so far
  bool writing_ = false;  // false while the old file still matches
  OutFile out_;
  InFile old_;

  std::vector<Written> batch_;
  uint64_t batchBytes_ = 0;
  std::vector<Digest128> onCard_;
};
