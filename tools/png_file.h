// SPDX-License-Identifier: MIT
// Writes an RGBA image to a PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillant {

// Writes width x height RGBA pixels, given bottom row first as GL reads them,
// to an RGB PNG file with the top row first: alpha is dropped, as the screen
// shows no alpha. False when the file cannot be written.
bool write_png(const std::string& path, std::int32_t width, std::int32_t height,
               const std::vector<std::uint8_t>& bottom_up_rgba);

}  // namespace quillant
