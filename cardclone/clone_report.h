// What cardclone prints: a line per card and a last line with the counts, or
// one JSON document; and the live progress lines on a terminal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cloning/card_result.h"
#include "cloning/clone_plan.h"
#include "cloning/clone_targets.h"

// What will be done, said before anything is: the golden card and each
// target by drive, label and capacity, what each will get and lose, and the
// cards that will not be written, with why.
std::string PlanText(const GoldenCard& golden, const std::vector<Target>& targets,
                     const std::vector<CardPlan>& plans);

std::string CardLine(const CardResult& card);
std::string SummaryLine(const std::vector<CardResult>& cards);
// The results, each card with its plan.
std::string ResultsJson(const std::string& golden, const std::vector<CardResult>& cards,
                        const std::vector<Target>& targets, const std::vector<CardPlan>& plans);
// Nothing was done: the reasons, as one JSON document; with the plans when
// they were made (a dry run, or a removal not confirmed).
std::string RefusalJson(const std::string& golden, const std::vector<std::string>& reasons,
                        const std::vector<Target>& targets = {}, const std::vector<CardPlan>& plans = {});

// One progress line of a card: bytes done of the total and its state.
std::string ProgressLine(const std::string& target, uint64_t done, uint64_t total, CardState state);
