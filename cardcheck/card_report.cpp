#include "cardcheck/card_report.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <system_error>
#include <tuple>

#include "dialog/control_rules.h"
#include "dialog/control_tables.h"
#include "library/audio_tree.h"
#include "settings/config_file.h"

namespace fs = std::filesystem;

namespace {

// The dialog's plan tab captions.
constexpr const char* kPlanCaptions[kPlanCount] = {"感应播放", "定时播放A", "定时播放B"};

// The capture interval combos offer 0..23 hours, 0..59 minutes and seconds.
constexpr int kIntervalHourLast = 23;
constexpr int kIntervalMinuteLast = 59;
constexpr int kIntervalSecondLast = 59;

// A scalar field of the record: a list of words (the combo's items, value =
// index) or a number range with a unit.
struct FieldInfo {
  const char* name;
  const char* caption;
  uint8_t BroadcastConfig::*member;
  const char* words[3];  // nullptr-terminated; none for a number field
  int first;
  int last;
  const char* unit;
};

constexpr FieldInfo kScalarFields[] = {
    {"Ena", "播放开关", &BroadcastConfig::Ena, {"关", "开"}, 0, 1, ""},
    {"Vol", "播放音量", &BroadcastConfig::Vol, {}, kVolumeMin, kVolumeMax, ""},
    {"PauseDays", "播放暂停天数", &BroadcastConfig::PauseDays, {}, kDayFirst, kDayLast, " 天"},
    {"PlayDaysA", "A播放天数", &BroadcastConfig::PlayDaysA, {}, kDayFirst, kDayLast, " 天"},
    {"PlayDaysB", "B播放天数", &BroadcastConfig::PlayDaysB, {}, kDayFirst, kDayLast, " 天"},
    {"TimerMod", "定时播放模式", &BroadcastConfig::TimerMod, {"关闭", "周期循环"}, 0, 1, ""},
    {"SenMod", "感应播放模式", &BroadcastConfig::SenMod, {"关闭", "随机播放", "据时指定"}, 0, 2, ""},
    {"Dly", "播放延时", &BroadcastConfig::Dly, {}, kDelayFirst, kDelayLast, " 秒"},
    {"AlarmA", "定时A播放方式", &BroadcastConfig::AlarmA, {"随机播放", "据时指定"}, 0, 1, ""},
    {"AlarmB", "定时B播放方式", &BroadcastConfig::AlarmB, {"随机播放", "据时指定"}, 0, 1, ""},
    {"TMLPen", "定时拍摄", &BroadcastConfig::TMLPen, {"开", "关"}, 0, 1, ""},
    {"IntervalHour", "拍摄间隔(时)", &BroadcastConfig::IntervalHour, {}, 0, kIntervalHourLast, " 时"},
    {"IntervalMinute", "拍摄间隔(分)", &BroadcastConfig::IntervalMinute, {}, 0, kIntervalMinuteLast, " 分"},
    {"IntervalSecond", "拍摄间隔(秒)", &BroadcastConfig::IntervalSecond, {}, 0, kIntervalSecondLast, " 秒"},
};

std::string Num(uint64_t n) { return std::to_string(n); }

bool ValidKind(int kind) { return kind >= 0 && kind < kSoundKindCount; }

SettingField DecodeScalar(const FieldInfo& info, const BroadcastConfig& c) {
  SettingField field;
  field.name = info.name;
  field.caption = info.caption;
  field.value = c.*info.member;
  bool inRange = field.value >= info.first && field.value <= info.last;
  if (info.words[0] != nullptr) {
    field.text = inRange ? info.words[field.value] : Num(field.value);
    if (!inRange) {
      field.problem = Num(field.value) + " 不是对话框的选项 (";
      for (int i = info.first; i <= info.last; ++i) {
        field.problem += (i > info.first ? ", " : "") + Num(i) + " " + info.words[i];
      }
      field.problem += ")";
    }
  } else {
    field.text = Num(field.value) + info.unit;
    if (!inRange) {
      field.problem = Num(field.value) + " 不在对话框的范围内 (" + Num(info.first) + ".." + Num(info.last) +
                      info.unit + ")";
    }
  }
  return field;
}

// The good files' formats, for the mixed-format check.
using FormatKey = std::tuple<uint16_t, uint32_t, uint16_t>;  // channels, rate, bits

std::string FormatWords(const FormatKey& key) {
  return Num(std::get<0>(key)) + " 声道 " + Num(std::get<1>(key)) + " Hz " + Num(std::get<2>(key)) + " 位";
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", seconds);
  return text;
}

std::string WavWords(const WavInfo& info) {
  return FormatName(info) + " " + FormatWords({info.channels, info.sampleRate, info.bitsPerSample}) + " " +
         Seconds(info.Seconds()) + " 秒";
}

// The card's backslash form as a path below card.
fs::path CardPath(const fs::path& card, const std::string& folder) {
  fs::path path = card;
  std::size_t start = 0;
  while (start <= folder.size()) {
    std::size_t end = folder.find('\\', start);
    if (end == std::string::npos) end = folder.size();
    if (end > start) path /= fs::u8path(folder.substr(start, end - start));
    start = end + 1;
  }
  return path;
}

// The device sees the .wav files at the top of a folder, as the copy takes
// them: names ending in ".wav" in any case, not starting with ".".
bool DeviceSeesName(const std::string& name) {
  if (name.size() < 4 || name[0] == '.') return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& ch : tail) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return tail == ".wav";
}

