#include "ShowTrace.h"
#include "StarTips.h"
#include "core/frmLines.h"
#include "frontends/recording/RecordingRuntime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace vantrel {
namespace {

using testing::Flight;
using testing::FlightsOf;
using testing::Seg;

// Where each flight of the fixture's show comes to rest, after how many
// moves, in which colour: the right figure from its point 12 to 0, then the
// left from 10 to 0. Taken from the trace tool (`--seed 20261208`).
struct Rest {
    std::size_t moves;
    int x;
    int y;
    Colour colour;
};
constexpr std::array<Rest, 24> kRests{{
    {193, 9650, 722, 0x5437CBU},  {193, 9650, 2086, 0xF65D85U}, {193, 9650, 3451, 0x3148E2U},
    {193, 9650, 4815, 0xF09FEDU}, {180, 9000, 5551, 0x60ED4BU}, {174, 8700, 4526, 0xD5B756U},
    {163, 8150, 3743, 0x03A48FU}, {152, 7600, 4530, 0x40E42BU}, {144, 7200, 5559, 0x092113U},
    {130, 6500, 4815, 0x713DF2U}, {130, 6500, 3451, 0xC5D57DU}, {130, 6500, 2086, 0xD8ED55U},
    {130, 6500, 722, 0x8F5F0AU},  {91, 4550, 4853, 0x080DF3U},  {91, 4550, 3478, 0x5C62D5U},
    {91, 4550, 2103, 0x1CF3C6U},  {91, 4550, 728, 0x371691U},   {75, 3750, 5565, 0xE6811AU},
    {56, 2800, 5600, 0xA56332U},  {37, 1850, 5673, 0xBE35EBU},  {20, 1000, 5000, 0x452AECU},
    {20, 1000, 3583, 0x87BBE2U},  {20, 1000, 2167, 0x892539U},  {20, 1000, 750, 0xB1D2F0U},
}};

using testing::kTips450;

bool IsStar(const Seg (&lines)[12], int cx, int cy, Colour colour)
{
    for (std::size_t k = 0; k < 12; ++k) {
        const Seg expected{cx, cy, cx + kTips450[k][0], cy + kTips450[k][1], colour};
        if (!(lines[k] == expected)) {
            return false;
        }
    }
    return true;
}

class FlyIn : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        runtime_ = new RecordingRuntime(20261208U);
        form_ = new frmLines(*runtime_);
        form_->Form_Load();
        form_->cmdStart_Click();
        std::size_t end = 0;
        flights_ = new std::vector<Flight>(FlightsOf(runtime_->Events(), &end));
        flyInEnd_ = end;
    }
    static void TearDownTestSuite()
    {
        delete flights_;
        delete form_;
        delete runtime_;
    }
    static const std::vector<Flight>& flights() { return *flights_; }

    static inline RecordingRuntime* runtime_ = nullptr;
    static inline frmLines* form_ = nullptr;
    static inline std::vector<Flight>* flights_ = nullptr;
    static inline std::size_t flyInEnd_ = 0;
};

TEST_F(FlyIn, TwentyFourFlightsRightFigureFirstFromTheLastPointEachInItsColour)
{
    ASSERT_EQ(flights().size(), kRests.size());
    std::size_t moves = 0;
    for (std::size_t k = 0; k < flights().size(); ++k) {
        const Flight& f = flights()[k];
        EXPECT_EQ(f.moves.size(), kRests[k].moves) << "flight " << k;
        EXPECT_EQ(f.restX(), kRests[k].x) << "flight " << k;
        EXPECT_EQ(f.restY(), kRests[k].y) << "flight " << k;
        EXPECT_EQ(f.colour(), kRests[k].colour) << "flight " << k;
        moves += f.moves.size();
    }
    EXPECT_EQ(moves, 2717U);
    EXPECT_EQ(testing::LinesOf(
                  {runtime_->Events().begin(), runtime_->Events().begin() + static_cast<std::ptrdiff_t>(flyInEnd_)})
                  .size(),
              65208U);
    // The fly-in ends where the finale's clear begins.
    ASSERT_LT(flyInEnd_, runtime_->Events().size());
    EXPECT_EQ(runtime_->Events()[flyInEnd_].type, Event::Type::Cls);
}

TEST_F(FlyIn, TheSteepFlightMovesAlongItsRay)
{
    // Left point 3, (960, 4800): slope 5, 50 across and 250 down per move.
    const Flight& steep = flights()[13 + 7];
    for (std::size_t m = 0; m < steep.moves.size(); ++m) {
        EXPECT_EQ(steep.moves[m].drawn[0].x1, 50 * static_cast<int>(m + 1));
        EXPECT_EQ(steep.moves[m].drawn[0].y1, 250 * static_cast<int>(m + 1));
    }
    EXPECT_EQ(steep.restX(), 1000);
    EXPECT_EQ(steep.restY(), 5000);
}

