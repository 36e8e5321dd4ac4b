// What cardclone prints: a line per card and a last line with the counts, or
// one JSON document; and the live progress lines on a terminal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cardclone/card_result.h"

std::string CardLine(const CardResult& card);
std::string SummaryLine(const std::vector<CardResult>& cards);
std::string ResultsJson(const std::string& golden, const std::vector<CardResult>& cards);
// Nothing was done: the reasons, as one JSON document.
std::string RefusalJson(const std::string& golden, const std::vector<std::string>& reasons);

// One progress line of a card: bytes done of the total and its state.
std::string ProgressLine(const std::string& target, uint64_t done, uint64_t total, CardState state);
