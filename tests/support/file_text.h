#pragma once

#include <string>

namespace twtest {

// The whole content of a file, byte for byte ("" when it cannot be read).
std::string ReadAll(const std::string& path);
// Replaces a file's content, byte for byte.
void WriteAll(const std::string& path, const std::string& content);

} // namespace twtest
