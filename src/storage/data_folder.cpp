#include "storage/data_folder.h"

#include "platform/native_path.h"
#include "platform/program_paths.h"

#include <filesystem>
#include <system_error>

namespace tw {
namespace {

std::string& TestDataFolder() {
    static std::string folder;
    return folder;
}

bool EndsWithSeparator(const std::string& folder) {
    return !folder.empty() && (folder.back() == PathDelim || folder.back() == '/');
}

// A folder that cannot be created is not reported here: the files later opened in it
// fail and report for themselves.
void CreateFolder(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(NativePath(folder), ignored);
}

std::string RealDataFolder() {
    std::string folder = UserAppDataFolder();
    if (!EndsWithSeparator(folder)) {
        folder += PathDelim;
    }
    folder += "Tallywick.V3";
    folder += PathDelim;
    CreateFolder(folder);
    return folder;
}

} // namespace

const std::string& DataFolder() {
    if (!TestDataFolder().empty()) {
        return TestDataFolder();
    }
    // When the system names no application-data folder this throws, and the next call
    // asks again.
    static const std::string folder = RealDataFolder();
    return folder;
}

void SetDataFolderForTest(const std::string& folder) {
    std::string path = folder;
    if (!path.empty()) {
        if (!EndsWithSeparator(path)) {
            path += PathDelim;
        }
        CreateFolder(path);
    }
    TestDataFolder() = path;
}

const std::string& DataFolderSetForTest() {
    return TestDataFolder();
}

} // namespace tw
