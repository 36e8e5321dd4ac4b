// cardbatch.exe driven from another process, as a technician works it: the
// golden card given on the command line, cards as removable drive letters
// made while the window is open, its buttons pressed and its list and boxes
// read. Wine only (the drives come from Wine's mount manager).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <algorithm>
#include <atomic>
#include <iostream>
#include <set>
#include <thread>
#include <vector>

#include "cardcheck/day_colours.h"
#include "tests/support/batch_driver.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/wav_file.h"
#include "tests/support/wine_drives.h"

#include <tlhelp32.h>

namespace fs = std::filesystem;

namespace {

// A card's folder: its label and serial as Wine reads them for a removable drive.
fs::path MakeCard(const fs::path& folder, const std::string& label, const std::string& serial = "") {
  fs::create_directories(folder);
  WriteAllBytes((folder / ".windows-label").string(), std::vector<unsigned char>(label.begin(), label.end()));
  if (!serial.empty()) {
    WriteAllBytes((folder / ".windows-serial").string(),
                  std::vector<unsigned char>(serial.begin(), serial.end()));
  }
  return folder;
}

std::string FileText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The record's rows after its BOM and header.
std::vector<std::string> RecordRows(const fs::path& record) {
  std::string text = FileText(record);
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(text.substr(at, end - at));
  }
  if (!lines.empty()) lines.erase(lines.begin());
  return lines;
}

std::vector<std::string> Fields(const std::string& row) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (char c : row) {
    if (c == '"')
      quoted = !quoted;
    else if (c == ',' && !quoted)
      fields.emplace_back();
    else
      fields.back() += c;
  }
  return fields;
}

// The running processes of a program (explorer.exe; nullptr: of every
// program), by id.
std::set<DWORD> ProcessesOf(const wchar_t* program) {
  std::set<DWORD> found;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (program == nullptr || _wcsicmp(entry.szExeFile, program) == 0) found.insert(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return found;
}

std::wstring NameOf(DWORD pid) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  std::wstring name;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == pid) name = entry.szExeFile;
  }
  CloseHandle(snapshot);
  return name;
}

constexpr std::size_t kFieldLabel = 2, kFieldSerial = 3, kFieldGoldenCode = 6, kFieldCardCode = 7,
                      kFieldResult = 8, kFieldReason = 9;

}  // namespace

