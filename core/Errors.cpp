#include "core/Errors.h"

namespace vantrel {

void RaiseOverflowError()
{
    throw RunTimeError(ErrorKind::Overflow, "A number left the range -32768 to 32767 (overflow).");
}

void RaiseFloatError()
{
    throw RunTimeError(ErrorKind::Float,
                       "A calculation had no valid result (division by zero, invalid operation or "
                       "floating-point overflow).");
}

void RaiseBoundsError()
{
    throw RunTimeError(ErrorKind::Bounds, "A table index lies outside the table (out of bounds).");
}

void RaiseFailure(const std::string& what) { throw RunTimeError(ErrorKind::Other, what); }

const char* ErrorKindName(ErrorKind kind) noexcept
{
    switch (kind) {
    case ErrorKind::Overflow:
        return "overflow";
    case ErrorKind::Float:
        return "float";
    case ErrorKind::Bounds:
        return "bounds";
    case ErrorKind::Other:
        break;
    }
    return "other";
}

}  // namespace vantrel
