#include "platform/x11/x11_properties.h"

#include <X11/Xatom.h>

namespace tw {

namespace {

// Longer properties are not window names or window lists any program sets on purpose.
constexpr long MaxPropertyLength = 1 << 20; // in 32-bit units

struct TPropertyData {
    ::Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned char* data = nullptr;
    ~TPropertyData() {
        if (data) {
            XFree(data);
        }
    }
};

bool Read(Display* display, ::Window window, ::Atom property, ::Atom type, TPropertyData& out) {
    if (window == 0) {
        return false;
    }
    unsigned long remaining = 0;
    const int status =
        XGetWindowProperty(display, window, property, 0, MaxPropertyLength, False, type, &out.type,
                           &out.format, &out.items, &remaining, &out.data);
    return status == Success && out.type != 0 && out.data != nullptr;
}

} // namespace

std::vector<unsigned long> ReadLongs(Display* display, ::Window window, ::Atom property,
                                     ::Atom type) {
    TPropertyData property32;
    if (!Read(display, window, property, type, property32) || property32.type != type ||
        property32.format != 32) {
        return {};
    }
    // Xlib hands 32-bit items out as longs, whatever the size of long.
    const auto* items = reinterpret_cast<const unsigned long*>(property32.data);
    return std::vector<unsigned long>(items, items + property32.items);
}

std::optional<unsigned long> ReadLong(Display* display, ::Window window, ::Atom property,
                                      ::Atom type) {
    const std::vector<unsigned long> items = ReadLongs(display, window, property, type);
    if (items.empty()) {
        return std::nullopt;
    }
    return items.front();
}

std::optional<std::string> ReadBytes(Display* display, ::Window window, ::Atom property,
                                     ::Atom* actualType) {
    TPropertyData property8;
    if (!Read(display, window, property, AnyPropertyType, property8) || property8.format != 8) {
        return std::nullopt;
    }
    if (actualType) {
        *actualType = property8.type;
    }
    return std::string(reinterpret_cast<const char*>(property8.data), property8.items);
}

std::string Latin1ToUtf8(const std::string& text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (code >> 6));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

} // namespace tw