TEST(CardBatchWindow, ListsTheRemovableCardsAsksBeforeRemovingMakesThemAndRecordsThem) {
  ScratchDir scratch;
  const fs::path golden = scratch.path() / "golden", record = scratch.path() / fs::u8path(u8"记录.csv");
  ASSERT_TRUE(PrepareCardWithTool(golden.string(), (scratch.path() / "source").string()));
  const fs::path r = MakeCard(scratch.path() / "r", "CARD R", "1234abcd");
  fs::create_directories(r / "DCIM");
  WriteAllBytes((r / "DCIM" / "0001.jpg").string(), {1, 2, 3});
  // Cheap cards are sold with one serial and label: each card is its own all the same.
  const fs::path s = MakeCard(scratch.path() / "s", "CARD R", "1234abcd");
  fs::create_directories(s / "audio" / "SenseRand");
  WriteAllBytes((s / "audio" / "SenseRand" / "old.wav").string(), PcmWavOfSize(2000, 7));
  const fs::path t = scratch.path() / "t";
  fs::create_directories(t);
  WineDrive driveR(L'J', DRIVE_REMOVABLE, r.wstring()), driveS(L'K', DRIVE_REMOVABLE, s.wstring());
  WineDrive driveT(L'L', DRIVE_FIXED, t.wstring());
  ASSERT_TRUE(driveR.ok() && driveS.ok() && driveT.ok()) << "Wine's mount manager did not take the drives";

  BatchWindow batch(golden, record);
  ASSERT_NE(batch.window(), nullptr);
  // 开始制卡 waits for the golden card's reading (which may end before the
  // window is first looked at): the button is read first, so a reading that
  // ends between the two looks is still seen.
  if (IsWindowEnabled(batch.Control(IDC_START))) {
    EXPECT_NE(batch.Text(IDC_GOLDEN_STATE).find(L"指纹: "), std::wstring::npos)
        << "开始制卡 enabled before the golden card was read: " << batch.Text(IDC_GOLDEN_STATE);
  }
  EXPECT_EQ(TextOf(batch.window()), L"批量制卡");
  ASSERT_TRUE(WaitUntil([&] { return batch.Text(IDC_GOLDEN_STATE).find(L"指纹: ") != std::wstring::npos; }))
      << batch.Text(IDC_GOLDEN_STATE);
  EXPECT_EQ(batch.Text(IDC_GOLDEN_STATE).find(L"样板卡可以使用"), 0u) << batch.Text(IDC_GOLDEN_STATE);
  const std::wstring shown = batch.Text(IDC_GOLDEN_STATE);
  const std::string shortCode(shown.begin() + shown.find(L"指纹: ") + 4,
                              shown.begin() + shown.find(L"指纹: ") + 13);

  // Both removable cards, each as it stands; the fixed drive is no card.
  ASSERT_TRUE(WaitUntil([&] {
    return batch.Shows(L"J:", BATCH_COLUMN_ON_CARD, L"将写入 2 个文件，audio 以外另有 1 项 (保留，不改动)") &&
           batch.Shows(L"K:", BATCH_COLUMN_ON_CARD, L"其他声音 (将删除 1 个文件)");
  })) << "J: "
      << batch.Row(L"J:").size() << " K: " << batch.Row(L"K:").size();
  EXPECT_EQ(batch.Row(L"J:")[BATCH_COLUMN_LABEL], L"CARD R");
  EXPECT_TRUE(batch.Row(L"L:").empty());
  EXPECT_EQ(batch.Rows().size(), 2u);

  // One question for the card that loses a file, then both are made.
  batch.Press(IDC_START);
  HWND box = batch.Box();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(BoxText(box).find(L"K: CARD R: 1 个文件"), std::wstring::npos) << BoxText(box).size();
  EXPECT_EQ(BoxText(box).find(L"J:"), std::wstring::npos);
  Answer(box, IDYES);
  ASSERT_TRUE(WaitUntil([&] {
    return batch.Shows(L"J:", BATCH_COLUMN_RESULT, L"可以使用，可以取出") &&
           batch.Shows(L"K:", BATCH_COLUMN_RESULT, L"可以使用，可以取出");
  }));
  EXPECT_EQ(batch.Text(IDC_SUMMARY), L"本次: 可以使用 2 张，失败 0 张");
  for (const fs::path& card : {r, s}) {
    EXPECT_EQ(FileText(card / "CFG_BROADCAST.bin"), FileText(golden / "CFG_BROADCAST.bin"));
    for (const char* sound : {"bark1.wav", "bark2.wav"}) {
      EXPECT_EQ(FileText(card / "audio" / "SenseRand" / sound),
                FileText(golden / "audio" / "SenseRand" / sound));
    }
  }
  EXPECT_FALSE(fs::exists(s / "audio" / "SenseRand" / "old.wav"));
  EXPECT_EQ(FileText(r / "DCIM" / "0001.jpg"), "\x01\x02\x03");
  // Made cards say so, and are no longer ticked for the next run.
  EXPECT_TRUE(WaitUntil([&] { return batch.Shows(L"K:", BATCH_COLUMN_ON_CARD, L"与样板相同"); }));

  // Each card is a row of the record, by its label and serial, with the
  // fingerprint the window showed for the golden card.
  std::vector<std::string> rows = RecordRows(record);
  ASSERT_EQ(rows.size(), 2u) << FileText(record);
  EXPECT_EQ(FileText(record).rfind("\xEF\xBB\xBF", 0), 0u);
  for (const std::string& row : rows) {
    std::vector<std::string> fields = Fields(row);
    ASSERT_EQ(fields.size(), 15u) << row;
    EXPECT_EQ(fields[kFieldResult], u8"可以使用");
    EXPECT_EQ(fields[kFieldGoldenCode].substr(0, 4) + "-" + fields[kFieldGoldenCode].substr(4, 4), shortCode);
    EXPECT_EQ(fields[kFieldCardCode], fields[kFieldGoldenCode]);
  }
  for (const std::string& row : rows) {
    EXPECT_EQ(Fields(row)[kFieldLabel] + "/" + Fields(row)[kFieldSerial], "CARD R/1234-ABCD");
  }

  // A card put in while the window is open appears by itself, ticked.
  const fs::path u = MakeCard(scratch.path() / "u", "CARD U");
  WineDrive driveU(L'M', DRIVE_REMOVABLE, u.wstring());
  ASSERT_TRUE(driveU.ok());
  EXPECT_TRUE(WaitUntil([&] { return batch.Shows(L"M:", BATCH_COLUMN_ON_CARD, L"空卡"); }));

  // The golden card's settings changed since it was read: nothing is
  // written, the window says so and shows the card as it is now.
  std::string settings = FileText(golden / "CFG_BROADCAST.bin");
  settings[1] = static_cast<char>(settings[1] % 8 + 1);  // another volume
  WriteAllBytes((golden / "CFG_BROADCAST.bin").string(),
                std::vector<unsigned char>(settings.begin(), settings.end()));
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(batch.Control(IDC_START)) != FALSE; }));
  batch.Press(IDC_START);
  box = batch.Box();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box).rfind(L"样板卡已改动", 0), 0u) << BoxText(box).size();
  Answer(box, IDOK);
  EXPECT_FALSE(fs::exists(u / "CFG_BROADCAST.bin"));
  EXPECT_EQ(batch.Text(IDC_GOLDEN_STATE).find(L"指纹: " + std::wstring(shortCode.begin(), shortCode.end())),
            std::wstring::npos);
  EXPECT_EQ(batch.Text(IDC_GOLDEN_STATE).find(L"样板卡可以使用"), 0u) << batch.Text(IDC_GOLDEN_STATE).size();
  // Started again, the card gets the golden card as it is now.
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(batch.Control(IDC_START)) != FALSE; }));
  batch.Press(IDC_START);
  ASSERT_TRUE(WaitUntil([&] { return batch.Shows(L"M:", BATCH_COLUMN_RESULT, L"可以使用，可以取出"); }));
  EXPECT_EQ(FileText(u / "CFG_BROADCAST.bin"), settings);
  EXPECT_EQ(batch.Text(IDC_SUMMARY), L"本次: 可以使用 3 张，失败 0 张");
  EXPECT_EQ(batch.Close(), 0u);
}

