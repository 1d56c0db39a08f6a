#pragma once

#include <string>
#include <string_view>

namespace tw {

// Text inside the program is UTF-8; the system speaks UTF-16 through its wide calls. Every
// text that crosses into the Windows backend or back goes through these two.

// UTF-8 to UTF-16. Bytes that are no valid UTF-8 become U+FFFD, as the system does.
std::wstring WideText(std::string_view utf8);
// UTF-16 to UTF-8. A lone surrogate becomes U+FFFD.
std::string Utf8Text(std::wstring_view wide);
// The same for a zero-terminated buffer of at most `capacity` characters.
std::string Utf8Text(const wchar_t* wide, std::size_t capacity);

} // namespace tw
