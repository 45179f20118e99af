// SPDX-License-Identifier: MIT
// The query of an address, read as browsers read it: the page reads its
// settings from its own, and quillant-snapshot a moment from a pasted link.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quillant {

// The name=value pairs of a query such as "?seed=7&fps&de%6Cay=20000", in
// order, unescaped as URLSearchParams unescapes them: "+" is a space and
// "%XX" a byte (a "%" without two hex digits stays). A pair without "=" has
// an empty value; empty pairs are skipped.
std::vector<std::pair<std::string, std::string>> query_pairs(const std::string& query);

// The query of a whole address, "" when it has none: what lies between its
// first "?" and its "#".
std::string query_of_address(const std::string& address);

}  // namespace quillant
