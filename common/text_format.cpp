#include "common/text_format.h"

#include <cstdarg>
#include <vector>

std::string SizeText(unsigned long long bytes) {
  if (bytes >= 1000000000ull) return Format("%.1f GB", static_cast<double>(bytes) / 1e9);
  return Format("%.1f MB", static_cast<double>(bytes) / 1e6);
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text;
  if (length > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, again);
    text.assign(buffer.data(), static_cast<std::size_t>(length));
  }
  va_end(again);
  return text;
}
