// A card's report: reading and checking the card (the model, card_model.h)
// and writing the report as text or JSON (card_render.h).
#pragma once

#include "cardcheck/card_model.h"
#include "cardcheck/card_render.h"
