#pragma once

#include "storage/options.h"

#include <filesystem>
#include <functional>

namespace twtest {

// Seeds a data folder for a start of the built program, as its first start would (copies of
// the template databases from templateFolder), then writes the settings the way the settings
// wizard would, so that the program starts past that wizard. False when they could not be
// saved.
bool ConfigureDataFolder(const std::filesystem::path& folder,
                         const std::filesystem::path& templateFolder,
                         const std::function<void(tw::TOptions&)>& change);

} // namespace twtest
