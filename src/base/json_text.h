#pragma once

#include <string>

namespace tw {

// Text as a JSON string literal. Quotes, backslashes and control characters are escaped;
// other bytes pass unchanged (paths are bytes, and a reader gets them back as they are).
std::string JsonQuote(const std::string& text);

} // namespace tw
