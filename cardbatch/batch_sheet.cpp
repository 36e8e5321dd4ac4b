#include "cardbatch/batch_sheet.h"

#include "cardbatch/batch_texts.h"
#include "cardcheck/card_html.h"
#include "cardcheck/fingerprint.h"
#include "cloning/cloning_texts.h"
#include "cloning/record_book.h"
#include "common/text_format.h"

namespace {

// The columns the sheet shows, by their place in the record.
enum : std::size_t {
  kTime = 0,
  kDrive = 1,
  kLabel = 2,
  kSerial = 3,
  kCapacity = 4,
  kCardCode = 7,
  kResult = 8,
  kReason = 9
};
constexpr std::size_t kShown[] = {kTime, kDrive, kLabel, kSerial, kCapacity, kResult, kReason, kCardCode};

std::string Cell(const std::string& text) { return "<td>" + HtmlEscape(text) + "</td>"; }

std::string CardRow(const RecordRow& row) {
  std::string cells;
  for (std::size_t column : kShown) {
    switch (column) {
      case kTime:
        cells += Cell(row.time);
        break;
      case kDrive:
        cells += Cell(row.drive);
        break;
      case kLabel:
        cells += Cell(row.label);
        break;
      case kSerial:
        cells += Cell(row.serial);
        break;
      case kCapacity:
        cells += Cell(SizeText(row.capacity));
        break;
      case kResult:
        cells += Cell(row.ready ? kRecordReady : kRecordFailed);
        break;
      case kReason:
        cells += Cell(row.reason);
        break;
      default:
        cells += "<td class=\"code\">" + HtmlEscape(row.cardFingerprint) + "</td>";
        break;
    }
  }
  return std::string(row.ready ? "<tr>" : "<tr class=\"failed\">") + cells + "</tr>\n";
}

constexpr char kSheetStyle[] =
    "body{font-family:\"Microsoft YaHei\",\"WenQuanYi Micro Hei\",sans-serif;font-size:10pt;margin:0}"
    "h1{font-size:15pt;margin:0 0 4mm}h2{font-size:12pt;margin:5mm 0 2mm}"
    "p{margin:1mm 0}.code{font-family:monospace}"
    "table.cards{border-collapse:collapse;width:100%;break-before:auto}"
    "table.cards th,table.cards td{border:1px solid #999;padding:1mm "
    "1.5mm;text-align:left;vertical-align:top}"
    "table.cards th{background:#eee}tr.failed td{background:#fde8e8}"
    ".summary{white-space:pre-line}";

}  // namespace

std::string SheetFileName(std::time_t opened) {
  // "2026-12-10T08:31:05+08:00" -> "2026-12-10-0831"
  const std::string time = LocalTimeText(opened);
  return Format(kTextSheetFileName,
                (time.substr(0, 10) + "-" + time.substr(11, 2) + time.substr(14, 2)).c_str());
}

std::string SheetHtml(const SheetInput& sheet) {
  int ready = 0, failed = 0;
  for (const RecordRow& row : sheet.cards) ++(row.ready ? ready : failed);
  std::string counts = Format(kTextSessionSummary, ready, failed);
  if (sheet.wanted > 0) {
    const int left = sheet.wanted - ready;
    counts += left > 0 ? Format(kTextStillToMake, left) : Format(kTextAllMade, sheet.wanted);
  }
  const std::string title = Format(kTextSheetTitle, LocalTimeText(sheet.opened).substr(0, 10).c_str());
  std::string html = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                     HtmlEscape(title) + "</title>\n<style>" + kSheetStyle + DayPictureStyle() +
                     PrintStyle() + "</style>\n</head>\n<body>\n<h1>" + HtmlEscape(title) + "</h1>\n";
  html += "<h2>" + HtmlEscape(kTextGoldenHeading) + "</h2>\n<p>" + HtmlEscape(sheet.golden) + "</p>\n";
  html += "<p>" +
          HtmlEscape(Format(kTextGoldenFingerprint, ShortFingerprint(sheet.goldenFingerprint).c_str())) +
          " <span class=\"code\">" + HtmlEscape(sheet.goldenFingerprint) + "</span></p>\n";
  html += "<p class=\"summary\">" + HtmlEscape(sheet.goldenSummary) + "</p>\n";
  if (sheet.day.drawn) html += DayPictureHtml(sheet.day);
  html += "<h2>" + HtmlEscape(kTextSheetCards) + "</h2>\n<p>" + HtmlEscape(counts) + "</p>\n";
  const std::vector<std::string>& names = RecordColumnNames();
  html += "<table class=\"cards\">\n<thead><tr>";
  for (std::size_t column : kShown) html += "<th>" + HtmlEscape(names[column]) + "</th>";
  html += "</tr></thead>\n<tbody>\n";
  for (const RecordRow& row : sheet.cards) html += CardRow(row);
  html += "</tbody>\n</table>\n</body>\n</html>\n";
  return html;
}
