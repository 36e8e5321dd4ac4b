// The last look at a written card before its settings file is written:
// its audio tree holds every golden file under its name, of its size, and
// nothing else (unless extras are kept). (Whether the golden card is still
// what was read is told by the reader, after every file.) Each written file was read back and each file left
// in place was compared byte by byte on the way; this catches what those cannot see: a name FAT merged with
// another, a file that vanished, an extra one.
#pragma once

#include <string>
#include <vector>

#include "cloning/card_session.h"
#include "cloning/golden_card.h"

// False after recording why on the card. spelled gets each golden file's
// path as the card spells it.
bool VerifyTree(const GoldenCard& golden, bool keepExtra, CardSession& card,
                std::vector<std::string>& spelled);
