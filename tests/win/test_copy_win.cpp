// The copy tab on the real dialog: choosing sources in the real folder
// browser, and the Copy command filling the audio tree of the card.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "dialog/control_tables.h"
#include "library/audio_tree.h"
#include "library/source_slots.h"
#include "settings/save_directory.h"
#include "tests/support/dialog_fixture.h"

namespace fs = std::filesystem;

namespace {

using Files = std::map<std::string, std::vector<unsigned char>>;

// The regular files at the top of dir, with their contents.
Files Snapshot(const std::string& dir) {
  Files files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir, error)) {
    if (entry.is_regular_file())
      files[entry.path().filename().string()] = ReadAllBytes(entry.path().string());
  }
  return files;
}

// Copy pages 3, 4 and 5 usable: playback on, sensor and both schedules by hour.
BroadcastConfig ByHourCard() { return Modes(1, 1, 2, 1, 1); }

// Copy pages 0, 1 and 2 usable: sensor and both schedules random.
BroadcastConfig RandomCard() { return Modes(1, 1, 1, 0, 0); }

class CopyTest : public DialogTest {
 protected:
  std::string Card() const { return scratch_.str(); }
  // A source directory below the card's scratch folder, holding files.
  std::string MakeSource(const std::string& name, const Files& files) {
    std::string dir = Card() + "\\sources\\" + name;
    fs::create_directories(dir);
    for (const auto& [file, bytes] : files) WriteAllBytes(dir + "\\" + file, bytes);
    return dir;
  }
  void ExpectCheckBoxesDisabled() {
    for (const SourceRow& row : kRandomRows) EXPECT_FALSE(Enabled(row.check)) << row.check;
    for (const auto& page : kKindRows) {
      for (const SourceRow& row : page) EXPECT_FALSE(Enabled(row.check)) << row.check;
    }
  }
  // The two status texts of one copied file.
  static std::vector<std::wstring> CopyTexts(const std::string& dir, const std::string& name, bool ok) {
    std::wstring base = L"复制“" + W(dir + "\\" + name) + L"”...";
    return {base, base + (ok ? L"成功" : L"失败")};
  }
};

}  // namespace

TEST_F(CopyTest, FirstCopyCreatesTheKindFolderAndASecondOneOverwrites) {
  Open(ByHourCard());
  std::string dog = MakeSource("dog", {{"a.wav", Bytes("RIFF-a")},
                                       {"b.wav", Bytes("RIFF-bb")},
                                       {".b.wav", Bytes("hidden")},
                                       {"c.txt", Bytes("text")}});
  fs::create_directories(dog + "\\sub");
  WriteAllBytes(dog + "\\sub\\d.wav", Bytes("deeper"));
  Files sources = Snapshot(dog);

  SelectTab(IDC_TAB_COPY, 3);
  ClickAndChoose(kKindRows[0][kDog].button, dog);
  EXPECT_TRUE(Checked(kKindRows[0][kDog].check));
  EXPECT_EQ(Text(IDC_STATUS_LINE), L"选择了“狗”的源目录：" + W(dog));
  EXPECT_STREQ(SenseSpecPath[kDog], dog.c_str());

  std::string folder = Card() + "\\audio\\SenseSpecify\\dog";
  for (const wchar_t* suffix : {L"目录创建成功！\n", L"目录已经存在。\n"}) {
    status_.Clear();
    std::string trace = Click(IDC_BTN_COPY);
    EXPECT_EQ(trace.rfind("复制:\n<SenseSpecPath[0]>" + dog + "\n<NewFolder>" + folder + "\n", 0), 0u)
        << trace;
    EXPECT_EQ(trace.find(".b.wav"), std::string::npos);
    EXPECT_EQ(trace.find("c.txt"), std::string::npos);

    // Only the top-level .wav files not hidden by a leading dot.
    Files copied = Snapshot(folder);
    ASSERT_EQ(copied.size(), 2u);
    EXPECT_EQ(copied["a.wav"], sources["a.wav"]);
    EXPECT_EQ(copied["b.wav"], sources["b.wav"]);
    EXPECT_FALSE(fs::exists(folder + "\\sub"));

    const auto& texts = status_.texts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0], W(folder) + suffix);
    for (size_t i = 1; i < texts.size(); i += 2) {
      std::string name = texts[i].find(L"a.wav") != std::wstring::npos ? "a.wav" : "b.wav";
      EXPECT_EQ(std::vector<std::wstring>(texts.begin() + i, texts.begin() + i + 2),
                CopyTexts(dog, name, true));
    }
    // The next round must overwrite what is there.
    WriteAllBytes(folder + "\\a.wav", Bytes("stale"));
  }
  EXPECT_EQ(Snapshot(dog), sources) << "sources are never modified";
  EXPECT_TRUE(Enabled(IDC_BTN_COPY));
  EXPECT_TRUE(Enabled(kKindRows[0][kDog].button));
  ExpectCheckBoxesDisabled();
  EXPECT_EQ(CopyEntry, 0);
}

