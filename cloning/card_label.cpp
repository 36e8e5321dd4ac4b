#include "cloning/card_label.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "cloning/cloning_texts.h"
#include "common/file_io.h"

namespace {

enum class LabelKind { kFat, kExfat, kOther };

std::string Upper(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return upper;
}

LabelKind KindOf(const std::string& fileSystem) {
  const std::string fs = Upper(fileSystem);
  if (fs == "FAT" || fs == "FAT12" || fs == "FAT16" || fs == "FAT32" || fs == "VFAT" || fs == "MSDOS")
    return LabelKind::kFat;
  if (fs == "EXFAT") return LabelKind::kExfat;
  return LabelKind::kOther;
}

// The characters of a UTF-8 text, each as its bytes.
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> characters;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    length = std::min(length, text.size() - i);
    characters.push_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

// The UTF-16 units the text takes: what exFAT and NTFS count.
int Utf16Units(const std::string& text) {
  int units = 0;
  for (const std::string& c : Characters(text)) units += c.size() == 4 ? 2 : 1;
  return units;
}

const char* LimitOf(LabelKind kind) {
  return kind == LabelKind::kFat     ? kTextLabelFatLimit
         : kind == LabelKind::kExfat ? kTextLabelExfatLimit
                                     : kTextLabelNtfsLimit;
}

bool TooLong(const std::string& label, LabelKind kind) {
  if (kind == LabelKind::kFat) return OemTextBytes(label) > 11;
  return Utf16Units(label) > (kind == LabelKind::kExfat ? 11 : 32);
}

}  // namespace

std::string NumberedLabel(const std::string& name, int number, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*d", digits, number);
  return name + text;
}

int LabelDigits(int last) {
  int digits = 1;
  for (int n = last; n >= 10; n /= 10) ++digits;
  return std::max(digits, 2);
}

std::string LabelProblem(const std::string& label, const std::string& fileSystem) {
  const LabelKind kind = KindOf(fileSystem);
  if (label.empty()) return kTextLabelEmpty;
  for (char c : label) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return Format(kTextLabelControl, label.c_str());
  }
  if (kind == LabelKind::kFat) {
    for (char c : label) {
      if (c != '\0' && std::strchr("*?.,;:/\\|+=<>[]\"", c) != nullptr)
        return Format(kTextLabelFatChar, label.c_str(), std::string(1, c).c_str());
    }
    if (OemTextBytes(label) < 0) return Format(kTextLabelNoOem, label.c_str());
  }
  if (TooLong(label, kind))
    return Format(kTextLabelTooLong, label.c_str(), fileSystem.c_str(), LimitOf(kind));
  return "";
}

std::string NumberedLabelRefusal(const std::string& name, int last, int digits,
                                 const std::string& fileSystem) {
  if (name.empty()) return kTextLabelEmpty;
  const std::string label = NumberedLabel(name, last, digits);
  std::string problem = LabelProblem(label, fileSystem);
  const LabelKind kind = KindOf(fileSystem);
  if (problem.empty() || !TooLong(label, kind)) return problem;
  std::vector<std::string> characters = Characters(name);
  while (!characters.empty()) {
    characters.pop_back();
    std::string shorter;
    for (const std::string& c : characters) shorter += c;
    if (!shorter.empty() && !TooLong(NumberedLabel(shorter, last, digits), kind)) {
      return problem +
             Format(kTextLabelLongestName, shorter.c_str(), NumberedLabel(shorter, last, digits).c_str());
    }
  }
  return problem + kTextLabelNumberTooLong;
}

bool SameLabel(const std::string& given, const std::string& reported) {
  return given == reported || Upper(given) == reported;
}

int LabelNumbers::Next() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return next_;
}

void LabelNumbers::Raise(int number) {
  std::lock_guard<std::mutex> lock(mutex_);
  next_ = std::max(next_, number);
}

std::string LabelNumbers::Refusal(int count, const VolumeInfo& volume) const {
  if (!volume.isRoot) return kTextLabelNotACard;
  return NumberedLabelRefusal(name_, Next() + std::max(count, 1) - 1, digits_, volume.fileSystem);
}

LabelOutcome LabelNumbers::Label(const std::filesystem::path& root, const std::string& fileSystem) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string label = NumberedLabel(name_, next_, digits_);
  LabelOutcome outcome;
  VolumeInfo volume;
  IoError error;
  std::string problem = LabelProblem(label, fileSystem);
  if (problem.empty() && !SetVolumeLabelOf(root, label, error)) problem = error.text;
  if (problem.empty()) {
    // Windows reports the new label at once. Wine's mount manager keeps the
    // label it read when the drive was defined (SetVolumeLabelW writes the
    // drive folder's .windows-label) until the drive is defined again: the
    // label is looked at for a while before it is called not taken.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool read = false;
    while (!(read = VolumeOf(root, volume, error)) || !SameLabel(label, volume.label)) {
      if (std::chrono::steady_clock::now() >= until) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (read && SameLabel(label, volume.label)) {
      ++next_;
      outcome.label = volume.label;
      return outcome;
    }
    problem = read ? Format(kTextLabelReadBack, volume.label.c_str()) : error.text;
  }
  if (VolumeOf(root, volume, error)) outcome.label = volume.label;
  outcome.problem = Format(kTextLabelNotSet, label.c_str(), problem.c_str());
  return outcome;
}
