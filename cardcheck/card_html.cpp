#include "cardcheck/card_html.h"

#include <algorithm>
#include <cstdio>

#include "cardcheck/card_render.h"
#include "cardcheck/check_texts.h"
#include "cardcheck/fingerprint.h"
#include "common/text_format.h"
#include "settings/config_names.h"
#include "settings/playback_pages.h"
#include "settings/record_fields.h"

namespace {

// Beyond this many .wav files a page would run to many sheets: the folders
// are listed with their counts alone.
constexpr int kFilesListedAtMost = 40;

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

unsigned long long U(uint64_t n) { return n; }

// The length of the well-formed UTF-8 sequence at s[i], or 0 with bad set to
// the bytes of its maximal ill-formed subpart (one U+FFFD each, as Unicode
// recommends and as the JSON report does).
std::size_t Utf8Sequence(const std::string& s, std::size_t i, std::size_t& bad) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(s[at]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t follow = 0;
  unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    follow = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    follow = 2;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    follow = 3;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  }
  std::size_t n = 1;
  for (; n <= follow && i + n < s.size(); ++n) {
    const unsigned char b = byte(i + n);
    if (n == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) break;
  }
  if (follow > 0 && n == follow + 1) return n;
  bad = n;
  return 0;
}

std::string Hex(const DayColour& c) { return Format("#%02x%02x%02x", c.r, c.g, c.b); }

// A line of the text report as the page shows it: without the indent and
// the line ends the console needs.
std::string Trimmed(const std::string& line) {
  const std::size_t first = line.find_first_not_of(" \n");
  if (first == std::string::npos) return "";
  return line.substr(first, line.find_last_not_of(" \n") - first + 1);
}

// An element around html: text the caller escaped, or the page's own markup.
std::string Element(const char* tag, const char* cls, const std::string& html) {
  std::string open = cls[0] != '\0' ? Format("<%s class=\"%s\">", tag, cls) : Format("<%s>", tag);
  return open + html + "</" + tag + ">\n";
}

std::string Mark(const std::string& problem) {
  return "<span class=\"mark\">" + HtmlEscape(kTextMarkAlone + problem) + "</span>";
}

// ---- the verdict, as the text report ends --------------------------------------

std::string VerdictHtml(const CardReport& report) {
  std::string out = Element("p", report.Ready() ? "verdict ready" : "verdict notready",
                            HtmlEscape(Trimmed(VerdictLine(report))));
  for (const std::string& warning : report.warnings) out += Element("p", "warning", HtmlEscape(warning));
  if (!report.fingerprint.empty()) {
    out +=
        Element("p", "fingerprint",
                HtmlEscape(Trimmed(Format(kTextFingerprint, ShortFingerprint(report.fingerprint).c_str()))));
  }
  if (report.record.asked) {
    std::string lines = HtmlEscape(Trimmed(RecordText(report)));
    for (std::size_t at = lines.find('\n'); at != std::string::npos; at = lines.find('\n', at))
      lines.replace(at, 1, "<br>");
    out += Element("p", "record", lines);
  }
  return out;
}

// ---- the sections -----------------------------------------------------------------

std::string SettingsHtml(const CardReport& report) {
  std::string out = Element(
      "h2", "", HtmlEscape(Trimmed(Format(kTextSettingsHeading, kConfigFileName, U(report.settingsSize)))));
  // Three fields a row: fourteen fields take five lines of the sheet.
  constexpr std::size_t kPerRow = 3;
  const std::size_t count = std::min(kRecordFieldCount, report.fields.size());
  out += "<table class=\"fields\"><tbody>\n";
  for (std::size_t i = 0; i < count; ++i) {
    const SettingField& field = report.fields[i];
    if (i % kPerRow == 0) out += "<tr>";
    out += "<th>" + HtmlEscape(field.caption) + "</th><td>" + HtmlEscape(field.text);
    if (!field.ok()) out += " " + Mark(field.problem);
    out += "</td>";
    if (i % kPerRow == kPerRow - 1 || i + 1 == count) out += "</tr>\n";
  }
  return out + "</tbody></table>\n";
}

std::string PlaybackHtml(const CardReport& report) {
  std::string out = Element("h2", "", HtmlEscape(Trimmed(kTextPlaybackHeading)));
  constexpr const RecordField& kSwitch = RecordFieldOf(&BroadcastConfig::Ena);
  std::string items;
  if (!report.PlaybackOn()) {
    items +=
        Element("li", "", HtmlEscape(Trimmed(Format(kTextPlaybackNotOn, kSwitch.caption, kSwitch.items[1]))));
  } else if (report.pagesInUse.empty()) {
    items += Element("li", "", HtmlEscape(Trimmed(kTextNothingInUse)));
  }
  for (int page : report.pagesInUse) {
    std::string folder = kCopyPages[page].folder;
    if (kCopyPages[page].perKind) folder += kTextKindSubfolder;
    items +=
        Element("li", "", HtmlEscape(Trimmed(Format(kTextInUse, kCopyPages[page].caption, folder.c_str()))));
  }
  return out + Element("ul", "playback", items);
}

