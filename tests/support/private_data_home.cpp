// Linked into the test programs: whatever a test reaches without a data folder of its own
// (an error report that writes the log, say) lands in a folder of the test run, never in
// the user's real data folder.
#include "support/temp_dir.h"

#include <cstdlib>
#include <memory>

namespace {

struct TPrivateDataHome {
    TPrivateDataHome() {
#ifndef _WIN32
        setenv("XDG_DATA_HOME", folder->Path().c_str(), 1);
#endif
    }
    std::unique_ptr<twtest::TempDir> folder = std::make_unique<twtest::TempDir>();
};

const TPrivateDataHome privateDataHome;

} // namespace
