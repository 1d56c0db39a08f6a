#pragma once

#include <filesystem>
#include <string>

namespace twtest {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    // Under the system's temporary folder, or under the given one.
    TempDir();
    explicit TempDir(const std::filesystem::path& under);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Path of a file inside, as text.
    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

} // namespace twtest
