// A target's audio tree made ready for the golden one, as its plan says:
// what goes, goes (a folder with all it holds, a link as the link itself,
// never through a link or into another file system), and the missing golden
// folders are made. Files already under a golden name stay, to be compared
// while copying.
#pragma once

#include "cloning/card_session.h"
#include "cloning/clone_plan.h"

// False after recording why on the card.
bool PrepareTree(const CardPlan& plan, CardSession& card);
