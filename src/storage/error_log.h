#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tw {

class TClock;

// Receives the report of a caught failure ("ErrorClassName: " + class + label + message)
// and appends it, time-stamped, to the log file in the data folder. Never fails its caller.
void ErrorLog(const std::string& text) noexcept;

// Receives progress texts of long-running handlers. Written to the same file, but only
// when the person asked for it (SetDiagnosticLogEnabled, or the environment variable
// TALLYWICK_DIAGNOSTIC_LOG set to anything but 0). Never fails its caller.
void DiagnosticLog(const std::string& text) noexcept;
void SetDiagnosticLogEnabled(bool enabled);
bool DiagnosticLogEnabled();

// The log file (the program's: data folder + program base name + ".log"), named by the
// program at start; until then reports reach only the listener. When the file would grow
// past MaxLogFileBytes it becomes the older file (".old.log" for ".log"), replacing the
// one before, and a new file begins: the log never takes more than about twice that.
void SetLogFilePath(const std::string& path);
std::string LogFilePath();
std::string OlderLogFilePath();
// The clock the entries are stamped by: the program's, set with the log file (until then, and
// after null, the system's local time). It must stay until it is replaced.
void SetLogClock(const TClock* clock);
inline constexpr std::uintmax_t MaxLogFileBytes = 1024 * 1024;

// Installs the one listener of ErrorLog; an empty function removes it.
void SetErrorLogListener(std::function<void(const std::string&)> listener);

} // namespace tw