void CheckFolder(const fs::path& card, FolderCheck& folder, std::vector<std::string>& problems) {
  fs::path path = CardPath(card, folder.folder);
  std::error_code ec;
  folder.exists = fs::is_directory(path, ec);
  if (!folder.exists) {
    problems.push_back(folder.folder + ": 文件夹不存在");
    return;
  }
  fs::directory_iterator it(path, ec);
  if (ec) {
    folder.readable = false;
    problems.push_back(folder.folder + ": 无法读取文件夹 (" + ec.message() + ")");
    return;
  }
  std::vector<fs::path> paths;
  for (fs::directory_iterator end; it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    std::string name = it->path().filename().u8string();
    if (DeviceSeesName(name)) paths.push_back(it->path());
  }
  if (ec) {
    folder.readable = false;
    problems.push_back(folder.folder + ": 无法读取文件夹 (" + ec.message() + ")");
  }
  std::sort(paths.begin(), paths.end());

  std::map<FormatKey, int> formats;
  for (const fs::path& file : paths) {
    WavFile wav{file.filename().u8string(), ReadWavFile(file)};
    if (wav.info.ok()) {
      ++folder.goodFiles;
      ++formats[FormatKey{wav.info.channels, wav.info.sampleRate, wav.info.bitsPerSample}];
    } else {
      problems.push_back(folder.folder + "\\" + wav.name + ": " + wav.info.detail);
    }
    folder.files.push_back(std::move(wav));
  }
  if (folder.files.empty() && folder.readable) problems.push_back(folder.folder + ": 没有 .wav 文件");
  folder.mixedFormats = formats.size() > 1;
  if (folder.mixedFormats) {
    std::string text = folder.folder + ": 文件格式不一致：";
    bool first = true;
    for (const auto& [key, count] : formats) {
      text += (first ? "" : "，") + Num(static_cast<uint64_t>(count)) + " 个 " + FormatWords(key);
      first = false;
    }
    problems.push_back(text);
  }
}

const FolderCheck* FindFolder(const CardReport& report, int page, int kind) {
  for (const FolderCheck& folder : report.folders) {
    if (folder.page == page && folder.kind == kind) return &folder;
  }
  return nullptr;
}

void ReadSettings(const fs::path& file, CardReport& report) {
  std::error_code ec;
  if (!fs::exists(file, ec)) {
    report.settings = SettingsState::kMissing;
    return;
  }
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

}  // namespace

std::string KindCaption(int kind) {
  if (ValidKind(kind)) return kSoundKinds[kind].caption;
  return Num(static_cast<uint64_t>(kind)) + " (无此种类)";
}

