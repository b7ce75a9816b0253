#include "frontends/qt/Canvas.h"
#include "frontends/qt/FormWidget.h"
#include "frontends/recording/RecordedPicture.h"
#include "frontends/recording/TracePicture.h"

#include <QColor>
#include <QSize>
#include <QString>

namespace vantrel {
namespace {

class CanvasPicture final : public TracePicture {
public:
    explicit CanvasPicture(double scale)
        : canvas_(QSize(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel), scale,
                  QColor(Qt::black))
    {
    }

    void Draw(const Event& event) override { DrawRecorded(canvas_, event); }
    [[nodiscard]] bool SavePng(const std::string& path) override
    {
        return canvas_.Image().save(QString::fromLocal8Bit(path.c_str()), "PNG");
    }

private:
    Canvas canvas_;
};

}  // namespace

std::unique_ptr<TracePicture> MakeTracePicture(double scale, std::string& /*whyNot*/)
{
    return std::make_unique<CanvasPicture>(scale);
}

}  // namespace vantrel
