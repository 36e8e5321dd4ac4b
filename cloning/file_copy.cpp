#include "cloning/file_copy.h"

#include <cstring>
#include <set>

#include "cloning/card_names.h"
#include "cloning/cloning_texts.h"
#include "settings/audio_folders.h"

namespace fs = std::filesystem;

FileCopy::FileCopy(const GoldenCard& golden, const CardPlan& plan, CardSession& card,
                   std::atomic<uint64_t>& progress)
    : golden_(golden),
      plan_(plan),
      card_(card),
      progress_(progress),
      buffer_(kPieceSize),
      onCard_(golden.files.size()) {
  // Where the medium can be flushed as a whole, a batch costs one flush;
  // elsewhere every file is flushed on its own before it is closed.
  mediumFlush_ = FlushMedium(card.target().path);
}

bool FileCopy::FailIo(FileStep step, std::size_t file, const IoError& error) {
  return card_.FailIo(Doing(step, golden_.files[file].rel), error);
}

bool FileCopy::Begin(std::size_t index) {
  file_ = index;
  finalPath_ = card_.target().path / fs::u8path(golden_.files[index].rel);
  temp_ = finalPath_.parent_path() / CopyTempName(index);
  offset_ = 0;
  if (plan_.files[index] == FileAction::kCompare && old_.Open(finalPath_, true)) {
    writing_ = false;
    return true;
  }
  return StartWriting();
}

bool FileCopy::StartWriting() {
  writing_ = true;
  if (!card_.Touch()) return false;
  if (!out_.Create(temp_)) return FailIo(FileStep::kWriting, file_, out_.error());
  return true;
}

// The old file matched the golden bytes up to offset_: those bytes go into
// the new file from the card, the rest from the golden pieces.
bool FileCopy::SwitchToWriting() {
  old_.Close();
  if (!StartWriting()) return false;
  InFile prefix;
  if (!prefix.Open(finalPath_, false)) return FailIo(FileStep::kReading, file_, prefix.error());
  for (uint64_t left = offset_; left > 0;) {
    std::size_t want = left < kPieceSize ? static_cast<std::size_t>(left) : kPieceSize;
    if (prefix.Read(buffer_.data(), want) != static_cast<long long>(want)) {
      return FailIo(FileStep::kReading, file_, prefix.error());
    }
    if (!out_.Write(buffer_.data(), want)) return FailIo(FileStep::kWriting, file_, out_.error());
    left -= want;
  }
  return true;
}

// Uncached reads take whole aligned blocks; only the end of the file may come
// short, and then it must match exactly. The golden pieces are whole pieces
// but for the last, so a longer old file shows here too.
bool FileCopy::SameAsOld(const GoldenPiece& piece) {
  const std::size_t size = piece.bytes.size();
  long long got = old_.Read(buffer_.data(), piece.last ? kPieceSize : size);
  return got == static_cast<long long>(size) &&
         (size == 0 || std::memcmp(buffer_.data(), piece.bytes.data(), size) == 0);
}

bool FileCopy::Take(const GoldenPiece& piece) {
  const std::size_t size = piece.bytes.size();
  if (!writing_ && !SameAsOld(piece) && !SwitchToWriting()) return false;
  if (writing_ && size > 0 && !out_.Write(piece.bytes.data(), size)) {
    return FailIo(FileStep::kWriting, file_, out_.error());
  }
  offset_ += size;
  progress_ += size;
  return true;
}

bool FileCopy::End(const Digest128& golden) {
  onCard_[file_] = golden;
  if (!writing_) {
    old_.Close();
    ++card_.result().filesIdentical;
    return true;
  }
  if ((!mediumFlush_ && !out_.FlushToMedium()) || !out_.Close())
    return FailIo(FileStep::kWriting, file_, out_.error());
  batch_.push_back({file_, temp_, finalPath_, golden});
  temp_.clear();
  batchBytes_ += offset_;
  if (batch_.size() < kBatchFiles && batchBytes_ < kBatchBytes) return true;
  return Commit();
}

bool FileCopy::Finish() { return batch_.empty() || Commit(); }

// Read back from the medium and compared with the golden file's checksum.
bool FileCopy::ReadBackMatches(const Written& written) {
  InFile back;
  if (!back.Open(written.temp, true)) return FailIo(FileStep::kReadingBack, written.file, back.error());
  Checksum128 checksum;
  uint64_t total = 0;
  long long got = 0;
  while ((got = back.Read(buffer_.data(), kPieceSize)) > 0) {
    checksum.Update(buffer_.data(), static_cast<std::size_t>(got));
    total += static_cast<uint64_t>(got);
  }
  back.Close();
  if (got < 0) return FailIo(FileStep::kReadingBack, written.file, back.error());
  const GoldenFile& file = golden_.files[written.file];
  if (total != file.size || checksum.Digest() != written.digest)
    return card_.Fail(Format(kTextReadBackMismatch, CardSpelling(file.rel).c_str()));
  return true;
}

// The card is looked at once a batch: a card taken out (or another put in
// its place) holds at most one batch of temporary files of ours.
bool FileCopy::Commit() {
  if (!card_.StillTheCard()) return false;
  const fs::path& root = card_.target().path;
  if (mediumFlush_ && !FlushMedium(root)) {
    IoError error;
    error.text = kTextFlushFailed;
    return FailIo(FileStep::kWriting, batch_.front().file, error);
  }
  for (const Written& written : batch_) {
    if (!ReadBackMatches(written)) return false;
  }
  std::set<fs::path> folders;
  CardResult& result = card_.result();
  for (const Written& written : batch_) {
    IoError error;
    if (!RenameInPlace(written.temp, written.final, error))
      return FailIo(FileStep::kWriting, written.file, error);
    folders.insert(written.final.parent_path());
    ++result.filesWritten;
    result.bytesWritten += golden_.files[written.file].size;
  }
  batch_.clear();
  batchBytes_ = 0;
  if (mediumFlush_) return FlushMedium(root) || card_.Fail(kTextFlushFailed);
  for (const fs::path& folder : folders) {
    IoError error;
    if (!FlushFolder(folder, error)) return card_.FailIo(Doing(FileStep::kWriting, kAudioFolder), error);
  }
  return true;
}

void FileCopy::Abandon() {
  out_.Close();
  old_.Close();
  IoError ignored;
  if (!temp_.empty()) RemoveEntry(temp_, EntryKind::kFile, ignored);
  for (const Written& written : batch_) RemoveEntry(written.temp, EntryKind::kFile, ignored);
  batch_.clear();
}
