#include "platform/BinaryStdout.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace vantrel {

// The C runtime opens stdout in text mode and writes every LF as CR LF.
void SetStdoutBinary() { _setmode(_fileno(stdout), _O_BINARY); }

}  // namespace vantrel
