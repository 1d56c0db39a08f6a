#pragma once

#include <string>

namespace tw {

// How a typed password compares with the stored one.
enum class TPasswordMatch {
    Wrong,
    Right,
    RightInOldForm, // right, against a digest of the old unsalted form: store it anew
};

// What the administrator's password is kept as: a salted, slow derivation of it,
// "pbkdf2-sha256$<iterations>$<salt hex>$<key hex>", the same on every system. Throws
// ECryptoError when the system's cryptography refuses.
std::string PasswordDigest(const std::string& password);

// Compares with a stored value of either form: the derivation above or the 32 hexadecimal
// digits of an unsalted MD5 that earlier versions stored (any letter case). Anything else,
// an empty value included, matches nothing.
TPasswordMatch MatchPassword(const std::string& password, const std::string& stored);

} // namespace tw
