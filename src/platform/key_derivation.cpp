#include "platform/key_derivation.h"

#ifdef _WIN32
#include <windows.h>

#include <bcrypt.h>
#else
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#endif

#include <climits>
#include <cstdio>

namespace tw {

namespace {

#ifdef _WIN32

[[noreturn]] void Fail(const char* what, NTSTATUS status) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(status));
    throw ECryptoError(std::string(what) + " failed (status " + code + ")");
}

#else

[[noreturn]] void Fail(const char* what) {
    char text[256] = "no reason given";
    if (const unsigned long code = ERR_get_error(); code != 0) {
        ERR_error_string_n(code, text, sizeof text);
    }
    ERR_clear_error();
    throw ECryptoError(std::string(what) + " failed: " + text);
}

#endif

} // namespace

TBytes RandomBytes(std::size_t count) {
    TBytes bytes(count);
    if (count > INT_MAX) {
        throw ECryptoError("Too many random bytes asked for");
    }
#ifdef _WIN32
    const NTSTATUS status = BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(count),
                                            BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (!BCRYPT_SUCCESS(status)) {
        Fail("BCryptGenRandom", status);
    }
#else
    if (RAND_bytes(bytes.data(), static_cast<int>(count)) != 1) {
        Fail("RAND_bytes");
    }
#endif
    return bytes;
}

TBytes Md5Digest(const std::string& text) {
    if (text.size() > UINT_MAX) {
        throw ECryptoError("Too long a text for a digest");
    }
    TBytes digest(16);
#ifdef _WIN32
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    NTSTATUS status = BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0);
    if (!BCRYPT_SUCCESS(status)) {
        Fail("BCryptOpenAlgorithmProvider", status);
    }
    // The text is only read, though the API takes a writable pointer.
    std::string copy = text;
    status = BCryptHash(algorithm, nullptr, 0, reinterpret_cast<PUCHAR>(copy.data()),
                        static_cast<ULONG>(copy.size()), digest.data(),
                        static_cast<ULONG>(digest.size()));
    SecureZeroMemory(copy.data(), copy.size());
    BCryptCloseAlgorithmProvider(algorithm, 0);
    if (!BCRYPT_SUCCESS(status)) {
        Fail("BCryptHash", status);
    }
#else
    unsigned int length = 0;
    if (EVP_Digest(text.data(), text.size(), digest.data(), &length, EVP_md5(), nullptr) != 1 ||
        length != digest.size()) {
        Fail("EVP_Digest");
    }
#endif
    return digest;
}

TBytes DerivePbkdf2Sha256(const std::string& text, const TBytes& salt, unsigned iterations,
                          std::size_t length) {
    if (iterations == 0 || iterations > INT_MAX || length == 0 || length > INT_MAX ||
        text.size() > INT_MAX || salt.size() > INT_MAX) {
        throw ECryptoError("PBKDF2 was asked for an impossible derivation");
    }
    TBytes key(length);
#ifdef _WIN32
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    NTSTATUS status = BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr,
                                                  BCRYPT_ALG_HANDLE_HMAC_FLAG);
    if (!BCRYPT_SUCCESS(status)) {
        Fail("BCryptOpenAlgorithmProvider", status);
    }
    // The API takes its inputs as writable pointers but only reads them.
    std::string password = text;
    TBytes saltCopy = salt;
    status = BCryptDeriveKeyPBKDF2(algorithm, reinterpret_cast<PUCHAR>(password.data()),
                                   static_cast<ULONG>(password.size()), saltCopy.data(),
                                   static_cast<ULONG>(saltCopy.size()), iterations, key.data(),
                                   static_cast<ULONG>(key.size()), 0);
    SecureZeroMemory(password.data(), password.size());
    BCryptCloseAlgorithmProvider(algorithm, 0);
    if (!BCRYPT_SUCCESS(status)) {
        Fail("BCryptDeriveKeyPBKDF2", status);
    }
#else
    if (PKCS5_PBKDF2_HMAC(text.data(), static_cast<int>(text.size()), salt.data(),
                          static_cast<int>(salt.size()), static_cast<int>(iterations), EVP_sha256(),
                          static_cast<int>(key.size()), key.data()) != 1) {
        Fail("PKCS5_PBKDF2_HMAC");
    }
#endif
    return key;
}

bool SameSecretBytes(const TBytes& a, const TBytes& b) {
    if (a.size() != b.size()) {
        return false; // the length of a digest is no secret
    }
#ifdef _WIN32
    // CNG has no comparison of its own; every byte is looked at, whatever the first
    // difference.
    volatile unsigned char difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        difference = static_cast<unsigned char>(difference | (a[i] ^ b[i]));
    }
    return difference == 0;
#else
    return CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
#endif
}

} // namespace tw
