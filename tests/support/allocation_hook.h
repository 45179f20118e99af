// SPDX-License-Identifier: MIT
// Test-build hook on the global allocation functions: counts allocations and
// can make them fail, to show code that must not allocate, or that must
// survive a failed allocation.
#pragma once

#include <cstddef>

namespace quillant::testing {

// Number of successful calls of the global operator new so far, on any thread.
std::size_t allocation_count();

// Makes every allocation after the next `successes` ones throw
// std::bad_alloc, until allow_allocations() is called.
void fail_allocations_after(std::size_t successes);
void allow_allocations();

}  // namespace quillant::testing
