// One target card while it is cloned: the card, its result, and whether
// anything on it has changed yet. Every step of the clone records its first
// failure here and stops; the steps after it do not run.
#pragma once

#include <string>

#include "cloning/card_result.h"
#include "cloning/clone_targets.h"
#include "common/file_io.h"

class CardSession {
 public:
  CardSession(const Target& target, CardResult& result) : target_(target), result_(result) {}

  const Target& target() const { return target_; }
  CardResult& result() { return result_; }
  bool touched() const { return touched_; }

  // Keeps the first reason only; always false, for the step to return.
  bool Fail(const std::string& reason);
  // A failed file operation while doing something ("写入 … 时"): the card
  // taken out, the card full, or the system's own words.
  bool FailIo(const std::string& doing, const IoError& error);
  // A card taken out (or unmounted, or another card put in its place) no
  // longer shows the folder it started with.
  bool StillTheCard();
  // Called before each change to the card; the first call removes the old
  // settings file (see card_session.cpp).
  bool Touch();

 private:
  const Target& target_;
  CardResult& result_;
  bool touched_ = false;
};
