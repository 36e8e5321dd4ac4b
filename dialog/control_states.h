// The dialog's control handles and the rule sets that show, hide, enable and
// disable whole groups of controls from the record and the two tab pages.
#pragma once

#include <windows.h>

#include <vector>

// Selected pages of the plan tab (0..2) and of the copy tab (0..5).
extern int PlanPage;
extern int CopyPage;

// Looks up the handle of every control of the dialog once, after creation.
void LoadControlHandles(HWND dialog);
// The handle of control id (nullptr for an id the dialog does not have).
HWND Control(int id);
// The selected item of combo id: its index, CB_ERR (-1) for none.
long SelectionOf(int id);
// Adds an item to combo id; selects item index of combo id (notifying
// nobody, as every selection the program sets).
void AddComboItem(int id, const char* text);
void SelectComboItem(int id, int index);

void UpdateControlStates();
void UpdatePlanGrids();
void UpdateCopyControls(bool on);
void ShowCopyPage();
void UpdateCaptureControls(bool enable, bool withSwitch);

// A copy of dialog template templateId with every control the rules govern
// already in the state they give it at start from the record as loaded (Config,
// pages 0): the dialog is then created as its start-up would leave it, and
// the rules, applied again as it starts, find nothing left to change. Empty
// when the template cannot be read.
std::vector<unsigned char> StartingTemplate(HINSTANCE instance, int templateId);
