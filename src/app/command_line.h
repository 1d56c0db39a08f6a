#pragma once

namespace tw {

class TErrorLog;

// The switches the person may give the program (README): "--diagnostic-log" writes the
// progress of every scan to the log as well. Anything else is left to the toolkit.
void UseCommandLine(int argc, char** argv, TErrorLog& log);

} // namespace tw
