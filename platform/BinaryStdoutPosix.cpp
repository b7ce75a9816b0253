#include "platform/BinaryStdout.h"

namespace vantrel {

// POSIX streams have no text mode: nothing to change.
void SetStdoutBinary() {}

}  // namespace vantrel
