#include "storage/error_log.h"

#include "platform/file_privacy.h"
#include "platform/native_path.h"
#include "storage/clock.h"
#include "storage/date_format.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tw {
namespace {

bool DiagnosticsFromEnvironment() {
    const char* value = std::getenv("TALLYWICK_DIAGNOSTIC_LOG");
    return value && *value && std::string(value) != "0";
}

// One entry per line: continuation lines of a multi-line text are indented, so that a
// message with the database layer's carriage returns stays readable and together.
std::string Entry(const TClock* clock, const char* kind, const std::string& text) {
    std::string line = DateTimeToSQL(clock ? clock->Now() : LocalWallClockNow()) + " " + kind;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            line += "\n    ";
        } else {
            line += c;
        }
    }
    line += '\n';
    return line;
}

std::string OlderPath(const std::string& path) {
    const std::string_view extension = ".log";
    return (path.ends_with(extension) ? path.substr(0, path.size() - extension.size()) : path) +
           ".old.log";
}

// Called with the log's lock held.
void Append(const std::string& path, const std::string& entry) {
    namespace fs = std::filesystem;
    if (path.empty()) {
        return;
    }
    const fs::path file = NativePath(path);
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    bool fresh = static_cast<bool>(error);
    if (!error && size + entry.size() > MaxLogFileBytes) {
        fs::rename(file, NativePath(OlderPath(path)), error);
        if (error) {
            fs::remove(file, error); // better a fresh log than one that grows without end
        }
        fresh = true;
    }
    FILE* out = OpenFile(path, "ab");
    if (!out) {
        // A data folder deleted while the program runs is made again, so the report of
        // what that broke is not lost with it.
        fs::create_directories(file.parent_path(), error);
        out = OpenFile(path, "ab");
    }
    if (out) {
        std::fwrite(entry.data(), 1, entry.size(), out);
        std::fclose(out);
        if (fresh) {
            MakePrivate(path); // the log tells what the person did and when
        }
    }
}

} // namespace

TErrorLog::TErrorLog(std::string path) : path_(std::move(path)) {}

void TErrorLog::Write(const char* kind, const std::string& text, bool heard) noexcept {
    try {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (writing_) {
                return;
            }
            writing_ = true;
            try {
                Append(path_, Entry(clock_, kind, text));
            } catch (...) {
                // No data folder, no clock, no memory: the report is lost, the caller goes on.
            }
            writing_ = false;
        }
        if (heard) {
            Heard(text);
        }
    } catch (...) {
        // Reporting must never fail the caller.
    }
}

void TErrorLog::SetFilePath(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    path_ = path;
}

void TErrorLog::SetClock(const TClock* clock) {
    std::lock_guard<std::mutex> lock(mutex_);
    clock_ = clock;
}

std::string TErrorLog::FilePath() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return path_;
}

std::string TErrorLog::OlderFilePath() const {
    return OlderPath(FilePath());
}

void TErrorLog::Report(const std::string& text) noexcept {
    Write("", text, true);
}

void TErrorLog::Trace(const std::string& text) noexcept {
    if (DiagnosticsEnabled()) {
        Write("trace: ", text, false);
    }
}

void TErrorLog::SetDiagnosticsEnabled(bool enabled) {
    std::lock_guard<std::mutex> lock(mutex_);
    diagnostics_ = enabled;
}

bool TErrorLog::DiagnosticsEnabled() const noexcept {
    try {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!diagnostics_) {
            diagnostics_ = DiagnosticsFromEnvironment();
        }
        return *diagnostics_;
    } catch (...) {
        return false;
    }
}

} // namespace tw
