#include "cardcheck/card_model.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <system_error>
#include <tuple>

#include "cardcheck/check_texts.h"
#include "common/file_io.h"
#include "common/text_format.h"
#include "settings/audio_folders.h"
#include "settings/config_names.h"
#include "settings/control_rules.h"
#include "settings/playback_pages.h"
#include "settings/record_fields.h"

namespace fs = std::filesystem;

namespace {

std::string Num(uint64_t n) { return std::to_string(n); }
unsigned long long U(uint64_t n) { return n; }

bool ValidKind(int kind) { return kind >= 0 && kind < kSoundKindCount; }

// "0 关, 1 开": what a list field's combo offers.
std::string OfferedItems(const RecordField& info) {
  std::string items;
  for (int i = 0; i < info.ItemCount(); ++i) {
    items += (i > 0 ? kTextItemSeparator : "") + Format(kTextOfferedItem, info.first + i, info.items[i]);
  }
  return items;
}

SettingField DecodeScalar(const RecordField& info, const BroadcastConfig& c) {
  SettingField field;
  field.name = info.name;
  field.caption = info.caption;
  field.value = c.*info.member;
  bool offered = info.Offers(field.value);
  if (info.IsList()) {
    field.text = offered ? info.items[field.value - info.first] : Num(field.value);
    if (!offered) field.problem = Format(kTextNotAnItem, field.value, OfferedItems(info).c_str());
  } else {
    field.text = Num(field.value) + info.unit;
    if (!offered) field.problem = Format(kTextOutOfRange, field.value, info.first, info.last, info.unit);
  }
  return field;
}

SettingField DecodePlanEntry(int plan, int hour, const BroadcastConfig& c) {
  SettingField field;
  int entry = PlanEntry(plan, hour);
  field.name = "type[" + Num(entry) + "]";
  field.caption = std::string(kPlanPages[plan].caption) + " " + kHourCaptions[hour];
  field.value = c.type[entry];
  field.text = KindCaption(field.value);
  if (!ValidKind(field.value)) {
    field.problem = Format(kTextNotAKind, field.value, kSoundKindCount - 1, kSoundKinds[0].caption,
                           kSoundKinds[kSoundKindCount - 1].caption);
  }
  return field;
}

// The good files' formats, for the mixed-format check.
using FormatKey = std::tuple<uint16_t, uint32_t, uint16_t>;  // channels, rate, bits

// The .wav files the device sees in the folder at path, by name. Records a
// folder that cannot be read (wholly or in part) in folder and problems.
std::vector<fs::path> ListWavFiles(const fs::path& path, FolderCheck& folder,
                                   std::vector<std::string>& problems) {
  std::vector<fs::path> paths;
  std::vector<FolderEntry> entries;
  IoError error;
  if (!ListFolder(path, entries, error)) {
    folder.readable = false;
    problems.push_back(Format(kTextFolderUnreadable, folder.folder.c_str(), error.text.c_str()));
  }
  for (const FolderEntry& entry : entries) {
    // The device sees the .wav files at the top of a folder, as the copy
    // takes them (a link to one as the file it names).
    fs::path file = path / fs::u8path(entry.name);
    std::error_code ec;
    bool plain = entry.info.kind == EntryKind::kFile ||
                 (entry.info.kind == EntryKind::kLink && fs::is_regular_file(file, ec));
    if (plain && IsCopiedSoundName(entry.name.c_str())) paths.push_back(file);
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

void CheckFormats(FolderCheck& folder, const std::map<FormatKey, int>& formats,
                  std::vector<std::string>& problems) {
  folder.mixedFormats = formats.size() > 1;
  if (!folder.mixedFormats) return;
  std::string text = Format(kTextMixedFormats, folder.folder.c_str());
  bool first = true;
  for (const auto& [key, count] : formats) {
    std::string words = FormatWords(std::get<0>(key), std::get<1>(key), std::get<2>(key));
    text += (first ? "" : kTextFormatSeparator) + Format(kTextFormatCount, count, words.c_str());
    first = false;
  }
  problems.push_back(text);
}

void CheckFolder(const fs::path& card, FolderCheck& folder, std::vector<std::string>& problems) {
  fs::path path = FolderPath(card, folder.folder);
  std::error_code ec;
  folder.exists = fs::is_directory(path, ec);
  if (!folder.exists) {
    problems.push_back(Format(kTextFolderMissing, folder.folder.c_str()));
    return;
  }
  std::map<FormatKey, int> formats;
  for (const fs::path& file : ListWavFiles(path, folder, problems)) {
    WavFile wav{file.filename().u8string(), ReadWavFile(file)};
    if (wav.info.ok()) {
      ++folder.goodFiles;
      ++formats[FormatKey{wav.info.channels, wav.info.sampleRate, wav.info.bitsPerSample}];
    } else {
      problems.push_back(
          Format(kTextBadFile, folder.folder.c_str(), wav.name.c_str(), wav.info.detail.c_str()));
    }
    folder.files.push_back(std::move(wav));
  }
  if (folder.files.empty() && folder.readable)
    problems.push_back(Format(kTextNoSounds, folder.folder.c_str()));
  CheckFormats(folder, formats, problems);
}

const FolderCheck* FindFolder(const CardReport& report, int page, int kind) {
  for (const FolderCheck& folder : report.folders) {
    if (folder.page == page && folder.kind == kind) return &folder;
  }
  return nullptr;
}

void ReadSettings(const fs::path& file, CardReport& report) {
  EntryInfo info;
  IoError error;
  if (!LookAt(file, info, error)) {
    report.settings = SettingsState::kUnreadable;
    return;
  }
  if (info.kind == EntryKind::kMissing) {
    report.settings = SettingsState::kMissing;
    return;
  }
  std::error_code ec;
  uintmax_t size = fs::file_size(file, ec);
  if (ec) {
    report.settings = SettingsState::kUnreadable;
    return;
  }
  report.settingsSize = size;
  if (size != kConfigSize) {
    report.settings = SettingsState::kWrongSize;
    return;
  }
  unsigned char bytes[kConfigSize];
  std::ifstream in(file, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(bytes), sizeof bytes)) {
    report.settings = SettingsState::kUnreadable;
    return;
  }
  std::memcpy(&report.config, bytes, kConfigSize);
  report.settings = SettingsState::kRead;
}

// The settings file into report; false (with the one problem) when there is
// no record to check.
bool CheckSettingsFile(const fs::path& card, CardReport& report) {
  ReadSettings(card / kConfigFileName, report);
  switch (report.settings) {
    case SettingsState::kMissing:
      report.problems.push_back(Format(kTextNoSettings, kConfigFileName));
      return false;
    case SettingsState::kUnreadable:
      report.problems.push_back(Format(kTextSettingsUnreadable, kConfigFileName));
      return false;
    case SettingsState::kWrongSize:
      report.problems.push_back(
          Format(kTextSettingsSize, kConfigFileName, U(report.settingsSize), U(kConfigSize)));
      return false;
    case SettingsState::kRead:
      break;
  }
  report.fields = DecodeSettings(report.config);
  for (const SettingField& field : report.fields) {
    if (!field.ok())
      report.problems.push_back(Format(kTextBadSetting, field.caption.c_str(), field.problem.c_str()));
  }
  return true;
}

// The folders of the pages in use: a page's own folder, or on a by-hour page
// the folder of each kind its plan names.
void CollectFolders(CardReport& report) {
  for (int page : report.pagesInUse) {
    std::vector<int> kinds{kNoKind};
    if (kCopyPages[page].perKind) kinds = KindsOfPlan(report.config, page - kFirstKindPage);
    for (int kind : kinds) {
      FolderCheck folder;
      folder.page = page;
      folder.kind = kind;
      folder.folder = FolderOf(page, kind);
      report.folders.push_back(std::move(folder));
    }
  }
}

// Each hour of the plan of by-hour page `page` against its kind's folder.
PlanCheck CheckPlan(int page, CardReport& report) {
  PlanCheck plan;
  plan.plan = page - kFirstKindPage;
  for (int h = 0; h < kHoursPerPlan; ++h) {
    HourCheck hour;
    hour.hour = h;
    hour.kind = report.config.type[PlanEntry(plan.plan, h)];
    const FolderCheck* folder = FindFolder(report, page, hour.kind);
    hour.goodFiles = folder != nullptr ? folder->goodFiles : 0;
    if (!hour.ok()) {
      std::string where =
          folder != nullptr ? Format(kTextNoGoodSoundsIn, folder->folder.c_str()) : kTextHourPlaysNothing;
      report.problems.push_back(Format(kTextBadHour, kPlanPages[plan.plan].caption, kHourCaptions[h],
                                       KindCaption(hour.kind).c_str(), where.c_str()));
    }
    plan.hours.push_back(hour);
  }
  return plan;
}

}  // namespace

std::string KindCaption(int kind) {
  if (ValidKind(kind)) return kSoundKinds[kind].caption;
  return Format(kTextNoSuchKind, kind);
}

std::vector<SettingField> DecodeSettings(const BroadcastConfig& c) {
  std::vector<SettingField> fields;
  for (const RecordField& info : kRecordFields) fields.push_back(DecodeScalar(info, c));
  for (int plan = 0; plan < kPlanCount; ++plan) {
    for (int hour = 0; hour < kHoursPerPlan; ++hour) fields.push_back(DecodePlanEntry(plan, hour, c));
  }
  return fields;
}

std::vector<int> PagesInUse(const BroadcastConfig& c) {
  std::vector<int> pages;
  for (int page = 0; page < kCopyPageCount; ++page) {
    if (CopyButtonEnabled(CopyControlsOn(c), page, c)) pages.push_back(page);
  }
  return pages;
}

std::vector<int> KindsOfPlan(const BroadcastConfig& c, int plan) {
  std::vector<int> kinds;
  for (int kind = 0; kind < kSoundKindCount; ++kind) {
    for (int hour = 0; hour < kHoursPerPlan; ++hour) {
      if (c.type[PlanEntry(plan, hour)] == kind) {
        kinds.push_back(kind);
        break;
      }
    }
  }
  return kinds;
}

std::string FolderOf(int page, int kind) {
  char folder[64];  // the longest folder of the tree is 25 bytes
  return FolderOfKind(page, kind, folder, sizeof folder) ? folder : "";
}

CardReport CheckCard(const fs::path& card) {
  CardReport report;
  report.directory = card.u8string();
  // A card whose root cannot be read is no card that lacks its settings.
  std::vector<FolderEntry> top;
  IoError error;
  if (!ListFolder(card, top, error)) {
    report.readable = false;
    report.problems.push_back(Format(kTextCardUnreadable, error.text.c_str()));
    return report;
  }
  if (!CheckSettingsFile(card, report)) return report;
  if (report.PlaysNothing()) report.warnings.push_back(kTextPlaysNothing);
  if (!report.PlaybackOn()) return report;
  report.pagesInUse = PagesInUse(report.config);
  CollectFolders(report);
  for (FolderCheck& folder : report.folders) CheckFolder(card, folder, report.problems);
  for (int page : report.pagesInUse) {
    if (kCopyPages[page].perKind) report.plans.push_back(CheckPlan(page, report));
  }
  return report;
}
