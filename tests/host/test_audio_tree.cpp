#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "library/audio_tree.h"

namespace {

std::string PageFolder(int page, int entry) {
  char out[kPathSize];
  return FolderOfPage(page, entry, out, sizeof out) ? out : "<none>";
}
std::string EntryFolder(int entry) {
  char out[kPathSize];
  return FolderOfEntry(entry, out, sizeof out) ? out : "<none>";
}

class SaveDirectoryGuard {
 public:
  explicit SaveDirectoryGuard(const std::string& dir) {
    std::memcpy(saved_, SaveDirectory, kPathSize);
    std::snprintf(SaveDirectory, kPathSize, "%s", dir.c_str());
  }
  ~SaveDirectoryGuard() { std::memcpy(SaveDirectory, saved_, kPathSize); }

 private:
  char saved_[kPathSize];
};

}  // namespace

TEST(AudioTree, EveryEntryNamesItsFolder) {
  // The device's folder layout, written out once as the card shows it.
  struct Expect {
    int id;
    int page;
    const char* folder;
  } expected[] = {
      {40181, 0, "audio\\SenseRand"},
      {40175, 1, "audio\\Alarm\\A"},
      {40178, 2, "audio\\Alarm\\B"},
      {40209, 3, "audio\\SenseSpecify\\dog"},
      {40212, 3, "audio\\SenseSpecify\\tiger"},
      {40215, 3, "audio\\SenseSpecify\\leopard"},
      {40218, 3, "audio\\SenseSpecify\\human"},
      {40221, 3, "audio\\SenseSpecify\\lynx"},
      {40224, 3, "audio\\SenseSpecify\\fox"},
      {40227, 3, "audio\\SenseSpecify\\bear"},
      {40230, 3, "audio\\SenseSpecify\\bird A"},
      {40233, 3, "audio\\SenseSpecify\\bird B"},
      {40236, 3, "audio\\SenseSpecify\\bird C"},
      {40117, 4, "audio\\Alarm\\A\\dog"},
      {40123, 4, "audio\\Alarm\\A\\tiger"},
      {40129, 4, "audio\\Alarm\\A\\leopard"},
      {40135, 4, "audio\\Alarm\\A\\human"},
      {40141, 4, "audio\\Alarm\\A\\lynx"},
      {40077, 4, "audio\\Alarm\\A\\fox"},
      {40079, 4, "audio\\Alarm\\A\\bear"},
      {40087, 4, "audio\\Alarm\\A\\bird A"},
      {40097, 4, "audio\\Alarm\\A\\bird B"},
      {40111, 4, "audio\\Alarm\\A\\bird C"},
      {40147, 5, "audio\\Alarm\\B\\dog"},
      {40160, 5, "audio\\Alarm\\B\\tiger"},
      {40166, 5, "audio\\Alarm\\B\\leopard"},
      {40172, 5, "audio\\Alarm\\B\\human"},
      {40203, 5, "audio\\Alarm\\B\\lynx"},
      {40157, 5, "audio\\Alarm\\B\\fox"},
      {40163, 5, "audio\\Alarm\\B\\bear"},
      {40169, 5, "audio\\Alarm\\B\\bird A"},
      {40187, 5, "audio\\Alarm\\B\\bird B"},
      {40206, 5, "audio\\Alarm\\B\\bird C"},
  };
  ASSERT_EQ(std::size(expected), kAudioEntries.size());
  std::set<int> ids;
  std::set<std::string> folders;
  for (size_t i = 0; i < kAudioEntries.size(); ++i) {
    const Expect& e = expected[i];
    EXPECT_EQ(kAudioEntries[i].id, e.id);
    EXPECT_EQ(kAudioEntries[i].page, e.page);
    EXPECT_EQ(EntryFolder(e.id), e.folder) << e.id;
    EXPECT_EQ(PageFolder(e.page, e.id), e.folder) << e.id;
    ids.insert(e.id);
    folders.insert(e.folder);
  }
  EXPECT_EQ(ids.size(), 33u);
  EXPECT_EQ(folders.size(), 33u);
}

TEST(AudioTree, PageRuleAndEntryRule) {
  // Pages 0..2 name their folder whatever the entry, 0 included.
  for (int entry : {0, 40181, 40117, 12345}) {
    EXPECT_EQ(PageFolder(0, entry), "audio\\SenseRand");
    EXPECT_EQ(PageFolder(1, entry), "audio\\Alarm\\A");
    EXPECT_EQ(PageFolder(2, entry), "audio\\Alarm\\B");
  }
  // Pages 3..5 know only their own ten entries.
  EXPECT_EQ(PageFolder(3, 40117), "<none>");
  EXPECT_EQ(PageFolder(4, 40117), "audio\\Alarm\\A\\dog");
  EXPECT_EQ(PageFolder(5, 40117), "<none>");
  for (int entry : {0, 40181, 40175, 40053, -1}) {
    for (int page = 3; page <= 5; ++page)
      EXPECT_EQ(PageFolder(page, entry), "<none>") << page << " " << entry;
  }
  for (int page : {-1, 6, 7, 1000}) EXPECT_EQ(PageFolder(page, 40209), "<none>") << page;

  // A file's folder follows the entry alone; the visible check boxes of pages
  // 1 and 2 are not entries.
  EXPECT_EQ(EntryFolder(40157), "audio\\Alarm\\B\\fox");
  for (int entry : {0, -1, 40053, 40059, 40151}) EXPECT_EQ(EntryFolder(entry), "<none>") << entry;
}

