#pragma once

#include <string>

namespace tw {

// The per-user data folder: the user's application-data folder + "Tallywick.V3",
// with a trailing separator. Computed and created (with missing parents) on first use.
const std::string& DataFolder();

// Points the data folder elsewhere (tests); the folder is created. Empty restores the real one.
void SetDataFolderForTest(const std::string& folder);
// What SetDataFolderForTest set ("" while the real one is in use), so that a test can put
// it back; asking creates nothing.
const std::string& DataFolderSetForTest();

} // namespace tw
