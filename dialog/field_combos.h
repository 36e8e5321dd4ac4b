// The combos that show the record's scalar fields (every field but the
// playback switch, the volume and the hour plans): what each one shows and
// stores is in the field table (settings/record_fields.h); here is which
// combo shows which field and what else a choice changes in the dialog.
#pragma once

// Start-up: fills every field combo with its items and selects the record's
// value.
void FillFieldCombos();

// A command of a field combo: stores a selection change and returns true;
// false for any other control.
bool StoreFieldChoice(int id, int code);
