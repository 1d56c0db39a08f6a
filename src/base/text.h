#pragma once

#include <string>

namespace tw {

// Equality with the letters A-Z compared without regard to case; all else must be identical.
bool SameText(const std::string& a, const std::string& b);
// Changes only the letters A-Z.
std::string LowerAscii(std::string text);
std::string UpperAscii(std::string text);
// Removes leading and trailing blanks and control characters (bytes up to 0x20).
std::string Trim(const std::string& text);
// Text as an SQL string literal: enclosed in single quotes, inner single quotes doubled.
std::string QuotedStr(const std::string& text);
// A decimal 32-bit integer, blanks around it allowed; EConvertError for anything else.
int StrToInt(const std::string& text);

// At most maxBytes of UTF-8 text, never ending inside a character.
std::string CutUtf8(const std::string& text, std::size_t maxBytes);

} // namespace tw
