#include "ShowTrace.h"
#include "core/frmLines.h"
#include "frontends/recording/RecordingRuntime.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace vantrel {
namespace {

using testing::CountOf;
using testing::FlightsOf;

// The colours of the first and the last pass of the fixture's show, left
// figure's points 0..10 then the right's 0..12: from the trace tool (`--seed 77`).
constexpr std::array<Colour, 24> kFirstPass{0x1B78A4U, 0x7F5A43U, 0x72AC62U, 0x5AF9F0U, 0x50B6BAU, 0x55E421U,
                                            0x4358C8U, 0x194F8CU, 0x6C6A21U, 0xD8F042U, 0x6F835EU, 0x3BEA06U,
                                            0x41D2F2U, 0xCAB53FU, 0x22820DU, 0xE6813BU, 0x537E96U, 0x38258AU,
                                            0xDBD242U, 0x03AE06U, 0x5129FFU, 0x0974A2U, 0xA376DDU, 0xB65563U};
constexpr std::array<Colour, 24> kLastPass{0x42688EU, 0x6B78F9U, 0xA94711U, 0xAF2D29U, 0xFAD143U, 0xCE0DD8U,
                                           0x98465CU, 0x5FC28EU, 0xA7457DU, 0x83FD62U, 0xE241B8U, 0x64D84CU,
                                           0x2326D2U, 0xF02BB7U, 0x72CE36U, 0xCFC874U, 0x808099U, 0x576FA5U,
                                           0xE66C55U, 0x8228D6U, 0x841BD3U, 0x62C2DCU, 0x6C4A9AU, 0xDD815AU};

class Finale : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        runtime_ = new RecordingRuntime(77U);
        form_ = new frmLines(*runtime_);
        form_->Form_Load();
        ASSERT_TRUE(runtime_->Dispatch([] { form_->cmdStart_Click(); }));
        std::size_t end = 0;
        (void)FlightsOf(runtime_->Events(), &end);
        finaleStart_ = end;
    }
    static void TearDownTestSuite()
    {
        delete form_;
        delete runtime_;
    }
    static const std::vector<Event>& events() { return runtime_->Events(); }

    static inline RecordingRuntime* runtime_ = nullptr;
    static inline frmLines* form_ = nullptr;
    static inline std::size_t finaleStart_ = 0;
};

TEST_F(Finale, WholePressCounts)
{
    EXPECT_EQ(CountOf(events(), Event::Type::Line), 94008U);
    EXPECT_EQ(CountOf(events(), Event::Type::Rnd), 7272U);
    EXPECT_EQ(CountOf(events(), Event::Type::Cls), 1U);
    EXPECT_EQ(CountOf(events(), Event::Type::MsgBox), 1U);
    EXPECT_EQ(runtime_->CaptionWrites(), (2717U + 2400U) * 1000U);
    EXPECT_EQ(CountOf(events(), Event::Type::Error), 0U);
}

TEST_F(Finale, ClearThenHundredPassesOfStarsOnThePointsThenTheGreeting)
{
    const auto& ev = events();
    std::size_t i = finaleStart_;
    ASSERT_EQ(ev[i++].type, Event::Type::Cls);
    for (int pass = 0; pass < 100; ++pass) {
        for (int p = 0; p < 24; ++p) {
            const bool left = p < 11;
            const int index = left ? p : p - 11;
            const int x = left ? form_->LeftPoints(index, 0) : form_->RightPoints(index, 0);
            const int y = left ? form_->LeftPoints(index, 1) : form_->RightPoints(index, 1);
            for (int draw = 0; draw < 3; ++draw) {
                ASSERT_EQ(ev[i++].type, Event::Type::Rnd) << "pass " << pass << " star " << p;
            }
            // One colour for the whole star.
            const Colour expected = ev[i].colour;
            if (pass == 0 || pass == 99) {
                EXPECT_EQ(expected, (pass == 0 ? kFirstPass : kLastPass)[static_cast<std::size_t>(p)])
                    << "pass " << pass << " star " << p;
            }
            for (int k = 0; k < 12; ++k) {
                const Event& line = ev[i++];
                ASSERT_EQ(line.type, Event::Type::Line);
                ASSERT_EQ(line.x1, static_cast<float>(x));
                ASSERT_EQ(line.y1, static_cast<float>(y));
                ASSERT_EQ(line.colour, expected);
                if (k == 0) {
                    // The top spoke: 400 twips straight up.
                    ASSERT_EQ(line.x2, static_cast<float>(x));
                    ASSERT_EQ(line.y2, static_cast<float>(y - 400));
                }
            }
            ASSERT_EQ(ev[i].type, Event::Type::Caption);
            ASSERT_EQ(ev[i++].count, 1000U);
        }
    }
    ASSERT_EQ(i + 1, ev.size());
    const Event& box = ev[i];
    EXPECT_EQ(box.type, Event::Type::MsgBox);
    EXPECT_EQ(box.code, 64);
    EXPECT_EQ(box.title, "Vantrel v2.0");
    EXPECT_EQ(box.text, "Merry Chritmas from the Quorvel!!!");
}

TEST_F(Finale, StateAfterTheShowHoldsTheLastStar)
{
    EXPECT_EQ(form_->X1, 9620);
    EXPECT_EQ(form_->Y1, 720);
    EXPECT_EQ(form_->X2, 9620);
    EXPECT_EQ(form_->Y2, 320);
    EXPECT_EQ(form_->Angle, -360.0);
}

TEST(FinaleAgain, TwoPressesInARowReplayTheWholeShow)
{
    RecordingRuntime runtime(11U);
    frmLines form(runtime);
    form.Form_Load();
    ASSERT_TRUE(runtime.Dispatch([&] { form.cmdStart_Click(); }));
    ASSERT_TRUE(runtime.Dispatch([&] { form.cmdStart_Click(); }));
    const auto& ev = runtime.Events();
    EXPECT_EQ(CountOf(ev, Event::Type::Line), 2U * 94008U);
    EXPECT_EQ(CountOf(ev, Event::Type::MsgBox), 2U);
    EXPECT_EQ(CountOf(ev, Event::Type::Cls), 2U);
    EXPECT_EQ(ev.back().type, Event::Type::MsgBox);
    // The generator runs on: the second show's colours are new.
    std::vector<float> firstDraws;
    std::vector<float> secondDraws;
    bool second = false;
    for (const Event& e : ev) {
        if (e.type == Event::Type::MsgBox) {
            second = true;
        } else if (e.type == Event::Type::Rnd) {
            (second ? secondDraws : firstDraws).push_back(e.value);
        }
    }
    ASSERT_EQ(firstDraws.size(), 7272U);
    ASSERT_EQ(secondDraws.size(), 7272U);
    EXPECT_NE(firstDraws, secondDraws);
}

TEST(FinaleErrors, AFailingClearStopsTheShowBeforeTheFinaleDraws)
{
    RecordingRuntime runtime(2U);
    frmLines form(runtime);
    form.Form_Load();
    runtime.FailOn(Event::Type::Cls, 1);
    EXPECT_FALSE(runtime.Dispatch([&] { form.cmdStart_Click(); }));
    const auto& ev = runtime.Events();
    EXPECT_EQ(ev.back().type, Event::Type::Error);
    EXPECT_EQ(ev.back().error, ErrorKind::Other);
    EXPECT_EQ(CountOf(ev, Event::Type::Line), 65208U);
    EXPECT_EQ(CountOf(ev, Event::Type::MsgBox), 0U);
}

}  // namespace
}  // namespace vantrel
