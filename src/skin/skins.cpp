#include "skin/skins.h"

#include "base/text.h"
#include "platform/native_path.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tw {

namespace fs = std::filesystem;

bool IsPictureFileName(const std::string& path) {
    static const char* const Extensions[] = {".bmp",  ".gif", ".ico", ".jpe",
                                             ".jpeg", ".jpg", ".png"};
    const std::string extension = LowerAscii(Utf8Path(NativePath(path).extension()));
    return std::any_of(std::begin(Extensions), std::end(Extensions),
                       [&](const char* known) { return extension == known; });
}

TSkinList EnumerateSkins(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    fs::recursive_directory_iterator walk(NativePath(folder),
                                          fs::directory_options::skip_permission_denied, error);
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        std::error_code kind;
        const std::string file = Utf8Path(walk->path());
        if (walk->is_regular_file(kind) && IsPictureFileName(file)) {
            files.push_back(file);
        }
    }
    std::sort(files.begin(), files.end());

    TSkinList skins;
    for (const std::string& file : files) {
        const std::string name = Utf8Path(NativePath(file).stem());
        auto same = std::find_if(skins.begin(), skins.end(),
                                 [&](const auto& skin) { return SameText(skin.first, name); });
        if (same != skins.end()) {
            same->second = file;
        } else {
            skins.emplace_back(name, file);
        }
    }
    std::stable_sort(skins.begin(), skins.end(), [](const auto& a, const auto& b) {
        return LowerAscii(a.first) < LowerAscii(b.first);
    });
    return skins;
}

} // namespace tw
