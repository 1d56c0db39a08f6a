#pragma once

namespace tw {

// On the first start, copies the template databases that ship beside the executable
// into the data folder. Nothing is copied once the data folder has settings.sqlite, or
// when the program folder has none; a failed copy is left for the database layer to
// report when the file is used. Throws when the data folder cannot be created.
void SeedDataFolder();

} // namespace tw
