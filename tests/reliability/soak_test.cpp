// Soak: twenty presses in a row in one process, on the offscreen canvas with
// pacing off. After every press the window's picture is exactly the one the
// trace of the same seed predicts (the first press also at its greeting, with
// the window repainted wherever the show serves the window system between
// steps), and the memory stays flat: a press draws
// ~94000 lines, so anything kept per line or per press shows within a few
// presses. Under AddressSanitizer the freed-memory quarantine makes resident
// memory grow by design, so there LeakSanitizer (at exit) stands in for the
// bound and the figures are only reported.
#include "QtTestSupport.h"
#include "core/Picture.h"
#include "core/frmLines.h"
#include "frontends/qt/FormWidget.h"
#include "frontends/qt/PictureImage.h"
#include "frontends/qt/QtRuntime.h"
#include "frontends/recording/RecordingRuntime.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace vantrel {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAsan = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUnderAsan = true;
#else
constexpr bool kUnderAsan = false;
#endif
#else
constexpr bool kUnderAsan = false;
#endif

constexpr std::uint32_t kSeed = 1225U;
constexpr int kPresses = 20;
// Loose, so the allocator and Qt's caches never trip it: one small block kept
// per line (32 bytes with malloc's overhead) would add ~57 MB over 19 presses.
constexpr long kGrowthBoundKb = 4096;

// Resident and peak resident memory of this process, in kB.
struct Memory {
    long rssKb = -1;
    long hwmKb = -1;
};

Memory ReadMemory()
{
    Memory m;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:")) {
            m.rssKb = std::stol(line.substr(6));
        } else if (line.starts_with("VmHWM:")) {
            m.hwmKb = std::stol(line.substr(6));
        }
    }
    return m;
}

TEST(Soak, TwentyPressesKeepThePictureExactAndTheMemoryFlat)
{
    FormWidget window;
    window.show();
    QtRuntime runtime(window, {.pacing = Pacer::Config{.round = std::chrono::nanoseconds(0)}, .seed = kSeed});
    frmLines form(runtime);
    ASSERT_TRUE(runtime.Dispatch([&] { form.Form_Load(); }));
    // Wired as the program wires it: the press arrives as a click of the button.
    QObject::connect(window.cmdStart(), &QPushButton::clicked, &window,
                     [&] { runtime.Dispatch([&] { form.cmdStart_Click(); }); });

    // The trace of the same presses, drawn onto a canvas of its own.
    RecordingRuntime recording(kSeed);
    frmLines traced(recording);
    traced.Form_Load();
    Picture expected(kClientWidth, kClientHeight, window.picture().Ratio(), kBlackPixel);

    // During the first press every chance the window system gets repaints the whole window.
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, &window, [&] { window.update(); });
    repaint.start(0);

    Memory first;
    Memory last;
    for (int press = 1; press <= kPresses; ++press) {
        QString greeting;
        QImage atGreeting;
        testing::BoxAnswerer answer([&](QMessageBox& box) {
            greeting = box.text();
            if (press == 1) {
                EXPECT_EQ(box.windowTitle(), "Vantrel v2.0");
                EXPECT_EQ(box.icon(), QMessageBox::Information);
                EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
                atGreeting = ImageOf(window.picture()).copy();
                repaint.stop();
            }
        });
        QTest::mouseClick(window.cmdStart(), Qt::LeftButton);
        ASSERT_EQ(answer.answered(), 1) << "press " << press;
        ASSERT_EQ(greeting, "Merry Chritmas from the Quorvel!!!") << "press " << press;
        EXPECT_EQ(window.lblSleep()->text(), "") << "press " << press;

        ASSERT_TRUE(recording.Dispatch([&] { traced.cmdStart_Click(); }));
        testing::Replay(recording.Events(), expected);
        recording.Clear();
        if (press == 1) {
            EXPECT_TRUE(atGreeting == ImageOf(expected)) << "at the first greeting";
        }
        ASSERT_TRUE(ImageOf(window.picture()) == ImageOf(expected)) << "press " << press;

        (press == 1 ? first : last) = ReadMemory();
    }

    std::printf("memory after press 1: VmRSS %ld kB, VmHWM %ld kB; after press %d: VmRSS %ld kB, VmHWM %ld kB\n",
                first.rssKb, first.hwmKb, kPresses, last.rssKb, last.hwmKb);
    RecordProperty("VmRSS_kB_after_press_1", std::to_string(first.rssKb));
    RecordProperty("VmHWM_kB_after_press_1", std::to_string(first.hwmKb));
    RecordProperty("VmRSS_kB_after_press_20", std::to_string(last.rssKb));
    RecordProperty("VmHWM_kB_after_press_20", std::to_string(last.hwmKb));
    ASSERT_GT(first.rssKb, 0);
    ASSERT_GT(first.hwmKb, 0);
    if (!kUnderAsan) {
        EXPECT_LE(last.rssKb - first.rssKb, kGrowthBoundKb);
        EXPECT_LE(last.hwmKb - first.hwmKb, kGrowthBoundKb);
    }
}

}  // namespace
}  // namespace vantrel
