// Generate against a window that carries the status line static, with the
// message box answered from a helper thread.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>

#include "win32/status_line.h"
#include "settings/broadcast_config.h"
#include "settings/config_file.h"
#include "app/generate.h"
#include "tests/support/modal_answer.h"
#include "tests/support/scratch_dir.h"

namespace {

class GenerateWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Config = kDefaultConfig;
    host_ = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 200, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    status_ = CreateWindowExW(0, L"STATIC", L"状态：空闲", WS_CHILD | WS_VISIBLE, 0, 0, 380, 40, host_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusLineId)),
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(status_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(host_);
    std::snprintf(SaveDirectory, sizeof SaveDirectory, "%s", "C:\\");
    Config = kDefaultConfig;
  }
  std::wstring Status() const { return WindowTextW(status_); }

  HWND host_ = nullptr;
  HWND status_ = nullptr;
};

}  // namespace

TEST_F(GenerateWindowTest, SuccessSetsStatusAndShowsTheNotice) {
  ScratchDir scratch;
  std::snprintf(SaveDirectory, sizeof SaveDirectory, "%s", scratch.str().c_str());
  Config.Ena = 1;

  // A box owned by the dialog keeps the dialog disabled while it is open.
  bool ownerDisabled = false;
  ModalAnswerer answer([&](const ModalWindowSeen& box) {
    ownerDisabled = !IsWindowEnabled(host_);
    ModalAnswerer::PressOk(box);
  });
  ::testing::internal::CaptureStdout();
  Generate(host_);
  std::string trace = ::testing::internal::GetCapturedStdout();

  ASSERT_TRUE(answer.answered()) << "no message box was shown";
  EXPECT_TRUE(ownerDisabled) << "the box is modal to the dialog";
  EXPECT_EQ(answer.seen().title, L"通知");
  EXPECT_NE(
      std::find(answer.seen().staticTexts.begin(), answer.seen().staticTexts.end(), L"成功生成配置文件!"),
      answer.seen().staticTexts.end());
  EXPECT_EQ(Status(), L"在“" + ModalAnswerer::Widen(scratch.str()) + L"”生成了配置文件：CFG_BROADCAST.bin。");
  EXPECT_EQ(ReadAllBytes(scratch.str() + "\\CFG_BROADCAST.bin").at(0), 1);
}

TEST_F(GenerateWindowTest, FailureSetsStatusAndShowsNoBox) {
  ScratchDir scratch;
  std::snprintf(SaveDirectory, sizeof SaveDirectory, "%s", (scratch.str() + "\\no\\such").c_str());
  Config.Vol = 2;

  ModalAnswerer answer(ModalAnswerer::PressOk);
  ::testing::internal::CaptureStdout();
  Generate(host_);
  std::string trace = ::testing::internal::GetCapturedStdout();
  Sleep(300);  // give a wrongly shown box time to appear

  EXPECT_FALSE(answer.answered()) << "a message box was shown for a failure";
  EXPECT_EQ(Status(), L"生配置文件失败！");
  EXPECT_EQ(Config.Vol, 2);
  EXPECT_NE(trace.find("Generate fail!"), std::string::npos);
}

TEST_F(GenerateWindowTest, DriveRootGetsTwoBackslashesAndWorks) {
  // The Wine prefix's drive C: is writable, as a card's root would be.
  std::snprintf(SaveDirectory, sizeof SaveDirectory, "%s", "C:\\");
  char path[kConfigPathSize];
  ASSERT_TRUE(ComposeConfigPath(path, sizeof path));
  EXPECT_STREQ(path, "C:\\\\CFG_BROADCAST.bin");

  ModalAnswerer answer(ModalAnswerer::PressOk);
  ::testing::internal::CaptureStdout();
  Generate(host_);
  std::string trace = ::testing::internal::GetCapturedStdout();
  EXPECT_TRUE(answer.answered());
  EXPECT_NE(trace.find("Open file - \"C:\\\\CFG_BROADCAST.~00\" success!"), std::string::npos) << trace;
  EXPECT_EQ(Status(), L"在“C:\\”生成了配置文件：CFG_BROADCAST.bin。");
  EXPECT_EQ(ReadAllBytes("C:\\CFG_BROADCAST.bin").size(), kConfigSize);
  DeleteFileA("C:\\CFG_BROADCAST.bin");
}

TEST_F(GenerateWindowTest, KeepsAnsweringWhileTheWriteIsHeldUp) {
  ScratchDir scratch;
  std::snprintf(SaveDirectory, sizeof SaveDirectory, "%s", scratch.str().c_str());
  // The trace goes into a pipe that is full and read only later, so the
  // write's first trace line holds it up, as a slow card would.
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 4096));
  DWORD noWait = PIPE_NOWAIT, wait = PIPE_WAIT, written = 0;
  SetNamedPipeHandleState(writeEnd, &noWait, nullptr, nullptr);
  char filler[512] = {};
  size_t filled = 0;
  while (WriteFile(writeEnd, filler, sizeof filler, &written, nullptr) && written == sizeof filler &&
         filled < (64u << 20))
    filled += written;
  SetNamedPipeHandleState(writeEnd, &wait, nullptr, nullptr);
  std::fflush(stdout);
  int savedOut = _dup(1);
  ASSERT_EQ(_dup2(_open_osfhandle(reinterpret_cast<intptr_t>(writeEnd), 0), 1), 0);

  bool answered = false;
  std::thread other([&] {
    Sleep(300);
    wchar_t text[256] = L"";
    DWORD_PTR length = 0;
    answered = SendMessageTimeoutW(status_, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                                   1000, &length) != 0;
    char drain[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, drain, sizeof drain, &got, nullptr) && got > 0) {
    }
  });
  ModalAnswerer answer(ModalAnswerer::PressOk);
  Generate(host_);
  std::fflush(stdout);
  _dup2(savedOut, 1);
  _close(savedOut);
  CloseHandle(writeEnd);  // the reader sees the end of the pipe
  other.join();
  CloseHandle(readEnd);

  EXPECT_TRUE(answered) << "the dialog did not answer while Generate was held up";
  EXPECT_TRUE(answer.answered());
  EXPECT_EQ(ReadAllBytes(scratch.str() + "\\CFG_BROADCAST.bin").size(), kConfigSize);
}
