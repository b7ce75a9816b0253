#include "window/FormWidget.h"

#include "runtime/QtColours.h"
#include "runtime/Runtime.h"

#include <QIcon>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>

namespace vantrel {
namespace {

QRect ToPixels(const TwipRect& r)
{
    return {r.left / kTwipsPerPixel, r.top / kTwipsPerPixel, r.width / kTwipsPerPixel, r.height / kTwipsPerPixel};
}

}  // namespace

QString WindowCaption()
{
    constexpr int kBlanks = 108;
    return QStringLiteral("Vantrel v2.0") + QString(kBlanks, QLatin1Char(' ')) +
           QStringLiteral("Made with twelve-spoke stars by the Vantrel crew.");
}

FormWidget::FormWidget(QWidget* parent)
    : QWidget(parent), lblSleep_(new QLabel(QStringLiteral("Label1"), this)), cmdStart_(new QPushButton(this))
{
    const QSize client(kClientWidthTwips / kTwipsPerPixel, kClientHeightTwips / kTwipsPerPixel);
    const QColor black(Qt::black);
    canvas_ = std::make_unique<Canvas>(client, devicePixelRatioF(), black);

    setObjectName(QStringLiteral("frmLines"));
    setWindowTitle(WindowCaption());
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        icon.addFile(QStringLiteral(":/icons/vantrel-%1.png").arg(size), QSize(size, size));
    }
    setWindowIcon(icon);
    // The picture is never redrawn by the program, so the window keeps one size.
    setFixedSize(client);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, black);
    setPalette(pal);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);

    lblSleep_->setObjectName(QStringLiteral("lblSleep"));
    lblSleep_->setGeometry(ToPixels(kLabelTwips));
    lblSleep_->setAutoFillBackground(true);
    QPalette labelPal = lblSleep_->palette();
    labelPal.setColor(QPalette::Window, ToQColor(kSysMenuText, labelPal));
    lblSleep_->setPalette(labelPal);

    cmdStart_->setObjectName(QStringLiteral("cmdStart"));
    cmdStart_->setGeometry(ToPixels(kButtonTwips));
    cmdStart_->setText(QStringLiteral("Start the show"));
    cmdStart_->setIcon(icon);
    cmdStart_->setIconSize(QSize(24, 24));

    // Tab order: the label first, then the button.
    setTabOrder(lblSleep_, cmdStart_);
}

FormWidget::~FormWidget() = default;

void FormWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QImage& image = canvas_->Image();
    const qreal dpr = image.devicePixelRatio();
    for (const QRect& r : event->region()) {
        const QRectF source(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr);
        painter.drawImage(QRectF(r), image, source);
    }
}

}  // namespace vantrel
