// Bad input on the real dialog: odd sources, names in code page 936 and
// outside it, and paths around every bound, with the real file API.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "dialog/control_tables.h"
#include "library/source_slots.h"
#include "settings/save_directory.h"
#include "tests/support/dialog_fixture.h"

namespace fs = std::filesystem;

namespace {
BroadcastConfig CopyPagesUsable() { return Modes(1, 1, 2, 0, 1); }

class HardeningTest : public DialogTest {
 protected:
  std::string Card() const { return scratch_.str(); }
  // Sets a source directly and ticks its row, as a confirmed choice does.
  void SetKindSource(int kind, const std::string& dir) {
    std::snprintf(SenseSpecPath[kind], kPathSize, "%s", dir.c_str());
    CheckDlgButton(dialog_, kKindRows[0][kind].check, BST_CHECKED);
  }
  void Untick(int kind) { CheckDlgButton(dialog_, kKindRows[0][kind].check, BST_UNCHECKED); }
  // The copy status pairs: for each file, the final text with its result.
  std::vector<std::wstring> Results() const {
    std::vector<std::wstring> results;
    for (const std::wstring& text : status_.texts()) {
      if (text.rfind(L"复制“", 0) == 0 && (EndsWith(text, L"成功") || EndsWith(text, L"失败"))) {
        results.push_back(text);
      }
    }
    return results;
  }
  static bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
  }
};

}  // namespace

TEST_F(HardeningTest, OddSourceEntriesAreEachReportedAndTheRestGoOn) {
  Open(CopyPagesUsable());
  SelectTab(IDC_TAB_COPY, 3);
  std::string source = Card() + "\\odd";
  fs::create_directories(source + "\\folder.wav");
  WriteAllBytes(source + "\\empty.wav", {});
  WriteAllBytes(source + "\\locked.wav", Bytes("held by another program"));
  WriteAllBytes(source + "\\fine.wav", Bytes("RIFF"));
  // Another program holds this file open without sharing it.
  HANDLE holder = CreateFileA((source + "\\locked.wav").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  SetKindSource(kDog, source);
  // An earlier copy of the locked file is on the card, its name in capitals.
  std::string target = Card() + "\\audio\\SenseSpecify\\dog\\";
  fs::create_directories(target);
  WriteAllBytes(target + "LOCKED.WAV", Bytes("earlier copy"));

  status_.Clear();
  Click(IDC_BTN_COPY);
  CloseHandle(holder);
  std::vector<std::wstring> results = Results();
  ASSERT_EQ(results.size(), 4u) << "every entry reported";
  auto result = [&](const std::string& name) {
    for (const std::wstring& r : results) {
      if (r.find(W(source + "\\" + name)) != std::wstring::npos) return r.substr(r.size() - 2);
    }
    return std::wstring(L"none");
  };
  EXPECT_EQ(result("folder.wav"), L"失败") << "a folder named like a sound is not copied";
  EXPECT_EQ(result("locked.wav"), L"失败");
  EXPECT_EQ(result("empty.wav"), L"成功");
  EXPECT_EQ(result("fine.wav"), L"成功");
  EXPECT_EQ(ReadAllBytes(target + "fine.wav"), Bytes("RIFF"));
  EXPECT_TRUE(fs::exists(target + "empty.wav"));
  EXPECT_EQ(fs::file_size(target + "empty.wav"), 0u);
  EXPECT_EQ(ReadAllBytes(source + "\\locked.wav"), Bytes("held by another program"));
  EXPECT_EQ(ReadAllBytes(target + "LOCKED.WAV"), Bytes("earlier copy"))
      << "a failed copy keeps what it never touched";
  EXPECT_TRUE(Enabled(IDC_BTN_COPY));
  EXPECT_TRUE(Enabled(kKindRows[0][kDog].button));
}

TEST_F(HardeningTest, FiveThousandFilesAreAllCopiedAndReported) {
  Open(CopyPagesUsable());
  SelectTab(IDC_TAB_COPY, 3);
  std::string source = Card() + "\\many";
  fs::create_directories(source);
  for (int i = 0; i < 5000; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "\\s%04d.wav", i);
    WriteAllBytes(source + name, Bytes(std::to_string(i)));
  }
  SetKindSource(kBirdA, source);
  status_.Clear();
  Click(IDC_BTN_COPY);
  std::vector<std::wstring> results = Results();
  EXPECT_EQ(results.size(), 5000u);
  EXPECT_EQ(
      std::count_if(results.begin(), results.end(), [](const std::wstring& r) { return r.back() == L'功'; }),
      5000);
  std::string target = Card() + "\\audio\\SenseSpecify\\bird A";
  EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 5000);
  EXPECT_EQ(ReadAllBytes(target + "\\s4999.wav"), Bytes("4999"));
  EXPECT_TRUE(Enabled(IDC_BTN_COPY));
}

