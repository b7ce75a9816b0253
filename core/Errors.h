#pragma once

#include <stdexcept>
#include <string>

namespace vantrel {

enum class ErrorKind { Overflow, Float, Bounds, Other };

// A run-time error. Nothing in the show traps it: it unwinds to the place that
// dispatched the event, which stops the program with the error's message.
class RunTimeError : public std::runtime_error {
public:
    RunTimeError(ErrorKind kind, const std::string& what) : std::runtime_error(what), kind_(kind) {}
    [[nodiscard]] ErrorKind Kind() const noexcept { return kind_; }

private:
    ErrorKind kind_;
};

[[noreturn]] void RaiseOverflowError();
[[noreturn]] void RaiseFloatError();
[[noreturn]] void RaiseBoundsError();
// A failure reported by a platform operation (drawing, reading a property...).
[[noreturn]] void RaiseFailure(const std::string& what);

// Short name of the kind, as the trace prints it.
[[nodiscard]] const char* ErrorKindName(ErrorKind kind) noexcept;

}  // namespace vantrel
