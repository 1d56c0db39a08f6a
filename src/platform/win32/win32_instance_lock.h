#pragma once

#include "platform/instance_lock.h"

#include <memory>
#include <string>

namespace tw {

// The instance lock on Windows: the lock file held open with no sharing at all, so every
// other open of it fails while the holder lives; the system closes it when the holder
// dies. Creates the file (and missing folders) when needed. Null when another process
// holds it; throws tw::Exception "Unable to create \"path\" file\r\nError: text" when the
// file cannot be created or opened for another reason.
std::unique_ptr<TInstanceLock> AcquireWin32InstanceLock(const std::string& path);

} // namespace tw
