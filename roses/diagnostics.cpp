// SPDX-License-Identifier: MIT
#include "roses/diagnostics.h"

#include <atomic>
#include <cstdio>

namespace quillant {

namespace {

std::atomic<diagnostics_sink> current_sink{write_to_standard_streams};

}  // namespace

void write_to_standard_streams(diagnostic_stream stream, const char* line) {
    std::FILE* file = stream == diagnostic_stream::output ? stdout : stderr;
    // Output first: it holds what came before the line, as a tied stream would.
    if (stream == diagnostic_stream::error) std::fflush(stdout);
    std::fputs(line, file);
    std::fputc('\n', file);
    std::fflush(file);
}

void discard_diagnostics(diagnostic_stream, const char*) {}

diagnostics_sink set_diagnostics_sink(diagnostics_sink sink) { return current_sink.exchange(sink); }

void diagnose(diagnostic_stream stream, const char* format, ...) {
    char line[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    current_sink.load()(stream, line);
}

}  // namespace quillant
