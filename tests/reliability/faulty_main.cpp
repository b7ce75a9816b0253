// The real program with one fault planted, for the end-to-end failure tests:
//   vantrel-faulty overflow-add | overflow-round | float | bounds
#include "core/frmLines.h"
#include "frontends/qt/QtRuntime.h"

#include <cstdio>
#include <string_view>

int main(int argc, char** argv)
{
    using vantrel::frmLines;
    const std::string_view mode = argc > 1 ? argv[1] : "";
    vantrel::StartHooks hooks;
    if (mode == "overflow-add") {
        // The first star flies on until X1 + 50 leaves the 16-bit range.
        hooks.afterLoad = [](frmLines& form) { form.RightPoints(12, 0) = 32767; };
    } else if (mode == "overflow-round") {
        // A ray so steep that its first height does not fit 16 bits.
        hooks.afterLoad = [](frmLines& form) {
            form.RightPoints(12, 0) = 1;
            form.RightPoints(12, 1) = 32767;
        };
    } else if (mode == "float") {
        // A point on the left edge: its ray's slope divides by zero.
        hooks.afterLoad = [](frmLines& form) { form.RightPoints(12, 0) = 0; };
    } else if (mode == "bounds") {
        hooks.beforeClick = [](frmLines& form) { (void)form.LeftPoints(11, 0); };
    } else {
        std::fputs("usage: vantrel-faulty overflow-add|overflow-round|float|bounds\n", stderr);
        return 2;
    }
    // Only the program name goes on to Qt.
    int qtArgc = 1;
    return vantrel::RunProgram(qtArgc, argv, hooks);
}
