#pragma once

#include <cstddef>
#include <string_view>

#include "protocol/no_qt.h"

// The protocol's only diagnostic channel. Silent unless the environment
// variable OSTREL_DEBUG is "1"; then each trace goes to standard error (or
// to the sink set below). A trace is cut to 999 bytes.
constexpr std::size_t kTraceBufferSize = 1000;

// printf-style; always returns true.
bool TraceDebug(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Whether OSTREL_DEBUG switches the trace on (read at each call).
bool TraceEnabled();

// Where enabled traces go; nullptr restores standard error.
using TraceSink = void (*)(std::string_view text);
void SetTraceSink(TraceSink sink);
