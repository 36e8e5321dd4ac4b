#include "cloning/card_names.h"

#include <algorithm>
#include <cstdint>

namespace {

// The code point starting at text[at]; at moves past it. A byte that starts
// no valid sequence stands for itself.
char32_t Decode(const std::string& text, std::size_t& at) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char first = byte(at);
  int length = first < 0x80           ? 1
               : (first >> 5) == 0x6  ? 2
               : (first >> 4) == 0xE  ? 3
               : (first >> 3) == 0x1E ? 4
                                      : 0;
  if (length <= 1 || at + length > text.size()) {
    ++at;
    return first;
  }
  char32_t point = first & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      ++at;
      return first;
    }
    point = (point << 6) | (byte(at + i) & 0x3F);
  }
  at += static_cast<std::size_t>(length);
  return point;
}

void Encode(char32_t point, std::string& out) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

char32_t Fold(char32_t c) {
  if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
      (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F) || (c >= 0xFF21 && c <= 0xFF3A))
    return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  // Latin Extended-A: capitals on the even code points.
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
    bool evenCapitals = (c < 0x138) || (c > 0x148 && c < 0x178);
    if (evenCapitals ? c % 2 == 0 : c % 2 == 1) return c + 1;
  }
  return c;
}

constexpr char kCopyTempPrefix[] = ".cardclone-";
constexpr char kCopyTempSuffix[] = ".tmp";

}  // namespace

std::string FoldCase(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) Encode(Fold(Decode(utf8, at)), out);
  return out;
}

std::string CopyTempName(std::size_t number) {
  return kCopyTempPrefix + std::to_string(number) + kCopyTempSuffix;
}

bool IsCopyTempName(const std::string& name) {
  const std::string prefix = kCopyTempPrefix, suffix = kCopyTempSuffix;
  // ".cardclone.tmp" is what earlier versions left.
  if (name == ".cardclone.tmp") return true;
  if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  // Only the number CopyTempName puts there: ".cardclone-notes.tmp" is a user's.
  const std::string number = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
  return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}
