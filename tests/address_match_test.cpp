#include "items/address_match.h"

#include <gtest/gtest.h>

namespace {

struct MatchCase {
    const char* name;
    const char* address;
    bool matches;
};

// Readable test names in listings instead of the raw bytes of the case.
void PrintTo(const MatchCase& c, std::ostream* out) {
    *out << "'" << c.name << "' in '" << c.address << "'";
}

class AddressMatchTest : public testing::TestWithParam<MatchCase> {};

TEST_P(AddressMatchTest, DecidesWhetherTheNameCoversTheAddress) {
    const MatchCase& c = GetParam();
    EXPECT_EQ(tw::UrlMatches(c.name, c.address), c.matches)
        << "name '" << c.name << "' address '" << c.address << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, AddressMatchTest,
    testing::Values(
        // Scheme, "www." and sub-domains in front of the fragment are fine.
        MatchCase{"example.com", "http://www.example.com/", true},
        MatchCase{"example.com", "https://mail.example.com/inbox", true},
        MatchCase{"example.com", "example.com", true},
        MatchCase{"http://www.example.com", "example.com/page", true},
        MatchCase{"  example.com\t", " https://example.com ", true},
        MatchCase{"example.com/news", "https://www.example.com/news/today", true},
        // The fragment in the path or the query does not count.
        MatchCase{"example.com", "http://example.org/?u=example.com", false},
        MatchCase{"example.com", "http://example.org/example.com/", false},
        MatchCase{"example.com", "example.org?u=example.com", false},
        // The first "://" and the first "www." are cut wherever they stand, so a
        // fragment after them counts as the host.
        MatchCase{"x", "news.example.com/www.x", true},
        MatchCase{"example.com", "https://example.org/?q=www.example.com", true},
        MatchCase{"awww.com", "https://awww.com/", true},
        MatchCase{"Example.com", "http://example.com", false},
        // Nothing left after normalising never matches, on either side.
        MatchCase{"", "http://example.com", false},
        MatchCase{"http://www.", "http://www.example.com", false},
        MatchCase{"example.com", "   ", false}));

TEST(AddressNormalizeTest, CutsAtFirstSchemeAndWww) {
    EXPECT_EQ(tw::NormalizeAddress(" https://www.example.com/a "), "example.com/a");
    EXPECT_EQ(tw::NormalizeAddress("www.example.com"), "example.com");
    EXPECT_EQ(tw::NormalizeAddress("mail.www.example.com"), "example.com");
    EXPECT_EQ(tw::NormalizeAddress("example.com/?r=http://x"), "x");
}

} // namespace
