#include "support/temp_dir.h"

#include <random>
#include <stdexcept>
#include <system_error>

namespace twtest {

TempDir::TempDir() : TempDir(std::filesystem::temp_directory_path()) {}

TempDir::TempDir(const std::filesystem::path& under) {
    // A name no other test process can have taken: the folder is ours only when this call
    // made it, which is what mkdtemp promises and Windows has no call for.
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(Letters) - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "tallywick-test-";
        for (int letter = 0; letter < 8; ++letter) {
            name += Letters[pick(random)];
        }
        std::error_code error;
        if (std::filesystem::create_directory(under / name, error)) {
            path_ = under / name;
            return;
        }
        if (error && error != std::errc::file_exists) {
            break;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace twtest
