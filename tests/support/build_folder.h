#pragma once

#include <filesystem>

namespace twtest {

// The build's program folder, where the built program finds what it ships with: the
// template databases and the Skins folder.
std::filesystem::path BuildProgramFolder();

} // namespace twtest
