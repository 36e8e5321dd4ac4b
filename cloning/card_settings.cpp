#include "cloning/card_settings.h"

#include <cstring>
#include <string>
#include <system_error>

#include "cloning/cloning_texts.h"
#include "settings/config_names.h"

namespace fs = std::filesystem;

namespace {

std::string WritingSettings() { return Doing(FileStep::kWriting, kConfigFileName); }

}  // namespace

bool SettingsWrite::HoldsGolden(long long got) {
  return got == static_cast<long long>(golden_.settings.size()) &&
         std::memcmp(buffer_.data(), golden_.settings.data(), golden_.settings.size()) == 0;
}

bool SettingsWrite::AlreadyThere(const fs::path& settings) {
  InFile old;
  if (!old.Open(settings, true)) return false;
  return HoldsGolden(old.Read(buffer_.data(), kIoAlign));
}

bool SettingsWrite::CreateTemp() {
  const fs::path& folder = card_.target().path;
  settingsTemp_.clear();
  int tried = 0;
  int number = CreateConfigTemp(
      out_, [&](int n) { return folder / ConfigTempName(n); }, tried);
  if (number >= 0) settingsTemp_ = folder / ConfigTempName(number);
  return number >= 0;
}

bool SettingsWrite::ReadBackMatches() {
  InFile back;
  if (!back.Open(settingsTemp_, true)) return card_.FailIo(WritingSettings(), back.error());
  long long got = back.Read(buffer_.data(), kIoAlign);
  back.Close();
  if (HoldsGolden(got)) return true;
  if (got < 0) return card_.FailIo(WritingSettings(), back.error());
  return card_.Fail(Format(kTextReadBackMismatch, kConfigFileName));
}

bool SettingsWrite::Run() {
  if (!card_.StillTheCard()) return false;
  fs::path settings = card_.target().path / kConfigFileName;
  if (!card_.touched() && AlreadyThere(settings)) return true;
  if (!CreateTemp()) return card_.FailIo(WritingSettings(), out_.error());
  if (!out_.Write(golden_.settings.data(), golden_.settings.size()) || !out_.FlushToMedium() ||
      !out_.Close()) {
    return card_.FailIo(WritingSettings(), out_.error());
  }
  if (!ReadBackMatches()) return false;
  IoError error;
  if (!PutFileInPlace(settingsTemp_, settings, error)) return card_.FailIo(WritingSettings(), error);
  settingsTemp_.clear();
  return true;
}

void SettingsWrite::Abandon() {
  out_.Close();
  std::error_code ec;
  if (!settingsTemp_.empty()) fs::remove(settingsTemp_, ec);
}
