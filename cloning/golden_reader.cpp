#include "cloning/golden_reader.h"

#include <memory>

#include "cloning/cloning_texts.h"
#include "cardcheck/fingerprint.h"
#include "common/file_io.h"
#include "settings/audio_folders.h"
#include "settings/config_names.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFailure(const GoldenFile& file, const InFile& in) {
  return Format(kTextGoldenReadFailed, CardSpelling(file.rel).c_str(), in.error().text.c_str());
}

// A golden file is read to the size it was listed with, no further: a file
// that grew, shrank or was written since it was listed is not copied, for
// the copies would be neither the old file nor the new one.
std::string Changed(const GoldenFile& file) {
  return Format(kTextGoldenChanged, CardSpelling(file.rel).c_str());
}

// The next piece of the open file into piece, offset bytes of it taken so
// far; failure is set when it cannot be read or is no longer as listed.
// True when it is the file's last piece.
bool ReadPiece(InFile& in, const GoldenFile& file, uint64_t& offset, Checksum128& checksum,
               GoldenPiece& piece, std::string& failure) {
  uint64_t left = file.size - offset;
  std::size_t want = left < kPieceSize ? static_cast<std::size_t>(left) : kPieceSize;
  piece.bytes.resize(want);
  long long got = want == 0 ? 0 : in.Read(piece.bytes.data(), want);
  if (got < 0) {
    failure = ReadFailure(file, in);
  } else if (static_cast<std::size_t>(got) != want) {
    failure = Changed(file);
  }
  piece.bytes.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
  checksum.Update(piece.bytes.data(), piece.bytes.size());
  offset += piece.bytes.size();
  // Whether it grew or was written meanwhile is looked at once every card
  // has every file (ReadGolden).
  return offset >= file.size;
}

// False when the reading ends with this file; read gets its digest.
bool ReadFile(const GoldenCard& golden, std::size_t index, GoldenWindow& window, FingerprintEntry& read) {
  const GoldenFile& file = golden.files[index];
  InFile in;
  std::string failure;
  if (!in.Open(golden.root / fs::u8path(file.rel), false)) failure = ReadFailure(file, in);
  Checksum128 checksum;
  uint64_t offset = 0;
  for (bool last = false; !last;) {
    auto piece = std::make_shared<GoldenPiece>();
    piece->file = index;
    if (failure.empty()) last = ReadPiece(in, file, offset, checksum, *piece, failure);
    if (!failure.empty()) {
      piece->readError = failure;
      last = true;
    }
    piece->last = last;
    if (last) piece->digest = checksum.Digest();
    if (!window.Push(std::move(piece)) || !failure.empty()) return false;
  }
  read = {file.rel, file.size, checksum.Digest()};
  return true;
}

// The fingerprint of the golden card as its files were read.
std::string FingerprintAsRead(const GoldenCard& golden, std::vector<FingerprintEntry> read) {
  Checksum128 settings;
  settings.Update(golden.settings.data(), golden.settings.size());
  read.push_back({kConfigFileName, golden.settings.size(), settings.Digest()});
  return FingerprintOf(read);
}

}  // namespace

void ReadGolden(const GoldenCard& golden, GoldenWindow& window,
                const std::function<void(const std::string&)>& read) {
  std::vector<FingerprintEntry> entries(golden.files.size());
  bool whole = true;
  for (std::size_t i = 0; i < golden.files.size() && whole; ++i)
    whole = ReadFile(golden, i, window, entries[i]);
  if (whole) {
    // After the last piece is on every card and before any card gets its
    // settings: a golden card changed meanwhile fails every card, whatever
    // changed, for the cards would be neither the old card nor the new one.
    window.WaitUntilTaken();
    std::string change = GoldenChange(golden);
    if (!change.empty()) {
      auto piece = std::make_shared<GoldenPiece>();
      piece->file = golden.files.empty() ? 0 : golden.files.size() - 1;
      piece->last = true;
      piece->readError = change;
      piece->goldenChanged = true;
      window.Push(std::move(piece));
    }
  }
  if (read) read(whole ? FingerprintAsRead(golden, std::move(entries)) : std::string());
  window.End();
}
