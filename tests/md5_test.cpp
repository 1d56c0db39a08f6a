#include "storage/md5.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using tw::MD5Hex;

TEST(MD5HexTest, MatchesTheReferenceSuite) {
    EXPECT_EQ(MD5Hex(""), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(MD5Hex("a"), "0CC175B9C0F1B6A831C399E269772661");
    EXPECT_EQ(MD5Hex("abc"), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(MD5Hex("message digest"), "F96B697D7CB7938D525A2F31AAF161D0");
    EXPECT_EQ(MD5Hex("abcdefghijklmnopqrstuvwxyz"), "C3FCD3D76192E4007DFB496CCA67E13B");
    EXPECT_EQ(MD5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "D174AB98D277D9F5A5611C2C9F419D9F");
    std::string digits;
    for (int i = 0; i < 8; ++i) {
        digits += "1234567890";
    }
    EXPECT_EQ(MD5Hex(digits), "57EDF4A22BE3C955AC49DA2E2107B67A");
}

// Lengths around the 56-byte mark decide whether the length fits into the last block.
TEST(MD5HexTest, PadsCorrectlyAroundBlockBoundaries) {
    EXPECT_EQ(MD5Hex(std::string(55, 'a')), "EF1772B6DFF9A122358552954AD0DF65");
    EXPECT_EQ(MD5Hex(std::string(56, 'a')), "3B0C8AC703F828B04C6C197006D17218");
    EXPECT_EQ(MD5Hex(std::string(63, 'a')), "B06521F39153D618550606BE297466D5");
    EXPECT_EQ(MD5Hex(std::string(64, 'a')), "014842D480B571495A4A0363793F7367");
    EXPECT_EQ(MD5Hex(std::string(65, 'a')), "C743A45E0D2E6A95CB859ADAE0248435");
}

TEST(MD5HexTest, HashesEveryByteAsGivenWithoutFolding) {
    EXPECT_EQ(MD5Hex(std::string("\xff\x00\x80", 3)), "60CDCCD4000580A3C394B8AD6EA9B899");
    EXPECT_EQ(MD5Hex("Passw0rd!"), "47B7BFB65FA83AC9A71DCB0F6296BB6E");
    EXPECT_NE(MD5Hex("abc"), MD5Hex("ABC"));
    EXPECT_NE(MD5Hex("abc"), MD5Hex("abc "));
}

} // namespace
