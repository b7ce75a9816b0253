// vantrel-trace: plays presses of the button on the recording runtime and
// prints every runtime call as it happens, one per line. What a developer
// reaches for when a picture looks wrong; the golden tests read it too.
#include "core/frmLines.h"
#include "frontends/recording/RecordedPicture.h"
#include "frontends/recording/RecordingRuntime.h"
#include "frontends/recording/TracePicture.h"
#include "platform/BinaryStdout.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

struct Options {
    std::optional<std::uint32_t> seed;
    int presses = 1;
    std::string png;
    double scale = 1.0;
};

// Beyond this the picture would take hundreds of megabytes.
constexpr double kMaxScale = 8.0;

int Usage()
{
    std::fputs("usage: vantrel-trace [--seed N] [--presses K] [--png FILE [--scale R]]\n", stderr);
    return 2;
}

template <typename T>
bool ParseNumber(const char* text, T& out)
{
    const char* end = text + std::strlen(text);
    const auto [ptr, ec] = std::from_chars(text, end, out);
    return ec == std::errc() && ptr == end;
}

// strtod rather than from_chars: not every standard library parses reals with it yet.
bool ParseScale(const char* text, double& out)
{
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(out) && out > 0.0 && out <= kMaxScale;
}

std::optional<Options> ParseArgs(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (i + 1 >= argc) {
            return std::nullopt;
        }
        const char* value = argv[++i];
        if (arg == "--seed") {
            std::uint32_t seed = 0;
            if (!ParseNumber(value, seed)) {
                return std::nullopt;
            }
            options.seed = seed;
        } else if (arg == "--presses") {
            if (!ParseNumber(value, options.presses) || options.presses < 0) {
                return std::nullopt;
            }
        } else if (arg == "--png") {
            options.png = value;
        } else if (arg == "--scale") {
            if (!ParseScale(value, options.scale)) {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    return options;
}

void Print(const vantrel::Event& e)
{
    using Type = vantrel::Event::Type;
    switch (e.type) {
    case Type::Rnd:
        std::printf("rnd %.9g\n", static_cast<double>(e.value));
        break;
    case Type::Line:
        std::printf("line %.9g %.9g %.9g %.9g %u\n", static_cast<double>(e.x1), static_cast<double>(e.y1),
                    static_cast<double>(e.x2), static_cast<double>(e.y2), e.colour);
        break;
    case Type::Cls:
        std::puts("cls");
        break;
    case Type::Caption:
        std::printf("caption \"%s\" %u\n", e.text.c_str(), e.count);
        break;
    case Type::MsgBox:
        std::printf("msgbox %d \"%s\" \"%s\"\n", e.code, e.title.c_str(), e.text.c_str());
        break;
    case Type::Error:
        std::printf("error %s\n", vantrel::ErrorKindName(e.error));
        break;
    case Type::BackColor:
        break;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const auto options = ParseArgs(argc, argv);
    if (!options) {
        return Usage();
    }
    vantrel::SetStdoutBinary();

    // The window's picture at the given device pixel ratio, as every front end shows it.
    std::optional<vantrel::Picture> picture;
    if (!options->png.empty()) {
        picture.emplace(vantrel::kClientWidth, vantrel::kClientHeight, options->scale, vantrel::StandardPixelOf(0));
    }

    vantrel::RecordingRuntime runtime(options->seed);
    bool greeted = false;
    runtime.SetListener([&](const vantrel::Event& e) {
        Print(e);
        if (!picture || greeted) {
            return;
        }
        vantrel::DrawRecorded(*picture, e);
        greeted = e.type == vantrel::Event::Type::MsgBox;
    });

    vantrel::frmLines form(runtime);
    bool ok = runtime.Dispatch([&] { form.Form_Load(); });
    for (int press = 0; ok && press < options->presses; ++press) {
        greeted = false;
        ok = runtime.Dispatch([&] { form.cmdStart_Click(); });
    }
    runtime.Finish();
    std::fflush(stdout);

    if (picture && !vantrel::SavePng(*picture, options->png)) {
        std::fprintf(stderr, "vantrel-trace: cannot write %s\n", options->png.c_str());
        return 1;
    }
    return ok ? 0 : 1;
}
