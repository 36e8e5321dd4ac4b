// The many-card window's resource ids and its own messages, shared by the
// resource script, the window and the tests that drive it.
#pragma once

#define IDD_BATCH 100
#define IDI_BATCH 101

#define IDC_GOLDEN_HEADING 1001
#define IDC_GOLDEN_PATH 1002
#define IDC_CHOOSE_GOLDEN 1003
#define IDC_GOLDEN_STATE 1004
#define IDC_CARDS 1005
#define IDC_AUTO_WRITE 1006
#define IDC_WANTED_HEADING 1007
#define IDC_WANTED 1008
#define IDC_WANTED_UNIT 1009
#define IDC_START 1010
#define IDC_STOP 1011
#define IDC_SUMMARY 1012
#define IDC_RECORD_HEADING 1013
#define IDC_RECORD_PATH 1014
#define IDC_OPEN_RECORD 1015
#define IDC_RECORD_STATE 1016
#define IDC_GOLDEN_REPORT 1017
#define IDC_CARD_DETAIL 1018
#define IDC_LABEL_HEADING 1019
#define IDC_LABEL_KEEP 1020
#define IDC_LABEL_NUMBERED 1021
#define IDC_LABEL_NAME 1022
#define IDC_LABEL_FIRST_HEADING 1023
#define IDC_LABEL_FIRST 1024
#define IDC_GOLDEN_DAY 1025
#define IDC_PRINT_SHEET 1026

// The golden card's check report, in a window of its own.
#define IDD_REPORT 200
#define IDC_REPORT_TEXT 2001

// The list's columns, left to right.
#define BATCH_COLUMN_DRIVE 0
#define BATCH_COLUMN_LABEL 1
#define BATCH_COLUMN_CAPACITY 2
#define BATCH_COLUMN_FREE 3
#define BATCH_COLUMN_ON_CARD 4
#define BATCH_COLUMN_PROGRESS 5
#define BATCH_COLUMN_RESULT 6
