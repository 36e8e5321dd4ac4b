// A card's fingerprint: its value on a fixed card (worked out once by
// tests/support/fingerprint.py from the definition alone), what changes it
// and what does not, and the codes a user may type.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "cardcheck/fingerprint.h"
#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

// Settings, sounds in upper and lower case and a Chinese name, one over the
// 1 MiB the files are read in, an empty one; outside the sum: a capture and
// a link.
void MakeCard(const fs::path& card, const std::string& audio = "audio", const std::string& dog = "Dog.WAV") {
  std::string settings, big;
  for (int i = 0; i < 86; ++i) settings += static_cast<char>(i * 3);
  for (int i = 0; i < 1572864 + 5; ++i) big += static_cast<char>(i * 7);
  PutFile(card / "CFG_BROADCAST.bin", settings);
  std::string bark;
  for (int i = 0; i < 1000; ++i) bark += "dog";
  PutFile(card / audio / "SenseRand" / dog, bark);
  PutFile(card / audio / "Alarm/A" / fs::u8path("鸟") / fs::u8path("叫声.wav"), big);
  PutFile(card / audio / "empty.wav", "");
  PutFile(card / "DCIM/0001.jpg", "not counted");
  fs::create_symlink(card / "DCIM/0001.jpg", card / audio / "SenseRand/link.wav");
}

std::string Of(const fs::path& card) {
  std::string fingerprint, problem;
  EXPECT_TRUE(CardFingerprint(card, fingerprint, problem)) << problem;
  return fingerprint;
}

}  // namespace

TEST(Fingerprint, OfAFixedCardAndWhatChangesIt) {
  ScratchDir scratch;
  fs::path card = scratch.path() / "card", other = scratch.path() / "other";
  MakeCard(card);
  const std::string code = Of(card);
  EXPECT_EQ(code, "001C84BED2EB69D1");
  EXPECT_EQ(ShortFingerprint(code), "001C-84BE");

  // The same sounds spelled in other case (FAT does not keep case apart), a
  // capture changed: the same card.
  MakeCard(other, "AUDIO", "dog.wav");
  PutFile(other / "DCIM/0001.jpg", "another capture");
  EXPECT_EQ(Of(other), code);
  // One byte of a sound, one more file, no settings: another card.
  PutFile(other / "AUDIO/SenseRand/dog.wav", "dog");
  EXPECT_NE(Of(other), code);
  PutFile(other / "AUDIO/SenseRand/dog.wav", std::string(3000, 'd'));
  MakeCard(scratch.path() / "more");
  PutFile(scratch.path() / "more/audio/x.wav", "x");
  EXPECT_NE(Of(scratch.path() / "more"), code);
  fs::remove(card / "CFG_BROADCAST.bin");
  EXPECT_NE(Of(card), code);
}

TEST(Fingerprint, CodesAsAUserTypesThem) {
  std::string digits;
  for (const char* good : {"001c-84be", "001C84BE", "001C84BED2EB69D1", "001c-84bed2eb69d1"}) {
    ASSERT_TRUE(ParseFingerprint(good, digits)) << good;
    EXPECT_TRUE(FingerprintMatches("001C84BED2EB69D1", digits)) << good;
  }
  EXPECT_FALSE(FingerprintMatches("001C84BED2EB69D1", "001C84BF"));
  for (const char* bad : {"", "C4C1A5A", "C4C1-A5AC-3C0E", "C4C1A5AC3C0E2B8", "G4C1A5AC", "C4C-1A5AC"})
    EXPECT_FALSE(ParseFingerprint(bad, digits)) << bad;
}
