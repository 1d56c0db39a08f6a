#include "storage/md5.h"

#include "platform/key_derivation.h"

namespace tw {

std::string MD5Hex(const std::string& text) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char byte : Md5Digest(text)) {
        hex += Digits[byte >> 4];
        hex += Digits[byte & 0x0f];
    }
    return hex;
}

} // namespace tw