std::vector<SettingField> DecodeSettings(const BroadcastConfig& c) {
  std::vector<SettingField> fields;
  for (const FieldInfo& info : kScalarFields) fields.push_back(DecodeScalar(info, c));
  for (int plan = 0; plan < kPlanCount; ++plan) {
    for (const HourRow& row : kHourRows) {
      SettingField field;
      int entry = PlanEntry(plan, row.hour);
      field.name = "type[" + Num(entry) + "]";
      field.caption = std::string(kPlanCaptions[plan]) + " " + row.caption;
      field.value = c.type[entry];
      field.text = KindCaption(field.value);
      if (!ValidKind(field.value)) {
        field.problem = Num(field.value) + " 不是对话框的选项 (0..9: " + kSoundKinds[0].caption + ".." +
                        kSoundKinds[kSoundKindCount - 1].caption + ")";
      }
      fields.push_back(std::move(field));
    }
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
  for (const AudioEntry& entry : kAudioEntries) {
    if (entry.page != page || (page >= kFirstKindPage && entry.kind != kind)) continue;
    char folder[kPathSize];
    if (FolderOfEntry(entry.id, folder, sizeof folder)) return folder;
  }
  return "";
}

CardReport CheckCard(const fs::path& card) {
  CardReport report;
  report.directory = card.u8string();
  ReadSettings(card / kConfigFileName, report);
  const std::string file = kConfigFileName;
  switch (report.settings) {
    case SettingsState::kMissing:
      report.problems.push_back("没有 " + file);
      return report;
    case SettingsState::kUnreadable:
      report.problems.push_back("无法读取 " + file);
      return report;
    case SettingsState::kWrongSize:
      report.problems.push_back(file + " 有 " + Num(report.settingsSize) + " 字节，应为 " + Num(kConfigSize) +
                                " 字节");
      return report;
    case SettingsState::kRead:
      break;
  }

  const BroadcastConfig& c = report.config;
  report.fields = DecodeSettings(c);
  for (const SettingField& field : report.fields) {
    if (!field.ok()) report.problems.push_back("设置 " + field.caption + ": " + field.problem);
  }
  if (!report.PlaybackOn()) return report;

  report.pagesInUse = PagesInUse(c);
  for (int page : report.pagesInUse) {
    if (page < kFirstKindPage) {
      report.folders.push_back(FolderCheck{});
      report.folders.back().page = page;
      report.folders.back().folder = FolderOf(page, kNoKind);
    } else {
      for (int kind : KindsOfPlan(c, page - kFirstKindPage)) {
        report.folders.push_back(FolderCheck{});
        report.folders.back().page = page;
        report.folders.back().kind = kind;
        report.folders.back().folder = FolderOf(page, kind);
      }
    }
  }
  for (FolderCheck& folder : report.folders) CheckFolder(card, folder, report.problems);

  for (int page : report.pagesInUse) {
    if (page < kFirstKindPage) continue;
    PlanCheck plan;
    plan.plan = page - kFirstKindPage;
    for (const HourRow& row : kHourRows) {
      HourCheck hour;
      hour.hour = row.hour;
      hour.kind = c.type[PlanEntry(plan.plan, row.hour)];
      const FolderCheck* folder = FindFolder(report, page, hour.kind);
      hour.goodFiles = folder != nullptr ? folder->goodFiles : 0;
      if (!hour.ok()) {
        std::string where =
            folder != nullptr ? folder->folder + " 里没有可用的 .wav 文件" : "这个小时不会播放";
        report.problems.push_back(std::string(kPlanCaptions[plan.plan]) + " " + row.caption + " " +
                                  KindCaption(hour.kind) + ": " + where);
      }
      plan.hours.push_back(hour);
    }
    report.plans.push_back(std::move(plan));
  }
  return report;
}

// ---- text ---------------------------------------------------------------------

namespace {

// Marks a problem at the end of a line, or alone after a colon.
constexpr const char* kMark = "  [!] ";
constexpr const char* kMarkAlone = "[!] ";

std::string FieldLine(const SettingField& field) {
  std::string line = "  " + field.caption + ": " + field.text;
  if (!field.ok()) line += kMark + field.problem;
  return line + "\n";
}

std::string Verdict(const CardReport& report) {
  if (report.Ready()) return "结论: 存储卡可以使用 (0 个问题)\n";
  return "结论: 存储卡还不能使用 (" + Num(report.problems.size()) + " 个问题)\n";
}

}  // namespace

std::string RenderText(const CardReport& report) {
  std::string out = "存储卡: " + report.directory + "\n\n";
  const std::string file = kConfigFileName;
  if (report.settings != SettingsState::kRead) {
    out += "[设置] " + file + kMark + report.problems.front() + "\n\n";
    return out + Verdict(report);
  }

  out += "[设置] " + file + ", " + Num(report.settingsSize) + " 字节\n";
  std::size_t scalarCount = std::size(kScalarFields);
  for (std::size_t i = 0; i < scalarCount && i < report.fields.size(); ++i)
    out += FieldLine(report.fields[i]);
  for (int plan = 0; plan < kPlanCount; ++plan) {
    out += "  " + std::string(kPlanCaptions[plan]) + "计划:\n";
    constexpr int kPerLine = 6;
    for (int first = 0; first < kHoursPerPlan; first += kPerLine) {
      char hours[24];
      std::snprintf(hours, sizeof hours, "    %02d-%02d时:", first, first + kPerLine - 1);
      out += hours;
      std::string marks;
      for (int hour = first; hour < first + kPerLine; ++hour) {
        std::size_t index = scalarCount + static_cast<std::size_t>(PlanEntry(plan, hour));
        if (index >= report.fields.size()) continue;
        const SettingField& field = report.fields[index];
        out += " " + field.text;
        if (!field.ok()) marks += kMark + field.caption + ": " + field.problem;
      }
      out += marks + "\n";
    }
  }

  out += "\n[播放]\n";
  if (!report.PlaybackOn()) {
    out += "  播放开关不是“开”：设备不播放声音，不检查音频文件\n";
  } else if (report.pagesInUse.empty()) {
    out += "  没有使用中的播放方式，不检查音频文件\n";
  }
  for (int page : report.pagesInUse) {
    std::string folder = kPageFolders[page];
    if (page >= kFirstKindPage) folder += "\\<种类>";
    out += "  " + std::string(kCopyPageCaptions[page]) + ": " + folder + "\n";
  }

  if (!report.folders.empty()) out += "\n[文件]\n";
  for (const FolderCheck& folder : report.folders) {
    out += "  " + folder.folder + ": ";
    if (!folder.exists) {
      out += std::string(kMarkAlone) + "文件夹不存在\n";
      continue;
    }
    out += Num(folder.files.size()) + " 个文件，" + Num(static_cast<uint64_t>(folder.goodFiles)) + " 个可用";
    if (folder.files.empty()) out += kMark + std::string("没有 .wav 文件");
    if (folder.mixedFormats) out += kMark + std::string("文件格式不一致");
    out += "\n";
    for (const WavFile& wav : folder.files) {
      out += "    " + wav.name + "  ";
      out += wav.info.ok() ? WavWords(wav.info) : std::string(kMarkAlone) + wav.info.detail;
      out += "\n";
    }
  }

  for (const PlanCheck& plan : report.plans) {
    out += "\n[" + std::string(kPlanCaptions[plan.plan]) + "计划]\n";
    for (const HourCheck& hour : plan.hours) {
      out += "  " + std::string(kHourRows[hour.hour].caption) + "  " + KindCaption(hour.kind) + "  " +
             Num(static_cast<uint64_t>(hour.goodFiles)) + " 个文件";
      if (!hour.ok()) out += kMark + std::string("没有可用的文件");
      out += "\n";
    }
  }

  if (!report.problems.empty()) {
    out += "\n[问题]\n";
    for (std::size_t i = 0; i < report.problems.size(); ++i) {
      out += "  " + Num(i + 1) + ". " + report.problems[i] + "\n";
    }
  }
  return out + "\n" + Verdict(report);
}

// ---- JSON ---------------------------------------------------------------------

namespace {

// Length of the UTF-8 sequence at s[i], 0 when it is not one.
std::size_t Utf8Length(const std::string& s, std::size_t i) {
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char lead = byte(i);
  std::size_t length;
  uint32_t min;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > s.size()) return 0;
  uint32_t code = lead & (0xFF >> (length + 1));
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

std::string Bool(bool b) { return b ? "true" : "false"; }

std::string FieldJson(const SettingField& field) {
  return "{\"field\":" + JsonString(field.name) + ",\"caption\":" + JsonString(field.caption) +
         ",\"value\":" + Num(static_cast<uint64_t>(field.value)) + ",\"text\":" + JsonString(field.text) +
         ",\"ok\":" + Bool(field.ok()) + (field.ok() ? "" : ",\"problem\":" + JsonString(field.problem)) +
         "}";
}

std::string WavJson(const WavFile& wav) {
  std::string out = "{\"name\":" + JsonString(wav.name) + ",\"ok\":" + Bool(wav.info.ok());
  if (!wav.info.ok()) return out + ",\"problem\":" + JsonString(wav.info.detail) + "}";
  const WavInfo& info = wav.info;
  out += ",\"format\":" + JsonString(FormatName(info)) + ",\"format_tag\":" + Num(info.formatTag);
  if (info.formatTag == kWaveExtensible) out += ",\"sub_format\":" + Num(info.subFormat);
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.3f", info.Seconds());
  return out + ",\"channels\":" + Num(info.channels) + ",\"sample_rate\":" + Num(info.sampleRate) +
         ",\"bits_per_sample\":" + Num(info.bitsPerSample) + ",\"seconds\":" + seconds + "}";
}

template <typename T, typename Fn>
std::string JsonArray(const std::vector<T>& items, Fn item) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) out += (i > 0 ? "," : "") + item(items[i]);
  return out + "]";
}

