#include "storage/password_digest.h"

#include "platform/key_derivation.h"
#include "storage/md5.h"

#include <charconv>
#include <optional>
#include <string_view>

namespace tw {

namespace {

constexpr std::string_view Scheme = "pbkdf2-sha256";
// About a tenth to a fifth of a second on a current computer: nothing to one person typing,
// a great deal to somebody trying a list of guesses.
constexpr unsigned DigestIterations = 300000;
// A stored count above this would freeze every check; it is no value this program wrote.
constexpr unsigned MaxDigestIterations = 5000000;
constexpr std::size_t SaltBytes = 16;
constexpr std::size_t KeyBytes = 32;
constexpr std::size_t Md5Bytes = 16;

std::string ToHex(const TBytes& bytes) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        text += Digits[byte >> 4];
        text += Digits[byte & 0x0f];
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The bytes of exactly `count` bytes' worth of hexadecimal digits, or nothing.
std::optional<TBytes> FromHex(std::string_view text, std::size_t count) {
    if (text.size() != count * 2) {
        return std::nullopt;
    }
    TBytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int high = HexDigit(text[2 * i]);
        const int low = HexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return bytes;
}

// The next '$'-separated field of the text, consumed.
std::string_view NextField(std::string_view& text) {
    const std::size_t end = text.find('$');
    const std::string_view field = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    return field;
}

TPasswordMatch MatchDerived(const std::string& password, std::string_view rest) {
    const std::string_view countText = NextField(rest);
    const std::string_view saltText = NextField(rest);
    const std::string_view keyText = rest;
    unsigned iterations = 0;
    const auto [end, error] =
        std::from_chars(countText.data(), countText.data() + countText.size(), iterations);
    const std::optional<TBytes> salt = FromHex(saltText, SaltBytes);
    const std::optional<TBytes> key = FromHex(keyText, KeyBytes);
    if (error != std::errc() || end != countText.data() + countText.size() || iterations == 0 ||
        iterations > MaxDigestIterations || !salt || !key) {
        return TPasswordMatch::Wrong;
    }
    return SameSecretBytes(DerivePbkdf2Sha256(password, *salt, iterations, KeyBytes), *key)
               ? TPasswordMatch::Right
               : TPasswordMatch::Wrong;
}

} // namespace

std::string PasswordDigest(const std::string& password) {
    const TBytes salt = RandomBytes(SaltBytes);
    const TBytes key = DerivePbkdf2Sha256(password, salt, DigestIterations, KeyBytes);
    return std::string(Scheme) + "$" + std::to_string(DigestIterations) + "$" + ToHex(salt) + "$" +
           ToHex(key);
}

TPasswordMatch MatchPassword(const std::string& password, const std::string& stored) {
    std::string_view rest = stored;
    if (NextField(rest) == Scheme && stored.size() > Scheme.size()) {
        return MatchDerived(password, rest);
    }
    const std::optional<TBytes> md5 = FromHex(stored, Md5Bytes);
    if (!md5) {
        return TPasswordMatch::Wrong;
    }
    return SameSecretBytes(*FromHex(MD5Hex(password), Md5Bytes), *md5)
               ? TPasswordMatch::RightInOldForm
               : TPasswordMatch::Wrong;
}

} // namespace tw
