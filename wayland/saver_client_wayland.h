// SPDX-License-Identifier: MIT
// quillant-wayland's client: a scene on a surface for each output (a layer
// surface, or a full-screen toplevel where the compositor has no layer
// shell), or on one window; the seats whose input ends it; and the loop that
// draws each surface at most once a period, when the compositor asks.
#pragma once

#include "wayland/saver_options.h"

namespace quillant {

// Connects to the Wayland display and draws until input, a signal or the
// compositor ends it: 0 then, 1 after one line on standard error when it
// cannot draw or the connection fails.
int run_wayland_saver(const wayland_options& options);

}  // namespace quillant
