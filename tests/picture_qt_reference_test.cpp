#include "core/Picture.h"

#include <QImage>
#include <QPainter>
#include <QPen>

#include <gtest/gtest.h>

#include <random>
#include <utility>

namespace vantrel {
namespace {

// The one-pixel line of the portable picture against Qt's own aliased
// square-capped line, which decided the picture at 100 % before: random
// lines in and far out of the window, short ones, and ones along its edges.
TEST(PictureAtOnePixel, LightsTheSamePixelsAsQtsAliasedLine)
{
    for (const double ratio : {1.0, 1.25}) {
        Picture picture(kClientWidth, kClientHeight, ratio, 0xFF000000U);
        QImage image(picture.Width(), picture.Height(), QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setCompositionMode(QPainter::CompositionMode_Source);

        std::mt19937 random(7);
        std::uniform_int_distribution<int> far(-3000, 14000);
        std::uniform_int_distribution<int> near(-40, 40);
        std::uniform_int_distribution<int> edge(0, 3);
        for (int i = 0; i < 6000; ++i) {
            float x1 = static_cast<float>(far(random));
            float y1 = static_cast<float>(far(random));
            float x2 = i % 3 == 0 ? x1 + static_cast<float>(near(random)) : static_cast<float>(far(random));
            float y2 = i % 3 == 0 ? y1 + static_cast<float>(near(random)) : static_cast<float>(far(random));
            if (i % 7 == 0) {  // along an edge of the window, inside or just out
                const float edges[] = {-15.0F, 0.0F, kClientWidthTwips - 15.0F, kClientWidthTwips + 0.0F};
                x1 = x2 = edges[edge(random)];
            }
            const auto colour = static_cast<Pixel>(0xFF000000U | (random() & 0xFFFFFFU));
            picture.DrawLine(x1, y1, x2, y2, colour);
            QPoint a(TwipsToDevicePixels(x1, ratio), TwipsToDevicePixels(y1, ratio));
            QPoint b(TwipsToDevicePixels(x2, ratio), TwipsToDevicePixels(y2, ratio));
            if (std::make_pair(b.x(), b.y()) < std::make_pair(a.x(), a.y())) {
                std::swap(a, b);
            }
            painter.setPen(QPen(QColor::fromRgba(colour), 1, Qt::SolidLine, Qt::SquareCap));
            painter.drawLine(a, b);
        }
        painter.end();
        int differ = 0;
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                differ += row[x] != picture.At(x, y) ? 1 : 0;
            }
        }
        EXPECT_EQ(differ, 0) << "at ratio " << ratio;
    }
}

}  // namespace
}  // namespace vantrel
