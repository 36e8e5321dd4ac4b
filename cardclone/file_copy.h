// One golden file onto a target card, piece by piece. A file of the same
// size already there is compared first and left alone when it holds the same
// bytes; otherwise the file is written under a temporary name beside it,
// flushed, read back from the medium, checked against the golden checksum
// and only then put in place of the old one.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "cardclone/aligned_buffer.h"
#include "cardclone/card_session.h"
#include "cardclone/clone_texts.h"
#include "cardclone/golden_reader.h"
#include "common/file_io.h"

class FileCopy {
 public:
  // progress counts the bytes written or found identical.
  FileCopy(const GoldenCard& golden, CardSession& card, std::atomic<uint64_t>& progress)
      : golden_(golden), card_(card), progress_(progress), buffer_(kPieceSize) {}

  // Each returns false after recording why on the card.
  bool Begin(std::size_t file);
  bool Take(const GoldenPiece& piece);
  bool End(const Digest128& golden);
  // After a failure: closes the files and removes the temporary one.
  void Abandon();

 private:
  bool SameAsOld(const GoldenPiece& piece);
  bool StartWriting();
  bool SwitchToWriting();
  bool ReadBackMatches(const Digest128& golden);
  bool FailIo(FileStep step, const IoError& error);

  const GoldenCard& golden_;
  CardSession& card_;
  std::atomic<uint64_t>& progress_;
  AlignedBuffer buffer_;
  const GoldenFile* file_ = nullptr;
  std::filesystem::path finalPath_;
  std::filesystem::path copyTemp_;  // kCloneTempName beside finalPath_
  uint64_t offset_ = 0;             // bytes of the file taken so far
  bool writing_ = false;            // false while the old file still matches
  OutFile out_;
  InFile old_;
};
