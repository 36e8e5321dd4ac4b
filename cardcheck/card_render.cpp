#include "cardcheck/card_render.h"

#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "cardcheck/check_texts.h"
#include "cardcheck/fingerprint.h"
#include "common/text_format.h"
#include "settings/config_names.h"
#include "settings/playback_pages.h"
#include "settings/record_fields.h"

namespace {

// ---- text ---------------------------------------------------------------------

// The playback switch, as the dialog names it and its "on".
constexpr const RecordField& kSwitch = RecordFieldOf(&BroadcastConfig::Ena);

unsigned long long U(uint64_t n) { return n; }

std::string FieldLine(const SettingField& field) {
  std::string line = Format(kTextFieldLine, field.caption.c_str(), field.text.c_str());
  if (!field.ok()) line += kTextMark + field.problem;
  return line + "\n";
}

// A fingerprint from the record, short; as written there when it is none.
std::string ShortCode(const std::string& recorded) {
  std::string digits;
  if (ParseFingerprint(recorded, digits)) return ShortFingerprint(digits);
  return recorded.empty() ? kTextRecordNone : recorded;
}

// The warnings, the fingerprint and what the record says, then the verdict.
std::string Verdict(const CardReport& report) {
  std::string out;
  for (const std::string& warning : report.warnings) out += Format(kTextWarningLine, warning.c_str());
  if (!report.fingerprint.empty())
    out += Format(kTextFingerprint, ShortFingerprint(report.fingerprint).c_str());
  if (report.record.asked) out += RecordText(report);
  return out + VerdictLine(report);
}

// A plan's 24 entries, six hours a line, with the problems of a line at its end.
std::string PlanLines(const CardReport& report, int plan) {
  std::string out = Format(kTextPlanHeading, kPlanPages[plan].caption);
  constexpr int kPerLine = 6;
  for (int first = 0; first < kHoursPerPlan; first += kPerLine) {
    out += Format(kTextPlanHours, first, first + kPerLine - 1);
    std::string marks;
    for (int hour = first; hour < first + kPerLine; ++hour) {
      std::size_t index = kRecordFieldCount + static_cast<std::size_t>(PlanEntry(plan, hour));
      if (index >= report.fields.size()) continue;
      const SettingField& field = report.fields[index];
      out += " " + field.text;
      if (!field.ok()) marks += Format(kTextMarkedEntry, field.caption.c_str(), field.problem.c_str());
    }
    out += marks + "\n";
  }
  return out;
}

std::string SettingsText(const CardReport& report) {
  std::string out = Format(kTextSettingsHeading, kConfigFileName, U(report.settingsSize));
  for (std::size_t i = 0; i < kRecordFieldCount && i < report.fields.size(); ++i)
    out += FieldLine(report.fields[i]);
  for (int plan = 0; plan < kPlanCount; ++plan) out += PlanLines(report, plan);
  return out;
}

std::string PlaybackText(const CardReport& report) {
  std::string out = kTextPlaybackHeading;
  if (!report.PlaybackOn()) {
    out += Format(kTextPlaybackNotOn, kSwitch.caption, kSwitch.items[1]);
  } else if (report.pagesInUse.empty()) {
    out += kTextNothingInUse;
  }
  for (int page : report.pagesInUse) {
    std::string folder = kCopyPages[page].folder;
    if (kCopyPages[page].perKind) folder += kTextKindSubfolder;
    out += Format(kTextInUse, kCopyPages[page].caption, folder.c_str());
  }
  return out;
}

std::string WavWords(const WavInfo& info) {
  std::string name = FormatName(info);
  std::string words = FormatWords(info.channels, info.sampleRate, info.bitsPerSample);
  return Format(kTextWavWords, name.c_str(), words.c_str(), info.Seconds(), kUnitSeconds);
}

std::string FolderText(const FolderCheck& folder) {
  std::string out = Format(kTextFolderLine, folder.folder.c_str());
  if (!folder.exists) return out + kTextMarkAlone + kTextFolderNotThere;
  out += Format(kTextFolderCounts, U(folder.files.size()), folder.goodFiles);
  if (folder.files.empty()) out += std::string(kTextMark) + kTextNoSoundsMark;
  if (folder.mixedFormats) out += std::string(kTextMark) + kTextMixedMark;
  out += "\n";
  for (const WavFile& wav : folder.files) {
    out += Format(kTextFileLine, wav.name.c_str());
    out += wav.info.ok() ? WavWords(wav.info) : std::string(kTextMarkAlone) + wav.info.detail;
    out += "\n";
  }
  return out;
}

std::string PlanText(const PlanCheck& plan) {
  std::string out = Format(kTextPlanCheckHeading, kPlanPages[plan.plan].caption);
  for (const HourCheck& hour : plan.hours) {
    out += Format(kTextHourLine, kHourCaptions[hour.hour], KindCaption(hour.kind).c_str(), hour.goodFiles);
    if (!hour.ok()) out += std::string(kTextMark) + kTextNoGoodFiles;
    out += "\n";
  }
  return out;
}

std::string ProblemsText(const CardReport& report) {
  if (report.problems.empty()) return "";
  std::string out = kTextProblemsHeading;
  for (std::size_t i = 0; i < report.problems.size(); ++i) {
    out += Format(kTextProblemLine, U(i + 1), report.problems[i].c_str());
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

// What the record says: the card as it was looked up, then its row; null
// for what there is not.
Json RecordJson(const CardReport& report) {
  const RecordCheck& r = report.record;
  auto found = [&](const std::string& text) { return r.found ? Json(text) : Json(nullptr); };
  Json json = {{"file", r.file},
               {"serial", r.serial.empty() ? Json(nullptr) : Json(r.serial)},
               {"label", r.label},
               {"capacity", r.capacity},
               {"found", r.found},
               {"time", found(r.time)},
               {"golden_fingerprint", found(r.goldenFingerprint)},
               {"card_fingerprint", r.cardFingerprint.empty() ? Json(nullptr) : found(r.cardFingerprint)},
               {"result", r.found ? Json(r.ready ? "ready" : "failed") : Json(nullptr)},
               {"reason", found(r.reason)}};
  const bool compared = r.found && !r.cardFingerprint.empty() && !report.fingerprint.empty();
  json["same"] = compared ? Json(r.same) : Json(nullptr);
  json["skipped_lines"] = r.skipped;
  return json;
}

}  // namespace

std::string VerdictLine(const CardReport& report) {
  if (report.Ready()) return kTextReady;
  return Format(kTextNotReady, U(report.problems.size()));
}

std::string RecordText(const CardReport& report) {
  const RecordCheck& r = report.record;
  std::string out;
  if (!r.isRoot) {
    out = kTextRecordNotADrive;
  } else if (r.serial.empty()) {
    out = kTextRecordNoSerial;
  } else if (!r.found) {
    out = Format(kTextRecordNotFound, r.serial.c_str(), r.label.empty() ? kTextRecordNone : r.label.c_str(),
                 SizeText(r.capacity).c_str());
  } else if (!r.ready) {
    out = Format(kTextRecordFailed, r.shortTime.c_str(), r.reason.c_str());
  } else {
    out = Format(kTextRecordWritten, r.shortTime.c_str(), ShortCode(r.goldenFingerprint).c_str());
    if (report.fingerprint.empty()) {
      out += Format(kTextRecordThen, ShortCode(r.cardFingerprint).c_str());
    } else if (r.same) {
      out += kTextRecordSame;
    } else {
      out += Format(kTextRecordChanged, ShortFingerprint(report.fingerprint).c_str(),
                    ShortCode(r.cardFingerprint).c_str());
    }
  }
  if (r.skipped > 0) out += Format(kTextRecordSkipped, U(r.skipped));
  return out;
}

std::string RenderText(const CardReport& report) {
  std::string out = Format(kTextCard, report.directory.c_str());
  if (!report.readable) return out + kTextMarkAlone + report.problems.front() + "\n\n" + Verdict(report);
  if (report.settings != SettingsState::kRead) {
    out += Format(kTextSettingsFailed, kConfigFileName, kTextMark, report.problems.front().c_str());
    return out + Verdict(report);
  }
  out += SettingsText(report) + PlaybackText(report);
  if (!report.folders.empty()) out += kTextFilesHeading;
  for (const FolderCheck& folder : report.folders) out += FolderText(folder);
  for (const PlanCheck& plan : report.plans) out += PlanText(plan);
  return out + ProblemsText(report) + "\n" + Verdict(report);
}

std::string RenderJson(const CardReport& report) {
  Json json = {{"card", report.directory},
               {"readable", report.readable},
               {"fingerprint", report.fingerprint.empty() ? Json(nullptr) : Json(report.fingerprint)}};
  if (report.record.asked) json["record"] = RecordJson(report);
  json["settings"] = SettingsJson(report);
  json["playback"] = report.PlaybackOn();
  json["in_use"] = Json::array();
  for (int page : report.pagesInUse) json["in_use"].push_back(InUseJson(page));
  json["folders"] = Json::array();
  for (const FolderCheck& folder : report.folders) json["folders"].push_back(FolderJson(folder));
  json["plans"] = Json::array();
  for (const PlanCheck& plan : report.plans) json["plans"].push_back(PlanJson(plan));
  json["problems"] = report.problems;
  json["problem_count"] = report.problems.size();
  json["warnings"] = report.warnings;
  json["ready"] = report.Ready();
  return Dump(json) + "\n";
}

std::string JsonString(const std::string& s) { return Dump(Json(s)); }
