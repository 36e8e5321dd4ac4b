// What cardcheck finds on a card: the settings decoded as the dialog shows
// them, the folders the device will play from, their .wav files, the hour
// plans in use, and every problem. Reading the card never writes to it.
// All strings are UTF-8. Rendering a report is apart, in card_render.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cardcheck/wav_header.h"
#include "settings/broadcast_config.h"

// One field of the settings record, decoded.
struct SettingField {
  std::string name;     // the record's name for it: "Dly", "type[31]"
  std::string caption;  // the dialog's caption: "播放延时"
  int value = 0;
  std::string text;     // the value in words: "10 秒"
  std::string problem;  // empty when the dialog offers the value, else what it offers
  bool ok() const { return problem.empty(); }
};

enum class SettingsState { kMissing, kUnreadable, kWrongSize, kRead };

struct WavFile {
  std::string name;
  WavInfo info;
};

// One folder the device plays from.
struct FolderCheck {
  int page = 0;        // copy page 0..5 that fills it
  int kind = -1;       // SoundKind on pages 3..5, -1 on the random pages
  std::string folder;  // as on the card: "audio\SenseSpecify\bear"
  bool exists = false;
  bool readable = true;
  std::vector<WavFile> files;  // the .wav files the device sees, by name
  int goodFiles = 0;
  bool mixedFormats = false;  // the good files differ in channels, rate or bits
};

struct HourCheck {
  int hour = 0;
  int kind = 0;       // the plan's raw value, possibly no sound kind at all
  int goodFiles = 0;  // good files in the kind's folder
  bool ok() const { return goodFiles > 0; }
};

struct PlanCheck {
  int plan = 0;  // 0 sensor, 1 schedule A, 2 schedule B
  std::vector<HourCheck> hours;
};

// What the record of the cards written says of this card (cardcheck
// --record): its last row there, found by the card's volume serial, label
// and capacity. Information for the user, never a problem of the card.
struct RecordCheck {
  bool asked = false;   // a record was given
  std::string file;     // as given
  bool isRoot = false;  // the card is a drive's root: only a drive has a serial of its own
  std::string serial;   // "XXXX-XXXX"; empty where the system gives none
  std::string label;
  uint64_t capacity = 0;
  bool found = false;
  std::string time;               // the row's, as recorded
  std::string shortTime;          // the same as "12-10 08:31"
  std::string goldenFingerprint;  // the row's, as recorded
  std::string cardFingerprint;    // the row's, as recorded; empty for a card that failed
  bool ready = false;             // the row says the card was made
  std::string reason;             // the row's
  bool same = false;              // the card's fingerprint now is the row's card fingerprint
  std::size_t skipped = 0;        // lines of the record that could not be read

  bool CanLookUp() const { return isRoot && !serial.empty(); }
};

struct CardReport {
  std::string directory;
  bool readable = true;  // the card's root could be read at all
  SettingsState settings = SettingsState::kMissing;
  uint64_t settingsSize = 0;
  BroadcastConfig config = kDefaultConfig;
  std::vector<SettingField> fields;  // the scalar fields in record order, then the 72 plan entries
  std::vector<int> pagesInUse;       // copy pages whose folders the device plays from
  std::vector<FolderCheck> folders;
  std::vector<PlanCheck> plans;
  std::vector<std::string> problems;
  std::vector<std::string> warnings;  // what the user should know of a card that is ready all the same
  std::string fingerprint;  // 16 hex digits, when it was worked out (fingerprint.h)
  RecordCheck record;

  bool PlaybackOn() const { return settings == SettingsState::kRead && config.Ena == 1; }
  // Playback off, or on with neither the sensor nor the timed mode.
  bool PlaysNothing() const {
    return settings == SettingsState::kRead && (!PlaybackOn() || (config.SenMod == 0 && config.TimerMod == 0));
  }
  bool Ready() const { return problems.empty(); }
};

// The caption of a plan value: the sound kind's, or the number and "无此种类".
std::string KindCaption(int kind);

// Every field of the record with its caption, its value in words, and whether
// the dialog offers it.
std::vector<SettingField> DecodeSettings(const BroadcastConfig& c);

// The copy pages whose folders are in use, by the rules that enable the
// dialog's Copy button: nothing while playback is not on.
std::vector<int> PagesInUse(const BroadcastConfig& c);

// The sound kinds plan p names, each once, in kind order; values that name no
// kind are left out.
std::vector<int> KindsOfPlan(const BroadcastConfig& c, int plan);

// The folder of a copy page (and kind on pages 3..5), as on the card; empty
// for a page or kind out of range.
std::string FolderOf(int page, int kind);

// Reads the card in directory card.
CardReport CheckCard(const std::filesystem::path& card);
