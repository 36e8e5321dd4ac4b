#include "cardcheck/card_render.h"

#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "settings/config_names.h"
#include "settings/playback_pages.h"
#include "settings/record_fields.h"

namespace {

std::string Num(uint64_t n) { return std::to_string(n); }

// ---- text ---------------------------------------------------------------------

// The playback switch, as the dialog names it and its "on".
constexpr const RecordField& kSwitch = RecordFieldOf(&BroadcastConfig::Ena);

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

// A plan's 24 entries, six hours a line, with the problems of a line at its end.
std::string PlanLines(const CardReport& report, int plan) {
  std::string out = "  " + std::string(kPlanPages[plan].caption) + "计划:\n";
  constexpr int kPerLine = 6;
  for (int first = 0; first < kHoursPerPlan; first += kPerLine) {
    char hours[24];
    std::snprintf(hours, sizeof hours, "    %02d-%02d时:", first, first + kPerLine - 1);
    out += hours;
    std::string marks;
    for (int hour = first; hour < first + kPerLine; ++hour) {
      std::size_t index = kRecordFieldCount + static_cast<std::size_t>(PlanEntry(plan, hour));
      if (index >= report.fields.size()) continue;
      const SettingField& field = report.fields[index];
      out += " " + field.text;
      if (!field.ok()) marks += kMark + field.caption + ": " + field.problem;
    }
    out += marks + "\n";
  }
  return out;
}

std::string SettingsText(const CardReport& report) {
  std::string out = "[设置] " + std::string(kConfigFileName) + ", " + Num(report.settingsSize) + " 字节\n";
  for (std::size_t i = 0; i < kRecordFieldCount && i < report.fields.size(); ++i)
    out += FieldLine(report.fields[i]);
  for (int plan = 0; plan < kPlanCount; ++plan) out += PlanLines(report, plan);
  return out;
}

std::string PlaybackText(const CardReport& report) {
  std::string out = "\n[播放]\n";
  if (!report.PlaybackOn()) {
    out += "  " + std::string(kSwitch.caption) + "不是“" + kSwitch.items[1] +
           "”：设备不播放声音，不检查音频文件\n";
  } else if (report.pagesInUse.empty()) {
    out += "  没有使用中的播放方式，不检查音频文件\n";
  }
  for (int page : report.pagesInUse) {
    std::string folder = kCopyPages[page].folder;
    if (kCopyPages[page].perKind) folder += "\\<种类>";
    out += "  " + std::string(kCopyPages[page].caption) + ": " + folder + "\n";
  }
  return out;
}

std::string WavWords(const WavInfo& info) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f", info.Seconds());
  return FormatName(info) + " " + FormatWords(info.channels, info.sampleRate, info.bitsPerSample) + " " +
         seconds + kUnitSeconds;
}

std::string FolderText(const FolderCheck& folder) {
  std::string out = "  " + folder.folder + ": ";
  if (!folder.exists) return out + kMarkAlone + "文件夹不存在\n";
  out += Num(folder.files.size()) + " 个文件，" + Num(static_cast<uint64_t>(folder.goodFiles)) + " 个可用";
  if (folder.files.empty()) out += kMark + std::string("没有 .wav 文件");
  if (folder.mixedFormats) out += kMark + std::string("文件格式不一致");
  out += "\n";
  for (const WavFile& wav : folder.files) {
    out += "    " + wav.name + "  ";
    out += wav.info.ok() ? WavWords(wav.info) : std::string(kMarkAlone) + wav.info.detail;
    out += "\n";
  }
  return out;
}

std::string PlanText(const PlanCheck& plan) {
  std::string out = "\n[" + std::string(kPlanPages[plan.plan].caption) + "计划]\n";
  for (const HourCheck& hour : plan.hours) {
    out += "  " + std::string(kHourCaptions[hour.hour]) + "  " + KindCaption(hour.kind) + "  " +
           Num(static_cast<uint64_t>(hour.goodFiles)) + " 个文件";
    if (!hour.ok()) out += kMark + std::string("没有可用的文件");
    out += "\n";
  }
  return out;
}

std::string ProblemsText(const CardReport& report) {
  if (report.problems.empty()) return "";
  std::string out = "\n[问题]\n";
  for (std::size_t i = 0; i < report.problems.size(); ++i) {
    out += "  " + Num(i + 1) + ". " + report.problems[i] + "\n";
  }
  return out;
}

