// Every control of the real dialog acting on the record, driven with the
// messages the controls themselves send when a user works them.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialog/control_states.h"
#include "dialog/control_tables.h"
#include "dialog/hour_plans.h"
#include "library/source_slots.h"
#include "settings/save_directory.h"
#include "tests/support/dialog_fixture.h"

namespace fs = std::filesystem;

namespace {

BroadcastConfig PlaybackOn(uint8_t timerMod = 1) { return Modes(1, timerMod, 1, 0, 0); }

BroadcastConfig EveryPlanByHour() { return Modes(1, 1, 2, 1, 1); }

uint8_t Byte(int offset) { return ConfigBytes()[offset]; }

class CommandTest : public DialogTest {
 protected:
  // A list choice: the combo's selection moves, then it tells the dialog.
  std::string Choose(int combo, int index, int code = CBN_SELCHANGE) {
    SendMessageW(Item(combo), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::testing::internal::CaptureStdout();
    SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(combo, code), reinterpret_cast<LPARAM>(Item(combo)));
    return WithoutCarriageReturns(::testing::internal::GetCapturedStdout());
  }
  void Scroll(int position, int code) {
    SendMessageW(Item(IDC_TRACK_VOLUME), TBM_SETPOS, TRUE, position);
    SendMessageW(dialog_, WM_HSCROLL, MAKEWPARAM(code, position),
                 reinterpret_cast<LPARAM>(Item(IDC_TRACK_VOLUME)));
  }
  // Delivers what is queued the way the dialog's modal loop does.
  void Pump() {
    MSG msg;
    for (int round = 0; round < 5; ++round) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageW(dialog_, &msg)) {
          TranslateMessage(&msg);
          DispatchMessageW(&msg);
        }
      }
      Sleep(20);
    }
  }
  // A key pressed and released on the focused control, as from the keyboard.
  void PressKey(UINT key) {
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    PostMessageW(focus, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageW(focus, WM_KEYUP, key, 1 | (scan << 16) | (1u << 30) | (1u << 31));
    Pump();
  }
  // Whether the dialog was told to close: EndDialog hides a modeless dialog.
  bool StillOpen() const { return IsWindow(dialog_) && IsWindowVisible(dialog_); }
};

}  // namespace

