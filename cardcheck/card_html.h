// A card's report as a page to read in any browser and to print on A4: one
// self-contained HTML5 document, UTF-8, with no script and nothing loaded
// from elsewhere. The pieces before RenderHtml are shared with other
// printable pages (the sheet of the cards made): the text escaping, the day
// picture as a fragment and its style rules, and the A4 page rules.
#pragma once

#include <string>

#include "cardcheck/card_model.h"
#include "cardcheck/day_picture.h"

// utf8 as HTML text or attribute value: & < > " ' escaped; bytes that are
// not UTF-8 become U+FFFD, so the page stays valid whatever a card's names
// hold. Every text that comes from a card or the record goes through it.
std::string HtmlEscape(const std::string& utf8);

// The picture of a card's day: a <table class="day"> of a header row with
// the 24 hours and one row per plan (<tr class="plan">, a row not in use
// <tr class="plan unused"> with its reason in its title cell), each hour a
// <td data-hour data-kind> in its kind's colour with the caption, an hour
// with nothing to play class="nofiles", hatched; then the values as
// <dl class="day-values">. Empty when the picture is not drawn.
std::string DayPictureHtml(const DayPicture& picture);

// The style rules DayPictureHtml's fragment needs.
std::string DayPictureStyle();

// The A4 page rules of every printable page: the page size and margins, a
// table header repeated on each page, no row broken across pages, the day
// picture on one page, and the background colours printed as they are.
std::string PrintStyle();

// The whole report as one HTML document: the verdict, the fingerprint (and
// the record), the settings in the text report's words, the day picture,
// the folders and their files (a card of very many files by folder counts
// alone), the problems and the warnings. A usual card fits one A4 page.
std::string RenderHtml(const CardReport& report);
