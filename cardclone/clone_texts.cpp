#include "cardclone/clone_texts.h"

#include <cstdarg>
#include <cstdio>

#include "settings/audio_folders.h"

std::string Compose(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int size = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
  if (size > 0) std::vsnprintf(&text[0], text.size() + 1, format, again);
  va_end(again);
  return text;
}

std::string Doing(FileStep step, const std::string& rel) {
  const std::string file = CardSpelling(rel);
  switch (step) {
    case FileStep::kReading:
      return Compose(kTextReading, file.c_str());
    case FileStep::kReadingBack:
      return Compose(kTextReadingBack, file.c_str());
    case FileStep::kWriting:
      break;
  }
  return Compose(kTextWriting, file.c_str());
}
