// SPDX-License-Identifier: MIT
#include "roses/rose_set.h"

#include <utility>

namespace quillant {

rose_set::rose_set() {
    for (auto& state : slot_states) state.store(slot_free);
}

void rose_set::fit_roses(std::int32_t new_width, std::int32_t new_height) {
    width.store(new_width);
    height.store(new_height);
    platform::scoped_lock held(lock);
    for (const auto& rose : roses) {
        rose->width = static_cast<float>(new_width);
        rose->height = static_cast<float>(new_height);
        rose->lay_out();
    }
}

void rose_set::age_roses() {
    platform::scoped_lock held(lock);
    for (auto it = roses.begin(); it != roses.end();) {
        traj_rose& rose = **it;
        rose.progress += progress_step;
        const auto bound = 4u * static_cast<std::uint32_t>(rose.vertices.size());
        if (static_cast<std::uint32_t>(rose.progress) < bound) {
            ++it;
            continue;
        }
        it = retire(it);
    }
}

void rose_set::retire_roses() {
    platform::scoped_lock held(lock);
    for (auto it = roses.begin(); it != roses.end();) it = retire(it);
}

std::list<std::unique_ptr<traj_rose>>::iterator rose_set::retire(
    std::list<std::unique_ptr<traj_rose>>::iterator it) {
    const std::int32_t index = (*it)->slot_index;
    it = roses.erase(it);
    rose_count.store(static_cast<std::uint32_t>(roses.size()));
    // Release: the worker that sees the slot free also sees our last read of it.
    slot_states[index].store(slot_free, std::memory_order_release);
    return it;
}

void rose_set::add_rose(std::unique_ptr<traj_rose> rose) {
    platform::scoped_lock held(lock);
    const std::int32_t index = rose->slot_index;
    roses.push_back(std::move(rose));
    ++roses_shown;
    rose_count.store(static_cast<std::uint32_t>(roses.size()));
    slot_states[index].store(slot_showing);
}

}  // namespace quillant
