#include "core/Numeric.h"
#include "core/frmLines.h"

namespace vantrel {

double frmLines::Slope(const Int16& xa, const Int16& ya, const Int16& xb, const Int16& yb)
{
    const Int16 dy = Sub16(ya, yb);
    const Int16 dx = Sub16(xa, xb);
    // xa = xb is a division by zero (or 0/0): checked rather than left to the FPU.
    if (dx == 0) {
        RaiseFloatError();
    }
    return CheckFloat(static_cast<double>(dy) / static_cast<double>(dx));
}

void frmLines::Delay(const Int16& count)
{
    // The pause is the time the label takes for `count` caption writes; the
    // runtime decides how long one write lasts.
    for (Int16 round = 0; round < count; round = Add16(round, 1)) {
        runtime_.Caption("");
    }
}

}  // namespace vantrel
