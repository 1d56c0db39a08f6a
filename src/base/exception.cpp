#include "base/exception.h"

#include <new>

namespace tw {

void Require(bool condition, const char* unit, const char* what) {
    if (!condition) {
        throw EAssertionFailed(std::string("Assertion failed: ") + what + " (" + unit + ")");
    }
}

std::string ExceptionClassName(const std::exception& e) {
    if (auto* own = dynamic_cast<const Exception*>(&e)) {
        return own->ClassName();
    }
    if (dynamic_cast<const std::bad_alloc*>(&e)) {
        return "EOutOfMemory";
    }
    return "Exception";
}

std::string ErrorReportText(const std::exception& e, const std::string& label) {
    return "ErrorClassName: " + ExceptionClassName(e) + label + e.what();
}

} // namespace tw
