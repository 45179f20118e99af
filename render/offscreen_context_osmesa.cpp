// SPDX-License-Identifier: MIT
#include "render/offscreen_context.h"

#include <GL/osmesa.h>

#include <cstddef>

namespace quillant {

namespace {

// Larger than any screen drawn for; keeps a mistaken size from a huge buffer.
constexpr std::int32_t largest_side = 16384;

}  // namespace

offscreen_context::offscreen_context(std::int32_t width, std::int32_t height)
    : width_(width), height_(height) {
    if (width < 1 || height < 1 || width > largest_side || height > largest_side) return;
    // The buffer comes first, so that a failed allocation leaves no context.
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    // No depth, stencil or accumulation buffer: the saver's window has none.
    context_ = OSMesaCreateContextExt(OSMESA_RGBA, 0, 0, 0, nullptr);
    if (context_ == nullptr) {
        pixels_.clear();
        return;
    }
    ready_ = OSMesaMakeCurrent(context_, pixels_.data(), GL_UNSIGNED_BYTE, width, height) ==
             GL_TRUE;
    if (!ready_) pixels_.clear();
}

offscreen_context::~offscreen_context() {
    if (context_ == nullptr) return;
    if (OSMesaGetCurrentContext() == context_) {
        OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
    }
    OSMesaDestroyContext(context_);
}

const std::vector<std::uint8_t>& offscreen_context::pixels() {
    if (ready_ && OSMesaGetCurrentContext() == context_) glFinish();
    return pixels_;
}

}  // namespace quillant
