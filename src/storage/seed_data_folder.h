#pragma once

#include <string>

namespace tw {

// On the first start, copies the template databases that ship beside the executable
// into the data folder. Nothing is copied once the data folder has settings.sqlite, or
// when the program folder has none; a failed copy is left for the database layer to
// report when the file is used. Throws when the data folder cannot be created.
void SeedDataFolder();

// Puts a fresh copy of one template database ("settings.sqlite", "actmondb.sqlite") into
// the data folder, creating the folder and replacing what is there. Returns the reason
// when it could not (no template beside the program, a folder that cannot be written),
// else the empty text.
std::string CopyTemplateDatabase(const std::string& name);

} // namespace tw
