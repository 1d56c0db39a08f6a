#pragma once

#include <stdexcept>
#include <string>

namespace tw {

// Root of the program's own exceptions. Error reports name the class of what was
// caught, so every class says its name.
class Exception : public std::runtime_error {
  public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    virtual const char* ClassName() const { return "Exception"; }
};

// A text that should hold a number or a date but does not.
class EConvertError : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const override { return "EConvertError"; }
};

// A broken precondition: a programming error, never reached by ordinary input.
class EAssertionFailed : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const override { return "EAssertionFailed"; }
};

// Throws EAssertionFailed naming the source unit when the condition does not hold.
void Require(bool condition, const char* unit, const char* what);

// Class name of any caught exception, as error reports print it.
std::string ExceptionClassName(const std::exception& e);

// "ErrorClassName: " + class + label + message: the form every caught failure is reported in.
std::string ErrorReportText(const std::exception& e, const std::string& label);

} // namespace tw
