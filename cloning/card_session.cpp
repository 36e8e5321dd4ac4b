#include "cloning/card_session.h"

#include <filesystem>

#include "cloning/cloning_texts.h"
#include "settings/config_names.h"

namespace fs = std::filesystem;

bool CardSession::Fail(const std::string& reason) {
  if (result_.reason.empty()) result_.reason = reason;
  return false;
}

bool CardSession::FailIo(const std::string& doing, const IoError& error) {
  if (IdOf(target_.path) != target_.id) return Fail(Format(kTextCardGoneWhile, doing.c_str()));
  // Full only when the system says so: a card that reads as nearly full may
  // fail for any other reason, and those words would send the user astray.
  if (error.full) return Fail(Format(kTextCardFullWhile, doing.c_str()));
  if (error.tooLarge) return Fail(Format(kTextTooLargeWhile, doing.c_str()));
  if (error.tooLong) return Fail(Format(kTextPathTooLongWhile, doing.c_str()));
  return Fail(Format(kTextFailedWhile, doing.c_str(), error.text.c_str()));
}

bool CardSession::StillTheCard() {
  if (IdOf(target_.path) == target_.id) return true;
  return Fail(kTextCardGone);
}

// The old settings file goes, and its going reaches the medium, before
// anything else on the card changes, so a card cut short never carries one.
// A card that needs no change at all keeps it (and is not written to).
bool CardSession::Touch() {
  if (touched_) return true;
  if (!StillTheCard()) return false;
  touched_ = true;
  const fs::path settings = target_.path / kConfigFileName;
  EntryInfo info;
  IoError error;
  bool gone = LookAt(settings, info, error) && RemoveEntry(settings, info.kind, error) &&
              FlushFolder(target_.path, error);
  return gone || Fail(Format(kTextCannotRemoveOld, kConfigFileName, error.text.c_str()));
}
