#include "app/command_line.h"

#include "storage/error_log.h"

#include <string_view>

namespace tw {

void UseCommandLine(int argc, char** argv, TErrorLog& log) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--diagnostic-log") {
            log.SetDiagnosticsEnabled(true);
        }
    }
}

} // namespace tw
