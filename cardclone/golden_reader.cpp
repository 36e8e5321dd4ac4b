#include "cardclone/golden_reader.h"

#include <memory>

#include "cardclone/clone_texts.h"
#include "common/file_io.h"
#include "settings/audio_folders.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFailure(const GoldenFile& file, const InFile& in) {
  return Format(kTextGoldenReadFailed, CardSpelling(file.rel).c_str(), in.error().text.c_str());
}

// The next piece of the open file into piece; failure is set when it cannot
// be read. True when it is the file's last piece.
bool ReadPiece(InFile& in, const GoldenFile& file, Checksum128& checksum, GoldenPiece& piece,
               std::string& failure) {
  piece.bytes.resize(kPieceSize);
  long long got = in.Read(piece.bytes.data(), kPieceSize);
  if (got < 0) failure = ReadFailure(file, in);
  piece.bytes.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
  checksum.Update(piece.bytes.data(), piece.bytes.size());
  return piece.bytes.size() < kPieceSize;
}

// False when the reading ends with this file.
bool ReadFile(const GoldenCard& golden, std::size_t index, GoldenWindow& window) {
  const GoldenFile& file = golden.files[index];
  InFile in;
  std::string failure;
  if (!in.Open(golden.root / fs::u8path(file.rel), false)) failure = ReadFailure(file, in);
  Checksum128 checksum;
  for (bool last = false; !last;) {
    auto piece = std::make_shared<GoldenPiece>();
    piece->file = index;
    if (failure.empty()) last = ReadPiece(in, file, checksum, *piece, failure);
    if (!failure.empty()) {
      piece->readError = failure;
      last = true;
    }
    piece->last = last;
    if (last) piece->digest = checksum.Digest();
    if (!window.Push(std::move(piece)) || !failure.empty()) return false;
  }
  return true;
}

}  // namespace

void ReadGolden(const GoldenCard& golden, GoldenWindow& window) {
  for (std::size_t i = 0; i < golden.files.size(); ++i) {
    if (!ReadFile(golden, i, window)) break;
  }
  window.End();
}
