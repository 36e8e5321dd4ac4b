/* Identifiers of dialog 104, shared by the resource script and the code.
   Only preprocessor definitions here: windres reads this file too. */
#pragma once

#define IDD_MAIN 104
#define IDI_APP 101

/* ---- save directory ---- */
#define IDC_GRP_SAVE_DIR 40155
#define IDC_EDIT_SAVE_DIR 40154
#define IDC_BTN_SAVE_DIR 40153

/* ---- settings groups ---- */
#define IDC_GRP_PLAY_SWITCH 40008
#define IDC_RADIO_PLAY_OFF 40011
#define IDC_RADIO_PLAY_ON 40014
#define IDC_GRP_VOLUME 40017
#define IDC_TRACK_VOLUME 40020
#define IDC_LABEL_VOLUME 40005
#define IDC_GRP_DELAY 40023
#define IDC_COMBO_DELAY 40038
#define IDC_GRP_SENSOR_MODE 40033
#define IDC_COMBO_SENSOR_MODE 40027
#define IDC_GRP_CYCLE 40241
#define IDC_LABEL_ALARM_A 40246
#define IDC_COMBO_ALARM_A 40244
#define IDC_LABEL_ALARM_B 40243
#define IDC_COMBO_ALARM_B 40245
#define IDC_GRP_TIMER_MODE 40002
#define IDC_COMBO_TIMER_MODE 40034
#define IDC_GRP_PAUSE 40030
#define IDC_LABEL_PAUSE_DAYS 40240
#define IDC_COMBO_PAUSE_DAYS 40242
#define IDC_GRP_CAPTURE 65535 /* the template's "-1" group box */
#define IDC_LABEL_CAPTURE 40239
#define IDC_COMBO_CAPTURE 40238
#define IDC_GRP_INTERVAL 40192
#define IDC_LABEL_INTERVAL 40195
#define IDC_COMBO_INTERVAL_HOUR 40193
#define IDC_LABEL_UNIT_HOUR 40196
#define IDC_LABEL_SEP_HOUR 40197
#define IDC_COMBO_INTERVAL_MINUTE 40198
#define IDC_LABEL_UNIT_MINUTE 40199
#define IDC_LABEL_SEP_MINUTE 40202
#define IDC_COMBO_INTERVAL_SECOND 40200
#define IDC_LABEL_UNIT_SECOND 40201
#define IDC_GRP_PLAY_DAYS 40247
#define IDC_LABEL_PLAY_DAYS_A 40248
#define IDC_COMBO_PLAY_DAYS_A 40250
#define IDC_LABEL_PLAY_DAYS_B 40249
#define IDC_COMBO_PLAY_DAYS_B 40251

/* ---- bottom ---- */
#define IDC_STATUS_LINE 40191
#define IDC_BTN_GENERATE 40152
#define IDC_LABEL_VERSION 40182

/* ---- copy area ---- */
#define IDC_LABEL_COPY 40237
#define IDC_TAB_COPY 40042
#define IDC_BTN_COPY 40151
/* random source rows of copy pages 0, 1, 2 */
#define IDC_LABEL_PAGE0_RANDOM 40179
#define IDC_BTN_PAGE0_RANDOM 40180
#define IDC_CHK_PAGE0_RANDOM 40181
#define IDC_LABEL_PAGE1_RANDOM 40047
#define IDC_BTN_PAGE1_RANDOM 40049
#define IDC_CHK_PAGE1_RANDOM 40053
#define IDC_LABEL_PAGE2_RANDOM 40037
#define IDC_BTN_PAGE2_RANDOM 40055
#define IDC_CHK_PAGE2_RANDOM 40059
/* created hidden and disabled, never shown; 40175 and 40178 are also the
   copy entry codes of pages 1 and 2 */
