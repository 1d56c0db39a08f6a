#include "discovery/shortcut_bytes.h"

namespace tw {

std::optional<std::u16string> RelativePathInShortcut(const std::string& bytes) {
    static const std::string marker("\x2E\x00\x2E\x00\x5C\x00\x2E\x00", 8);
    const auto place = bytes.find(marker, 2);
    if (place == std::string::npos) {
        return std::nullopt;
    }
    const auto byteAt = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const size_t length = byteAt(place - 2) | (byteAt(place - 1) << 8);
    if (place + 2 * length > bytes.size()) {
        return std::nullopt;
    }
    std::u16string path;
    for (size_t i = 0; i < length; ++i) {
        const auto character =
            static_cast<char16_t>(byteAt(place + 2 * i) | (byteAt(place + 2 * i + 1) << 8));
        // Some writers count the terminating zero too; a path never holds one.
        if (character == u'\0') {
            break;
        }
        path += character;
    }
    return path;
}

} // namespace tw