std::string WavHtml(const WavFile& wav) {
  std::string out = "<span class=\"name\">" + HtmlEscape(wav.name) + "</span> ";
  if (!wav.info.ok()) return Element("li", "bad", out + Mark(wav.info.detail));
  const std::string name = FormatName(wav.info);
  const std::string words = FormatWords(wav.info.channels, wav.info.sampleRate, wav.info.bitsPerSample);
  return Element(
      "li", "",
      out + HtmlEscape(Format(kTextWavWords, name.c_str(), words.c_str(), wav.info.Seconds(), kUnitSeconds)));
}

std::string FolderHtml(const FolderCheck& folder, bool listFiles) {
  std::string line = HtmlEscape(Trimmed(Format(kTextFolderLine, folder.folder.c_str())));
  if (!folder.exists) return Element("p", "folder", line + " " + Mark(Trimmed(kTextFolderNotThere)));
  line += " " + HtmlEscape(Format(kTextFolderCounts, U(folder.files.size()), folder.goodFiles));
  if (folder.files.empty()) line += " " + Mark(kTextNoSoundsMark);
  if (folder.mixedFormats) line += " " + Mark(kTextMixedMark);
  std::string out = Element("p", "folder", line);
  if (!listFiles || folder.files.empty()) return out;
  std::string files;
  for (const WavFile& wav : folder.files) files += WavHtml(wav);
  return out + Element("ul", "wavs", files);
}

std::string FilesHtml(const CardReport& report) {
  if (report.folders.empty()) return "";
  std::size_t total = 0;
  for (const FolderCheck& folder : report.folders) total += folder.files.size();
  const bool listFiles = total <= static_cast<std::size_t>(kFilesListedAtMost);
  std::string out = Element("h2", "", HtmlEscape(Trimmed(kTextFilesHeading)));
  if (!listFiles)
    out += Element("p", "omitted", HtmlEscape(Format(kTextHtmlFilesOmitted, U(total), kFilesListedAtMost)));
  for (const FolderCheck& folder : report.folders) out += FolderHtml(folder, listFiles);
  return out;
}

std::string ProblemsHtml(const CardReport& report) {
  if (report.problems.empty()) return "";
  std::string items;
  for (const std::string& problem : report.problems) items += Element("li", "", HtmlEscape(problem));
  return Element("h2", "", HtmlEscape(Trimmed(kTextProblemsHeading))) + Element("ol", "problems", items);
}

// The report's own look, on screen and on paper.
constexpr char kReportStyle[] =
    R"(body { font-family: "Microsoft YaHei", "WenQuanYi Micro Hei", "Noto Sans CJK SC", sans-serif;
  font-size: 10pt; line-height: 1.3; color: #000; background: #fff; max-width: 186mm; margin: 8mm auto; }