#define IDC_LABEL_UNUSED_A 40173
#define IDC_LABEL_UNUSED_SENSE 40064
#define IDC_LABEL_UNUSED_B 40174
#define IDC_BTN_UNUSED_A 40176
#define IDC_BTN_UNUSED_SENSE 40065
#define IDC_BTN_UNUSED_B 40177
#define IDC_CHK_ENTRY_PAGE1 40175
#define IDC_CHK_UNUSED_SENSE 40067
#define IDC_CHK_ENTRY_PAGE2 40178

/* ---- plan area ---- */
#define IDC_LABEL_PLAN 40046
#define IDC_TAB_PLAN 40026

/* The 24 hour rows of the plan tab, in hour order:
   X(hour, caption, row label, sensor combo, schedule A combo, schedule B combo) */
#define BCT_HOUR_ROWS(X)                                \
  X(0, "00:00-00:59", 40048, 40050, 40000, 40110)       \
  X(1, "01:00-01:59", 40041, 40043, 40003, 40001)       \
  X(2, "02:00-02:59", 40054, 40056, 40006, 40004)       \
  X(3, "03:00-03:59", 40060, 40061, 40009, 40007)       \
  X(4, "04:00-04:59", 40066, 40068, 40012, 40010)       \
  X(5, "05:00-05:59", 40072, 40074, 40015, 40013)       \
  X(6, "06:00-06:59", 40078, 40080, 40018, 40016)       \
  X(7, "07:00-07:59", 40184, 40109, 40021, 40019)       \
  X(8, "08:00-08:59", 40086, 40088, 40024, 40022)       \
  X(9, "09:00-09:59", 40096, 40092, 40028, 40025)       \
  X(10, "10:00-10:59", 40098, 40100, 40031, 40029)      \
  X(11, "11:00-11:59", 40104, 40105, 40035, 40032)      \
  X(12, "12:00-12:59", 40084, 40112, 40039, 40036)      \
  X(13, "13:00-13:59", 40186, 40113, 40044, 40040)      \
  X(14, "14:00-14:59", 40116, 40118, 40051, 40045)      \
  X(15, "15:00-15:59", 40122, 40119, 40057, 40052)      \
  X(16, "16:00-16:59", 40124, 40125, 40062, 40058)      \
  X(17, "17:00-17:59", 40128, 40130, 40069, 40063)      \
  X(18, "18:00-18:59", 40188, 40131, 40075, 40070)      \
  X(19, "19:00-19:59", 40134, 40189, 40081, 40076)      \
  X(20, "20:00-20:59", 40138, 40140, 40089, 40082)      \
  X(21, "21:00-21:59", 40142, 40136, 40093, 40090)      \
  X(22, "22:00-22:59", 40146, 40143, 40101, 40094)      \
  X(23, "23:00-23:59", 40148, 40149, 40106, 40102)

/* The ten per-kind source rows of copy pages 3, 4 and 5, in sound-kind order:
   X(kind, page 3 label, button, check, page 4 label, button, check,
     page 5 label, button, check) */
#define BCT_KIND_ROWS(X)                                                          \
  X(0, 40207, 40208, 40209, 40114, 40115, 40117, 40144, 40145, 40147)             \
  X(1, 40210, 40211, 40212, 40120, 40121, 40123, 40158, 40159, 40160)             \
  X(2, 40213, 40214, 40215, 40126, 40127, 40129, 40164, 40165, 40166)             \
  X(3, 40216, 40217, 40218, 40132, 40133, 40135, 40170, 40171, 40172)             \
  X(4, 40219, 40220, 40221, 40137, 40139, 40141, 40190, 40194, 40203)             \
  X(5, 40222, 40223, 40224, 40071, 40073, 40077, 40150, 40156, 40157)             \
  X(6, 40225, 40226, 40227, 40085, 40083, 40079, 40161, 40162, 40163)             \
  X(7, 40228, 40229, 40230, 40095, 40091, 40087, 40167, 40168, 40169)             \
  X(8, 40231, 40232, 40233, 40103, 40099, 40097, 40183, 40185, 40187)             \
  X(9, 40234, 40235, 40236, 40107, 40108, 40111, 40204, 40205, 40206)
