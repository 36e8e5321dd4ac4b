// Diagnostic trace lines on standard output. Nobody is meant to read them in
// the field; tests capture them, so every line is flushed at once.
#pragma once

#include "common/text_format.h"

void Trace(const char* format, ...) BCT_PRINTF_LIKE(1, 2);
