#pragma once

#include <string>

namespace tw {

// The caption of an executable for the lists: its version resource's description,
// product name or internal name, else its file name without the extension.
std::string FileCaption(const std::string& path);

} // namespace tw
