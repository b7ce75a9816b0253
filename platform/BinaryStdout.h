#pragma once

namespace vantrel {

// Makes stdout write bytes as given, so a trace ends its lines in LF on
// every platform and compares byte for byte with one made elsewhere.
void SetStdoutBinary();

}  // namespace vantrel