TEST(AudioTree, AbsolutePathsAreJoinedWithOneBackslash) {
  char out[kPathSize];
  {
    SaveDirectoryGuard card("C:\\");
    ASSERT_TRUE(ComposeTargetFolderPath(out, sizeof out, 0, 0));
    EXPECT_STREQ(out, "C:\\\\audio\\SenseRand") << "a drive root gives two backslashes";
  }
  SaveDirectoryGuard card("E:\\card");
  ASSERT_TRUE(ComposeTargetFolderPath(out, sizeof out, 5, 40206));
  EXPECT_STREQ(out, "E:\\card\\audio\\Alarm\\B\\bird C");
  EXPECT_FALSE(ComposeTargetFolderPath(out, sizeof out, 3, 40206));
  EXPECT_STREQ(out, "");
  ASSERT_TRUE(ComposeTargetFilePath(out, sizeof out, 40175, "a.wav"));
  EXPECT_STREQ(out, "E:\\card\\audio\\Alarm\\A\\a.wav");
  EXPECT_FALSE(ComposeTargetFilePath(out, sizeof out, 0, "a.wav"));
  ASSERT_TRUE(ComposeSearchPattern(out, sizeof out, "D:\\src"));
  EXPECT_STREQ(out, "D:\\src\\*.wav");
  ASSERT_TRUE(ComposeSourceFilePath(out, sizeof out, "D:\\src", "a.wav"));
  EXPECT_STREQ(out, "D:\\src\\a.wav");
}

TEST(AudioTree, PathsThatDoNotFitAreRefusedWhole) {
  // Each composition around its bound: the longest that fits in 260 bytes
  // (259 characters) works, one more is refused and leaves the buffer empty.
  const std::string folder = "\\audio\\SenseSpecify\\bird C";  // what the folder step appends
  for (size_t length = 200; length <= 270; ++length) {
    char out[kPathSize];
    std::string dir = "C:\\" + std::string(length - 3, 'd');
    if (dir.size() >= kPathSize) continue;  // a save directory holds at most 259
    SaveDirectoryGuard card(dir);
    bool fits = dir.size() + folder.size() <= 259;
    EXPECT_EQ(ComposeTargetFolderPath(out, sizeof out, 3, 40236), fits) << length;
    EXPECT_EQ(std::strlen(out), fits ? dir.size() + folder.size() : 0u) << length;

    std::string name = "n.wav";
    fits = dir.size() + folder.size() + 1 + name.size() <= 259;
    EXPECT_EQ(ComposeTargetFilePath(out, sizeof out, 40236, name.c_str()), fits) << length;
    if (!fits) {
      EXPECT_STREQ(out, "");
    }

    fits = dir.size() + 6 <= 259;
    EXPECT_EQ(ComposeSearchPattern(out, sizeof out, dir.c_str()), fits) << length;
    EXPECT_EQ(std::strlen(out), fits ? dir.size() + 6 : 0u) << length;

    fits = dir.size() + 1 + name.size() <= 259;
    EXPECT_EQ(ComposeSourceFilePath(out, sizeof out, dir.c_str(), name.c_str()), fits) << length;
  }
  // A buffer smaller than the rule's own folder.
  char tiny[8];
  EXPECT_FALSE(FolderOfEntry(40236, tiny, sizeof tiny));
  EXPECT_STREQ(tiny, "");
}

TEST(AudioTree, OnlyNamesEndingInWavAreCopied) {
  // The search for "*.wav" also returns names whose 8.3 short name ends in
  // ".WAV" (TAKE~1.WAV for "take.wave"); the copy looks at the name itself.
  for (const char* name :
       {"a.wav", "B.WAV", "take.Wav", "1.wav", "x.y.wav", "a b.wav", "汪汪.wav", "鸟.wAV"}) {
    EXPECT_TRUE(IsCopiedSoundName(name)) << name;
  }
  for (const char* name : {"take.wave", "song.wavx", "a.wav.txt", "a.wa", "awav", "wav", ".wav", ".b.wav",
                           "..wav", "a.wav ", "汪汪.wave", "", "a.w"}) {
    EXPECT_FALSE(IsCopiedSoundName(name)) << name;
  }
}
