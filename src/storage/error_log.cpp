#include "storage/error_log.h"

#include <utility>

namespace tw {
namespace {
std::function<void(const std::string&)>& Listener() {
    static std::function<void(const std::string&)> listener;
    return listener;
}
} // namespace

void ErrorLog(const std::string& text) {
    if (auto& listener = Listener()) {
        try {
            listener(text);
        } catch (...) {
            // Reporting must never fail the caller.
        }
    }
}

void DiagnosticLog(const std::string&) {}

void SetErrorLogListener(std::function<void(const std::string&)> listener) {
    Listener() = std::move(listener);
}

} // namespace tw
