// SPDX-License-Identifier: MIT
// The diagnostic lines about the search and the roses, and where they go.
// The core writes them here, never to a stream of its own; the host chooses
// the sink: the standard streams (the default, as the Windows saver writes
// them), the browser's console, or nowhere. Errors are not diagnostics and
// never pass through here.
#pragma once

#include <cstdarg>

namespace quillant {

// The stream a line belongs on: "traj_rose:" blocks on standard output, the
// search's lines on standard error.
enum class diagnostic_stream { output, error };

// Takes one whole line, without its line feed. Called from whichever thread
// wrote the line, so it must be safe on any of them.
using diagnostics_sink = void (*)(diagnostic_stream stream, const char* line);

// Writes each line and a line feed to the standard stream and flushes it.
void write_to_standard_streams(diagnostic_stream stream, const char* line);

// Drops every line.
void discard_diagnostics(diagnostic_stream stream, const char* line);

// Sends every later line to the sink; returns the one it replaces.
diagnostics_sink set_diagnostics_sink(diagnostics_sink sink);

// Writes one line, formatted as printf formats (floating-point values with
// %g, as the standard streams write them); longer lines are cut at 255 bytes.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void diagnose(diagnostic_stream stream, const char* format, ...);

}  // namespace quillant
