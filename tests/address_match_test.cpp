#include "items/address_match.h"

#include <gtest/gtest.h>

namespace {

struct MatchCase {
    const char* name;
    const char* address;
    bool matches;
    const char* why;
};

// Readable test names in listings instead of the raw bytes of the case.
void PrintTo(const MatchCase& c, std::ostream* out) {
    *out << "'" << c.name << "' in '" << c.address << "' (" << c.why << ")";
}

class AddressMatchTest : public testing::TestWithParam<MatchCase> {};

TEST_P(AddressMatchTest, DecidesWhetherTheNameCoversTheAddress) {
    const MatchCase& c = GetParam();
    EXPECT_EQ(tw::UrlMatches(c.name, c.address), c.matches)
        << "name '" << c.name << "' address '" << c.address << "': " << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, AddressMatchTest,
    testing::Values(
        MatchCase{"facebook.com", "search.example.net/?q=https://facebook.com", false,
                  "a scheme in the query does not cut the address"},
        MatchCase{"x", "news.example.com/www.x", false, "a www. in the path does not cut it"},
        MatchCase{"x.com", "news.example.com/www.x.com", false, "nor for a longer name"},
        MatchCase{"Facebook.com", "https://www.facebook.com/", true,
                  "host letters match in any case"},
        MatchCase{"facebook.com", "HTTPS://WWW.FACEBOOK.COM/", true,
                  "both ways, scheme and www. too"},
        MatchCase{"book.com", "https://facebook.com/", false, "part of a label is no match"},
        MatchCase{"example.com", "https://www.example.community.example.com/", true,
                  "every occurrence is tried, not only the first"},
        MatchCase{"example.com", "https://mail.example.com/inbox", true,
                  "a sub-domain may stand before the name"},
        MatchCase{"example.com", "a.b.example.com", true, "so may several"},
        MatchCase{"example.com", "example.com", true, "the bare host"},
        MatchCase{"  http://www.example.com\t", " https://example.com ", true,
                  "blanks, scheme and www. are dropped on both sides"},
        MatchCase{"example.com", "http://example.org/?u=example.com", false,
                  "the name in the query does not count"},
        MatchCase{"example.com", "http://example.org/example.com/", false, "nor in the path"},
        MatchCase{"example.com", "example.org#example.com", false, "nor in the fragment"},
        MatchCase{"example.com/news", "https://www.example.com/news/today", true,
                  "a name with a path: the host matches, the path follows at once"},
        MatchCase{"example.com/news", "https://mail.example.com/news", true,
                  "also below a sub-domain"},
        MatchCase{"example.com/news", "https://example.com/sport/news", false,
                  "the path must follow the host at once"},
        MatchCase{"example.com/News", "https://example.com/news", false, "the path keeps its case"},
        MatchCase{"EXAMPLE.com/news", "https://example.COM/news", true,
                  "while the host part ignores it"},
        MatchCase{"example.com", "example.com?q=1", true, "a query after the host"},
        MatchCase{"localhost:8080/x", "http://localhost:8080/x/y", true,
                  "a port is part of the host"},
        MatchCase{"localhost", "localhost:8080/x", true, "a host name before its port"},
        MatchCase{"localhost:8080", "http://localhost:9090/", false, "another port"},
        MatchCase{"example.com", "https://user@example.com/", true,
                  "the user part is not part of the host"},
        MatchCase{"example.com", "https://example.com@evil.net/", false,
                  "a name in the user part is not the host"},
        MatchCase{"10.0.0.1", "http://10.0.0.1:8080/", true, "an IPv4 address"},
        MatchCase{"0.0.1", "http://10.0.0.1/", false, "an IPv4 address has no sub-domains"},
        MatchCase{"bücher.example", "https://www.bücher.example/", true,
                  "an IDN host as the browser shows it"},
        MatchCase{"ücher.example", "https://bücher.example/", false,
                  "part of a non-ASCII label is no match either"},
        MatchCase{"", "http://example.com", false, "an empty name matches nothing"},
        MatchCase{"http://www.", "http://www.example.com", false,
                  "nor does one that normalises to nothing"},
        MatchCase{"example.com", "   ", false, "a blank address is matched by nothing"}));

TEST(AddressNormalizeTest, CutsSchemeAndWwwOnlyAtTheStart) {
    EXPECT_EQ(tw::NormalizeAddress(" https://www.example.com/a "), "example.com/a");
    EXPECT_EQ(tw::NormalizeAddress("WWW.example.com"), "example.com");
    EXPECT_EQ(tw::NormalizeAddress("svn+ssh://host/x"), "host/x");
    EXPECT_EQ(tw::NormalizeAddress("mail.www.example.com"), "mail.www.example.com");
    EXPECT_EQ(tw::NormalizeAddress("example.com/?r=http://x"), "example.com/?r=http://x");
    EXPECT_EQ(tw::NormalizeAddress("://example.com"), "://example.com");
}

} // namespace
