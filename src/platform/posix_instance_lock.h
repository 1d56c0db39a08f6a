#pragma once

#include "platform/instance_lock.h"

#include <memory>
#include <string>

namespace tw {

// The instance lock on systems with flock(): an advisory whole-file lock taken without
// waiting, which the kernel drops when the holder dies, so a crashed copy never blocks the
// next start. Creates the file (and missing folders) when needed. Null when another
// process holds the lock; throws tw::Exception "Unable to create \"path\" file\r\nError: text"
// when the file cannot be created or opened.
std::unique_ptr<TInstanceLock> AcquirePosixInstanceLock(const std::string& path);

} // namespace tw
