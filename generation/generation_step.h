// One pass of the worker over the rose set: shows a ready orbit as a new rose
// when there is room, then searches a new orbit for a free slot.
#pragma once

#include "roses/rose_set.h"

namespace quillant {

inline constexpr double margin = 1.2;

// Shows the first ready slot as a rose if fewer than max_roses live, then
// traces random candidates into the first free slot until one is accepted.
void generation_step(rose_set& set);

}  // namespace quillant
