#pragma once

namespace tw {

// The switches the person may give the program (README): "--diagnostic-log" writes the
// progress of every scan to the log as well. Anything else is left to the toolkit.
void UseCommandLine(int argc, char** argv);

} // namespace tw
