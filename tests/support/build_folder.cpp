#include "support/build_folder.h"

#include "platform/native_path.h"
#include "platform/program_paths.h"

namespace twtest {

std::filesystem::path BuildProgramFolder() {
#ifdef _WIN32
    // The Windows tests run under Wine from that folder, where Qt's DLLs are too; the build
    // machine's name for it means nothing to a Windows program.
    return tw::NativePath(tw::ProgramPath()).parent_path();
#else
    return TALLYWICK_TEMPLATE_DIR;
#endif
}

} // namespace twtest
