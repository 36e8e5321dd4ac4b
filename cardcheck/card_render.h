// A card's report as the user reads it (text) and as programs read it (one
// JSON document with English keys). Both UTF-8.
#pragma once

#include <string>

#include "cardcheck/card_model.h"

std::string RenderText(const CardReport& report);

// Pieces of the text report that other renderings say in its words: the
// verdict's line, and what the record says of the card (--record).
std::string VerdictLine(const CardReport& report);
std::string RecordText(const CardReport& report);
std::string RenderJson(const CardReport& report);

// s as a JSON string, quotes included, as RenderJson writes it; bytes that
// are not UTF-8 become U+FFFD.
std::string JsonString(const std::string& s);
