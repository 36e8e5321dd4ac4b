#include "common/trace.h"

#include <cstdarg>
#include <cstdio>

void Trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stdout, format, args);
  va_end(args);
  std::fflush(stdout);
}
