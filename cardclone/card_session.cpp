#include "cardclone/card_session.h"

#include <filesystem>
#include <system_error>

#include "cardclone/clone_texts.h"
#include "settings/config_names.h"

namespace fs = std::filesystem;

bool CardSession::Fail(const std::string& reason) {
  if (result_.reason.empty()) result_.reason = reason;
  return false;
}

bool CardSession::FailIo(const std::string& doing, const IoError& error) {
  if (IdOf(target_.path) != target_.id) return Fail(Format(kTextCardGoneWhile, doing.c_str()));
  std::error_code ec;
  fs::space_info space = fs::space(target_.path, ec);
  if (error.full || (!ec && space.available < kIoAlign))
    return Fail(Format(kTextCardFullWhile, doing.c_str()));
  return Fail(Format(kTextFailedWhile, doing.c_str(), error.text.c_str()));
}

bool CardSession::StillTheCard() {
  if (IdOf(target_.path) == target_.id) return true;
  return Fail(kTextCardGone);
}

// The old settings file goes before anything else on the card changes, so
// a card cut short never carries one. A card that needs no change at all
// keeps it (and is not written to).
bool CardSession::Touch() {
  if (touched_) return true;
  if (!StillTheCard()) return false;
  touched_ = true;
  std::error_code ec;
  fs::path settings = target_.path / kConfigFileName;
  if (fs::exists(fs::symlink_status(settings, ec)) && !fs::remove(settings, ec)) {
    return Fail(Format(kTextCannotRemoveOld, kConfigFileName, ec.message().c_str()));
  }
  return true;
}
