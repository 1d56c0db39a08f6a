#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tw {

// A value handed to a statement's parameters (?1, ?2, ...) instead of being written into
// its text: no quote, NUL or wildcard in it can change what the statement does, and text
// keeps every byte.
using TSQLValue = std::variant<std::nullptr_t, std::int64_t, double, std::string>;
using TSQLValues = std::vector<TSQLValue>;

} // namespace tw
