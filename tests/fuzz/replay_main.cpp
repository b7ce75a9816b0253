// Runs the fuzz target without libFuzzer: every file of the given corpus
// directories (or the given files), then a fixed set of generated inputs.
// A failed check aborts with the name of the input.
#include "StarFuzz.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kGenerated = 6000;

void Run(const std::vector<std::uint8_t>& bytes, std::string name)
{
    vantrel::fuzz::SetInputName(std::move(name));
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

}  // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg = argv[i];
        if (fs::is_directory(arg)) {
            for (const auto& entry : fs::directory_iterator(arg)) {
                files.push_back(entry.path());
            }
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        std::fputs("usage: vantrel_star_fuzz_replay CORPUS_DIR|FILE...\n", stderr);
        return 2;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        Run(bytes, file.string());
    }

    // Random bytes for every procedure, a quarter of them edge values, from a
    // fixed seed so a failure names an input that comes back.
    constexpr std::array<std::uint8_t, 5> kEdges{0x00, 0x01, 0x7F, 0x80, 0xFF};
    std::mt19937 rng(20241224U);
    for (int i = 0; i < kGenerated; ++i) {
        std::vector<std::uint8_t> bytes(1 + rng() % 48);
        for (auto& b : bytes) {
            b = rng() % 4 == 0 ? kEdges[rng() % kEdges.size()] : static_cast<std::uint8_t>(rng());
        }
        bytes[0] = static_cast<std::uint8_t>(i % 6);
        Run(bytes, "generated #" + std::to_string(i));
    }
    std::printf("%zu corpus inputs and %d generated inputs gave the exact result or a defined error\n", files.size(),
                kGenerated);
    return 0;
}