TEST_F(HardeningTest, ChineseNamesInTheCardAndTheSources) {
  Open(CopyPagesUsable());
  std::string card = Card() + "\\存储卡 一号";
  std::string source = Card() + "\\狗叫声";
  fs::create_directories(W(card));
  fs::create_directories(W(source));
  WriteAllBytes(source + "\\汪汪.wav", Bytes("woof"));

  ClickAndChoose(IDC_BTN_SAVE_DIR, card);
  EXPECT_EQ(Text(IDC_EDIT_SAVE_DIR), W(card));
  ModalAnswerer box(ModalAnswerer::PressOk);
  Click(IDC_BTN_GENERATE);
  EXPECT_TRUE(box.answered());
  EXPECT_EQ(ReadAllBytes(card + "\\CFG_BROADCAST.bin").size(), 86u);
  EXPECT_EQ(Text(IDC_STATUS_LINE), L"在“" + W(card) + L"”生成了配置文件：CFG_BROADCAST.bin。");

  SelectTab(IDC_TAB_COPY, 3);
  ClickAndChoose(kKindRows[0][kDog].button, source);
  EXPECT_EQ(Text(IDC_STATUS_LINE), L"选择了“狗”的源目录：" + W(source));
  status_.Clear();
  Click(IDC_BTN_COPY);
  std::string folder = card + "\\audio\\SenseSpecify\\dog";
  ASSERT_GE(status_.texts().size(), 3u);
  EXPECT_EQ(status_.texts()[0], W(folder) + L"目录创建成功！\n");
  EXPECT_EQ(status_.texts().back(), L"复制“" + W(source) + L"\\汪汪.wav”...成功");
  EXPECT_EQ(ReadAllBytes(folder + "\\汪汪.wav"), Bytes("woof"));
}

TEST_F(HardeningTest, AFolderCodePage936CannotSpellIsNotTaken) {
  Open(CopyPagesUsable());
  // Thai and Hangul have no place in code page 936.
  std::wstring foreign = scratch_.path().wstring() + L"\\声音ก한";
  fs::create_directories(foreign);
  WriteAllBytes(scratch_.str() + "\\decoy.wav", Bytes("must not be copied"));
  std::wstring saveBefore = Text(IDC_EDIT_SAVE_DIR);
  std::string saveDirectory = SaveDirectory;

  SelectTab(IDC_TAB_COPY, 3);
  ClickAndChoose(kKindRows[0][kDog].button, foreign);
  std::wstring expected = L"无法使用所选文件夹（路径含有本程序不支持的字符或过长）：" + foreign;
  EXPECT_EQ(Text(IDC_STATUS_LINE), expected);
  EXPECT_STREQ(SenseSpecPath[kDog], "");
  EXPECT_FALSE(Checked(kKindRows[0][kDog].check));

  SetWindowTextW(Item(IDC_STATUS_LINE), L"");
  ClickAndChoose(IDC_BTN_SAVE_DIR, foreign);
  EXPECT_EQ(Text(IDC_STATUS_LINE), expected);
  EXPECT_EQ(SaveDirectory, saveDirectory);
  EXPECT_EQ(Text(IDC_EDIT_SAVE_DIR), saveBefore);

  // Nothing gets copied from anywhere.
  Click(IDC_BTN_COPY);
  EXPECT_FALSE(fs::exists(scratch_.str() + "\\audio"));
}

