#pragma once

#include "base/exception.h"

#include <string>

namespace tw {

// A refusal of the operating system, carrying its error code and its own text.
class EOSError : public Exception {
  public:
    EOSError(unsigned long code, const std::string& message) : Exception(message), Code(code) {}
    const char* ClassName() const override { return "EOSError"; }
    unsigned long Code;
};

// The system's message text for an error code (Win32 or HRESULT), without the trailing
// line break and full stop the system adds; a generic text naming the code when the
// system has none.
std::string SystemErrorText(unsigned long code);

// Throws EOSError with the system's text for the code.
[[noreturn]] void RaiseOSError(unsigned long code);
// The same for GetLastError().
[[noreturn]] void RaiseLastOSError();
// Throws EOSError for a failed COM result (an HRESULT); does nothing on success.
void CheckComResult(long result);

} // namespace tw