// ---- JSON ---------------------------------------------------------------------

// Keys in the order they are added.
using Json = nlohmann::ordered_json;

std::string Dump(const Json& json) { return json.dump(-1, ' ', false, Json::error_handler_t::replace); }

Json FieldJson(const SettingField& field) {
  Json json = {{"field", field.name},
               {"caption", field.caption},
               {"value", field.value},
               {"text", field.text},
               {"ok", field.ok()}};
  if (!field.ok()) json["problem"] = field.problem;
  return json;
}

// A number given to three decimals, as the report states durations.
double ThreeDecimals(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", value);
  return std::strtod(text, nullptr);
}

Json WavJson(const WavFile& wav) {
  Json json = {{"name", wav.name}, {"ok", wav.info.ok()}};
  const WavInfo& info = wav.info;
  if (!info.ok()) {
    json["problem"] = info.detail;
    return json;
  }
  json["format"] = FormatName(info);
  json["format_tag"] = info.formatTag;
  if (info.formatTag == kWaveExtensible) json["sub_format"] = info.subFormat;
  json["channels"] = info.channels;
  json["sample_rate"] = info.sampleRate;
  json["bits_per_sample"] = info.bitsPerSample;
  json["seconds"] = ThreeDecimals(info.Seconds());
  return json;
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

Json SettingsJson(const CardReport& report) {
  Json json = {{"file", kConfigFileName}, {"state", StateName(report.settings)}};
  if (report.settings != SettingsState::kMissing) json["size"] = report.settingsSize;
  json["fields"] = Json::array();
  for (const SettingField& field : report.fields) json["fields"].push_back(FieldJson(field));
  return json;
}

Json InUseJson(int page) {
  std::string folder = kCopyPages[page].folder;
  if (kCopyPages[page].perKind) folder += "\\<kind>";
  return {{"page", page}, {"caption", kCopyPages[page].caption}, {"folder", folder}};
}

Json FolderJson(const FolderCheck& folder) {
  Json json = {{"folder", folder.folder}, {"caption", kCopyPages[folder.page].caption}};
  json["kind"] = folder.kind >= 0 ? Json(KindCaption(folder.kind)) : Json(nullptr);
  json["exists"] = folder.exists;
  json["good_files"] = folder.goodFiles;
  json["mixed_formats"] = folder.mixedFormats;
  json["files"] = Json::array();
  for (const WavFile& wav : folder.files) json["files"].push_back(WavJson(wav));
  return json;
}

Json PlanJson(const PlanCheck& plan) {
  Json hours = Json::array();
  for (const HourCheck& hour : plan.hours) {
    hours.push_back({{"hours", kHourCaptions[hour.hour]},
                     {"kind", hour.kind},
                     {"caption", KindCaption(hour.kind)},
                     {"files", hour.goodFiles},
                     {"ok", hour.ok()}});
  }
  return {{"plan", kPlanPages[plan.plan].caption}, {"hours", hours}};
}

}  // namespace

std::string RenderText(const CardReport& report) {
  std::string out = "存储卡: " + report.directory + "\n\n";
  if (report.settings != SettingsState::kRead) {
    out += "[设置] " + std::string(kConfigFileName) + kMark + report.problems.front() + "\n\n";
    return out + Verdict(report);
  }
  out += SettingsText(report) + PlaybackText(report);
  if (!report.folders.empty()) out += "\n[文件]\n";
  for (const FolderCheck& folder : report.folders) out += FolderText(folder);
  for (const PlanCheck& plan : report.plans) out += PlanText(plan);
  return out + ProblemsText(report) + "\n" + Verdict(report);
}

std::string RenderJson(const CardReport& report) {
  Json json = {
      {"card", report.directory}, {"settings", SettingsJson(report)}, {"playback", report.PlaybackOn()}};
  json["in_use"] = Json::array();
  for (int page : report.pagesInUse) json["in_use"].push_back(InUseJson(page));
  json["folders"] = Json::array();
  for (const FolderCheck& folder : report.folders) json["folders"].push_back(FolderJson(folder));
  json["plans"] = Json::array();
  for (const PlanCheck& plan : report.plans) json["plans"].push_back(PlanJson(plan));
  json["problems"] = report.problems;
  json["problem_count"] = report.problems.size();
  json["ready"] = report.Ready();
  return Dump(json) + "\n";
}

std::string JsonString(const std::string& s) { return Dump(Json(s)); }
