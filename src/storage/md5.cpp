#include "storage/md5.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tw {
namespace {

struct TMD5Context {
    std::uint32_t state[4];
    std::uint64_t bitCount;
    unsigned char buffer[64];
};

constexpr std::uint32_t Sines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr int Shifts[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                            5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                            4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                            6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

std::uint32_t RotateLeft(std::uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

void Transform(std::uint32_t state[4], const unsigned char block[64]) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i) {
        x[i] = std::uint32_t(block[i * 4]) | std::uint32_t(block[i * 4 + 1]) << 8 |
               std::uint32_t(block[i * 4 + 2]) << 16 | std::uint32_t(block[i * 4 + 3]) << 24;
    }
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        std::uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (b & d) | (c & ~d);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        std::uint32_t next = b + RotateLeft(a + f + Sines[i] + x[g], Shifts[i]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
    // The message words are as sensitive as the buffer they came from.
    volatile std::uint32_t* wipe = x;
    for (int i = 0; i < 16; ++i) {
        wipe[i] = 0;
    }
}

void Init(TMD5Context& context) {
    context.state[0] = 0x67452301;
    context.state[1] = 0xefcdab89;
    context.state[2] = 0x98badcfe;
    context.state[3] = 0x10325476;
    context.bitCount = 0;
}

void Update(TMD5Context& context, const unsigned char* data, std::size_t length) {
    std::size_t used = (context.bitCount / 8) % 64;
    context.bitCount += std::uint64_t(length) * 8;
    while (length > 0) {
        std::size_t take = std::min(length, 64 - used);
        std::memcpy(context.buffer + used, data, take);
        used += take;
        data += take;
        length -= take;
        if (used == 64) {
            Transform(context.state, context.buffer);
            used = 0;
        }
    }
}

// Pads, appends the bit length, writes the digest and wipes the context: the text may
// be a password.
void Final(TMD5Context& context, unsigned char digest[16]) {
    unsigned char length[8];
    for (int i = 0; i < 8; ++i) {
        length[i] = static_cast<unsigned char>(context.bitCount >> (8 * i));
    }
    std::size_t used = (context.bitCount / 8) % 64;
    static const unsigned char padding[64] = {0x80};
    Update(context, padding, used < 56 ? 56 - used : 120 - used);
    Update(context, length, 8);
    for (int i = 0; i < 16; ++i) {
        digest[i] = static_cast<unsigned char>(context.state[i / 4] >> (8 * (i % 4)));
    }
    volatile unsigned char* wipe = reinterpret_cast<volatile unsigned char*>(&context);
    for (std::size_t i = 0; i < sizeof context; ++i) {
        wipe[i] = 0;
    }
}

} // namespace

std::string MD5Hex(const std::string& text) {
    TMD5Context context;
    Init(context);
    Update(context, reinterpret_cast<const unsigned char*>(text.data()), text.size());
    unsigned char digest[16];
    Final(context, digest);
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(32);
    for (unsigned char byte : digest) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0x0F];
    }
    return hex;
}

} // namespace tw
