#include "base/text.h"

#include "base/exception.h"

#include <charconv>

namespace tw {
namespace {
char LowerChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
char UpperChar(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}
} // namespace

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerChar(a[i]) != LowerChar(b[i])) {
            return false;
        }
    }
    return true;
}

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        c = LowerChar(c);
    }
    return text;
}

std::string UpperAscii(std::string text) {
    for (char& c : text) {
        c = UpperChar(c);
    }
    return text;
}

std::string Trim(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlankOrControl(text[first])) {
        ++first;
    }
    while (last > first && IsBlankOrControl(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

std::string QuotedStr(const std::string& text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    for (char c : text) {
        quoted += c;
        if (c == '\'') {
            quoted += '\'';
        }
    }
    quoted += '\'';
    return quoted;
}

int StrToInt(const std::string& text) {
    std::string number = Trim(text);
    const char* begin = number.data();
    if (!number.empty() && number[0] == '+') {
        ++begin;
    }
    int value = 0;
    auto [end, error] = std::from_chars(begin, number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size()) {
        throw EConvertError("'" + text + "' is not a valid integer value");
    }
    return value;
}

std::string CutUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t end = maxBytes;
    // Step back over continuation bytes to the start of the character that was cut.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

} // namespace tw