TEST_F(HardeningTest, SettingsFileAtEveryPathLength) {
  Open();
  // "<dir>\CFG_BROADCAST.bin" from 236 to 277 characters.
  for (size_t length = 218; length <= 259; ++length) {
    std::string dir = Card() + "\\" + std::string(length - Card().size() - 1, 'g');
    std::error_code ignored;
    fs::create_directories(dir, ignored);
    std::snprintf(SaveDirectory, kPathSize, "%s", dir.c_str());
    ModalAnswerer box(ModalAnswerer::PressOk);
    Click(IDC_BTN_GENERATE);
    std::wstring status = Text(IDC_STATUS_LINE);
    bool written = ReadAllBytes(dir + "\\CFG_BROADCAST.bin").size() == 86;
    if (written) {
      EXPECT_EQ(status, L"在“" + W(dir) + L"”生成了配置文件：CFG_BROADCAST.bin。") << length;
      EXPECT_TRUE(box.answered()) << length;
    } else {
      EXPECT_EQ(status, L"生配置文件失败！") << length;
    }
    for (const auto& entry : fs::directory_iterator(dir))
      EXPECT_EQ(entry.path().filename(), "CFG_BROADCAST.bin") << length << " no temporary file is left";
    fs::remove_all(dir, ignored);
  }
}

TEST_F(HardeningTest, FolderAndCopyAtEveryPathLength) {
  Open(CopyPagesUsable());
  SelectTab(IDC_TAB_COPY, 3);
  std::string source = Card() + "\\src";
  fs::create_directories(source);
  // Source paths "<src>\<name>" from 240 to 300 characters.
  std::vector<std::string> names;
  for (size_t length = 240; length <= 300; length += 6) {
    std::string name = std::string(length - source.size() - 1 - 4, 'n') + ".wav";
    names.push_back(name);
    WriteAllBytes(source + "\\" + name, Bytes(name.substr(0, 8)));
  }
  WriteAllBytes(source + "\\a.wav", Bytes("a"));
  SetKindSource(kDog, source);

  // Card paths such that the folder path (with "\audio\SenseSpecify\dog",
  // 23 characters) runs from 240 to 282.
  const std::string kFolder = "\\audio\\SenseSpecify\\dog";
  for (size_t length = 217; length <= 259; length += 7) {
    std::string card = Card() + "\\" + std::string(length - Card().size() - 1, 'c');
    std::error_code ignored;
    fs::create_directories(card, ignored);
    std::snprintf(SaveDirectory, kPathSize, "%s", card.c_str());
    status_.Clear();
    std::string trace = Click(IDC_BTN_COPY);
    std::string folder = card + kFolder;
    const auto& texts = status_.texts();
    if (folder.size() > 259) {
      EXPECT_TRUE(texts.empty()) << length << " a folder path that cannot be formed is passed over silently";
      EXPECT_EQ(trace.find("<NewFolder>"), std::string::npos);
      continue;
    }
    ASSERT_FALSE(texts.empty()) << length;
    bool made = texts[0] == W(folder) + L"目录创建成功！\n";
    if (!made) {
      EXPECT_EQ(texts[0], W(folder) + L"目录创建失败！\n") << length;
      EXPECT_EQ(texts.size(), 1u);
      continue;
    }
    // Every file is reported whole, and a success is a complete copy.
    std::vector<std::wstring> results = Results();
    EXPECT_EQ(results.size(), names.size() + 1) << length;
    for (const std::string& name : names) {
      std::wstring shown = L"复制“" + W(source + "\\" + name) + L"”...";
      bool ok = std::find(results.begin(), results.end(), shown + L"成功") != results.end();
      bool failed = std::find(results.begin(), results.end(), shown + L"失败") != results.end();
      EXPECT_TRUE(ok != failed) << length << " " << name.size();
      std::string target = folder + "\\" + name;
      if (ok) {
        EXPECT_LE(target.size(), 259u);
        EXPECT_EQ(ReadAllBytes(target), Bytes(name.substr(0, 8)));
      }
      if (target.size() > 259 || (source + "\\" + name).size() > 259) {
        EXPECT_TRUE(failed) << length;
      }
    }
    // No file under a cut-off name.
    for (const auto& entry : fs::directory_iterator(folder)) {
      std::string name = entry.path().filename().string();
      EXPECT_TRUE(name == "a.wav" || std::find(names.begin(), names.end(), name) != names.end()) << name;
    }
    fs::remove_all(card, ignored);
  }
}
