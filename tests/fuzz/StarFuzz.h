#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The fuzz entry point, shared by the libFuzzer binary and the replay runner.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace vantrel::fuzz {

// Named in the report of a failed check, so a replayed input can be found again.
void SetInputName(std::string name);

}  // namespace vantrel::fuzz