const char* StateName(SettingsState state) {
  switch (state) {
    case SettingsState::kMissing:
      return "missing";
    case SettingsState::kUnreadable:
      return "unreadable";
    case SettingsState::kWrongSize:
      return "wrong_size";
    case SettingsState::kRead:
      break;
  }
  return "ok";
}

}  // namespace

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size();) {
    unsigned char ch = static_cast<unsigned char>(s[i]);
    std::size_t length = Utf8Length(s, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
      continue;
    }
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += static_cast<char>(ch);
    } else if (ch == '\n') {
      out += "\\n";
    } else if (ch == '\t') {
      out += "\\t";
    } else if (ch < 0x20 || ch == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", ch);
      out += escape;
    } else {
      out.append(s, i, length);
    }
    i += length;
  }
  return out + "\"";
}

std::string RenderJson(const CardReport& report) {
  std::string out = "{\"card\":" + JsonString(report.directory);
  out += ",\"settings\":{\"file\":" + JsonString(kConfigFileName) +
         ",\"state\":" + JsonString(StateName(report.settings));
  if (report.settings != SettingsState::kMissing) out += ",\"size\":" + Num(report.settingsSize);
  out += ",\"fields\":" + JsonArray(report.fields, FieldJson) + "}";
  out += ",\"playback\":" + Bool(report.PlaybackOn());
  out += ",\"in_use\":" + JsonArray(report.pagesInUse, [](int page) {
           std::string folder = kPageFolders[page];
           if (page >= kFirstKindPage) folder += "\\<kind>";
           return "{\"page\":" + Num(static_cast<uint64_t>(page)) +
                  ",\"caption\":" + JsonString(kCopyPageCaptions[page]) +
                  ",\"folder\":" + JsonString(folder) + "}";
         });
  out += ",\"folders\":" + JsonArray(report.folders, [](const FolderCheck& folder) {
           std::string kind = folder.kind >= 0 ? JsonString(KindCaption(folder.kind)) : "null";
           return "{\"folder\":" + JsonString(folder.folder) +
                  ",\"caption\":" + JsonString(kCopyPageCaptions[folder.page]) + ",\"kind\":" + kind +
                  ",\"exists\":" + Bool(folder.exists) +
                  ",\"good_files\":" + Num(static_cast<uint64_t>(folder.goodFiles)) +
                  ",\"mixed_formats\":" + Bool(folder.mixedFormats) +
                  ",\"files\":" + JsonArray(folder.files, WavJson) + "}";
         });
  out += ",\"plans\":" + JsonArray(report.plans, [](const PlanCheck& plan) {
           return "{\"plan\":" + JsonString(kPlanCaptions[plan.plan]) + ",\"hours\":" +
                  JsonArray(plan.hours,
                            [](const HourCheck& hour) {
                              return "{\"hours\":" + JsonString(kHourRows[hour.hour].caption) +
                                     ",\"kind\":" + Num(static_cast<uint64_t>(hour.kind)) +
                                     ",\"caption\":" + JsonString(KindCaption(hour.kind)) +
                                     ",\"files\":" + Num(static_cast<uint64_t>(hour.goodFiles)) +
                                     ",\"ok\":" + Bool(hour.ok()) + "}";
                            }) +
                  "}";
         });
  out += ",\"problems\":" + JsonArray(report.problems, JsonString);
  out += ",\"problem_count\":" + Num(report.problems.size()) + ",\"ready\":" + Bool(report.Ready()) + "}\n";
  return out;
}
