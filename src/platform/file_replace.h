#pragma once

#include "base/exception.h"

#include <string>

namespace tw {

// A file that is there but cannot be read or written.
class EInOutError : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const override { return "EInOutError"; }
};

// Replaces the file's content in one step: the new text goes to a temporary file beside it
// (name + ".tmp"), is flushed to the disk and then put in the file's place, durably. Until
// then the old file is untouched, so a crash or a full disk cannot cost its content. Throws
// EInOutError saying which step failed; the temporary file is gone then.
void ReplaceFileContent(const std::string& fileName, const std::string& content);

// The line end of this system's text files: "\r\n" on Windows, "\n" elsewhere.
const char* NativeLineEnd();

} // namespace tw
