// The real dialog from resource 104 with the real dialog procedure.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "win32/status_line.h"
#include "dialog/control_ids.h"
#include "dialog/control_states.h"
#include "dialog/control_tables.h"
#include "settings/broadcast_config.h"
#include "tests/support/dialog_fixture.h"

static_assert(IDC_STATUS_LINE == kStatusLineId, "one status line id");

namespace {

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

}  // namespace

TEST_F(DialogTest, TemplateControlsHaveTheirClassStyleAndCaption) {
  Open();
  struct Expect {
    int id;
    const wchar_t* cls;
    DWORD style;
    const wchar_t* caption;
  } expected[] = {
      {IDC_EDIT_SAVE_DIR, L"Edit", 0x50810004, nullptr},
      {IDC_BTN_SAVE_DIR, L"Button", 0x50010000, L"选择保存路径"},
      {IDC_RADIO_PLAY_OFF, L"Button", 0x50000009, L"关"},
      {IDC_TRACK_VOLUME, L"msctls_trackbar32", 0x50010018, nullptr},
      {IDC_COMBO_DELAY, L"ComboBox", 0x50000202, nullptr},
      {IDC_LABEL_PAUSE_DAYS, L"Static", 0x50000000, L"播放暂停天数"},
      {IDC_BTN_COPY, L"Button", 0x50010000, L"复制"},
      {IDC_BTN_GENERATE, L"Button", 0x50010000, L"生成配置"},
      {IDC_LABEL_VERSION, L"Static", 0x58000000, L"V1.1.8"},
      {IDC_STATUS_LINE, L"Static", 0x58000002, L"状态：空闲"},
      {IDC_LABEL_PLAY_DAYS_B, L"Static", 0x50000000, L"B播放天数"},
      {IDC_GRP_CAPTURE, L"Button", 0x50000007, L""},
  };
  for (const Expect& e : expected) {
    HWND window = Item(e.id);
    ASSERT_NE(window, nullptr) << e.id;
    EXPECT_EQ(ClassOf(window), e.cls) << e.id;
    // WS_VISIBLE and WS_DISABLED are the rules' business after start-up.
    DWORD mask = ~static_cast<DWORD>(WS_VISIBLE | WS_DISABLED);
    // A checked radio button gets WS_TABSTOP from the button itself, and the
    // dialog manager turns an edit's WS_BORDER into WS_EX_CLIENTEDGE under
    // DS_3DLOOK (Windows and Wine alike); those are checked below.
    if (e.id == IDC_RADIO_PLAY_OFF) mask &= ~static_cast<DWORD>(WS_TABSTOP);
    if (e.id == IDC_EDIT_SAVE_DIR) mask &= ~static_cast<DWORD>(WS_BORDER);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & mask, e.style & mask) << e.id;
    if (e.caption) {
      EXPECT_EQ(Text(e.id), e.caption) << e.id;
    }
  }
  EXPECT_EQ(GetWindowLongW(Item(IDC_STATUS_LINE), GWL_EXSTYLE) & WS_EX_STATICEDGE, WS_EX_STATICEDGE);
  EXPECT_TRUE((GetWindowLongW(Item(IDC_EDIT_SAVE_DIR), GWL_STYLE) & WS_BORDER) ||
              (GetWindowLongW(Item(IDC_EDIT_SAVE_DIR), GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
  EXPECT_EQ(Item(1), nullptr);
  EXPECT_EQ(Item(2), nullptr);
  for (const SourceRow& row : kKindRows[2]) EXPECT_EQ(Text(row.button), L"...");
  EXPECT_EQ(Text(kKindRows[1][kLynx].label), L"猞猁");
  EXPECT_EQ(Text(kHourRows[23].label), L"23:00-23:59");
}

TEST_F(DialogTest, NeverShownControlsStayHiddenAndDisabled) {
  Open();
  for (int id : {IDC_LABEL_UNUSED_A, IDC_LABEL_UNUSED_SENSE, IDC_LABEL_UNUSED_B, IDC_BTN_UNUSED_A,
                 IDC_BTN_UNUSED_SENSE, IDC_BTN_UNUSED_B, IDC_CHK_ENTRY_PAGE1, IDC_CHK_UNUSED_SENSE,
                 IDC_CHK_ENTRY_PAGE2}) {
    ASSERT_NE(Item(id), nullptr) << id;
    EXPECT_FALSE(Visible(id)) << id;
    EXPECT_FALSE(Enabled(id)) << id;
  }
}

TEST_F(DialogTest, StartUpWithoutSettingsShowsTheDefaults) {
  Open();
  EXPECT_EQ(trace_.find("sizeof = 86\niGetFileSize = 0\nFile szie != struct size!\n"), trace_.find("sizeof"));
  EXPECT_EQ(Text(IDC_EDIT_SAVE_DIR), std::wstring(scratch_.path().wstring()));
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_RADIO_PLAY_OFF), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_RADIO_PLAY_ON), BST_UNCHECKED);
  EXPECT_EQ(SendMessageW(Item(IDC_TRACK_VOLUME), TBM_GETPOS, 0, 0), 5);
  EXPECT_EQ(Text(IDC_LABEL_VOLUME), L"5");
  EXPECT_EQ(Text(IDC_COMBO_TIMER_MODE), L"周期循环");
  EXPECT_EQ(Text(IDC_COMBO_SENSOR_MODE), L"随机播放");
  EXPECT_EQ(Text(IDC_COMBO_ALARM_A), L"随机播放");
  EXPECT_EQ(Text(IDC_COMBO_ALARM_B), L"随机播放");
  EXPECT_EQ(Text(IDC_COMBO_DELAY), L"5 秒");
  EXPECT_EQ(Text(IDC_COMBO_CAPTURE), L"开");
  EXPECT_EQ(Text(IDC_COMBO_PAUSE_DAYS), L"7");
  EXPECT_EQ(Text(IDC_COMBO_PLAY_DAYS_A), L"28");
  EXPECT_EQ(Text(IDC_COMBO_PLAY_DAYS_B), L"28");
  EXPECT_EQ(Text(IDC_COMBO_INTERVAL_HOUR), L"1");
  EXPECT_EQ(Text(IDC_COMBO_INTERVAL_MINUTE), L"0");
  EXPECT_EQ(Text(IDC_COMBO_INTERVAL_SECOND), L"0");
  EXPECT_EQ(SendMessageW(Item(IDC_COMBO_DELAY), CB_GETCOUNT, 0, 0), 26);
  for (const HourRow& row : kHourRows) {
    for (int id : row.combo) EXPECT_EQ(Text(id), L"狗") << id;
  }
  EXPECT_EQ(SendMessageW(Item(IDC_TAB_PLAN), TCM_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(SendMessageW(Item(IDC_TAB_COPY), TCM_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(SendMessageW(Item(IDC_TAB_COPY), TCM_GETITEMCOUNT, 0, 0), 6);

  // The rules of the default record.
  for (int id : {IDC_TRACK_VOLUME, IDC_COMBO_SENSOR_MODE, IDC_COMBO_TIMER_MODE, IDC_COMBO_DELAY,
                 IDC_LABEL_PAUSE_DAYS, IDC_COMBO_PAUSE_DAYS, IDC_COMBO_ALARM_A, IDC_COMBO_ALARM_B,
                 IDC_COMBO_PLAY_DAYS_A, IDC_COMBO_PLAY_DAYS_B}) {
    EXPECT_FALSE(Enabled(id)) << id;
  }
  EXPECT_TRUE(Visible(IDC_LABEL_PAGE0_RANDOM));
  EXPECT_FALSE(Enabled(IDC_BTN_PAGE0_RANDOM));
  EXPECT_FALSE(Enabled(IDC_BTN_COPY));
  EXPECT_TRUE(Enabled(IDC_COMBO_CAPTURE));
  EXPECT_TRUE(Enabled(IDC_LABEL_CAPTURE));
  for (int id : {IDC_LABEL_INTERVAL, IDC_LABEL_UNIT_HOUR, IDC_LABEL_UNIT_MINUTE, IDC_LABEL_UNIT_SECOND,
                 IDC_COMBO_INTERVAL_HOUR, IDC_COMBO_INTERVAL_MINUTE, IDC_COMBO_INTERVAL_SECOND}) {
    EXPECT_TRUE(Enabled(id)) << id;
  }
}

TEST_F(DialogTest, ExactlyOneComboPerHourRowAndOneCopyPageVisible) {
  Open();
  for (const HourRow& row : kHourRows) {
    EXPECT_TRUE(Visible(row.combo[0]));
    EXPECT_FALSE(Enabled(row.combo[0])) << "SenMod 1 leaves the sensor plan read-only";
    EXPECT_FALSE(Visible(row.combo[1]));
    EXPECT_FALSE(Visible(row.combo[2]));
    EXPECT_TRUE(Visible(row.label));
  }
  for (const auto& page : kKindRows) {
    for (const SourceRow& row : page) {
      EXPECT_FALSE(Visible(row.label));
      EXPECT_FALSE(Visible(row.button));
      EXPECT_FALSE(Visible(row.check));
    }
  }
  EXPECT_TRUE(Visible(IDC_BTN_PAGE0_RANDOM));
  EXPECT_FALSE(Visible(IDC_BTN_PAGE1_RANDOM));
  EXPECT_FALSE(Visible(IDC_BTN_PAGE2_RANDOM));
}

TEST_F(DialogTest, StartUpShowsTheSettingsFile) {
  std::vector<unsigned char> bytes = SettingsBytes(kDefaultConfig);
  bytes[0] = 1;   // Ena
  bytes[1] = 8;   // Vol
  bytes[7] = 0;   // Dly outside its list
  bytes[81] = 9;  // schedule B 23:00 = "鸟C"
  bytes[82] = 1;  // TMLPen off while TimerMod is 1: switched back on
  bytes[83] = 23;
  Open(&bytes);
  EXPECT_EQ(IsDlgButtonChecked(dialog_, IDC_RADIO_PLAY_ON), BST_CHECKED);
  EXPECT_EQ(Text(IDC_LABEL_VOLUME), L"8");
  EXPECT_EQ(Selection(IDC_COMBO_DELAY), CB_ERR);
  EXPECT_EQ(Text(IDC_COMBO_DELAY), L"");
  EXPECT_EQ(Config.Dly, 0) << "showing a value never changes it";
  EXPECT_EQ(Text(kHourRows[23].combo[2]), L"鸟C");
  EXPECT_EQ(Text(IDC_COMBO_INTERVAL_HOUR), L"23");
  EXPECT_EQ(Config.TMLPen, 0);
  EXPECT_EQ(Text(IDC_COMBO_CAPTURE), L"开");
  EXPECT_FALSE(Enabled(IDC_COMBO_CAPTURE)) << "locked with cyclic timed playback on";
  EXPECT_TRUE(Enabled(IDC_BTN_PAGE0_RANDOM));
  EXPECT_TRUE(Enabled(IDC_BTN_COPY));
}

TEST_F(DialogTest, RuleSetsOnDrivenRecordsAndPages) {
  Open();
  // A stored Ena of 2: settings, rows and Copy locked; a plan grid whose other
  // conditions hold is editable; the capture switch is not locked.
  Config.Ena = 2;
  Config.SenMod = 2;
  UpdateControlStates();
  EXPECT_FALSE(Enabled(IDC_COMBO_DELAY));
  EXPECT_FALSE(Enabled(IDC_BTN_COPY));
  EXPECT_TRUE(Enabled(kHourRows[0].combo[0]));
  EXPECT_TRUE(Enabled(IDC_COMBO_CAPTURE));

  // Ena 1, TimerMod 0, AlarmA 1, copy page 4: rows usable, Copy not.
  Config.Ena = 1;
  Config.TimerMod = 0;
  Config.AlarmA = 1;
  CopyPage = 4;
  ShowCopyPage();
  UpdateControlStates();
  EXPECT_TRUE(Visible(kKindRows[1][kDog].button));
  EXPECT_TRUE(Enabled(kKindRows[1][kDog].button));
  EXPECT_FALSE(Enabled(kKindRows[1][kDog].check)) << "check boxes are never enabled";
  EXPECT_FALSE(Enabled(IDC_BTN_COPY));
  EXPECT_FALSE(Visible(IDC_BTN_PAGE0_RANDOM));

  // Plan page 1 with AlarmA 0 shows the schedule A grid read-only.
  Config.TimerMod = 1;
  Config.AlarmA = 0;
  PlanPage = 1;
  UpdatePlanGrids();
  EXPECT_TRUE(Visible(kHourRows[5].combo[1]));
  EXPECT_FALSE(Enabled(kHourRows[5].combo[1]));
  EXPECT_FALSE(Visible(kHourRows[5].combo[0]));

  // Ena 0, TimerMod 1: "关" for the capture disables the interval; the
  // master rule switches it back on.
  Config.Ena = 0;
  Config.TMLPen = 1;
  UpdateCaptureControls(false, false);
  EXPECT_FALSE(Enabled(IDC_COMBO_INTERVAL_MINUTE));
  UpdateControlStates();
  EXPECT_EQ(Config.TMLPen, 0);
  EXPECT_EQ(Text(IDC_COMBO_CAPTURE), L"开");
  EXPECT_TRUE(Enabled(IDC_COMBO_INTERVAL_MINUTE));
}

TEST_F(DialogTest, CarriesIconAndGenerateButtonWritesTheFile) {
  Open();
  EXPECT_NE(SendMessageW(dialog_, WM_GETICON, ICON_SMALL, 0), 0) << "icon 101 set as the small icon";
  for (int size : {16, 32, 48, 64}) {
    HICON icon = static_cast<HICON>(
        LoadImageW(AppInstance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    EXPECT_NE(icon, nullptr) << size;
    if (icon) DestroyIcon(icon);
  }

  Config.Ena = 1;
  ModalAnswerer answer(ModalAnswerer::PressOk);
  ::testing::internal::CaptureStdout();
  SendMessageW(Item(IDC_BTN_GENERATE), BM_CLICK, 0, 0);
  ::testing::internal::GetCapturedStdout();
  ASSERT_TRUE(answer.answered());
  EXPECT_EQ(answer.seen().title, L"通知");
  EXPECT_EQ(ReadAllBytes(scratch_.str() + "\\CFG_BROADCAST.bin").at(0), 1);
  EXPECT_EQ(Text(IDC_STATUS_LINE),
            L"在“" + scratch_.path().wstring() + L"”生成了配置文件：CFG_BROADCAST.bin。");
}

namespace {

INT_PTR CALLBACK DoNothing(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// Whether each control of dialog is visible and enabled, by its place.
std::vector<std::pair<bool, bool>> States(HWND dialog) {
  std::vector<std::pair<bool, bool>> states;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    LONG style = GetWindowLongW(child, GWL_STYLE);
    states.emplace_back((style & WS_VISIBLE) != 0, (style & WS_DISABLED) == 0);
  }
  return states;
}

}  // namespace

// The program makes its dialog from a template whose controls are already as
// the rules leave them at start: for records that set them differently, the
// dialog made from it with a procedure that does nothing has every control
// as the real start-up leaves the dialog made from the resource.
TEST_F(DialogTest, TheStartingTemplateIsTheDialogAsItsStartUpLeavesIt) {
  Open();
  BroadcastConfig capture = Modes(0, 1, 0, 0, 0);
  capture.TMLPen = 1;  // switched back on by the rules as the dialog starts
  for (const BroadcastConfig& record : {kDefaultConfig, Modes(1, 1, 2, 1, 0), Modes(1, 2, 0, 0, 1), capture}) {
    Config = record;
    HWND started = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, DialogProc, 0);
    ASSERT_NE(started, nullptr);
    auto wanted = States(started);
    DestroyWindow(started);

    Config = record;
    std::vector<unsigned char> bytes = StartingTemplate(AppInstance, IDD_MAIN);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(std::memcmp(&Config, &record, sizeof record), 0) << "the record is left as it was";
    HWND made = CreateDialogIndirectParamA(AppInstance, reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()), nullptr,
                                           DoNothing, 0);
    ASSERT_NE(made, nullptr);
    auto states = States(made);
    DestroyWindow(made);
    ASSERT_EQ(states.size(), wanted.size());
    for (size_t i = 0; i < states.size(); ++i) {
      EXPECT_EQ(states[i], wanted[i]) << "control " << i << " with Ena " << int(record.Ena) << " TimerMod "
                                      << int(record.TimerMod) << " SenMod " << int(record.SenMod);
    }
  }
}