TEST_F(CommandTest, EveryFieldControlWritesItsOffsetWithItsEncoding) {
  Open(PlaybackOn(0));
  struct Case {
    int combo;
    int offset;
    int index;
    uint8_t stored;
  } cases[] = {
      // Timed playback off first: the capture switch is free.
      {IDC_COMBO_CAPTURE, 82, 1, 1},
      {IDC_COMBO_CAPTURE, 82, 0, 0},
      {IDC_COMBO_PAUSE_DAYS, 2, 0, 1},
      {IDC_COMBO_PAUSE_DAYS, 2, 29, 30},
      {IDC_COMBO_DELAY, 7, 0, 5},
      {IDC_COMBO_DELAY, 7, 25, 30},
      {IDC_COMBO_INTERVAL_HOUR, 83, 0, 0},
      {IDC_COMBO_INTERVAL_HOUR, 83, 23, 23},
      {IDC_COMBO_INTERVAL_MINUTE, 84, 0, 0},
      {IDC_COMBO_INTERVAL_MINUTE, 84, 59, 59},
      {IDC_COMBO_INTERVAL_SECOND, 85, 0, 0},
      {IDC_COMBO_INTERVAL_SECOND, 85, 59, 59},
      {IDC_COMBO_SENSOR_MODE, 6, 2, 2},
      {IDC_COMBO_SENSOR_MODE, 6, 0, 0},
      // Then the schedules.
      {IDC_COMBO_TIMER_MODE, 5, 1, 1},
      {IDC_COMBO_PLAY_DAYS_A, 3, 0, 1},
      {IDC_COMBO_PLAY_DAYS_A, 3, 29, 30},
      {IDC_COMBO_PLAY_DAYS_B, 4, 0, 1},
      {IDC_COMBO_PLAY_DAYS_B, 4, 29, 30},
      {IDC_COMBO_ALARM_A, 8, 1, 1},
      {IDC_COMBO_ALARM_B, 9, 1, 1},
      {IDC_COMBO_TIMER_MODE, 5, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(Enabled(c.combo)) << c.combo;
    std::vector<uint8_t> before(ConfigBytes(), ConfigBytes() + kConfigSize);
    Choose(c.combo, c.index);
    EXPECT_EQ(Byte(c.offset), c.stored) << c.combo << " item " << c.index;
    before[c.offset] = c.stored;
    EXPECT_EQ(std::vector<uint8_t>(ConfigBytes(), ConfigBytes() + kConfigSize), before)
        << "only its own field changes: " << c.combo;
  }
  // Other notifications of a combo (the list dropping down, typing) store nothing.
  Choose(IDC_COMBO_PAUSE_DAYS, 10, CBN_DROPDOWN);
  Choose(IDC_COMBO_INTERVAL_HOUR, 5, CBN_EDITCHANGE);
  EXPECT_EQ(Byte(2), 30);
  EXPECT_EQ(Byte(83), 23);
}

TEST_F(CommandTest, DelayAndSensorModeTraceAndKeepTheDelay) {
  Open(PlaybackOn());
  EXPECT_EQ(Choose(IDC_COMBO_DELAY, 5), "Index_Dly = 5, lapse = 10\n");
  EXPECT_EQ(Config.Dly, 10);
  EXPECT_EQ(Choose(IDC_COMBO_SENSOR_MODE, 2), "Index = 2\nIndex_Dly = 5, lapse = 10\n");
  EXPECT_EQ(Config.Dly, 10) << "a sensor mode change re-reads the delay combo";
  EXPECT_EQ(Config.SenMod, 2);
  EXPECT_TRUE(Enabled(kHourRows[0].combo[0])) << "SenMod 2 makes the sensor plan editable";
  EXPECT_TRUE(Enabled(kHourRows[23].combo[0]));
}

TEST_F(CommandTest, ADelayTheListCannotShowSurvivesASensorModeChange) {
  BroadcastConfig c = PlaybackOn();
  c.Dly = 0;  // from a file; the combo shows no selection
  Open(c);
  EXPECT_EQ(Selection(IDC_COMBO_DELAY), CB_ERR);
  EXPECT_EQ(Choose(IDC_COMBO_SENSOR_MODE, 2), "Index = 2\n");
  EXPECT_EQ(Config.Dly, 0);
}

TEST_F(CommandTest, PlaySwitchCaptureLockAndFixUp) {
  Open();
  // "开" from the default state enables the settings groups.
  EXPECT_FALSE(Enabled(IDC_COMBO_DELAY));
  SendMessageW(Item(IDC_RADIO_PLAY_ON), BM_CLICK, 0, 0);
  EXPECT_EQ(Config.Ena, 1);
  EXPECT_TRUE(Checked(IDC_RADIO_PLAY_ON));
  EXPECT_TRUE(Enabled(IDC_COMBO_DELAY));
  EXPECT_TRUE(Enabled(IDC_BTN_COPY)) << "sensor random on page 0";
  EXPECT_FALSE(Enabled(IDC_COMBO_CAPTURE)) << "locked with cyclic timed playback on";
  // Clicking it again runs the rules again.
  EnableWindow(Item(IDC_COMBO_DELAY), FALSE);
  SendMessageW(Item(IDC_RADIO_PLAY_ON), BM_CLICK, 0, 0);
  EXPECT_TRUE(Enabled(IDC_COMBO_DELAY));

  // Playback off with TimerMod 1: the capture switch is free; "关" there
  // disables the interval, and the next rule run switches the capture on.
  SendMessageW(Item(IDC_RADIO_PLAY_OFF), BM_CLICK, 0, 0);
  EXPECT_EQ(Config.Ena, 0);
  EXPECT_FALSE(Enabled(IDC_COMBO_DELAY));
  EXPECT_TRUE(Enabled(IDC_COMBO_CAPTURE));
  Choose(IDC_COMBO_CAPTURE, 1);
  EXPECT_EQ(Config.TMLPen, 1);
  EXPECT_FALSE(Enabled(IDC_COMBO_INTERVAL_MINUTE));
  EXPECT_TRUE(Enabled(IDC_COMBO_CAPTURE)) << "the switch keeps its own state";
  SendMessageW(Item(IDC_RADIO_PLAY_OFF), BM_CLICK, 0, 0);
  EXPECT_EQ(Config.TMLPen, 0);
  EXPECT_EQ(Text(IDC_COMBO_CAPTURE), L"开");
  EXPECT_TRUE(Enabled(IDC_COMBO_INTERVAL_MINUTE));

  // Copy pages with playback off: shown by page, nothing usable.
  SelectTab(IDC_TAB_COPY, 3);
  EXPECT_TRUE(Visible(kKindRows[0][kDog].button));
  EXPECT_FALSE(Enabled(kKindRows[0][kDog].button));
  EXPECT_FALSE(Visible(IDC_BTN_PAGE0_RANDOM));
  EXPECT_FALSE(Enabled(IDC_BTN_COPY));
  SelectTab(IDC_TAB_COPY, 5);
  EXPECT_TRUE(Visible(kKindRows[2][kBirdC].button));
  EXPECT_FALSE(Visible(kKindRows[0][kDog].button));
  EXPECT_EQ(CopyPage, 5);
}

TEST_F(CommandTest, TimerModeSwitchesTheScheduleCombos) {
  Open(PlaybackOn());
  EXPECT_TRUE(Enabled(IDC_COMBO_ALARM_A));
  Choose(IDC_COMBO_TIMER_MODE, 0);
  EXPECT_FALSE(Enabled(IDC_COMBO_ALARM_A));
  EXPECT_FALSE(Enabled(IDC_COMBO_ALARM_B));
  EXPECT_TRUE(Enabled(IDC_COMBO_CAPTURE)) << "no longer locked";
  Choose(IDC_COMBO_TIMER_MODE, 1);
  EXPECT_TRUE(Enabled(IDC_COMBO_ALARM_B));
  Choose(IDC_COMBO_ALARM_A, 1);
  SelectTab(IDC_TAB_COPY, 4);
  EXPECT_TRUE(Enabled(IDC_BTN_COPY)) << "schedule A by hour";
  EXPECT_TRUE(Enabled(kKindRows[1][kFox].button));
}

TEST_F(CommandTest, VolumeFollowsTheThumbAndTheKeyboard) {
  Open(PlaybackOn());
  for (int position : {6, 7, 8}) {
    Scroll(position, TB_THUMBTRACK);
    EXPECT_EQ(Text(IDC_LABEL_VOLUME), std::to_wstring(position));
    EXPECT_EQ(Config.Vol, position);
  }
  // Other scroll codes are not acted on; the end of the movement is.
  Scroll(3, TB_LINEDOWN);
  EXPECT_EQ(Config.Vol, 8);
  Scroll(3, TB_ENDTRACK);
  EXPECT_EQ(Config.Vol, 3);
  EXPECT_EQ(Text(IDC_LABEL_VOLUME), L"3");

  // An arrow key on the trackbar: the step is taken when the key is released.
  SetFocus(Item(IDC_TRACK_VOLUME));
  PressKey(VK_RIGHT);
  EXPECT_EQ(SendMessageW(Item(IDC_TRACK_VOLUME), TBM_GETPOS, 0, 0), 4);
  EXPECT_EQ(Config.Vol, 4);
  EXPECT_EQ(Text(IDC_LABEL_VOLUME), L"4");
}

TEST_F(CommandTest, DialogProcedureAnswersPerMessage) {
  Open();
  LPARAM track = reinterpret_cast<LPARAM>(Item(IDC_TRACK_VOLUME));
  EXPECT_EQ(DialogProc(dialog_, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 5), track), FALSE);
  EXPECT_EQ(DialogProc(dialog_, WM_HSCROLL, MAKEWPARAM(TB_PAGEUP, 5), track), FALSE);
  EXPECT_EQ(DialogProc(dialog_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0), TRUE);
  EXPECT_EQ(DialogProc(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0), TRUE);
  EXPECT_EQ(DialogProc(dialog_, WM_COMMAND, MAKEWPARAM(IDC_EDIT_SAVE_DIR, EN_CHANGE), 0), TRUE);
  NMHDR other{Item(IDC_TAB_COPY), IDC_TAB_COPY, static_cast<UINT>(TCN_SELCHANGING)};
  EXPECT_EQ(DialogProc(dialog_, WM_NOTIFY, IDC_TAB_COPY, reinterpret_cast<LPARAM>(&other)), TRUE);
  EXPECT_EQ(DialogProc(dialog_, WM_TIMER, 1, 0), FALSE);
  EXPECT_TRUE(StillOpen());
  // A plan tab with no page selected: the page is kept, the grids stay.
  NMHDR plan{Item(IDC_TAB_PLAN), IDC_TAB_PLAN, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(Item(IDC_TAB_PLAN), TCM_SETCURSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(DialogProc(dialog_, WM_NOTIFY, IDC_TAB_PLAN, reinterpret_cast<LPARAM>(&plan)), TRUE);
  EXPECT_EQ(PlanPage, -1);
  EXPECT_TRUE(Visible(kHourRows[0].combo[0]));
  EXPECT_FALSE(Visible(kHourRows[0].combo[1]));
}

TEST_F(CommandTest, EscNeverClosesTheDialogAndTheCloseBoxDoes) {
  Open();
  ShowWindow(dialog_, SW_SHOW);
  SetForegroundWindow(dialog_);
  // Right after start-up the save-directory edit has the focus.
  SetFocus(Item(IDC_EDIT_SAVE_DIR));
  ASSERT_EQ(GetFocus(), Item(IDC_EDIT_SAVE_DIR));
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(StillOpen()) << "Esc in the save-directory edit";
  SetFocus(Item(IDC_BTN_GENERATE));
  PressKey(VK_ESCAPE);
  PressKey(VK_RETURN);
  EXPECT_TRUE(StillOpen()) << "Esc and Enter elsewhere";
  SendMessageW(dialog_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(StillOpen());
}

TEST_F(CommandTest, SaveDirectoryComesOnlyFromTheFolderBrowser) {
  Open();
  std::string start = SaveDirectory;
  // Typing into the edit changes nothing.
  SetWindowTextA(Item(IDC_EDIT_SAVE_DIR), "D:\\typed");
  SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDC_EDIT_SAVE_DIR, EN_CHANGE),
               reinterpret_cast<LPARAM>(Item(IDC_EDIT_SAVE_DIR)));
  EXPECT_EQ(SaveDirectory, start);

  // Another card holding other settings: choosing it reads nothing.
  std::string other = scratch_.str() + "\\other card";
  fs::create_directories(other);
  BroadcastConfig foreign = EveryPlanByHour();
  foreign.Vol = 2;
  WriteAllBytes(other + "\\CFG_BROADCAST.bin", SettingsBytes(foreign));
  std::vector<uint8_t> record(ConfigBytes(), ConfigBytes() + kConfigSize);
  ClickAndChoose(IDC_BTN_SAVE_DIR, other);
  EXPECT_EQ(SaveDirectory, other);
  EXPECT_EQ(Text(IDC_EDIT_SAVE_DIR), ModalAnswerer::Widen(other));
  EXPECT_EQ(std::vector<uint8_t>(ConfigBytes(), ConfigBytes() + kConfigSize), record);

  // A cancel keeps the directory and the edit.
  ClickAndChoose(IDC_BTN_SAVE_DIR, "");
  EXPECT_EQ(SaveDirectory, other);
  EXPECT_EQ(Text(IDC_EDIT_SAVE_DIR), ModalAnswerer::Widen(other));

  // Generate and Copy now work there.
  ModalAnswerer box(ModalAnswerer::PressOk);
  Click(IDC_BTN_GENERATE);
  EXPECT_EQ(ReadAllBytes(other + "\\CFG_BROADCAST.bin"), SettingsBytes(Config));
  EXPECT_FALSE(fs::exists(scratch_.str() + "\\CFG_BROADCAST.bin"));
  SendMessageW(Item(IDC_RADIO_PLAY_ON), BM_CLICK, 0, 0);
  std::string source = scratch_.str() + "\\random";
  fs::create_directories(source);
  WriteAllBytes(source + "\\r.wav", {1, 2, 3});
  ClickAndChoose(IDC_BTN_PAGE0_RANDOM, source);
  Click(IDC_BTN_COPY);
  EXPECT_TRUE(fs::exists(other + "\\audio\\SenseRand\\r.wav"));
}

TEST_F(CommandTest, HourPlanCombosStoreTheirEntries) {
  Open(EveryPlanByHour());
  // Sensor plan, 07:00: no trace.
  EXPECT_EQ(Choose(40109, kBear), "");
  EXPECT_EQ(Byte(17), 6);
  // Schedule A and B are found through their id lists.
  SelectTab(IDC_TAB_PLAN, 1);
  EXPECT_EQ(Choose(40000, kHuman), "wIDList_ComboTMPA patch - 0, lIndex = 3.\n");
  EXPECT_EQ(Config.type[24], 3);
  SelectTab(IDC_TAB_PLAN, 2);
  EXPECT_EQ(Choose(40102, kBirdC), "wIDList_ComboTMPB patch - 23, lIndex = 9.\n");
  EXPECT_EQ(Byte(81), 9);

  // A non-selection notification stores nothing and traces nothing, even
  // with the combo's selection moved.
  std::vector<uint8_t> before(ConfigBytes(), ConfigBytes() + kConfigSize);
  EXPECT_EQ(Choose(kHourRows[1].combo[2], kLynx, CBN_DROPDOWN), "");
  EXPECT_EQ(Choose(kHourRows[0].combo[0], kLynx, CBN_CLOSEUP), "");
  EXPECT_EQ(StoreTimedPlanChoice(MAKEWPARAM(40102, CBN_DROPDOWN)), 0);
  EXPECT_EQ(StoreTimedPlanChoice(MAKEWPARAM(40109, CBN_SELCHANGE)), 0) << "a sensor combo is not a timed one";
  EXPECT_EQ(std::vector<uint8_t>(ConfigBytes(), ConfigBytes() + kConfigSize), before);

  // Switching pages shows the other grids and changes no entry.
  for (int page : {0, 1, 2, 0}) {
    SelectTab(IDC_TAB_PLAN, page);
    EXPECT_EQ(PlanPage, page);
    EXPECT_EQ(std::vector<uint8_t>(ConfigBytes(), ConfigBytes() + kConfigSize), before);
    for (int plan = 0; plan < kPlanCount; ++plan) EXPECT_EQ(Visible(kHourRows[7].combo[plan]), plan == page);
  }
  SelectTab(IDC_TAB_PLAN, 1);
  EXPECT_EQ(Text(kHourRows[0].combo[1]), L"人");
  SelectTab(IDC_TAB_PLAN, 0);
  EXPECT_EQ(Text(kHourRows[7].combo[0]), L"黑熊");
}

TEST_F(CommandTest, SettingsRoadFromOnToTheWrittenFile) {
  Open();
  SendMessageW(Item(IDC_RADIO_PLAY_ON), BM_CLICK, 0, 0);
  Choose(IDC_COMBO_DELAY, 5);
  ModalAnswerer box(ModalAnswerer::PressOk);
  Click(IDC_BTN_GENERATE);
  ASSERT_TRUE(box.answered());
  EXPECT_EQ(box.seen().title, L"通知");
  ASSERT_FALSE(box.seen().staticTexts.empty());
  EXPECT_NE(std::find(box.seen().staticTexts.begin(), box.seen().staticTexts.end(), L"成功生成配置文件!"),
            box.seen().staticTexts.end());
  std::vector<unsigned char> file = ReadAllBytes(scratch_.str() + "\\CFG_BROADCAST.bin");
  ASSERT_EQ(file.size(), 86u);
  EXPECT_EQ(file[0], 1);
  EXPECT_EQ(file[7], 10);
  EXPECT_EQ(Text(IDC_STATUS_LINE),
            L"在“" + scratch_.path().wstring() + L"”生成了配置文件：CFG_BROADCAST.bin。");
}

TEST_F(CommandTest, CopyRoadOnTheSensorByHourPage) {
  Open();
  SendMessageW(Item(IDC_RADIO_PLAY_ON), BM_CLICK, 0, 0);
  Choose(IDC_COMBO_SENSOR_MODE, 2);
  SelectTab(IDC_TAB_COPY, 3);
  EXPECT_EQ(Text(kKindRows[0][kDog].label), L"狗");
  std::string dog = scratch_.str() + "\\dog sounds";
  fs::create_directories(dog);
  WriteAllBytes(dog + "\\bark.wav", {'R', 'I', 'F', 'F'});
  ClickAndChoose(kKindRows[0][kDog].button, dog);
  EXPECT_TRUE(Checked(kKindRows[0][kDog].check));
  std::string trace = Click(IDC_BTN_COPY);
  EXPECT_EQ(ReadAllBytes(scratch_.str() + "\\audio\\SenseSpecify\\dog\\bark.wav"),
            (std::vector<unsigned char>{'R', 'I', 'F', 'F'}));
  EXPECT_EQ(Text(IDC_STATUS_LINE), L"复制“" + ModalAnswerer::Widen(dog) + L"\\bark.wav”...成功");
}