TEST_F(CopyTest, KindSourcesAreSharedByPagesThreeToFive) {
  Open(ByHourCard());
  std::string first = MakeSource("first", {{"first.wav", Bytes("1")}});
  std::string chosen = MakeSource("chosen", {{"chosen.wav", Bytes("2")}});

  SelectTab(IDC_TAB_COPY, 3);
  ClickAndChoose(kKindRows[0][kLeopard].button, first);
  SelectTab(IDC_TAB_COPY, 5);
  ClickAndChoose(kKindRows[2][kLeopard].button, chosen);
  EXPECT_EQ(Text(IDC_STATUS_LINE), L"选择了“豹”的源目录：" + W(chosen));
  EXPECT_TRUE(Checked(kKindRows[2][kLeopard].check));
  EXPECT_TRUE(Checked(kKindRows[0][kLeopard].check));
  EXPECT_FALSE(Checked(kKindRows[1][kLeopard].check)) << "page 4 keeps its check box";

  SelectTab(IDC_TAB_COPY, 3);
  Click(IDC_BTN_COPY);
  Files copied = Snapshot(Card() + "\\audio\\SenseSpecify\\leopard");
  ASSERT_EQ(copied.size(), 1u);
  EXPECT_EQ(copied.count("chosen.wav"), 1u);
  ExpectCheckBoxesDisabled();
}

TEST_F(CopyTest, RandomSourceIsSharedByPagesZeroToTwo) {
  Open(RandomCard());
  std::string early = MakeSource("early", {{"early.wav", Bytes("1")}});
  std::string late = MakeSource("late", {{"late.wav", Bytes("2")}});

  ClickAndChoose(IDC_BTN_PAGE0_RANDOM, early);
  EXPECT_EQ(Text(IDC_STATUS_LINE), L"选择了“感应随机”源目录：" + W(early));
  SelectTab(IDC_TAB_COPY, 2);
  ClickAndChoose(IDC_BTN_PAGE2_RANDOM, early);
  EXPECT_EQ(Text(IDC_STATUS_LINE), L"选择了“定时随机B”源目录：" + W(early));
  SelectTab(IDC_TAB_COPY, 1);
  ClickAndChoose(IDC_BTN_PAGE1_RANDOM, late);
  EXPECT_EQ(Text(IDC_STATUS_LINE), L"选择了“定时随机A”源目录：" + W(late));
  EXPECT_TRUE(Checked(IDC_CHK_PAGE1_RANDOM));
  EXPECT_FALSE(Checked(IDC_CHK_ENTRY_PAGE1)) << "the hidden entry box is only an id";

  for (int page : {0, 2}) {
    SelectTab(IDC_TAB_COPY, page);
    status_.Clear();
    std::string trace = Click(IDC_BTN_COPY);
    std::string folder = Card() + "\\" + kPageFolders[page];
    EXPECT_EQ(trace, "复制:\n<NewFolder>" + folder + "\nFind_0:late.wav\n");
    EXPECT_EQ(Snapshot(folder).count("late.wav"), 1u) << page;
    EXPECT_EQ(Snapshot(folder).count("early.wav"), 0u) << page;
    EXPECT_EQ(status_.texts().back(), CopyTexts(late, "late.wav", true).back());
    EXPECT_TRUE(Enabled(IDC_BTN_COPY)) << "enabled again after the copy";
  }
  EXPECT_FALSE(fs::exists(Card() + "\\audio\\Alarm\\A")) << "page 1 was never copied";
  ExpectCheckBoxesDisabled();
}

TEST_F(CopyTest, CopyOfAnUntickedRandomPageDoesNothing) {
  Open(RandomCard());
  std::wstring before = Text(IDC_STATUS_LINE);
  EXPECT_TRUE(Enabled(IDC_BTN_COPY));
  EXPECT_EQ(Click(IDC_BTN_COPY), "复制:\n");
  EXPECT_FALSE(fs::exists(Card() + "\\audio"));
  EXPECT_TRUE(status_.texts().empty());
  EXPECT_EQ(Text(IDC_STATUS_LINE), before);
}

