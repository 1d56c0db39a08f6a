#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

namespace tw {

// Reading window properties. Every reader answers "nothing" (nullopt or empty) when the
// window is gone, the property is missing or it has another type or format than expected,
// so a window that vanishes in the middle of a probe just looks empty.

// 32-bit items (CARDINAL, WINDOW, ATOM lists) of a property of the given type.
std::vector<unsigned long> ReadLongs(Display* display, ::Window window, ::Atom property,
                                     ::Atom type);
// The first 32-bit item, when there is one.
std::optional<unsigned long> ReadLong(Display* display, ::Window window, ::Atom property,
                                      ::Atom type);
// The bytes of an 8-bit property and its actual type.
std::optional<std::string> ReadBytes(Display* display, ::Window window, ::Atom property,
                                     ::Atom* actualType = nullptr);

// Latin-1 text in UTF-8.
std::string Latin1ToUtf8(const std::string& text);

} // namespace tw
