#include "monitor/kept_addresses.h"

#include <algorithm>

namespace tw {

std::string TKeptAddresses::AddressOf(const TWindowFacts& facts) {
    auto at = kept_.find(facts.window);
    if (at != kept_.end() && !facts.title.empty() && at->second.title == facts.title) {
        at->second.lastUse = ++uses_;
        return at->second.address;
    }
    if (facts.title.empty() || facts.address.empty()) {
        if (at != kept_.end()) {
            kept_.erase(at);
        }
        return facts.address;
    }
    if (at == kept_.end()) {
        if (kept_.size() >= MaxWindows) {
            kept_.erase(
                std::min_element(kept_.begin(), kept_.end(), [](const auto& a, const auto& b) {
                    return a.second.lastUse < b.second.lastUse;
                }));
        }
        at = kept_.emplace(facts.window, TKept{}).first;
    }
    at->second = {facts.title, facts.address, ++uses_};
    return facts.address;
}

} // namespace tw