h1 { font-size: 13pt; margin: 0 0 4px; overflow-wrap: anywhere; }
h2 { font-size: 10.5pt; margin: 8px 0 3px; border-bottom: 1px solid #999; }
p { margin: 2px 0; }
ul, ol { margin: 2px 0; padding-left: 1.6em; }
.verdict { font-size: 12pt; font-weight: bold; padding: 3px 8px; margin: 4px 0; border-left: 6px solid; }
.verdict.ready { border-color: #2a7d2a; background: #e3f2e3; }
.verdict.notready { border-color: #b22222; background: #f8e1e1; }
.warning { font-weight: bold; color: #8a4b00; }
.mark { color: #b22222; font-weight: bold; }
table.fields { border-collapse: collapse; }
table.fields th { text-align: left; font-weight: normal; color: #444; padding: 0 8px 0 0; white-space: nowrap; }
table.fields td { padding: 0 24px 0 0; }
.folder, .omitted { overflow-wrap: anywhere; }
ul.wavs { columns: 2; column-gap: 16px; font-size: 8.5pt; line-height: 1.2; list-style: none; }
ul.wavs li { overflow-wrap: anywhere; }
ol.problems li { overflow-wrap: anywhere; }
)";

}  // namespace

std::string HtmlEscape(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t bad = 0;
    const std::size_t n = Utf8Sequence(utf8, i, bad);
    if (n == 0) {
      out += kReplacement;
      i += bad;
      continue;
    }
    if (n > 1) {
      out.append(utf8, i, n);
      i += n;
      continue;
    }
    switch (utf8[i++]) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += utf8[i - 1];
    }
  }
  return out;
}

std::string DayPictureHtml(const DayPicture& picture) {
  if (!picture.drawn) return "";
  std::string out = "<div class=\"day-picture\">\n<table class=\"day\">\n<thead><tr><th class=\"corner\">";
  out += HtmlEscape(kTextDayHours) + "</th>";
  for (int hour = 0; hour < kHoursPerPlan; ++hour) out += "<th>" + Format(kTextDayHour, hour) + "</th>";
  out += "</tr></thead>\n<tbody>\n";
  for (const DayRow& row : picture.rows) {
    out += row.inUse ? "<tr class=\"plan\"><th>" : "<tr class=\"plan unused\"><th>";
    out += HtmlEscape(row.title);
    if (!row.inUse) out += "<span class=\"reason\">" + HtmlEscape(row.reason) + "</span>";
    out += "</th>";
    for (const DayCell& cell : row.cells) {
      // A row not in use is all one grey: its kinds are shown, not played.
      const DayColour& colour = row.inUse ? cell.colour : kUnusedColour;
      out += Format("<td data-hour=\"%d\" data-kind=\"%d\"%s style=\"background-color:%s\">", cell.hour,
                    cell.kind, cell.noFiles ? " class=\"nofiles\"" : "", Hex(colour).c_str());
      out += HtmlEscape(cell.caption);
      if (cell.noFiles) out += "<span class=\"files\">" + HtmlEscape(kTextDayNoFiles) + "</span>";
      out += "</td>";
    }
    out += "</tr>\n";
  }
  out += "</tbody>\n</table>\n<dl class=\"day-values\">\n";
  for (const DayValue& value : picture.values)
    out += "<div><dt>" + HtmlEscape(value.caption) + "</dt><dd>" + HtmlEscape(value.text) + "</dd></div>\n";
  return out + "</dl>\n</div>\n";
}

std::string DayPictureStyle() {
  return R"(table.day { border-collapse: collapse; table-layout: fixed; width: 100%; font-size: 8.5pt; line-height: 1.15; }
table.day th, table.day td { border: 1px solid #777; padding: 2px 1px; text-align: center; overflow-wrap: anywhere; }
table.day thead th { font-weight: normal; font-size: 8pt; background: #f2f2f2; }
table.day th.corner, table.day tbody th { width: 6.5em; text-align: left; padding: 2px 3px; }
table.day tbody th { font-weight: bold; background: #fff; }
table.day .reason { display: block; font-weight: normal; font-size: 7.5pt; color: #555; }
table.day tr.unused td { color: #6b6b6b; }
table.day td.nofiles { font-weight: bold;
  background-image: repeating-linear-gradient(135deg, rgba(0, 0, 0, 0.55) 0 1px, transparent 1px 5px); }
table.day td.nofiles .files { display: block; margin-top: 1px; font-size: 7pt; background: #fff; }
dl.day-values { display: flex; flex-wrap: wrap; gap: 2px 16px; margin: 4px 0 0; }
dl.day-values div { display: flex; gap: 4px; }
dl.day-values dt { color: #444; }
dl.day-values dt::after { content: ":"; }
dl.day-values dd { margin: 0; }
)";
}

std::string PrintStyle() {
  return R"(@page { size: A4; margin: 12mm 12mm 14mm; }
* { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
thead { display: table-header-group; }
tr, li, dl div { break-inside: avoid; page-break-inside: avoid; }
.day-picture { break-inside: avoid; page-break-inside: avoid; }
h1, h2 { break-after: avoid; page-break-after: avoid; }
@media print { body { margin: 0; max-width: none; } }
)";
}

std::string RenderHtml(const CardReport& report) {
  std::string out = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n";
  out += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  out += Element("title", "", HtmlEscape(Format(kTextHtmlTitle, report.directory.c_str())));
  out += "<style>\n" + PrintStyle() + DayPictureStyle() + kReportStyle + "</style>\n</head>\n<body>\n";
  out += Element("h1", "", HtmlEscape(Trimmed(Format(kTextCard, report.directory.c_str()))));
  out += VerdictHtml(report);
  if (!report.readable) {
    out += Element("p", "", Mark(report.problems.front()));
  } else if (report.settings != SettingsState::kRead) {
    out += Element("h2", "", HtmlEscape(Trimmed(Format(kTextSettingsFailed, kConfigFileName, "", ""))));
    out += Element("p", "", Mark(report.problems.front()));
  } else {
    out += SettingsHtml(report);
    out += Element("h2", "", HtmlEscape(kTextDayHeading)) + DayPictureHtml(DescribeDay(report));
    out += PlaybackHtml(report) + FilesHtml(report) + ProblemsHtml(report);
  }
  return out + "</body>\n</html>\n";
}
