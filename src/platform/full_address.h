#pragma once

#include <string>

namespace tw {

// Whether a browser's text is a full page address, scheme first. Where a backend reads the
// page's own address (Firefox's document) only such a text counts: the browser's own pages
// (about:...) and local files are no site to count.
inline bool IsFullAddress(const std::string& text) {
    for (const char* scheme : {"http://", "https://", "ftp://", "ftps://"}) {
        if (text.starts_with(scheme)) {
            return true;
        }
    }
    return false;
}

} // namespace tw
