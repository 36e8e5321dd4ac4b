#include "cardbatch/day_pane.h"

#include <algorithm>
#include <string>

#include "cardbatch/batch_texts.h"
#include "cardcheck/check_texts.h"
#include "common/file_io_win_text.h"
#include "common/text_format.h"

namespace {

COLORREF ColourOf(const DayColour& colour) { return RGB(colour.r, colour.g, colour.b); }

int TextWidth(HDC dc, const std::wstring& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void Write(HDC dc, const std::string& text, RECT rect, UINT format, COLORREF colour) {
  SetTextColor(dc, colour);
  std::wstring wide = Wide(text);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &rect,
            format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

}  // namespace

void DrawDayPicture(const DRAWITEMSTRUCT& item, const DayPicture& day) {
  HDC dc = item.hDC;
  const RECT area = item.rcItem;
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  if (!day.drawn) return;
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const int line = metrics.tmHeight + 2;
  const int gap = std::max(2, static_cast<int>(metrics.tmAveCharWidth) / 2);
  int titleWidth = 0;
  for (const DayRow& row : day.rows) titleWidth = std::max(titleWidth, TextWidth(dc, Wide(row.title)));
  titleWidth += 2 * gap;
  const int cellsLeft = area.left + titleWidth;
  const int cellWidth = std::max(1, static_cast<int>(area.right - cellsLeft) / kHoursPerPlan);
  const int rowsHeight = std::max(3 * line, static_cast<int>(area.bottom - area.top) - 2 * line);
  const int rowHeight = rowsHeight / kPlanCount;
  const COLORREF ink = GetSysColor(COLOR_BTNTEXT), faint = GetSysColor(COLOR_GRAYTEXT);

  // The hours above the cells.
  for (int hour = 0; hour < kHoursPerPlan; ++hour) {
    RECT cell{cellsLeft + hour * cellWidth, area.top, cellsLeft + (hour + 1) * cellWidth, area.top + line};
    Write(dc, Format("%d", hour), cell, DT_CENTER, faint);
  }
  bool marked = false;
  for (int p = 0; p < kPlanCount; ++p) {
    const DayRow& row = day.rows[p];
    const int top = area.top + line + p * rowHeight;
    RECT title{area.left, top, cellsLeft - gap, top + rowHeight - 1};
    Write(dc, row.title, title, DT_LEFT, row.inUse ? ink : faint);
    for (const DayCell& cell : row.cells) {
      RECT box{cellsLeft + cell.hour * cellWidth, top, cellsLeft + (cell.hour + 1) * cellWidth - 1,
               top + rowHeight - 1};
      Fill(dc, box, ColourOf(row.inUse ? cell.colour : kUnusedColour));
      if (cell.noFiles) {
        // Hatched: nothing to play at this hour.
        marked = true;
        HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, RGB(0x40, 0x40, 0x40));
        FillRect(dc, &box, hatch);
        DeleteObject(hatch);
      }
      Write(dc, cell.caption, box, DT_CENTER, row.inUse ? RGB(0, 0, 0) : faint);
    }
    if (!row.inUse) {
      // The reason over the greyed cells, on a ground of its own so that it reads.
      std::wstring reason = Wide(row.reason);
      const int width = std::min(TextWidth(dc, reason) + 4 * gap, kHoursPerPlan * cellWidth);
      const int left = cellsLeft + (kHoursPerPlan * cellWidth - width) / 2;
      RECT box{left, top + 2, left + width, top + rowHeight - 3};
      Fill(dc, box, GetSysColor(COLOR_BTNFACE));
      Write(dc, row.reason, box, DT_CENTER, ink);
    }
  }
  // The values beside the rows, and what a hatched hour means.
  std::string values;
  for (const DayValue& value : day.values)
    values += (values.empty() ? "" : kTextSeparator) + value.caption + " " + value.text;
  if (marked) values += kTextSeparator + Format(kTextDayHatchLegend, kTextDayNoFiles);
  RECT below{area.left, area.top + line + kPlanCount * rowHeight, area.right, area.bottom};
  Write(dc, values, below, DT_LEFT, ink);
  SelectObject(dc, oldFont);
}
