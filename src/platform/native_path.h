#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace tw {

// File names inside the program are UTF-8, on every system. These hand them to the system
// in its own form (UTF-16 on Windows, the bytes themselves elsewhere) and take them back;
// a narrow name given to the C or C++ library directly would be read in the Windows code
// page there, and a folder such as "C:\Users\Zoë\" would not be found.
std::filesystem::path NativePath(const std::string& utf8);
std::string Utf8Path(const std::filesystem::path& path);

// std::fopen for a UTF-8 file name; the mode is the same.
std::FILE* OpenFile(const std::string& utf8, const char* mode);

} // namespace tw
