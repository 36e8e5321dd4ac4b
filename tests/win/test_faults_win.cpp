// The tool on faulty media prepared by tests/e2e/media_faults.sh, which
// passes the cards' paths in the environment. Run only from there.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "dialog/control_tables.h"
#include "library/source_slots.h"
#include "settings/save_directory.h"
#include "tests/support/dialog_fixture.h"

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

class MediaFaultTest : public DialogTest {
 protected:
  void SetUp() override {
    if (Env("BCT_SOURCE").empty()) GTEST_SKIP() << "run by tests/e2e/media_faults.sh";
    source_ = Env("BCT_SOURCE");
    sources_ = {ReadAllBytes(source_ + "\\big.wav"), ReadAllBytes(source_ + "\\small.wav")};
  }
  // Starts on the card: its old settings are read at start-up.
  void OpenOn(const std::string& card) {
    old_ = ReadAllBytes(card + "\\CFG_BROADCAST.bin");
    ASSERT_EQ(old_.size(), 86u);
    OpenIn(card);
    ASSERT_EQ(Config.Ena, 1) << "the old settings were read";
  }
  // The user changes a setting and presses Generate, which must fail.
  void GenerateFails(const std::string& card) {
    Config.Vol = 3;
    ModalAnswerer box(ModalAnswerer::PressOk);
    Click(IDC_BTN_GENERATE);
    EXPECT_FALSE(box.answered()) << "no success box";
    EXPECT_EQ(Text(IDC_STATUS_LINE), L"生配置文件失败！");
    EXPECT_EQ(Config.Vol, 3) << "the user's value stays";
    if (fs::exists(card)) {
      EXPECT_EQ(ReadAllBytes(card + "\\CFG_BROADCAST.bin"), old_) << "the old file survives";
    }
  }
  // Copy on page 0 from the source folder.
  std::vector<std::wstring> Copy() {
    std::snprintf(RandomSourcePath, kPathSize, "%s", source_.c_str());
    CheckDlgButton(dialog_, IDC_CHK_PAGE0_RANDOM, BST_CHECKED);
    status_.Clear();
    Click(IDC_BTN_COPY);
    EXPECT_TRUE(Enabled(IDC_BTN_COPY));
    EXPECT_EQ(ReadAllBytes(source_ + "\\big.wav"), sources_[0]) << "sources are never changed";
    EXPECT_EQ(ReadAllBytes(source_ + "\\small.wav"), sources_[1]);
    return status_.texts();
  }
  static bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
  }

  std::string source_;
  std::vector<std::vector<unsigned char>> sources_;
  std::vector<unsigned char> old_;
};

}  // namespace

TEST_F(MediaFaultTest, ReadOnlyCard) {
  std::string card = Env("BCT_RO_CARD");
  OpenOn(card);
  GenerateFails(card);
  std::vector<std::wstring> texts = Copy();
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_TRUE(EndsWith(texts[0], L"目录已经存在。\n"));
  for (size_t i = 2; i < texts.size(); i += 2) EXPECT_TRUE(EndsWith(texts[i], L"失败")) << i;
  EXPECT_FALSE(fs::exists(card + "\\audio\\SenseRand\\big.wav"));
}

TEST_F(MediaFaultTest, FullCard) {
  std::string card = Env("BCT_FULL_CARD");
  OpenOn(card);
  GenerateFails(card);
  std::vector<std::wstring> texts = Copy();
  ASSERT_FALSE(texts.empty());
  // The folder may still fit on a full card, the 100 KB sound does not; a
  // copy that failed leaves no cut-off file the device would play.
  std::string big = card + "\\audio\\SenseRand\\big.wav";
  bool bigFailed = false;
  for (const std::wstring& text : texts)
    bigFailed = bigFailed || (text.find(L"big.wav") != std::wstring::npos && EndsWith(text, L"失败"));
  EXPECT_TRUE(bigFailed);
  EXPECT_FALSE(fs::exists(big) && ReadAllBytes(big) != sources_[0]) << "a partial copy was left behind";
}

TEST_F(MediaFaultTest, CardRemovedBetweenOperations) {
  std::string card = Env("BCT_GONE_CARD");
  OpenOn(card);
  ModalAnswerer box(ModalAnswerer::PressOk);
  Click(IDC_BTN_GENERATE);
  ASSERT_TRUE(box.answered()) << "the card works before it is pulled";

  // The card is pulled.
  std::string signal = Env("BCT_SIGNAL");
  WriteAllBytes(signal + "\\remove", {});
  for (int i = 0; i < 100 && !fs::exists(signal + "\\removed"); ++i) Sleep(100);
  ASSERT_TRUE(fs::exists(signal + "\\removed"));
  EXPECT_EQ(GetFileAttributesA(card.c_str()), INVALID_FILE_ATTRIBUTES);

  GenerateFails(card);
  std::vector<std::wstring> texts = Copy();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_TRUE(EndsWith(texts[0], L"目录创建失败！\n"));
}
