// Properties of the Windows build the rest of the tool relies on.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "settings/broadcast_config.h"

TEST(WindowsRuntime, SnprintfAlwaysTerminatesAndReportsTheFullLength) {
  char buffer[8];
  std::memset(buffer, 'Z', sizeof buffer);
  int n = std::snprintf(buffer, sizeof buffer, "%s", "0123456789");
  EXPECT_EQ(n, 10);
  EXPECT_STREQ(buffer, "0123456");
}

TEST(WindowsRuntime, AnsiCodePageIs936AndCaptionsDecode) {
  EXPECT_EQ(GetACP(), 936u) << "run under the zh_CN.UTF-8 locale";
  const wchar_t* expected[] = {L"狗", L"虎", L"豹", L"人", L"猞猁", L"赤狐", L"黑熊", L"鸟A", L"鸟B", L"鸟C"};
  for (int code = 0; code < kSoundKindCount; ++code) {
    wchar_t wide[16] = L"";
    MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, kSoundKinds[code].caption, -1, wide, 16);
    EXPECT_STREQ(wide, expected[code]) << "code " << code;
  }
}
