#pragma once

#include "platform/desktop.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace tw {

// A browser's address bar shows what is being typed into it, so one character typed there
// would hide the page in front: neither counted nor closed at the limit. While a window keeps
// its title, the page is taken to be the one read when the title came; another window, a new
// title (another tab, another page) or a window without a title takes what is read then.
// Shared by the scan and the closing at the limit, so that either sees what the other read.
class TKeptAddresses {
  public:
    // Windows remembered at most; the one used longest ago goes first.
    static constexpr std::size_t MaxWindows = 64;

    // The address the window is judged by, its facts just read; what is kept from then on.
    std::string AddressOf(const TWindowFacts& facts);

  private:
    struct TKept {
        std::string title;
        std::string address;
        std::uint64_t lastUse = 0;
    };

    std::map<TWindowHandle, TKept> kept_;
    std::uint64_t uses_ = 0;
};

} // namespace tw
