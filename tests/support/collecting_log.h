#pragma once

#include "storage/error_log.h"

#include <mutex>
#include <string>
#include <vector>

namespace twtest {

// A test's own log: it writes where it is told (nowhere by default) and keeps every report
// it hears, so that a test can say which failures were reported and how.
class TCollectingLog : public tw::TErrorLog {
  public:
    using tw::TErrorLog::TErrorLog;

    // The reports so far, oldest first. Read once the reporting threads are done.
    const std::vector<std::string>& Lines() const { return lines_; }
    void Clear() {
        std::lock_guard<std::mutex> lock(linesMutex_);
        lines_.clear();
    }

  protected:
    void Heard(const std::string& text) noexcept override {
        try {
            std::lock_guard<std::mutex> lock(linesMutex_);
            lines_.push_back(text);
        } catch (...) {
            // Out of memory: the test fails on the missing line.
        }
    }

  private:
    std::mutex linesMutex_;
    std::vector<std::string> lines_;
};

} // namespace twtest
