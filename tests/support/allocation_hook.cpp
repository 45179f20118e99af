// SPDX-License-Identifier: MIT
#include "tests/support/allocation_hook.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace quillant::testing {

namespace {

std::atomic<std::size_t> allocations{0};
std::atomic<bool> failing{false};
std::atomic<std::size_t> successes_left{0};

bool may_allocate() {
    if (!failing.load()) return true;
    std::size_t left = successes_left.load();
    while (left > 0) {
        if (successes_left.compare_exchange_weak(left, left - 1)) return true;
    }
    return false;
}

}  // namespace

std::size_t allocation_count() { return allocations.load(); }

void fail_allocations_after(std::size_t successes) {
    successes_left.store(successes);
    failing.store(true);
}

void allow_allocations() { failing.store(false); }

}  // namespace quillant::testing

void* operator new(std::size_t size) {
    if (!quillant::testing::may_allocate()) throw std::bad_alloc();
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) throw std::bad_alloc();
    ++quillant::testing::allocations;
    return memory;
}

void* operator new[](std::size_t size) { return operator new(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}

void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