TEST_F(CopyTest, KindsAreCopiedInSoundKindOrderEachFolderBeforeItsFiles) {
  Open(ByHourCard());
  std::string fox = MakeSource("fox", {{"fox.wav", Bytes("f")}});
  std::string dog = MakeSource("dog", {{"dog.wav", Bytes("d")}});
  SelectTab(IDC_TAB_COPY, 4);
  ClickAndChoose(kKindRows[1][kFox].button, fox);
  ClickAndChoose(kKindRows[1][kDog].button, dog);

  std::string trace = Click(IDC_BTN_COPY);
  std::string a = Card() + "\\audio\\Alarm\\A\\";
  EXPECT_EQ(trace, "复制:\n<SenseSpecPath[0]>" + dog + "\n<NewFolder>" + a + "dog\nFind_0:dog.wav\n" +
                       "<SenseSpecPath[0]>" + fox + "\n<NewFolder>" + a + "fox\nFind_0:fox.wav\n");
  EXPECT_EQ(Snapshot(a + "dog").count("dog.wav"), 1u);
  EXPECT_EQ(Snapshot(a + "fox").count("fox.wav"), 1u);
}

TEST_F(CopyTest, MissingOrEmptySourceLeavesTheFolderText) {
  Open(ByHourCard());
  std::string empty = MakeSource("empty", {{"notes.txt", Bytes("no sound")}});
  std::string gone = MakeSource("gone", {{"x.wav", Bytes("x")}});
  SelectTab(IDC_TAB_COPY, 3);
  ClickAndChoose(kKindRows[0][kDog].button, empty);
  ClickAndChoose(kKindRows[0][kTiger].button, gone);
  fs::remove_all(gone);

  status_.Clear();
  std::string trace = Click(IDC_BTN_COPY);
  std::string base = Card() + "\\audio\\SenseSpecify\\";
  EXPECT_EQ(trace, "复制:\n<SenseSpecPath[0]>" + empty + "\n<NewFolder>" + base +
                       "dog\nINVALID_HANDLE_VALUE!<SenseSpecPath[0]>" + gone + "\n<NewFolder>" + base +
                       "tiger\nINVALID_HANDLE_VALUE!");
  EXPECT_EQ(status_.texts(), (std::vector<std::wstring>{W(base + "dog") + L"目录创建成功！\n",
                                                        W(base + "tiger") + L"目录创建成功！\n"}));
  EXPECT_TRUE(Enabled(IDC_BTN_COPY));
}

TEST_F(CopyTest, AFolderThatCannotBeMadeIsReportedAndTheNextKindGoesOn) {
  Open(ByHourCard());
  std::string dog = MakeSource("dog", {{"dog.wav", Bytes("d")}});
  std::string tiger = MakeSource("tiger", {{"tiger.wav", Bytes("t")}});
  // A file stands where the dog folder belongs.
  std::string base = Card() + "\\audio\\SenseSpecify\\";
  fs::create_directories(base);
  WriteAllBytes(base + "dog", Bytes("not a folder"));
  SelectTab(IDC_TAB_COPY, 3);
  ClickAndChoose(kKindRows[0][kDog].button, dog);
  ClickAndChoose(kKindRows[0][kTiger].button, tiger);

  status_.Clear();
  std::string trace = Click(IDC_BTN_COPY);
  EXPECT_NE(trace.find("<NewFolder>" + base + "dog\n创建文件夹失败-267！\n<SenseSpecPath[0]>" + tiger),
            std::string::npos)
      << trace;
  ASSERT_FALSE(status_.texts().empty());
  EXPECT_EQ(status_.texts().front(), W(base + "dog") + L"目录创建失败！\n");
  EXPECT_EQ(ReadAllBytes(base + "dog"), Bytes("not a folder"));
  EXPECT_EQ(Snapshot(base + "tiger").count("tiger.wav"), 1u);

  // A card whose drive is gone: every kind fails, none is copied, the
  // controls come back.
  DWORD drives = GetLogicalDrives();
  char letter = 'Z';
  while (letter > 'D' && (drives & (1u << (letter - 'A')))) --letter;
  ASSERT_FALSE(drives & (1u << (letter - 'A')));
  std::snprintf(SaveDirectory, kPathSize, "%c:\\card", letter);
  status_.Clear();
  trace = Click(IDC_BTN_COPY);
  EXPECT_NE(trace.find("创建文件夹失败-"), std::string::npos);
  std::string missing = std::string(1, letter) + ":\\card\\audio\\SenseSpecify\\";
  EXPECT_EQ(status_.texts(), (std::vector<std::wstring>{W(missing + "dog") + L"目录创建失败！\n",
                                                        W(missing + "tiger") + L"目录创建失败！\n"}));
  EXPECT_TRUE(Enabled(IDC_BTN_COPY));
  EXPECT_TRUE(Enabled(kKindRows[0][kTiger].button));
}