TEST(CardBatchWindow, AStoppedCardHasNoSettingsAndALockedRecordKeepsItsRows) {
  ScratchDir scratch;
  // A golden card that plays nothing (playback off), with many sounds, so
  // that its run can be stopped halfway.
  const fs::path golden = scratch.path() / "golden", record = scratch.path() / "record.csv";
  fs::create_directories(golden / "audio" / "SenseRand");
  std::vector<unsigned char> settings = {0, 5, 7, 28, 28, 1, 1, 5, 0, 0};
  settings.resize(82, 0);
  settings.insert(settings.end(), {0, 1, 0, 0});
  WriteAllBytes((golden / "CFG_BROADCAST.bin").string(), settings);
  for (int i = 0; i < 1500; ++i) {
    WriteAllBytes((golden / "audio" / "SenseRand" / ("s" + std::to_string(i) + ".wav")).string(),
                  PcmWavOfSize(4000, static_cast<unsigned char>(i)));
  }
  // A label a spreadsheet would take for a formula.
  const fs::path r = MakeCard(scratch.path() / "r", "-2+3", "00c0ffee");
  WineDrive driveR(L'J', DRIVE_REMOVABLE, r.wstring());
  ASSERT_TRUE(driveR.ok());
  WriteAllBytes(record.string(), {});

  // The golden card chosen in the window's folder browser.
  BatchWindow batch("", record);
  ASSERT_NE(batch.window(), nullptr);
  EXPECT_EQ(batch.Text(IDC_GOLDEN_STATE), L"还没有选择样板卡");
  EXPECT_FALSE(IsWindowEnabled(batch.Control(IDC_START)));
  ASSERT_TRUE(ChooseInBrowser(batch.AsProgram(), IDC_CHOOSE_GOLDEN, golden.string()));
  ASSERT_TRUE(WaitUntil([&] { return batch.Shows(L"J:", BATCH_COLUMN_ON_CARD, L"空卡"); }));
  EXPECT_EQ(batch.Text(IDC_GOLDEN_PATH), golden.wstring());
  EXPECT_NE(batch.Text(IDC_GOLDEN_STATE).find(L"注意: 设备不会播放任何声音"), std::wstring::npos);

  // Stopped while its sounds are written: the card carries no settings file.
  // Meanwhile another program opened the record and lets nobody write it:
  // its row waits.
  batch.Press(IDC_START);
  ASSERT_TRUE(WaitUntil([&] { return batch.Shows(L"J:", BATCH_COLUMN_RESULT, L"正在写入"); }));
  HANDLE held = CreateFileW(record.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  batch.Press(IDC_STOP);
  ASSERT_TRUE(WaitUntil([&] { return batch.Shows(L"J:", BATCH_COLUMN_RESULT, L"失败: 已停止"); }))
      << batch.Row(L"J:").size();
  EXPECT_FALSE(fs::exists(r / "CFG_BROADCAST.bin"));
  EXPECT_TRUE(WaitUntil([&] {
    return batch.Text(IDC_RECORD_STATE).find(L"1 行等待写入") != std::wstring::npos;
  })) << batch.Text(IDC_RECORD_STATE).size();

  // No run starts while the record cannot be written.
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(batch.Control(IDC_START)) != FALSE; }));
  batch.Press(IDC_START);
  HWND box = batch.Box();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box).rfind(L"无法写入记录文件，没有写任何存储卡。", 0), 0u) << BoxText(box).size();
  Answer(box, IDOK);
  EXPECT_TRUE(batch.Shows(L"J:", BATCH_COLUMN_RESULT, L"失败: 已停止"));

  // Closing with rows unwritten asks; once the record is free they go in.
  PostMessageW(batch.window(), WM_CLOSE, 0, 0);
  box = batch.Box();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(BoxText(box).find(L"还有 1 行没有写入记录文件"), std::wstring::npos);
  Answer(box, IDNO);
  EXPECT_TRUE(IsWindow(batch.window()));
  CloseHandle(held);
  ASSERT_TRUE(WaitUntil([&] { return batch.Text(IDC_RECORD_STATE).empty(); }));

  // A second run finishes the card; it counts once, by its last result.
  batch.Press(IDC_START);
  ASSERT_TRUE(WaitUntil([&] { return batch.Shows(L"J:", BATCH_COLUMN_RESULT, L"可以使用"); }));
  EXPECT_EQ(FileText(r / "CFG_BROADCAST.bin"), FileText(golden / "CFG_BROADCAST.bin"));
  EXPECT_EQ(batch.Text(IDC_SUMMARY), L"本次: 可以使用 1 张，失败 0 张");
  std::vector<std::string> rows = RecordRows(record);
  ASSERT_EQ(rows.size(), 2u) << FileText(record);
  EXPECT_EQ(Fields(rows[0])[kFieldResult], u8"失败");
  EXPECT_EQ(Fields(rows[0])[kFieldReason].rfind(u8"已停止", 0), 0u) << rows[0];
  EXPECT_EQ(Fields(rows[0])[kFieldCardCode], "");
  EXPECT_EQ(Fields(rows[1])[kFieldResult], u8"可以使用");
  EXPECT_EQ(Fields(rows[1])[kFieldSerial], "00C0-FFEE");
  EXPECT_EQ(Fields(rows[1])[kFieldLabel], "'-2+3") << "written as text";
  EXPECT_EQ(batch.Close(), 0u);
}

