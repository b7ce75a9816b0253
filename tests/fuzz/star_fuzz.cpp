// Fuzz target for the star and flight arithmetic. The input picks one
// procedure of frmLines and the state it starts from, runs it on the recording
// fake and walks the recorded calls beside a model of the procedure built from
// first principles: the spoke turned in long double, ranges checked in int.
// Every input must give the exact result or one of the defined run-time
// errors; anything else aborts, so libFuzzer keeps the input and the replay
// runner fails its test.
//
// Input layout (bytes past the end read as zero; integers little-endian):
//   byte  procedure % 6, then
//   0 DrawSpoke  X1 Y1 X2 Y2 (int16), angle, colour (u32), byte: bit 0 makes the line fail
//   1 DrawStar   X1 Y1 X2 Y2 (int16), colour (u32), byte: % 14 = the line that fails (0 none)
//   2 Slope      xa ya xb yb (int16)
//   3 Delay      count (int16), u16: the caption write that fails (0 none)
//   4 Twinkle    tables, randoms, byte % 3 (none / line / caption) + u16: the call that fails
//   5 a press    back colour (u32), tables, randoms, byte % 3 (line / caption / back colour)
//                + u16: the call that fails, always one, so a press stays short
//   angle:  byte, even: int16 degrees follow; odd: a raw double follows
//   tables: byte % 8 changes, each a byte (cell % 48: 22 left cells, then 26
//           right cells, x column first) and an int16 value
//   randoms: byte % 4 raw floats, handed out before the generator's own
#include "StarFuzz.h"
#include "core/Errors.h"
#include "core/frmLines.h"
#include "frontends/recording/RecordingRuntime.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace vantrel::fuzz {
namespace {

std::string& InputName()
{
    static std::string name;
    return name;
}

[[noreturn]] void Fail(const char* check, int line, std::size_t event)
{
    std::fprintf(stderr, "star fuzz: check failed at star_fuzz.cpp:%d, event %zu: %s\n", line, event, check);
    if (!InputName().empty()) {
        std::fprintf(stderr, "star fuzz: input %s\n", InputName().c_str());
    }
    std::abort();
}

#define FUZZ_CHECK(cond, event) ((cond) ? static_cast<void>(0) : Fail(#cond, __LINE__, (event)))

class Input {
public:
    explicit Input(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint8_t Byte() { return pos_ < bytes_.size() ? bytes_[pos_++] : std::uint8_t{0}; }

    template <typename T>
    T Raw()
    {
        std::array<std::uint8_t, sizeof(T)> bytes{};
        for (auto& b : bytes) {
            b = Byte();
        }
        return std::bit_cast<T>(bytes);
    }

    Int16 Int() { return Raw<Int16>(); }

    double Angle()
    {
        if ((Byte() & 1U) == 0) {
            return static_cast<double>(Int());
        }
        return Raw<double>();
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

// Error kinds as a set.
using Kinds = unsigned;
constexpr Kinds Bit(ErrorKind kind) { return 1U << static_cast<unsigned>(kind); }
constexpr Kinds kOverflow = Bit(ErrorKind::Overflow);
constexpr Kinds kFloat = Bit(ErrorKind::Float);
constexpr Kinds kOther = Bit(ErrorKind::Other);

constexpr bool Fits16(long long v) { return v >= -32768 && v <= 32767; }

// The integers the program may round `exact` to: the nearest, or both
// neighbours when `exact` lies within the slack of a half, since the program
// rounds a double that carries a few ulps of error.
struct Roundings {
    long long lo;
    long long hi;
};

Roundings RoundingsOf(long double exact)
{
    const long double slack = 1e-9L + 1e-15L * std::fabs(exact);
    return {std::llround(std::ceil(exact - 0.5L - slack)), std::llround(std::floor(exact + 0.5L + slack))};
}

// What DrawSpoke may do from a given state.
struct SpokeForecast {
    Kinds must = 0;  // it raises one of these whichever way it rounds
    Kinds may = 0;   // it raises one of these if it rounds one way
    std::array<std::pair<int, int>, 4> tips{};
    std::size_t count = 0;

    [[nodiscard]] bool Allows(float x, float y) const
    {
        return std::any_of(tips.begin(), tips.begin() + static_cast<std::ptrdiff_t>(count), [&](const auto& tip) {
            return static_cast<float>(tip.first) == x && static_cast<float>(tip.second) == y;
        });
    }
};

SpokeForecast ForecastSpoke(int x1, int y1, int x2, int y2, double angle)
{
    SpokeForecast f;
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    if (!Fits16(dx) || !Fits16(dy)) {
        f.must = kOverflow;
        return f;
    }
    // Degrees to radians exactly as the program does it (pi kept at
    // 3.1415928): the turn of a huge angle depends on every bit of theta.
    const double theta = (3.1415928 / 180.0) * angle;
    if (!std::isfinite(theta)) {
        f.must = kFloat;
        return f;
    }
    const long double c = std::cos(static_cast<long double>(theta));
    const long double s = std::sin(static_cast<long double>(theta));
    const Roundings nx = RoundingsOf(dx * c - dy * s);
    const Roundings ny = RoundingsOf(dy * c + dx * s);
    for (long long rx = nx.lo; rx <= nx.hi; ++rx) {
        for (long long ry = ny.lo; ry <= ny.hi; ++ry) {
            const long long ex = x1 + rx;
            const long long ey = y1 + ry;
            if (Fits16(rx) && Fits16(ry) && Fits16(ex) && Fits16(ey)) {
                FUZZ_CHECK(f.count < f.tips.size(), 0U);
                f.tips[f.count++] = {static_cast<int>(ex), static_cast<int>(ey)};
            } else {
                f.may |= kOverflow;
            }
        }
    }
    if (f.count == 0) {
        f.must = kOverflow;
    }
    return f;
}

struct SlopeForecast {
    Kinds error = 0;
    double value = 0;
};

SlopeForecast ForecastSlope(int xa, int ya, int xb, int yb)
{
    const int dy = ya - yb;
    const int dx = xa - xb;
    if (!Fits16(dy) || !Fits16(dx)) {
        return {kOverflow};
    }
    if (dx == 0) {
        return {kFloat};
    }
    return {0, static_cast<double>(dy) / static_cast<double>(dx)};
}

// A colour from three draws: each channel is r * 255 + lift (exact in
// double), rounded half to even, clamped to 0..255. Which bad channel raises
// first is not fixed, so a colour with several bad channels may raise any of
// their kinds.
struct ColourForecast {
    Kinds errors = 0;
    Colour colour = 0;
};

ColourForecast ForecastColour(const std::array<float, 3>& draws, int lift)
{
    ColourForecast f;
    for (std::size_t i = 0; i < draws.size(); ++i) {
        const double v = static_cast<double>(draws[i]) * 255.0 + lift;
        if (!std::isfinite(v)) {
            f.errors |= kFloat;
            continue;
        }
        const double n = std::nearbyint(v);
        if (n < -32768.0 || n > 32767.0) {
            f.errors |= kOverflow;
            continue;
        }
        f.colour |= static_cast<Colour>(std::clamp(n, 0.0, 255.0)) << (8U * i);
    }
    return f;
}

using FailOn = std::optional<std::pair<Event::Type, int>>;

// Walks the recorded events beside the model. Each step of the model either
// meets the event it predicts or, where it allows an error, the error that
// ended the run; after that the model stops and no event may follow.
class Trace {
public:
    Trace(const std::vector<Event>& events, FailOn failOn) : events_(events), failOn_(failOn) {}

    // Arithmetic that must (must != 0) or may end the run with an error of
    // these kinds. False when the run ended here.
    bool Arith(Kinds must, Kinds may = 0)
    {
        if (NextErrorIn(must | may)) {
            ++pos_;
            ended_ = true;
            return false;
        }
        FUZZ_CHECK(must == 0 && "a run-time error was due here", pos_);
        return true;
    }

    // The run ends here with an error of one of these kinds.
    void EndsWith(Kinds kinds)
    {
        FUZZ_CHECK(NextErrorIn(kinds) && "the run ends here with a given error", pos_);
        ++pos_;
        ended_ = true;
    }

    // One call of the runtime; null when it was the call made to fail.
    const Event* Call(Event::Type type)
    {
        if (failOn_ && failOn_->first == type && ++calls_ == failOn_->second) {
            EndsWith(kOther);
            return nullptr;
        }
        FUZZ_CHECK(pos_ < events_.size() && events_[pos_].type == type, pos_);
        return &events_[pos_++];
    }

    float Rnd()
    {
        const Event* e = Call(Event::Type::Rnd);
        FUZZ_CHECK(e != nullptr, pos_);
        return e->value;
    }

    // Delay(rounds): one folded caption event, cut short by a failing write.
    bool Pause(int rounds)
    {
        if (rounds <= 0) {
            return true;
        }
        int writes = rounds;
        bool fails = false;
        if (failOn_ && failOn_->first == Event::Type::Caption) {
            const int failing = failOn_->second - calls_;
            fails = failing >= 1 && failing <= rounds;
            writes = fails ? failing - 1 : rounds;
            calls_ += fails ? failing : rounds;
        }
        if (writes > 0) {
            FUZZ_CHECK(pos_ < events_.size() && events_[pos_].type == Event::Type::Caption, pos_);
            FUZZ_CHECK(events_[pos_].text.empty() && events_[pos_].count == static_cast<std::uint32_t>(writes), pos_);
            ++pos_;
        }
        if (fails) {
            EndsWith(kOther);
            return false;
        }
        return true;
    }

    [[nodiscard]] const Event* PeekLine() const
    {
        return pos_ < events_.size() && events_[pos_].type == Event::Type::Line ? &events_[pos_] : nullptr;
    }

    // The whole record was walked, and the run ended in an error exactly when
    // the model says it did.
    void Finish(bool ok) const
    {
        FUZZ_CHECK(pos_ == events_.size() && "no event after the model's last", pos_);
        FUZZ_CHECK(ok == !ended_, pos_);
    }

    [[nodiscard]] std::size_t Pos() const noexcept { return pos_; }

private:
    [[nodiscard]] bool NextErrorIn(Kinds kinds) const
    {
        return pos_ < events_.size() && events_[pos_].type == Event::Type::Error &&
               (kinds & Bit(events_[pos_].error)) != 0;
    }

    const std::vector<Event>& events_;
    FailOn failOn_;
    std::size_t pos_ = 0;
    int calls_ = 0;
    bool ended_ = false;
};

bool Spoke(Trace& t, int x1, int y1, int x2, int y2, double angle, Colour colour)
{
    const SpokeForecast f = ForecastSpoke(x1, y1, x2, y2, angle);
    if (!t.Arith(f.must, f.may)) {
        return false;
    }
    const Event* line = t.Call(Event::Type::Line);
    if (line == nullptr) {
        return false;
    }
    FUZZ_CHECK(line->x1 == static_cast<float>(x1) && line->y1 == static_cast<float>(y1), t.Pos() - 1);
    FUZZ_CHECK(line->colour == colour, t.Pos() - 1);
    FUZZ_CHECK(f.Allows(line->x2, line->y2) && "the tip where the turned spoke ends", t.Pos() - 1);
    return true;
}

// Twelve spokes, 30 degrees apart clockwise on screen, the state put back
// after each.
bool Star(Trace& t, int x1, int y1, int x2, int y2, Colour colour)
{
    double angle = 0.0;
    for (int spoke = 0; spoke < 12; ++spoke) {
        if (!Spoke(t, x1, y1, x2, y2, angle, colour)) {
            return false;
        }
        angle -= 30.0;
    }
    return true;
}

// One figure of the fly-in: from its last point to its first, a star with a
// 450-twip spoke flies from the corner along the ray to the point in steps of
// 50 twips along x, erasing itself behind.
template <std::size_t N>
bool Flight(Trace& t, const PointTable<N>& figure, int lift, Colour background)
{
    for (int i = PointTable<N>::kPoints - 1; i >= 0; --i) {
        const int x = figure(i, 0);
        const int y = figure(i, 1);
        const SlopeForecast slope = ForecastSlope(0, 0, x, y);
        if (!t.Arith(slope.error)) {
            return false;
        }
        const ColourForecast colour = ForecastColour({t.Rnd(), t.Rnd(), t.Rnd()}, lift);
        if (!t.Arith(colour.errors)) {
            return false;
        }
        int cx = 0;
        int cy = 0;
        while (cx <= x) {
            const Event* back = t.Call(Event::Type::BackColor);
            if (back == nullptr) {
                return false;
            }
            FUZZ_CHECK(back->colour == background, t.Pos() - 1);
            if (!Star(t, cx, cy, cx, cy - 450, background)) {
                return false;
            }
            if (!t.Arith(Fits16(cx + 50) ? 0 : kOverflow)) {
                return false;
            }
            cx += 50;
            // On the ray: cx * y / x, rounded.
            const Roundings next = RoundingsOf(static_cast<long double>(cx) * y / x);
            if (const Event* line = t.PeekLine()) {
                cy = static_cast<int>(line->y1);
                FUZZ_CHECK(next.lo <= cy && cy <= next.hi && "the star moves along its ray", t.Pos());
            } else if (next.lo != next.hi) {
                // A tie, and the run ends before the line that would tell
                // which way it was rounded.
                t.EndsWith(kOverflow | kOther);
                return false;
            } else if (!Fits16(next.lo)) {
                t.EndsWith(kOverflow);
                return false;
            } else {
                cy = static_cast<int>(next.lo);
            }
            if (!t.Arith(Fits16(cy - 450) ? 0 : kOverflow)) {
                return false;
            }
            if (!Star(t, cx, cy, cx, cy - 450, colour.colour) || !t.Pause(kPausePerStep)) {
                return false;
            }
        }
    }
    return true;
}

// One figure of a twinkling pass: a star with a 400-twip spoke on every point.
template <std::size_t N>
bool TwinkleFigure(Trace& t, const PointTable<N>& figure)
{
    for (int i = 0; i < PointTable<N>::kPoints; ++i) {
        const int x = figure(i, 0);
        const int y = figure(i, 1);
        if (!t.Arith(Fits16(y - 400) ? 0 : kOverflow)) {
            return false;
        }
        const ColourForecast colour = ForecastColour({t.Rnd(), t.Rnd(), t.Rnd()}, 0);
        if (!t.Arith(colour.errors)) {
            return false;
        }
        if (!Star(t, x, y, x, y - 400, colour.colour) || !t.Pause(kPausePerStep)) {
            return false;
        }
    }
    return true;
}

bool Twinkle(Trace& t, const frmLines& form)
{
    return TwinkleFigure(t, form.LeftPoints) && TwinkleFigure(t, form.RightPoints);
}

bool Press(Trace& t, const frmLines& form, Colour background)
{
    if (!Flight(t, form.RightPoints, 2, background) || !Flight(t, form.LeftPoints, 0, background)) {
        return false;
    }
    if (t.Call(Event::Type::Cls) == nullptr) {
        return false;
    }
    for (int pass = 0; pass < 100; ++pass) {
        if (!Twinkle(t, form)) {
            return false;
        }
    }
    const Event* box = t.Call(Event::Type::MsgBox);
    FUZZ_CHECK(box != nullptr && box->text == kGreeting && box->title == kProductName, t.Pos());
    FUZZ_CHECK(box->code == kMsgBoxInformation, t.Pos());
    return true;
}

// A fresh window on the recording fake.
struct Case {
    RecordingRuntime runtime{1U};
    frmLines form{runtime};
    FailOn failOn;

    void FailAt(Event::Type op, int nth)
    {
        runtime.FailOn(op, nth);
        failOn = std::make_pair(op, nth);
    }

    // Loaded tables with some cells changed, and draws queued ahead of the generator's.
    void Load(Input& in)
    {
        form.Form_Load();
        for (int changes = in.Byte() % 8; changes > 0; --changes) {
            const int cell = in.Byte() % 48;
            const Int16 value = in.Int();
            if (cell < 22) {
                form.LeftPoints(cell % 11, cell / 11) = value;
            } else {
                form.RightPoints((cell - 22) % 13, (cell - 22) / 13) = value;
            }
        }
        std::vector<float> draws(in.Byte() % 4U);
        for (float& r : draws) {
            r = in.Raw<float>();
        }
        runtime.QueueRandom(draws);
    }
};

void CheckSpoke(Input& in)
{
    Case c;
    const Int16 x1 = in.Int();
    const Int16 y1 = in.Int();
    const Int16 x2 = in.Int();
    const Int16 y2 = in.Int();
    const double angle = in.Angle();
    const auto colour = in.Raw<Colour>();
    if ((in.Byte() & 1U) != 0) {
        c.FailAt(Event::Type::Line, 1);
    }
    c.form.X1 = x1;
    c.form.Y1 = y1;
    c.form.X2 = x2;
    c.form.Y2 = y2;
    c.form.Angle = angle;
    const bool ok = c.runtime.Dispatch([&] { c.form.DrawSpoke(colour); });

    Trace t(c.runtime.Events(), c.failOn);
    (void)Spoke(t, x1, y1, x2, y2, angle, colour);
    t.Finish(ok);
    if (ok) {
        const frmLines& f = c.form;
        FUZZ_CHECK(f.X1 == x1 && f.Y1 == y1 && f.X2 == x2 && f.Y2 == y2 && f.Angle == angle, t.Pos());
        FUZZ_CHECK(f.Xc == x1 && f.Yc == y1, t.Pos());
    }
}

void CheckStar(Input& in)
{
    Case c;
    const Int16 x1 = in.Int();
    const Int16 y1 = in.Int();
    const Int16 x2 = in.Int();
    const Int16 y2 = in.Int();
    const auto colour = in.Raw<Colour>();
    if (const int failing = in.Byte() % 14; failing != 0) {
        c.FailAt(Event::Type::Line, failing);
    }
    c.form.X1 = x1;
    c.form.Y1 = y1;
    c.form.X2 = x2;
    c.form.Y2 = y2;
    const bool ok = c.runtime.Dispatch([&] { c.form.DrawStar(colour); });

    Trace t(c.runtime.Events(), c.failOn);
    (void)Star(t, x1, y1, x2, y2, colour);
    t.Finish(ok);
    if (ok) {
        // The star leaves the state as it found it, the angle one turn on.
        const frmLines& f = c.form;
        FUZZ_CHECK(f.X1 == x1 && f.Y1 == y1 && f.X2 == x2 && f.Y2 == y2 && f.Angle == -360.0, t.Pos());
        FUZZ_CHECK(f.Xc == x1 && f.Yc == y1, t.Pos());
    }
}

void CheckSlope(Input& in)
{
    Case c;
    const Int16 xa = in.Int();
    const Int16 ya = in.Int();
    const Int16 xb = in.Int();
    const Int16 yb = in.Int();
    double slope = 0;
    const bool ok = c.runtime.Dispatch([&] { slope = c.form.Slope(xa, ya, xb, yb); });

    const SlopeForecast f = ForecastSlope(xa, ya, xb, yb);
    Trace t(c.runtime.Events(), std::nullopt);
    if (t.Arith(f.error)) {
        FUZZ_CHECK(slope == f.value && "the correctly rounded quotient", t.Pos());
    }
    t.Finish(ok);
}

void CheckDelay(Input& in)
{
    Case c;
    const Int16 count = in.Int();
    if (const auto failing = in.Raw<std::uint16_t>(); failing != 0) {
        c.FailAt(Event::Type::Caption, failing);
    }
    const bool ok = c.runtime.Dispatch([&] { c.form.Delay(count); });

    Trace t(c.runtime.Events(), c.failOn);
    (void)t.Pause(count);
    t.Finish(ok);
    const bool wrote = c.runtime.CaptionWrites() > 0;
    FUZZ_CHECK(c.runtime.LabelCaption() == (wrote ? "" : "Label1"), t.Pos());
}

void CheckTwinkle(Input& in)
{
    Case c;
    c.Load(in);
    const int op = in.Byte() % 3;
    const auto nth = in.Raw<std::uint16_t>();
    if (op == 1) {
        c.FailAt(Event::Type::Line, 1 + nth % 400);
    } else if (op == 2) {
        c.FailAt(Event::Type::Caption, 1 + nth % 8192);
    }
    const bool ok = c.runtime.Dispatch([&] { c.form.Twinkle(); });

    Trace t(c.runtime.Events(), c.failOn);
    (void)Twinkle(t, c.form);
    t.Finish(ok);
}

void CheckPress(Input& in)
{
    Case c;
    const auto background = in.Raw<Colour>();
    c.runtime.SetBackColor(background);
    c.Load(in);
    // A whole press is ~5 million calls: one is always made to fail, which
    // keeps an input to a few dozen moves of the fly-in.
    const int op = in.Byte() % 3;
    const auto nth = in.Raw<std::uint16_t>();
    if (op == 0) {
        c.FailAt(Event::Type::Line, 1 + nth % 768);
    } else if (op == 1) {
        c.FailAt(Event::Type::Caption, 1 + nth % 8192);
    } else {
        c.FailAt(Event::Type::BackColor, 1 + nth % 32);
    }
    const bool ok = c.runtime.Dispatch([&] { c.form.cmdStart_Click(); });

    Trace t(c.runtime.Events(), c.failOn);
    (void)Press(t, c.form, background);
    t.Finish(ok);
}

}  // namespace

void SetInputName(std::string name) { InputName() = std::move(name); }

}  // namespace vantrel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantrel::fuzz;
    Input in(std::span<const std::uint8_t>(data, size));
    switch (in.Byte() % 6) {
    case 0:
        CheckSpoke(in);
        break;
    case 1:
        CheckStar(in);
        break;
    case 2:
        CheckSlope(in);
        break;
    case 3:
        CheckDelay(in);
        break;
    case 4:
        CheckTwinkle(in);
        break;
    default:
        CheckPress(in);
        break;
    }
    return 0;
}