TEST_F(CopyTest, CancelledBrowserKeepsSourceAndCheckBox) {
  Open(ByHourCard());
  std::string dog = MakeSource("dog", {});
  SelectTab(IDC_TAB_COPY, 3);
  ClickAndChoose(kKindRows[0][kDog].button, dog);
  std::wstring chosenText = Text(IDC_STATUS_LINE);
  status_.Clear();
  ClickAndChoose(kKindRows[0][kDog].button, "");
  EXPECT_STREQ(SenseSpecPath[kDog], dog.c_str());
  EXPECT_TRUE(Checked(kKindRows[0][kDog].check));
  EXPECT_TRUE(status_.texts().empty());
  EXPECT_EQ(Text(IDC_STATUS_LINE), chosenText);

  // A cancel on a row never chosen leaves it unticked and its slot empty.
  ClickAndChoose(kKindRows[0][kHuman].button, "");
  EXPECT_FALSE(Checked(kKindRows[0][kHuman].check));
  EXPECT_STREQ(SenseSpecPath[kHuman], "");
  ExpectCheckBoxesDisabled();
}

TEST_F(CopyTest, AFileIsNeverCopiedOntoItself) {
  Open(ByHourCard());
  std::string folder = Card() + "\\audio\\SenseSpecify\\dog";
  fs::create_directories(folder);
  WriteAllBytes(folder + "\\only.wav", Bytes("the one recording"));
  SelectTab(IDC_TAB_COPY, 3);
  ClickAndChoose(kKindRows[0][kDog].button, folder);

  status_.Clear();
  Click(IDC_BTN_COPY);
  EXPECT_EQ(status_.texts().back(), CopyTexts(folder, "only.wav", false).back());
  EXPECT_EQ(ReadAllBytes(folder + "\\only.wav"), Bytes("the one recording"));
}

TEST_F(CopyTest, PathsAtTheirBoundsAreCopiedOrReportedWhole) {
  Open(ByHourCard());
  SelectTab(IDC_TAB_COPY, 3);
  // Slots set directly: the browser cannot be steered into folders this deep.
  std::string tooLong = "C:\\" + std::string(251, 'x');  // 254 characters: no room for "\*.wav"
  std::snprintf(SenseSpecPath[kDog], kPathSize, "%s", tooLong.c_str());
  CheckDlgButton(dialog_, kKindRows[0][kDog].check, BST_CHECKED);
  std::string fits = "C:\\" + std::string(250, 'y');  // 253: the pattern just fits; no such folder
  std::snprintf(SenseSpecPath[kTiger], kPathSize, "%s", fits.c_str());
  CheckDlgButton(dialog_, kKindRows[0][kTiger].check, BST_CHECKED);

  status_.Clear();
  std::string trace = Click(IDC_BTN_COPY);
  EXPECT_EQ(status_.texts().at(1), L"源目录路径太长，未复制：" + W(tooLong));
  EXPECT_EQ(trace.find("INVALID_HANDLE_VALUE!"), trace.rfind("INVALID_HANDLE_VALUE!"))
      << "only the tiger searched";
  EXPECT_NE(trace.find("INVALID_HANDLE_VALUE!"), std::string::npos);

  // A target path one name too long fails alone; the short name is copied.
  std::string card = Card() + "\\" + std::string(210 - Card().size(), 'c');
  fs::create_directories(card);
  std::snprintf(SaveDirectory, kPathSize, "%s", card.c_str());
  std::string longName = std::string(32, 'n') + ".wav";
  std::string source = MakeSource("bounds", {{"a.wav", Bytes("a")}, {longName, Bytes("n")}});
  std::snprintf(SenseSpecPath[kDog], kPathSize, "%s", source.c_str());
  CheckDlgButton(dialog_, kKindRows[0][kTiger].check, BST_UNCHECKED);
  status_.Clear();
  Click(IDC_BTN_COPY);
  std::string folder = card + "\\audio\\SenseSpecify\\dog";
  EXPECT_EQ(Snapshot(folder).size(), 1u);
  EXPECT_EQ(Snapshot(folder).count("a.wav"), 1u);
  const auto& texts = status_.texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), CopyTexts(source, longName, false).back()), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), CopyTexts(source, "a.wav", true).back()), texts.end());
}

TEST_F(CopyTest, AThousandSmallFilesAreAllCopiedAndTheControlsComeBack) {
  Open(RandomCard());
  Files files;
  for (int i = 0; i < 1000; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "sound%04d.wav", i);
    files[name] = Bytes(std::string(100 + i % 50, static_cast<char>('a' + i % 26)));
  }
  std::string source = MakeSource("many", files);
  ClickAndChoose(IDC_BTN_PAGE0_RANDOM, source);

  auto start = std::chrono::steady_clock::now();
  Click(IDC_BTN_COPY);
  auto took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << "1000 small files copied in " << took << " s\n";
  EXPECT_EQ(Snapshot(Card() + "\\audio\\SenseRand"), files);
  EXPECT_EQ(status_.texts().back().substr(status_.texts().back().size() - 2), L"成功");
  EXPECT_TRUE(Enabled(IDC_BTN_COPY));
  EXPECT_TRUE(Enabled(IDC_BTN_PAGE0_RANDOM));
}
