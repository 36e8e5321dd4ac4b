// The folder chooser in a program whose ANSI code page is 65001 (UTF-8), as
// on a Windows with "Beta: Use Unicode UTF-8 for worldwide language support".
// The program's manifest asks for it (activeCodePage); Wine 8 honours that.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "library/choose_folder.h"
#include "settings/save_directory.h"
#include "tests/support/modal_answer.h"
#include "tests/support/scratch_dir.h"

namespace {

std::string Utf8(const std::wstring& wide) {
  char bytes[1024] = "";
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
  return bytes;
}

class CodePage65001Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetACP(), 65001u) << "the manifest's code page was not taken: this program proves nothing";
    edit_ = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 40, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  }
  void TearDown() override { DestroyWindow(edit_); }

  // Chooses folder in the real folder browser.
  int Choose(const std::wstring& folder, char (&destination)[kPathSize]) {
    std::filesystem::create_directories(folder);
    ModalAnswerer answer(
        [&](const ModalWindowSeen& browser) { ModalAnswerer::ChooseFolder(browser, folder); });
    int result = ChooseFolder(destination, edit_);
    EXPECT_TRUE(answer.answered()) << "no folder browser";
    return result;
  }

  ScratchDir scratch_;
  HWND edit_ = nullptr;
};

}  // namespace

TEST_F(CodePage65001Test, AFolderWithAChineseNameIsChosenWithItsUtf8Path) {
  // Chinese as on the users' cards, and Thai and Hangul, which code page 936
  // cannot spell but UTF-8 can.
  for (const std::wstring& leaf : {std::wstring(L"存储卡 狗叫声"), std::wstring(L"声音ก한")}) {
    std::wstring folder = scratch_.path().wstring() + L"\\" + leaf;
    char destination[kPathSize] = "unchanged";
    ASSERT_EQ(Choose(folder, destination), 0) << Utf8(folder);
    EXPECT_EQ(std::string(destination), Utf8(folder));
    EXPECT_EQ(WindowTextW(edit_), folder) << "the box shows the folder as chosen";
  }
}

TEST_F(CodePage65001Test, APathTooLongInUtf8IsStillRefused) {
  // 100 characters below the scratch folder, three bytes each in UTF-8: far
  // fewer than 260 characters, more than 259 bytes.
  std::wstring folder =
      scratch_.path().wstring() + L"\\" + std::wstring(50, L'音') + L"\\" + std::wstring(50, L'鸟');
  ASSERT_LT(folder.size(), 200u);
  ASSERT_GT(Utf8(folder).size(), 259u);
  char destination[kPathSize] = "unchanged";
  EXPECT_EQ(Choose(folder, destination), kFolderUnusable);
  EXPECT_STREQ(destination, "unchanged");
  EXPECT_EQ(WindowTextW(edit_), L"");
}