TEST_F(FlyIn, HalvesOnTheRayGoToTheEvenNeighbour)
{
    // Left point 0 has slope 0.75: every product ending in .5 rounds to even.
    const Flight& f = flights().back();
    const std::array<std::array<int, 2>, 7> centres{
        {{50, 38}, {100, 75}, {150, 112}, {200, 150}, {250, 188}, {300, 225}, {350, 262}}};
    for (std::size_t m = 0; m < centres.size(); ++m) {
        EXPECT_EQ(f.moves[m].drawn[0].x1, centres[m][0]);
        EXPECT_EQ(f.moves[m].drawn[0].y1, centres[m][1]);
    }
    // Left point 2, (960, 3440): 537.5, 1612.5 and 2687.5 at x = 150, 450, 750.
    const Flight& g = flights()[13 + 8];
    EXPECT_EQ(g.moves[2].drawn[0].y1, 538);
    EXPECT_EQ(g.moves[8].drawn[0].y1, 1612);
    EXPECT_EQ(g.moves[14].drawn[0].y1, 2688);
}

TEST_F(FlyIn, EveryMoveErasesDrawsAndPauses)
{
    for (std::size_t k = 0; k < flights().size(); ++k) {
        const Flight& f = flights()[k];
        int prevX = 0;
        int prevY = 0;
        for (const auto& move : f.moves) {
            // The erase is the star where it stood (first: around the corner).
            ASSERT_TRUE(IsStar(move.erased, prevX, prevY, 0U)) << "flight " << k;
            const int x = move.drawn[0].x1;
            const int y = move.drawn[0].y1;
            ASSERT_EQ(x, prevX + 50);
            ASSERT_TRUE(IsStar(move.drawn, x, y, f.colour())) << "flight " << k;
            ASSERT_EQ(move.pause, 1000U);
            prevX = x;
            prevY = y;
        }
    }
}

TEST_F(FlyIn, EveryLineStaysInsideTheWindowAndAboveTheControls)
{
    int maxX = 0;
    int maxY = 0;
    int minXY = 0;
    for (const auto& f : flights()) {
        for (const auto& m : f.moves) {
            for (const auto* lines : {&m.erased, &m.drawn}) {
                for (const auto& s : *lines) {
                    maxX = std::max({maxX, s.x1, s.x2});
                    maxY = std::max({maxY, s.y1, s.y2});
                    minXY = std::min({minXY, s.x2, s.y2});
                }
            }
        }
    }
    EXPECT_EQ(maxX, 10100);
    EXPECT_EQ(maxY, 6123);
    EXPECT_EQ(minXY, -450);
}

// Colours from chosen random numbers: a flight to a single point is enough.
struct ColourCase {
    float r;
    unsigned right;
    unsigned left;
};

class FlyInColour : public ::testing::TestWithParam<ColourCase> {};

TEST_P(FlyInColour, ChannelsOfBothFigures)
{
    const ColourCase c = GetParam();
    RecordingRuntime runtime(1U);
    frmLines form(runtime);
    form.Form_Load();
    // The first flight is the right figure's; the fourteenth the left figure's.
    std::vector<float> values(24 * 3, 0.25F);
    std::fill_n(values.begin(), 3, c.r);
    std::fill_n(values.begin() + 13 * 3, 3, c.r);
    runtime.QueueRandom(values);
    form.cmdStart_Click();
    const auto flights = FlightsOf(runtime.Events());
    ASSERT_EQ(flights.size(), 24U);
    const unsigned grey = 0x010101U;
    EXPECT_EQ(flights[0].colour(), c.right * grey);
    EXPECT_EQ(flights[13].colour(), c.left * grey);
}

INSTANTIATE_TEST_SUITE_P(Edges, FlyInColour,
                         ::testing::Values(ColourCase{0.5F, 130, 128},           // 127.5 / 129.5 to even
                                           ColourCase{0.0F, 2, 0},               // lowest
                                           ColourCase{0.9961F, 255, 254},        // 256.0 clamped
                                           ColourCase{0.99999994F, 255, 255}));  // 257 clamped

TEST(FlyInAgain, SecondPressFliesOverThePictureWithoutClearing)
{
    RecordingRuntime runtime(5U);
    frmLines form(runtime);
    form.Form_Load();
    form.cmdStart_Click();
    runtime.Clear();
    form.cmdStart_Click();
    const auto& events = runtime.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().type, Event::Type::Rnd);
    std::size_t end = 0;
    const auto flights = FlightsOf(events, &end);
    EXPECT_EQ(flights.size(), 24U);
    EXPECT_EQ(events[end].type, Event::Type::Cls);
    EXPECT_EQ(testing::CountOf(events, Event::Type::Cls), 1U);
}

TEST(FlyInBackColour, EraseReadsTheBackgroundAfreshEveryMove)
{
    RecordingRuntime runtime(9U);
    frmLines form(runtime);
    form.Form_Load();
    runtime.SetBackColor(0x00FF00U);
    EXPECT_TRUE(runtime.Dispatch([&] { form.cmdStart_Click(); }));
    const auto flights = FlightsOf(runtime.Events());
    EXPECT_EQ(testing::CountOf(runtime.Events(), Event::Type::BackColor), 2717U);
    EXPECT_EQ(flights.front().moves.front().erased[0].colour, 0x00FF00U);
}

}  // namespace
}  // namespace vantrel
