#pragma once

#include "base/exception.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tw {

// The system's cryptography library refused a request.
class ECryptoError : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const override { return "ECryptoError"; }
};

using TBytes = std::vector<unsigned char>;

// Bytes from the system's cryptographic random source. Throws ECryptoError.
TBytes RandomBytes(std::size_t count);

// The MD5 digest of the text's bytes as given (16 bytes), for reading what earlier versions
// stored; nothing new is kept with it. Throws ECryptoError.
TBytes Md5Digest(const std::string& text);

// PBKDF2 with HMAC-SHA-256 over the text's bytes as given, the same on every system.
// Throws ECryptoError.
TBytes DerivePbkdf2Sha256(const std::string& text, const TBytes& salt, unsigned iterations,
                          std::size_t length);

// Whether the two are equal, taking as long whatever their content, so that the time a
// comparison takes tells nothing of how much of a secret was right.
bool SameSecretBytes(const TBytes& a, const TBytes& b);

} // namespace tw
