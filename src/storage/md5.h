#pragma once

#include <string>

namespace tw {

// MD5 digest of the text's bytes exactly as given, as 32 uppercase hexadecimal
// characters (the 16 digest bytes in order), computed by the system's cryptography library.
// Throws ECryptoError when it refuses.
std::string MD5Hex(const std::string& text);

} // namespace tw
