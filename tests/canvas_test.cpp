#include "frontends/qt/Canvas.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <set>

namespace vantrel {
namespace {

constexpr QSize kClient(715, 487);

// Draws a star with an upright spoke the way the show does, straight in pixels' twips.
void Star(Canvas& canvas, int cx, int cy, int spoke, QColor colour)
{
    constexpr int kTips[12][2] = {{0, -450}, {-225, -390}, {-390, -225}, {-450, 0}, {-390, 225}, {-225, 390},
                                  {0, 450},  {225, 390},   {390, 225},   {450, 0},  {390, -225}, {225, -390}};
    for (const auto& tip : kTips) {
        canvas.DrawLine(static_cast<float>(cx), static_cast<float>(cy), static_cast<float>(cx + tip[0] * spoke / 450),
                        static_cast<float>(cy + tip[1] * spoke / 450), colour);
    }
}

std::set<QRgb> ColoursOf(const QImage& image)
{
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return colours;
}

TEST(TwipsToPixels, RoundsToTheNearestPixel)
{
    EXPECT_EQ(TwipsToPixels(1000), 67);
    EXPECT_EQ(TwipsToPixels(0), 0);
    EXPECT_EQ(TwipsToPixels(7), 0);
    EXPECT_EQ(TwipsToPixels(8), 1);
    EXPECT_EQ(TwipsToPixels(10725), 715);
    EXPECT_EQ(TwipsToPixels(-450), -30);
    EXPECT_EQ(TwipsToPixels(1e30), 1000000);
}

TEST(Canvas, EraseByRedrawingInBlackRestoresEveryPixel)
{
    Canvas canvas(kClient, 1.0, Qt::black);
    const QImage before = canvas.Image().copy();
    Star(canvas, 1000, 1000, 450, QColor(200, 100, 50));
    EXPECT_NE(canvas.Image(), before);
    Star(canvas, 1000, 1000, 450, Qt::black);
    EXPECT_EQ(canvas.Image(), before);
}

TEST(Canvas, ErasingAcrossAnOlderDrawingLeavesBlackCuts)
{
    Canvas canvas(kClient, 1.0, Qt::black);
    // An older drawing: a solid horizontal bar of lines the star crosses.
    for (int y = 950; y <= 1050; y += 15) {
        canvas.DrawLine(0, static_cast<float>(y), 3000, static_cast<float>(y), Qt::white);
    }
    Star(canvas, 1000, 1000, 450, Qt::red);
    Star(canvas, 1000, 1000, 450, Qt::black);
    // The horizontal spokes ran along the bar: it is cut at the centre and along them.
    EXPECT_EQ(canvas.Image().pixel(TwipsToPixels(1000), TwipsToPixels(1000)), QColor(Qt::black).rgb());
    EXPECT_EQ(canvas.Image().pixel(TwipsToPixels(1300), TwipsToPixels(1000)), QColor(Qt::black).rgb());
    // The bar survives away from the star, and no red is left anywhere.
    EXPECT_EQ(canvas.Image().pixel(TwipsToPixels(2500), TwipsToPixels(1000)), QColor(Qt::white).rgb());
    const auto colours = ColoursOf(canvas.Image());
    EXPECT_EQ(colours, (std::set<QRgb>{QColor(Qt::black).rgb(), QColor(Qt::white).rgb()}));
}

TEST(Canvas, NoAntialiasingOnlyTheDrawnColoursAppear)
{
    Canvas canvas(kClient, 1.0, Qt::black);
    Star(canvas, 3000, 3000, 450, QColor(10, 200, 30));
    Star(canvas, 5000, 2000, 400, QColor(250, 250, 2));
    EXPECT_EQ(ColoursOf(canvas.Image()),
              (std::set<QRgb>{QColor(Qt::black).rgb(), QColor(10, 200, 30).rgb(), QColor(250, 250, 2).rgb()}));
}

TEST(Canvas, LineAndItsReverseLightTheSamePixels)
{
    for (const qreal dpr : {1.0, 2.0}) {
        for (int dx = -40; dx <= 40; dx += 3) {
            for (int dy = -40; dy <= 40; dy += 7) {
                Canvas forward(QSize(100, 100), dpr, Qt::black);
                Canvas backward(QSize(100, 100), dpr, Qt::black);
                const float ax = 750;
                const float ay = 750;
                const auto bx = static_cast<float>(750 + dx * 15);
                const auto by = static_cast<float>(750 + dy * 15);
                forward.DrawLine(ax, ay, bx, by, Qt::white);
                backward.DrawLine(bx, by, ax, ay, Qt::white);
                ASSERT_EQ(forward.Image(), backward.Image()) << "dpr " << dpr << " dx " << dx << " dy " << dy;
                // Both endpoints are lit.
                const QPoint a(qRound(50 * dpr), qRound(50 * dpr));
                ASSERT_EQ(forward.Image().pixel(a), QColor(Qt::white).rgb());
            }
        }
    }
}

TEST(Canvas, LinesOutsideAreClippedWithoutHarm)
{
    Canvas canvas(kClient, 1.0, Qt::black);
    Star(canvas, 0, 0, 450, Qt::white);  // the corner star of every flight
    canvas.DrawLine(-1e9F, -1e9F, 1e9F, 1e9F, Qt::white);
    canvas.DrawLine(20000, 20000, 30000, 30000, Qt::red);
    EXPECT_EQ(canvas.Image().pixel(0, 0), QColor(Qt::white).rgb());
    EXPECT_FALSE(ColoursOf(canvas.Image()).contains(QColor(Qt::red).rgb()));
    const QRect dirty = canvas.TakeDirty();
    EXPECT_TRUE(QRect(QPoint(0, 0), kClient).contains(dirty));
    EXPECT_TRUE(canvas.TakeDirty().isEmpty());
}

TEST(Canvas, DirtyAreaCoversWhatWasDrawnAndClearCoversAll)
{
    Canvas canvas(kClient, 1.0, Qt::black);
    canvas.DrawLine(1500, 1500, 3000, 750, Qt::white);
    const QRect dirty = canvas.TakeDirty();
    EXPECT_TRUE(dirty.contains(QRect(QPoint(100, 50), QPoint(200, 100))));
    EXPECT_LT(dirty.width(), 110);
    canvas.Clear(Qt::black);
    EXPECT_EQ(canvas.TakeDirty(), QRect(QPoint(0, 0), kClient));
    EXPECT_EQ(ColoursOf(canvas.Image()), std::set<QRgb>{QColor(Qt::black).rgb()});
}

TEST(Canvas, HighDpiCanvasHasDevicePixels)
{
    Canvas canvas(kClient, 2.0, Qt::black);
    EXPECT_EQ(canvas.Image().size(), kClient * 2);
    EXPECT_EQ(canvas.Image().devicePixelRatio(), 2.0);
    Star(canvas, 1000, 1000, 450, Qt::green);
    Star(canvas, 1000, 1000, 450, Qt::black);
    EXPECT_EQ(ColoursOf(canvas.Image()), std::set<QRgb>{QColor(Qt::black).rgb()});
}

}  // namespace
}  // namespace vantrel
