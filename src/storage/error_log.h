#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace tw {

class TClock;

inline constexpr std::uintmax_t MaxLogFileBytes = 1024 * 1024;

// The program's log: the reports of caught failures and, when the person asks for them,
// progress texts, time-stamped in one file (data folder + program base name + ".log"). The
// entry owns one and hands it to what reports; a test builds its own. Reports may come from
// the desktop's helper threads too.
class TErrorLog {
  public:
    // Writes to `path`; "" writes nowhere until SetFilePath names the file.
    explicit TErrorLog(std::string path = {});
    virtual ~TErrorLog() = default;
    TErrorLog(const TErrorLog&) = delete;
    TErrorLog& operator=(const TErrorLog&) = delete;

    // Receives the report of a caught failure ("ErrorClassName: " + class + label + message)
    // and appends it. Never fails its caller.
    void Report(const std::string& text) noexcept;
    // Receives progress texts of long-running handlers, written only when the person asked
    // for them (SetDiagnosticsEnabled, or the environment variable TALLYWICK_DIAGNOSTIC_LOG
    // set to anything but 0). Never fails its caller.
    void Trace(const std::string& text) noexcept;
    void SetDiagnosticsEnabled(bool enabled);
    bool DiagnosticsEnabled() const noexcept;

    // When the file would grow past MaxLogFileBytes it becomes the older file (".old.log"
    // for ".log"), replacing the one before, and a new file begins: the log never takes more
    // than about twice that.
    void SetFilePath(const std::string& path);
    std::string FilePath() const;
    std::string OlderFilePath() const;
    // The clock the entries are stamped by: the program's (until it is set, and after null,
    // the system's local time). It must stay until it is replaced.
    void SetClock(const TClock* clock);

  protected:
    // Hears each report once it is written (progress texts are not heard). A test's log
    // collects them here; it must not report in turn.
    virtual void Heard(const std::string& /*text*/) noexcept {}

  private:
    void Write(const char* kind, const std::string& text, bool heard) noexcept;

    mutable std::mutex mutex_;
    std::string path_;
    const TClock* clock_ = nullptr;
    mutable std::optional<bool> diagnostics_; // unset until asked: then the environment decides
    bool writing_ = false;                    // a report raised while writing one is dropped
};

} // namespace tw