// What a technician reads, at the window's first size: every cell whole
// within its column (as the list view measures them), the whole window on a
// 1366 x 768 screen at 100 %, the selected card said in full below the
// list; a record that cannot be written stops the run before any card, and
// the record's troubles are said in the window's own words.
TEST(CardBatchWindow, EveryTextIsWholeAndTheRecordIsCheckedFirst) {
  ScratchDir scratch;
  const fs::path golden = scratch.path() / "golden", record = scratch.path() / "not yet" / "record.csv";
  ASSERT_TRUE(PrepareCardWithTool(golden.string(), (scratch.path() / "source").string()));
  std::vector<fs::path> cards;
  for (int i = 0; i < 3; ++i) {
    cards.push_back(MakeCard(scratch.path() / ("c" + std::to_string(i)), "CARD 0" + std::to_string(i)));
    // Other sounds in a folder of the golden card's: each is named.
    const fs::path dog = cards.back() / "audio" / "SenseSpecify" / "dog";
    fs::create_directories(dog);
    for (int n = 0; n < 12 + 40 * i; ++n)
      WriteAllBytes((dog / ("old" + std::to_string(n) + ".wav")).string(), PcmWavOfSize(1000, 7));
    fs::create_directories(cards.back() / "DCIM");
    WriteAllBytes((cards.back() / "DCIM" / "0001.jpg").string(), {1});
    WriteAllBytes((cards.back() / "notes.txt").string(), {2});
  }
  WineDrive j(L'J', DRIVE_REMOVABLE, cards[0].wstring()), k(L'K', DRIVE_REMOVABLE, cards[1].wstring()),
      l(L'L', DRIVE_REMOVABLE, cards[2].wstring());
  // The golden card in a reader of its own, given as a shortcut gives it:
  // --golden "N:\" (the quote after the backslash is no escape).
  WineDrive n(L'N', DRIVE_REMOVABLE, golden.wstring());
  ASSERT_TRUE(j.ok() && k.ok() && l.ok() && n.ok());
  BatchWindow batch(L"N:\\", record);
  ASSERT_NE(batch.window(), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return batch.Text(IDC_GOLDEN_STATE).find(L"样板卡可以使用") == 0; }))
      << batch.Text(IDC_GOLDEN_PATH).size();
  ASSERT_TRUE(WaitUntil([&] {
    return batch.Shows(L"J:", BATCH_COLUMN_ON_CARD, L"其他声音 (将删除 12 个文件)，audio 以外另有 2 项") &&
           batch.Shows(L"K:", BATCH_COLUMN_ON_CARD, L"其他声音 (将删除 52 个文件)") &&
           batch.Shows(L"L:", BATCH_COLUMN_ON_CARD, L"其他声音 (将删除 92 个文件)");
  }));
  EXPECT_EQ(batch.Rows().size(), 3u) << "the golden card's drive is not listed";

  RECT outer, client;
  GetWindowRect(batch.window(), &outer);
  GetClientRect(batch.window(), &client);
  EXPECT_LE(outer.right - outer.left, 1366);
  EXPECT_LE(outer.bottom - outer.top, 728) << "768 and a task bar";
  for (HWND control = GetWindow(batch.window(), GW_CHILD); control;
       control = GetWindow(control, GW_HWNDNEXT)) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, batch.window(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right && rect.bottom <= client.bottom)
        << "control " << GetDlgCtrlID(control) << " outside the window";
  }
  // The list view adds 12 pixels beside a cell's text (LVSCW_AUTOSIZE counts so).
  auto everyCellWhole = [&] {
    for (const auto& row : batch.Rows()) {
      for (int column = 0; column <= BATCH_COLUMN_RESULT; ++column) {
        if (batch.ColumnWidth(column) < batch.StringWidth(row[column]) + 12) return false;
      }
    }
    return true;
  };
  EXPECT_TRUE(everyCellWhole());
  // Maximised, the columns take the list's whole width.
  ShowWindow(batch.window(), SW_MAXIMIZE);
  RECT list;
  GetClientRect(batch.Control(IDC_CARDS), &list);
  EXPECT_TRUE(WaitUntil([&] {
    int total = 0;
    for (int column = 0; column <= BATCH_COLUMN_RESULT; ++column) total += batch.ColumnWidth(column);
    GetClientRect(batch.Control(IDC_CARDS), &list);
    return total == list.right;
  }));
  ShowWindow(batch.window(), SW_RESTORE);

  // The selected card in full: every entry that goes, as cardclone names them.
  batch.Select(1);
  ASSERT_TRUE(WaitUntil([&] {
    return LongText(batch.Control(IDC_CARD_DETAIL)).find(L"K:  卷标 CARD 01") == 0;
  })) << LongText(batch.Control(IDC_CARD_DETAIL)).size();
  const std::wstring detail = LongText(batch.Control(IDC_CARD_DETAIL));
  for (int n = 0; n < 52; ++n) {
    const std::wstring line = L"\r\n    删除 audio\\SenseSpecify\\dog\\old" + std::to_wstring(n) + L".wav";
    EXPECT_NE(detail.find(line), std::wstring::npos) << n;
  }

  // The record's folder does not exist: nothing is written, and the window says why.
  batch.Press(IDC_START);
  HWND box = batch.Box();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(BoxText(box).rfind(L"无法写入记录文件，没有写任何存储卡。", 0), 0u) << BoxText(box).size();
  Answer(box, IDOK);
  for (const fs::path& card : cards) EXPECT_FALSE(fs::exists(card / "CFG_BROADCAST.bin"));
  EXPECT_TRUE(fs::exists(cards[0] / "audio" / "SenseSpecify" / "dog" / "old0.wav"));
  EXPECT_FALSE(fs::exists(record));

  // 打开记录 makes the record and opens it; with no program for .csv it
  // says so and shows the file in Explorer.
  fs::create_directories(record.parent_path());
  const std::set<DWORD> explorers = ProcessesOf(L"explorer.exe");
  batch.Press(IDC_OPEN_RECORD);
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(record); }));
  HWND said = batch.Box();
  ASSERT_NE(said, nullptr);
  EXPECT_EQ(BoxText(said).rfind(L"这台电脑上没有能打开 .csv 文件的程序。", 0), 0u) << BoxText(said).size();
  EXPECT_NE(BoxText(said).find(record.wstring()), std::wstring::npos);
  Answer(said, IDOK);
  // The Explorer it started keeps the test's output open under Wine (its
  // output is the window's): ended.
  std::set<DWORD> started;
  EXPECT_TRUE(WaitUntil([&] {
    started.clear();
    for (DWORD pid : ProcessesOf(L"explorer.exe")) {
      if (explorers.count(pid) == 0) started.insert(pid);
    }
    return !started.empty();
  }));
  for (DWORD pid : started) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
    if (process) TerminateProcess(process, 0);
    if (process) CloseHandle(process);
  }
  EXPECT_EQ(batch.Close(), 0u);

  // A golden card with 25 problems (the dog plays every hour, and there is
  // no dog folder): the first three shown, all of them in the check report.
  const fs::path notReady = scratch.path() / "not ready";
  fs::create_directories(notReady);
  std::vector<unsigned char> settings = {1, 5, 7, 28, 28, 0, 2, 10};
  settings.resize(82, 0);
  settings.insert(settings.end(), {0, 1, 0, 0});
  WriteAllBytes((notReady / "CFG_BROADCAST.bin").string(), settings);
  BatchWindow bad(notReady, record);
  ASSERT_TRUE(WaitUntil([&] {
    return bad.Text(IDC_GOLDEN_STATE).find(L"(共 25 个问题") != std::wstring::npos;
  })) << bad.Text(IDC_GOLDEN_STATE).size();
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(bad.Control(IDC_GOLDEN_REPORT)) != FALSE; }));
  bad.Press(IDC_GOLDEN_REPORT);
  HWND report = bad.Box();
  ASSERT_NE(report, nullptr);
  const std::wstring all = LongText(GetDlgItem(report, IDC_REPORT_TEXT));
  EXPECT_NE(all.find(L"25. 感应播放 23:00-23:59 狗"), std::wstring::npos) << all.size();
  EXPECT_NE(all.find(L"结论: 存储卡还不能使用 (25 个问题)"), std::wstring::npos);
  Answer(report, IDOK);
  EXPECT_FALSE(IsWindowEnabled(bad.Control(IDC_START)));
  EXPECT_EQ(bad.Close(), 0u);
}

