// A printf-style template of a program's texts table filled into a string,
// checked by the compiler against its arguments like printf itself.
#pragma once

#include <cstdio>  // on MinGW this defines __MINGW_PRINTF_FORMAT
#include <ctime>
#include <string>

#if defined(__MINGW32__)
#define BCT_PRINTF_LIKE(fmt, args) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, args)))
#elif defined(__GNUC__)
#define BCT_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define BCT_PRINTF_LIKE(fmt, args)
#endif

// The template with its conversions filled in, however long it comes out.
std::string Format(const char* format, ...) BCT_PRINTF_LIKE(1, 2);

// A size as every program shows it, with one decimal: "270.6 GB" from 1 GB
// up, "8.0 MB" below (1 GB = 10^9 bytes, 1 MB = 10^6, as card makers count).
// Records keep exact bytes.
std::string SizeText(unsigned long long bytes);

// "2026-12-09T19:31:05+08:00": the local time of when, with its offset (ISO
// 8601), as records keep it.
std::string LocalTimeText(std::time_t when);
