// The sheet of the cards made: one HTML page for the deployment's file, of
// the cards the window made since it opened: the golden card (where it is,
// what it holds, its fingerprint, its day at a glance), every card made or
// failed with its row of the record, the counts and 共需. Printable on A4
// (the table's header on every page), one file that holds no script and
// loads nothing; every text from a card or the record escaped.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "cardcheck/day_picture.h"
#include "cloning/clone_record.h"

struct SheetInput {
  std::string golden;             // the golden card as given
  std::string goldenSummary;      // the window's words for it (settings, files)
  std::string goldenFingerprint;  // all 16 digits
  DayPicture day;
  std::vector<RecordRow> cards;  // this session's rows, as the record got them
  int wanted = 0;                // 共需, 0 when not given
  std::time_t opened = 0;        // when the window opened
};

// The page.
std::string SheetHtml(const SheetInput& sheet);

// "制卡单-2026-12-10-0831.html": the sheet's file name, by when the window opened.
std::string SheetFileName(std::time_t opened);
