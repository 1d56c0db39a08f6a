// The administrator password's digest: the derivation every system must compute alike (the
// settings move between them), and what a stored value of either form lets in.
#include "platform/key_derivation.h"
#include "storage/md5.h"
#include "storage/password_digest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using tw::TPasswordMatch;

std::string Hex(const tw::TBytes& bytes) {
    std::string text;
    for (unsigned char byte : bytes) {
        text += "0123456789abcdef"[byte >> 4];
        text += "0123456789abcdef"[byte & 0x0f];
    }
    return text;
}

tw::TBytes Bytes(const std::string& text) {
    return tw::TBytes(text.begin(), text.end());
}

// The published PBKDF2-HMAC-SHA-256 vectors, in full and cut to the length stored.
TEST(KeyDerivationTest, MatchesThePublishedVectors) {
    struct TCase {
        const char *text, *salt;
        unsigned iterations;
        std::size_t length;
        const char* key;
    };
    for (const TCase& c : {
             TCase{"passwd", "salt", 1, 64,
                   "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc49ca9cccf179b64"
                   "5991664b39d77ef317c71b845b1e30bd509112041d3a19783"},
             TCase{"Password", "NaCl", 80000, 32,
                   "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"},
         }) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Hex(tw::DerivePbkdf2Sha256(c.text, Bytes(c.salt), c.iterations, c.length)),
                  c.key);
    }
    EXPECT_EQ(tw::RandomBytes(16).size(), 16u);
    EXPECT_NE(tw::RandomBytes(16), tw::RandomBytes(16));
    EXPECT_TRUE(tw::SameSecretBytes(Bytes("abc"), Bytes("abc")));
    EXPECT_FALSE(tw::SameSecretBytes(Bytes("abc"), Bytes("abd")));
    EXPECT_FALSE(tw::SameSecretBytes(Bytes("abc"), Bytes("ab")));
}

TEST(KeyDerivationTest, AStoredValueOfEitherFormLetsInItsPasswordAlone) {
    const std::string digest = tw::PasswordDigest("secret");
    EXPECT_EQ(digest.rfind("pbkdf2-sha256$", 0), 0u) << digest;
    EXPECT_NE(tw::PasswordDigest("secret"), digest) << "each digest has a salt of its own";
    const std::string md5 = tw::MD5Hex("secret");
    std::string lowerMd5 = md5;
    for (char& c : lowerMd5) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    // The same salt and key behind a count no check should run, or with a field spoiled.
    const std::string tail = digest.substr(digest.find('$', 14));
    std::string badHex = digest;
    badHex.back() = 'g';
    struct TCase {
        const char* what;
        std::string password, stored;
        TPasswordMatch match;
    };
    for (const TCase& c : {
             TCase{"new form", "secret", digest, TPasswordMatch::Right},
             TCase{"new form, other case", "Secret", digest, TPasswordMatch::Wrong},
             TCase{"new form, trailing space", "secret ", digest, TPasswordMatch::Wrong},
             TCase{"new form, empty", "", digest, TPasswordMatch::Wrong},
             TCase{"old form", "secret", md5, TPasswordMatch::RightInOldForm},
             TCase{"old form in lower case", "secret", lowerMd5, TPasswordMatch::RightInOldForm},
             TCase{"old form, wrong", "Secret", md5, TPasswordMatch::Wrong},
             TCase{"nothing stored", "", "", TPasswordMatch::Wrong},
             TCase{"no count", "secret", "pbkdf2-sha256" + tail, TPasswordMatch::Wrong},
             TCase{"zero count", "secret", "pbkdf2-sha256$0" + tail, TPasswordMatch::Wrong},
             TCase{"endless count", "secret", "pbkdf2-sha256$4000000000" + tail,
                   TPasswordMatch::Wrong},
             TCase{"not hexadecimal", "secret", badHex, TPasswordMatch::Wrong},
             TCase{"cut short", "secret", digest.substr(0, digest.size() - 2),
                   TPasswordMatch::Wrong},
             TCase{"other scheme", "secret", "scrypt" + digest.substr(13), TPasswordMatch::Wrong},
         }) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(tw::MatchPassword(c.password, c.stored), c.match);
    }
}

} // namespace
