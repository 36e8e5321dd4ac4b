// The settings record as tests write it to a card and compare it, and the
// mode fields that decide which controls, pages and folders are in use.
#pragma once

#include <cstdint>
#include <vector>

#include "settings/broadcast_config.h"

inline std::vector<unsigned char> SettingsBytes(const BroadcastConfig& config) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&config);
  return std::vector<unsigned char>(bytes, bytes + kConfigSize);
}

// The defaults with the mode fields given in the record's order.
inline BroadcastConfig Modes(uint8_t ena, uint8_t timerMod, uint8_t senMod, uint8_t alarmA, uint8_t alarmB) {
  BroadcastConfig c = kDefaultConfig;
  c.Ena = ena;
  c.TimerMod = timerMod;
  c.SenMod = senMod;
  c.AlarmA = alarmA;
  c.AlarmB = alarmB;
  return c;
}
