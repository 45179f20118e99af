// SPDX-License-Identifier: MIT
#include "render/scene.h"

#include "render/frame.h"
#include "render/view.h"

namespace quillant {

scene::scene(std::uint32_t seed, search_driver driver)
    : scene(std::optional<std::uint32_t>(seed), shared_random_source(), driver) {}

scene::scene(search_driver driver) : scene(std::nullopt, shared_random_source(), driver) {}

// The camera seeds its engine from the scene's source first, before any search.
scene::scene(std::optional<std::uint32_t> seed, random_source& shared, search_driver driver)
    : seed_(seed),
      own_random_(seed ? std::make_unique<random_source>(*seed) : nullptr),
      random_(own_random_ ? *own_random_ : shared),
      root_(random_),
      driver_(driver),
      task_{root_.roses, random_} {}

scene::~scene() {
    task_.stop.raise();
    worker_.join();
}

void scene::resize(std::int32_t width, std::int32_t height) {
    set_up_view(root_, width, height);
    if (driver_ == search_driver::thread && !worker_started()) {
        worker_.start(worker_main, &task_, "quillant-worker");
    }
}

void scene::draw_frame() {
    if (hold_search_) {
        hold_search_ = false;
    } else if (driver_ == search_driver::slices) {
        search_slice();
    } else if (driver_ == search_driver::every_frame) {
        generation_step(root_.roses, random_);
    }
    render_frame(root_, line_scale_);
    if (root_.width != 0 && root_.height != 0) ++frames_;
}

void scene::skip_frames(std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i) {
        generation_step(root_.roses, random_);
        root_.roses.age_roses();
        fly_camera(root_);
        ++frames_;
    }
}

void scene::search_slice() {
    const std::int64_t start = platform::monotonic_us();
    if (!pacer_.due(start)) return;
    bool ended = false;
    do {
        ended = step_.run(root_.roses, 1, random_);
    } while (!ended && platform::monotonic_us() - start < pacer_.slice_us());
    pacer_.ran(start, platform::monotonic_us(), ended);
}

}  // namespace quillant
