#include "cardcheck/day_picture.h"

#include "cardcheck/check_texts.h"
#include "common/text_format.h"
#include "settings/playback_pages.h"
#include "settings/record_fields.h"

namespace {

// The values beside the rows, in the order they are shown.
constexpr std::array<const char*, 6> kValueFields = {{
    RecordFieldOf(&BroadcastConfig::Vol).name,
    RecordFieldOf(&BroadcastConfig::Dly).name,
    RecordFieldOf(&BroadcastConfig::PlayDaysA).name,
    RecordFieldOf(&BroadcastConfig::PlayDaysB).name,
    RecordFieldOf(&BroadcastConfig::PauseDays).name,
    RecordFieldOf(&BroadcastConfig::TMLPen).name,
}};
// The capture interval, shown as one value.
constexpr std::array<const char*, 3> kIntervalFields = {{
    RecordFieldOf(&BroadcastConfig::IntervalHour).name,
    RecordFieldOf(&BroadcastConfig::IntervalMinute).name,
    RecordFieldOf(&BroadcastConfig::IntervalSecond).name,
}};

// The decoded field the record calls name; every scalar field is decoded.
const SettingField& FieldNamed(const std::vector<SettingField>& fields, const char* name) {
  for (const SettingField& field : fields) {
    if (field.name == name) return field;
  }
  static const SettingField kNone;
  return kNone;
}

// The decoded field stored in member.
const SettingField& FieldOf(const std::vector<SettingField>& fields, uint8_t BroadcastConfig::*member) {
  for (const RecordField& info : kRecordFields) {
    if (info.member == member) return FieldNamed(fields, info.name);
  }
  return FieldNamed(fields, "");
}

std::string Said(const SettingField& field) {
  return Format(kTextDayReason, field.caption.c_str(), field.text.c_str());
}

// Why plan's row is not played hour by hour: the first setting that stops
// it, in its own words; empty when the row is in use. The conditions are
// those of the plan's by-hour copy page, as the device plays from it.
std::string WhyNotInUse(int plan, const BroadcastConfig& c, const std::vector<SettingField>& fields) {
  const CopyPageInfo& byHour = kCopyPages[kPlanPages[plan].copyPage];
  if (c.Ena != 1) return Said(FieldOf(fields, &BroadcastConfig::Ena));
  if (byHour.timed && c.TimerMod != 1) return Said(FieldOf(fields, &BroadcastConfig::TimerMod));
  if (ModeChoosesPage(byHour, c)) return "";
  const SettingField& mode = FieldOf(fields, byHour.mode);
  // The same mode field choosing the random page: the plan plays, but not by hour.
  for (const CopyPageInfo& page : kCopyPages) {
    if (!page.perKind && page.mode == byHour.mode && ModeChoosesPage(page, c))
      return Format(kTextDayReason, mode.text.c_str(), kTextDayNotByHour);
  }
  return Said(mode);
}

const FolderCheck* FindFolder(const CardReport& report, int page, int kind) {
  for (const FolderCheck& folder : report.folders) {
    if (folder.page == page && folder.kind == kind) return &folder;
  }
  return nullptr;
}

DayRow DescribeRow(int plan, const CardReport& report, const std::vector<SettingField>& fields) {
  DayRow row;
  row.title = kPlanPages[plan].caption;
  row.reason = WhyNotInUse(plan, report.config, fields);
  row.inUse = row.reason.empty();
  for (int hour = 0; hour < kHoursPerPlan; ++hour) {
    DayCell& cell = row.cells[hour];
    cell.hour = hour;
    cell.kind = report.config.type[PlanEntry(plan, hour)];
    cell.known = cell.kind >= 0 && cell.kind < kSoundKindCount;
    cell.caption = KindCaption(cell.kind);
    cell.colour = cell.known ? kKindColours[cell.kind] : kNoKindColour;
    if (!row.inUse) continue;
    const FolderCheck* folder = FindFolder(report, kPlanPages[plan].copyPage, cell.kind);
    cell.files = folder != nullptr ? folder->goodFiles : 0;
    cell.noFiles = cell.files == 0;
  }
  return row;
}

std::vector<DayValue> DescribeValues(const std::vector<SettingField>& fields) {
  std::vector<DayValue> values;
  for (const char* name : kValueFields) {
    const SettingField& field = FieldNamed(fields, name);
    values.push_back({field.caption, field.text});
  }
  DayValue interval{kTextDayInterval, ""};
  for (const char* name : kIntervalFields) {
    if (!interval.text.empty()) interval.text += kTextDayIntervalSeparator;
    interval.text += FieldNamed(fields, name).text;
  }
  values.push_back(interval);
  return values;
}

}  // namespace

DayPicture DescribeDay(const CardReport& report) {
  DayPicture picture;
  if (report.settings != SettingsState::kRead) return picture;
  picture.drawn = true;
  // A report put together without CheckCard may lack the decoded fields.
  std::vector<SettingField> decoded;
  if (report.fields.empty()) decoded = DecodeSettings(report.config);
  const std::vector<SettingField>& fields = report.fields.empty() ? decoded : report.fields;
  for (int plan = 0; plan < kPlanCount; ++plan) picture.rows[plan] = DescribeRow(plan, report, fields);
  picture.values = DescribeValues(fields);
  return picture;
}
