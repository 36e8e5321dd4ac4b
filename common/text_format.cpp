#include "common/text_format.h"

#include <cstdarg>
#include <ctime>
#include <vector>

std::string SizeText(unsigned long long bytes) {
  if (bytes >= 1000000000ull) return Format("%.1f GB", static_cast<double>(bytes) / 1e9);
  return Format("%.1f MB", static_cast<double>(bytes) / 1e6);
}

namespace {

// Minutes east of UTC of the local time at when.
long OffsetMinutes(std::time_t when) {
  std::tm local{}, utc{};
#ifdef _WIN32
  localtime_s(&local, &when);
  gmtime_s(&utc, &when);
#else
  localtime_r(&when, &local);
  gmtime_r(&when, &utc);
#endif
  long days =
      local.tm_year != utc.tm_year ? (local.tm_year > utc.tm_year ? 1 : -1) : local.tm_yday - utc.tm_yday;
  return days * 1440 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
}

}  // namespace

std::string LocalTimeText(std::time_t when) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  long offset = OffsetMinutes(when);
  int away = static_cast<int>((offset < 0 ? -offset : offset) % 1440);  // a zone is less than a day away
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                offset < 0 ? '-' : '+', away / 60, away % 60);
  return text;
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
