// Diagnostic trace lines on standard output. Nobody is meant to read them in
// the field; tests capture them, so every line is flushed at once.
#pragma once

#include <cstdio>  // on MinGW this defines __MINGW_PRINTF_FORMAT

#if defined(__MINGW32__)
#define BCT_PRINTF_LIKE(fmt, args) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, args)))
#elif defined(__GNUC__)
#define BCT_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define BCT_PRINTF_LIKE(fmt, args)
#endif

void Trace(const char* format, ...) BCT_PRINTF_LIKE(1, 2);
