#include "cloning/cloning_texts.h"

#include "settings/audio_folders.h"

std::string Doing(FileStep step, const std::string& rel) {
  const std::string file = CardSpelling(rel);
  switch (step) {
    case FileStep::kReading:
      return Format(kTextReading, file.c_str());
    case FileStep::kReadingBack:
      return Format(kTextReadingBack, file.c_str());
    case FileStep::kWriting:
      break;
  }
  return Format(kTextWriting, file.c_str());
}