namespace {

std::string Utf8Of(const std::wstring& text) {
  std::string out(text.size() * 3 + 1, '\0');
  out.resize(
      static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                   &out[0], static_cast<int>(out.size()), nullptr, nullptr)));
  return out;
}

// The label Windows reports for a drive.
std::wstring LabelOf(const wchar_t* root) {
  wchar_t label[64] = L"";
  GetVolumeInformationW(root, label, 64, nullptr, nullptr, nullptr, nullptr, 0);
  return label;
}

}  // namespace

// Numbered labels: a name too long for the cards is refused before anything
// is written; three cards made with 北坡 from 1 are called 北坡01 to 北坡03,
// on the drives and in the record. A card put back in is known from the
// record: as made, or changed since.
TEST(CardBatchWindow, NumberedLabelsAndACardThatComesBack) {
  ScratchDir scratch;
  const fs::path golden = scratch.path() / "golden", record = scratch.path() / "record.csv";
  ASSERT_TRUE(PrepareCardWithTool(golden.string(), (scratch.path() / "source").string()));
  std::vector<fs::path> cards;
  for (int i = 0; i < 3; ++i)
    cards.push_back(
        MakeCard(scratch.path() / ("c" + std::to_string(i)), "OLD", "5a5a000" + std::to_string(i)));
  WineDrive j(L'J', DRIVE_REMOVABLE, cards[0].wstring()), k(L'K', DRIVE_REMOVABLE, cards[1].wstring()),
      m(L'M', DRIVE_REMOVABLE, cards[2].wstring());
  ASSERT_TRUE(j.ok() && k.ok() && m.ok());
  LabelFollower follower({{&j, cards[0]}, {&k, cards[1]}, {&m, cards[2]}});
  BatchWindow batch(golden, record);
  ASSERT_NE(batch.window(), nullptr);
  ASSERT_TRUE(WaitUntil([&] {
    return batch.Shows(L"J:", BATCH_COLUMN_ON_CARD, L"空卡") &&
           batch.Shows(L"K:", BATCH_COLUMN_ON_CARD, L"空卡") &&
           batch.Shows(L"M:", BATCH_COLUMN_ON_CARD, L"空卡") && IsWindowEnabled(batch.Control(IDC_START));
  }));
  EXPECT_FALSE(IsWindowEnabled(batch.Control(IDC_LABEL_NAME))) << "不改 is the default";
  SendMessageW(batch.Control(IDC_LABEL_NUMBERED), BM_CLICK, 0, 0);
  ASSERT_TRUE(IsWindowEnabled(batch.Control(IDC_LABEL_NAME)));
  EXPECT_EQ(batch.Text(IDC_LABEL_FIRST), L"1");

  // Drives that are folders are NTFS to Wine: 32 characters at most; the
  // longest label of the run is said (the third card's).
  std::wstring tooLong;
  for (int i = 0; i < 4; ++i) tooLong += L"北坡观测站一号机";
  SetWindowTextW(batch.Control(IDC_LABEL_NAME), tooLong.c_str());
  batch.Press(IDC_START);
  HWND box = batch.Box();
  ASSERT_NE(box, nullptr);
  EXPECT_NE(BoxText(box).find(L"J: 卷标 " + tooLong +
                              L"03 放不进这张卡 (NTFS 的卷标最多 32 个字符)：名字最长可以是“" +
                              tooLong.substr(0, 30) + L"” (编号后为 " + tooLong.substr(0, 30) + L"03)"),
            std::wstring::npos)
      << Utf8Of(BoxText(box));
  Answer(box, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return batch.Shows(L"M:", BATCH_COLUMN_RESULT, L"放不进这张卡"); }));
  for (const fs::path& card : cards) EXPECT_FALSE(fs::exists(card / "CFG_BROADCAST.bin")) << card;

  SetWindowTextW(batch.Control(IDC_LABEL_NAME), L"北坡");
  ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(batch.Control(IDC_START)); }));
  batch.Press(IDC_START);
  ASSERT_TRUE(WaitUntil([&] {
    return batch.Shows(L"J:", BATCH_COLUMN_RESULT, L"可以使用，可以取出") &&
           batch.Shows(L"K:", BATCH_COLUMN_RESULT, L"可以使用，可以取出") &&
           batch.Shows(L"M:", BATCH_COLUMN_RESULT, L"可以使用，可以取出");
  })) << batch.Row(L"J:")[BATCH_COLUMN_RESULT].size();
  // The numbers go to the cards as they are done: which card is which is the run's.
  std::set<std::wstring> labels;
  for (const wchar_t* root : {L"J:\\", L"K:\\", L"M:\\"}) {
    labels.insert(LabelOf(root));
    EXPECT_EQ(batch.Row(std::wstring(root, 2))[BATCH_COLUMN_LABEL], LabelOf(root));
  }
  EXPECT_EQ(labels, (std::set<std::wstring>{L"北坡01", L"北坡02", L"北坡03"}));
  std::vector<std::string> rows = RecordRows(record);
  ASSERT_EQ(rows.size(), 3u) << "the refused labels wrote no card";
  std::set<std::string> recorded;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    recorded.insert(Fields(rows[i])[kFieldLabel]);
    EXPECT_EQ(Fields(rows[i])[kFieldResult], u8"可以使用");
    EXPECT_EQ(Fields(rows[i])[kFieldReason], "");
  }
  EXPECT_EQ(recorded, (std::set<std::string>{u8"北坡01", u8"北坡02", u8"北坡03"}));
  EXPECT_EQ(batch.Text(IDC_SUMMARY), L"本次: 可以使用 3 张，失败 0 张") << "a card relabelled is one card";

  // Two cards taken out; one comes back as it was made, the other with one
  // of its sounds changed.
  ASSERT_TRUE(j.Remove() && k.Remove());
  ASSERT_TRUE(WaitUntil([&] { return batch.Row(L"J:").empty() && batch.Row(L"K:").empty(); }));
  fs::path sound;
  for (const auto& entry : fs::recursive_directory_iterator(cards[1] / "audio"))
    if (entry.is_regular_file()) sound = entry.path();
  ASSERT_FALSE(sound.empty());
  std::vector<unsigned char> bytes(fs::file_size(sound));
  {
    std::ifstream in(sound, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  bytes.back() ^= 0x55;
  WriteAllBytes(sound.string(), bytes);
  ASSERT_TRUE(j.Refresh() && k.Refresh());
  const std::string goldenCode = Fields(rows[0])[kFieldGoldenCode];
  const std::wstring shortGolden(goldenCode.begin(), goldenCode.begin() + 4);
  ASSERT_TRUE(WaitUntil([&] {
    return batch.Shows(L"J:", BATCH_COLUMN_ON_CARD, L"与当时相同") &&
           batch.Shows(L"K:", BATCH_COLUMN_ON_CARD, L"已改变");
  })) << batch.Row(L"J:").size();
  const std::wstring back = batch.Row(L"J:")[BATCH_COLUMN_ON_CARD];
  EXPECT_EQ(back.find(L"与样板相同，上次: "), 0u);
  EXPECT_NE(back.find(L" 写入，样板 " + shortGolden + L"-"), std::wstring::npos);
  EXPECT_EQ(batch.Row(L"K:")[BATCH_COLUMN_ON_CARD].find(L"与样板不同，将改写，上次: "), 0u);
}

// cardclone's numbered labels on the same kind of drives: a name too long
// for the cards refuses every card before anything is written; the labels
// go on from the highest number the record gave the name.
TEST(CardCloneLabels, EachCardMadeGetsTheNextNumberOfTheName) {
  ScratchDir scratch;
  const fs::path golden = scratch.path() / "golden", record = scratch.path() / "record.csv";
  ASSERT_TRUE(PrepareCardWithTool(golden.string(), (scratch.path() / "source").string()));
  const fs::path a = MakeCard(scratch.path() / "a", "OLD", "0a0a0001"),
                 b = MakeCard(scratch.path() / "b", "OLD", "0a0a0002");
  WineDrive j(L'J', DRIVE_REMOVABLE, a.wstring()), k(L'K', DRIVE_REMOVABLE, b.wstring());
  ASSERT_TRUE(j.ok() && k.ok());
  LabelFollower follower({{&j, a}, {&k, b}});
  const std::string cards = "\"" + golden.string() + "\" J: K:";

  ProgramRun refused =
      RunConsoleProgram("cardclone.exe", "--yes --label " + std::string(31, 'N') + " " + cards);
  EXPECT_EQ(refused.exitCode, 2u) << refused.out;
  EXPECT_NE(
      refused.out.find(u8"卷标放不进目标卡\n  1. J: 卷标 " + std::string(31, 'N') + u8"02 放不进这张卡"),
      std::string::npos)
      << refused.out;
  EXPECT_FALSE(fs::exists(a / "CFG_BROADCAST.bin"));
  EXPECT_EQ(LabelOf(L"J:\\"), L"OLD");

  const std::string labelled = "--yes --record \"" + record.string() + "\" --label 北坡 ";
  ProgramRun first = RunConsoleProgram("cardclone.exe", labelled + cards);
  EXPECT_EQ(first.exitCode, 0u) << first.out;
  EXPECT_NE(first.out.find(u8"做好的卡依次改卷标: 北坡01、北坡02……"), std::string::npos) << first.out;
  EXPECT_EQ((std::set<std::wstring>{LabelOf(L"J:\\"), LabelOf(L"K:\\")}),
            (std::set<std::wstring>{L"北坡01", L"北坡02"}));
  // Already the golden card's: labelled all the same, from where the record left off.
  ProgramRun again = RunConsoleProgram("cardclone.exe", labelled + "--first 1 " + cards);
  EXPECT_EQ(again.exitCode, 0u) << again.out;
  EXPECT_EQ((std::set<std::wstring>{LabelOf(L"J:\\"), LabelOf(L"K:\\")}),
            (std::set<std::wstring>{L"北坡03", L"北坡04"}));
  EXPECT_NE(again.out.find(u8"  卷标 北坡03\n"), std::string::npos) << again.out;
  std::vector<std::string> rows = RecordRows(record);
  ASSERT_EQ(rows.size(), 4u);
  std::set<std::string> recorded;
  for (const std::string& row : rows) recorded.insert(Fields(row)[kFieldLabel]);
  EXPECT_EQ(recorded, (std::set<std::string>{u8"北坡01", u8"北坡02", u8"北坡03", u8"北坡04"}));
}

namespace {

// How many of the control's pixels on the screen have the colour.
int PixelsOf(HWND control, const DayColour& colour) {
  RECT rect;
  GetWindowRect(control, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  const DWORD wanted = (DWORD{colour.r} << 16) | (DWORD{colour.g} << 8) | colour.b;
  return static_cast<int>(
      std::count_if(pixels.begin(), pixels.end(), [&](DWORD p) { return (p & 0xFFFFFF) == wanted; }));
}

}  // namespace

// The golden card's day drawn in its pane (the tool's card plays the sensor
// by hour, all day the dog's sounds; timed playback off); 打印制卡单 writes
// the sheet of the cards made beside the record and hands it to the
// browser.
TEST(CardBatchWindow, TheGoldenCardsDayIsDrawnAndTheDaysCardsGoOnASheet) {
  ScratchDir scratch;
  const fs::path golden = scratch.path() / "golden", record = scratch.path() / "record.csv";
  ASSERT_TRUE(PrepareCardWithTool(golden.string(), (scratch.path() / "source").string()));
  const fs::path card = MakeCard(scratch.path() / "c", "<b>CARD</b>", "7e7e0001");
  WineDrive j(L'J', DRIVE_REMOVABLE, card.wstring());
  ASSERT_TRUE(j.ok());
  BatchWindow batch(golden, record);
  ASSERT_NE(batch.window(), nullptr);
  HWND day = batch.Control(IDC_GOLDEN_DAY);
  ASSERT_NE(day, nullptr);
  EXPECT_EQ(GetWindowLongW(day, GWL_STYLE) & SS_TYPEMASK, SS_OWNERDRAW);
  RECT pane, list;
  GetClientRect(day, &pane);
  GetClientRect(batch.Control(IDC_CARDS), &list);
  EXPECT_GE(pane.right, list.right - 4) << "as wide as the list";
  EXPECT_GE(pane.bottom, 100) << "three rows and their hours at 100 %";
  ASSERT_TRUE(WaitUntil([&] { return batch.Shows(L"J:", BATCH_COLUMN_ON_CARD, L"空卡"); }));
  // 24 dog cells of the sensor row, the two timed rows greyed: each far more
  // than a caption's pixels.
  ASSERT_TRUE(WaitUntil([&] { return PixelsOf(day, kKindColours[kDog]) > 24 * 100; }))
      << PixelsOf(day, kKindColours[kDog]);
  EXPECT_GT(PixelsOf(day, kUnusedColour), 2 * 24 * 100);
  EXPECT_EQ(PixelsOf(day, kKindColours[kTiger]), 0);

  batch.Press(IDC_START);
  ASSERT_TRUE(WaitUntil([&] { return batch.Shows(L"J:", BATCH_COLUMN_RESULT, L"可以使用"); }));
  const std::set<DWORD> before = ProcessesOf(nullptr);
  batch.Press(IDC_PRINT_SHEET);
  fs::path sheet;
  ASSERT_TRUE(WaitUntil([&] {
    for (const auto& entry : fs::directory_iterator(scratch.path()))
      if (entry.path().extension() == ".html") sheet = entry.path();
    return !sheet.empty();
  }));
  // The page is handed to the program Wine has for it (or, with none, the
  // window says so and shows it in Explorer). Whatever was started keeps
  // the test's output open under Wine (its output is the window's): ended.
  std::set<DWORD> started;
  WaitUntil(
      [&] {
        for (DWORD pid : ProcessesOf(nullptr))
          if (before.count(pid) == 0) started.insert(pid);
        return !started.empty();
      },
      std::chrono::seconds(20));
  std::cout << "started for the page:";
  for (DWORD pid : started) {
    std::cout << " " << Utf8Of(NameOf(pid));
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
    if (process) TerminateProcess(process, 0);
    if (process) CloseHandle(process);
  }
  std::cout << std::endl;
  if (HWND said = FindWindowW(L"#32770", L"批量制卡")) Answer(said, IDOK);
  EXPECT_EQ(sheet.filename().u8string().rfind(u8"制卡单-", 0), 0u) << sheet.filename().u8string();
  const std::string html = FileText(sheet);
  const std::string row = RecordRows(record).at(0);
  EXPECT_NE(html.find(Fields(row)[kFieldCardCode]), std::string::npos) << "the card's fingerprint";
  EXPECT_NE(html.find("&lt;b&gt;CARD&lt;/b&gt;"), std::string::npos) << "the label as text\n"
                                                                     << html.substr(html.find("<tbody>"));
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  EXPECT_NE(html.find(u8"本次: 可以使用 1 张，失败 0 张"), std::string::npos);
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("http"), std::string::npos) << "nothing from elsewhere";
}
