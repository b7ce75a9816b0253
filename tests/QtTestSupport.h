#pragma once

#include "core/Picture.h"
#include "frontends/qt/PictureImage.h"
#include "frontends/recording/RecordedPicture.h"
#include "frontends/recording/RecordingRuntime.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTimer>
#include <QtTest/QTest>

#include <functional>
#include <memory>

namespace vantrel::testing {

// Answers the next modal message box: hands it to `inspect`, then presses OK.
// Polls, since the box opens inside a blocked click handler.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::function<void(QMessageBox&)> inspect) : inspect_(std::move(inspect))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            timer_.stop();
            ++answered_;
            inspect_(*box);
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        timer_.start(10);
    }
    [[nodiscard]] int answered() const noexcept { return answered_; }

private:
    std::function<void(QMessageBox&)> inspect_;
    QTimer timer_;
    int answered_ = 0;
};

// Pixels that differ between two pictures; -1 when their sizes do.
inline int DifferingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) {
        return -1;
    }
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            n += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return n;
}

// Replays recorded drawing onto a canvas exactly as the window's binding draws.
inline void Replay(const std::vector<Event>& events, Picture& canvas, std::size_t from = 0,
                   std::size_t to = static_cast<std::size_t>(-1))
{
    for (std::size_t i = from; i < events.size() && i < to; ++i) {
        DrawRecorded(canvas, events[i]);
    }
}

}  // namespace vantrel::testing
