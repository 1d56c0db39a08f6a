#pragma once

#include <functional>
#include <string>

namespace tw {

// Receives the report of a caught failure ("ErrorClassName: " + class + label + message).
// Nothing is written to disk; a listener (the GUI, a test) may watch the reports.
void ErrorLog(const std::string& text);

// Receives progress texts of long-running handlers; passes nothing on.
void DiagnosticLog(const std::string& text);

// Installs the one listener of ErrorLog; an empty function removes it.
void SetErrorLogListener(std::function<void(const std::string&)> listener);

} // namespace tw
