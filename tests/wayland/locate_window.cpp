// Finds the window's client area in a screenshot of the whole compositor output
// and cuts it out. The compositor, not the program, places windows on Wayland,
// so the window's own picture (its grab) tells where it is: the one place where
// the screenshot shows every one of its pixels.
//   locate_window SHOT GRAB OUT
// The controls are left out of the comparison: they may repaint (focus, hover)
// between the grab and the screenshot; the show never draws under them.
// Status 0 with OUT written when the screenshot holds the picture; 1 otherwise,
// with OUT cut at the closest place, to look at.
#include "core/Picture.h"
#include "frontends/qt/FormWidget.h"
#include "frontends/qt/PictureImage.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vector>

namespace {

using vantrel::kTwipsPerPixel;
using vantrel::TwipRect;

QRect ToPixels(const TwipRect& r)
{
    return {r.left / kTwipsPerPixel, r.top / kTwipsPerPixel, r.width / kTwipsPerPixel, r.height / kTwipsPerPixel};
}

QImage Load(const char* path)
{
    QImage image = QImage(QString::fromLocal8Bit(path)).convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        std::printf("FAIL cannot read %s\n", path);
    }
    return image;
}

QRgb At(const QImage& image, QPoint p) { return image.pixel(p) & 0xFFFFFFU; }

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("usage: locate_window SHOT GRAB OUT\n", stderr);
        return 2;
    }
    const QImage shot = Load(argv[1]);
    const QImage grab = Load(argv[2]);
    if (shot.isNull() || grab.isNull()) {
        return 1;
    }
    if (grab.width() > shot.width() || grab.height() > shot.height()) {
        std::printf("FAIL the grab (%dx%d) is larger than the screenshot (%dx%d)\n", grab.width(), grab.height(),
                    shot.width(), shot.height());
        return 1;
    }
    const QRect button = ToPixels(vantrel::kButtonTwips);
    const QRect label = ToPixels(vantrel::kLabelTwips);

    // Lit pixels first: a wrong place fails on one of them almost at once,
    // where the black between the stars would match for rows on end.
    std::vector<QPoint> lit;
    std::vector<QPoint> dark;
    for (int y = 0; y < grab.height(); ++y) {
        for (int x = 0; x < grab.width(); ++x) {
            if (button.contains(x, y) || label.contains(x, y)) {
                continue;
            }
            (At(grab, {x, y}) != 0 ? lit : dark).emplace_back(x, y);
        }
    }
    std::vector<QPoint> order = lit;
    order.insert(order.end(), dark.begin(), dark.end());

    // How many of the pixels in `order` differ with the grab placed at
    // `offset`, counting no further than `limit`.
    const auto differing = [&](QPoint offset, std::size_t limit) {
        std::size_t n = 0;
        for (const QPoint& p : order) {
            if (At(shot, p + offset) != At(grab, p) && ++n >= limit) {
                break;
            }
        }
        return n;
    };
    const auto eachPlace = [&](const auto& visit) {
        for (int oy = 0; oy + grab.height() <= shot.height(); ++oy) {
            for (int ox = 0; ox + grab.width() <= shot.width(); ++ox) {
                visit(QPoint(ox, oy));
            }
        }
    };

    std::vector<QPoint> matches;
    eachPlace([&](QPoint offset) {
        if (differing(offset, 1) == 0) {
            matches.push_back(offset);
        }
    });
    QPoint best = matches.empty() ? QPoint() : matches.front();
    std::size_t bestDiffering = 0;
    if (matches.empty()) {
        // Only on failure, to say how far off the screen is: the place where
        // the most of a sample of lit pixels match, then all of them counted there.
        const std::size_t sample = std::min<std::size_t>(lit.size(), 256);
        const std::vector<QPoint> probes(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(sample));
        std::size_t fewest = sample + 1;
        eachPlace([&](QPoint offset) {
            std::size_t n = 0;
            for (const QPoint& p : probes) {
                n += At(shot, p + offset) != At(grab, p) ? 1U : 0U;
            }
            if (n < fewest) {
                fewest = n;
                best = offset;
            }
        });
        bestDiffering = differing(best, order.size() + 1);
    }

    const QImage client = shot.copy(QRect(best, grab.size()));
    if (!client.save(QString::fromLocal8Bit(argv[3]))) {
        std::printf("FAIL cannot write %s\n", argv[3]);
        return 1;
    }
    std::printf("compared %zu pixels (%zu lit) of the window's own picture\n", order.size(), lit.size());
    if (matches.size() != 1) {
        std::printf(
            "FAIL the screenshot shows the window's picture at %zu places; closest at (%d, %d), %zu pixels "
            "differ\n",
            matches.size(), best.x(), best.y(), bestDiffering);
        return 1;
    }
    std::printf("ok the client area is at (%d, %d) of the %dx%d screenshot\n", best.x(), best.y(), shot.width(),
                shot.height());
    return 0;
}
