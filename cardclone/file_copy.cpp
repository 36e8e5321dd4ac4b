#include "cardclone/file_copy.h"

#include <cstring>
#include <system_error>

#include "cardclone/clone_texts.h"
#include "settings/audio_folders.h"

namespace fs = std::filesystem;

bool FileCopy::FailIo(FileStep step, const IoError& error) {
  return card_.FailIo(Doing(step, file_->rel), error);
}

bool FileCopy::Begin(std::size_t index) {
  if (!card_.StillTheCard()) return false;
  file_ = &golden_.files[index];
  finalPath_ = card_.target().path / fs::u8path(file_->rel);
  copyTemp_ = finalPath_.parent_path() / kCloneTempName;
  offset_ = 0;
  writing_ = true;
  std::error_code ec;
  if (fs::is_regular_file(fs::symlink_status(finalPath_, ec)) &&
      fs::file_size(finalPath_, ec) == file_->size && !ec && old_.Open(finalPath_, true)) {
    writing_ = false;
    return true;
  }
  return StartWriting();
}

bool FileCopy::StartWriting() {
  writing_ = true;
  if (!card_.Touch()) return false;
  if (!out_.Create(copyTemp_)) return FailIo(FileStep::kWriting, out_.error());
  return true;
}

// The old file matched the golden bytes up to offset_: those bytes go into
// the new file from the card, the rest from the golden pieces.
bool FileCopy::SwitchToWriting() {
  old_.Close();
  if (!StartWriting()) return false;
  InFile prefix;
  if (!prefix.Open(finalPath_, false)) return FailIo(FileStep::kReading, prefix.error());
  for (uint64_t left = offset_; left > 0;) {
    std::size_t want = left < kPieceSize ? static_cast<std::size_t>(left) : kPieceSize;
    if (prefix.Read(buffer_.data(), want) != static_cast<long long>(want)) {
      return FailIo(FileStep::kReading, prefix.error());
    }
    if (!out_.Write(buffer_.data(), want)) return FailIo(FileStep::kWriting, out_.error());
    left -= want;
  }
  return true;
}

// Uncached reads take whole aligned blocks; only the end of the file may come
// short, and then it must match exactly.
bool FileCopy::SameAsOld(const GoldenPiece& piece) {
  const std::size_t size = piece.bytes.size();
  long long got = size == 0 ? 0 : old_.Read(buffer_.data(), kPieceSize);
  return got == static_cast<long long>(size) && std::memcmp(buffer_.data(), piece.bytes.data(), size) == 0;
}

bool FileCopy::Take(const GoldenPiece& piece) {
  const std::size_t size = piece.bytes.size();
  if (!writing_ && !SameAsOld(piece) && !SwitchToWriting()) return false;
  if (writing_ && size > 0 && !out_.Write(piece.bytes.data(), size)) {
    return FailIo(FileStep::kWriting, out_.error());
  }
  offset_ += size;
  progress_ += size;
  return true;
}

// Read back from the medium and compared with the golden file's checksum.
bool FileCopy::ReadBackMatches(const Digest128& golden) {
  InFile back;
  if (!back.Open(copyTemp_, true)) return FailIo(FileStep::kReadingBack, back.error());
  Checksum128 checksum;
  uint64_t total = 0;
  long long got = 0;
  while ((got = back.Read(buffer_.data(), kPieceSize)) > 0) {
    checksum.Update(buffer_.data(), static_cast<std::size_t>(got));
    total += static_cast<uint64_t>(got);
  }
  back.Close();
  if (got < 0) return FailIo(FileStep::kReadingBack, back.error());
  if (total != offset_ || checksum.Digest() != golden)
    return card_.Fail(Format(kTextReadBackMismatch, CardSpelling(file_->rel).c_str()));
  return true;
}

bool FileCopy::End(const Digest128& golden) {
  CardResult& result = card_.result();
  if (!writing_) {
    old_.Close();
    ++result.filesIdentical;
    return true;
  }
  if (!out_.FlushToMedium() || !out_.Close()) return FailIo(FileStep::kWriting, out_.error());
  if (!ReadBackMatches(golden)) return false;
  IoError error;
  if (!PutFileInPlace(copyTemp_, finalPath_, error)) return FailIo(FileStep::kWriting, error);
  ++result.filesWritten;
  result.bytesWritten += offset_;
  return true;
}

void FileCopy::Abandon() {
  out_.Close();
  old_.Close();
  std::error_code ec;
  if (!copyTemp_.empty()) fs::remove(copyTemp_, ec);
}
