#include "frontends/qt/FormWidget.h"

#include "core/Runtime.h"
#include "frontends/qt/FormWidgetAccessibility.h"
#include "frontends/qt/PictureImage.h"
#include "frontends/qt/QtColours.h"

#include <QIcon>
#include <QKeyEvent>
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

QString WindowCaptionText() { return QString::fromStdString(WindowCaption()); }

FormWidget::FormWidget(QWidget* parent)
    : QWidget(parent),
      picture_(kClientWidth, kClientHeight, devicePixelRatioF(), ToPixel(QColor(Qt::black))),
      lblSleep_(new QLabel(QString::fromUtf8(kLabelText.data(), kLabelText.size()), this)),
      cmdStart_(new QPushButton(this))
{
    const QSize client(kClientWidth, kClientHeight);
    const QColor black(Qt::black);

    setObjectName(QStringLiteral("frmLines"));
    setWindowTitle(WindowCaptionText());
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
    // Alt+S presses it; the underline shows where the platform draws mnemonics.
    cmdStart_->setText(QString::fromUtf8(kButtonText.data(), kButtonText.size()));
    cmdStart_->setIcon(icon);
    cmdStart_->setIconSize(QSize(24, 24));

    // Tab order: the label first, then the button.
    setTabOrder(lblSleep_, cmdStart_);
    cmdStart_->installEventFilter(this);

    MakeAccessible(*this);
}

FormWidget::~FormWidget() = default;

bool FormWidget::eventFilter(QObject* watched, QEvent* event)
{
    const auto* key = event->type() == QEvent::KeyPress ? dynamic_cast<const QKeyEvent*>(event) : nullptr;
    if (watched == cmdStart_ && key != nullptr) {
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && plain) {
            if (!key->isAutoRepeat()) {
                cmdStart_->click();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool FormWidget::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    // Qt 6.4 tells a widget that its window moved to a screen of another scale
    // with ScreenChangeInternal (the ratio is already the new one); the window
    // keeps its native size, which arrives as a resize to a new logical size.
    if (event->type() == QEvent::ScreenChangeInternal || event->type() == QEvent::Resize) {
        FollowScreen();
    }
    return handled;
}

void FormWidget::FollowScreen()
{
    const QSize client(picture_.LogicalWidth(), picture_.LogicalHeight());
    const qreal ratio = devicePixelRatioF();
    if (ratio != picture_.Ratio()) {
        picture_.SetRatio(ratio);
        update();
    }
    // Qt keeps the native size across a change of ratio; the window keeps its
    // logical one (and Qt passes its fixed size on again in native pixels).
    if (size() != client) {
        resize(client);
    }
}

void FormWidget::paintEvent(QPaintEvent* /*event*/)
{
    // A change of ratio that came with neither a screen change nor a resize
    // still reaches the picture.
    if (devicePixelRatioF() != picture_.Ratio()) {
        picture_.SetRatio(devicePixelRatioF());
        update();
    }
    // Drawn whole at the origin and clipped to the region being painted: at
    // the backing store's own ratio that is a copy of device pixels, even
    // where a logical rectangle's edges fall inside them (125 %, 150 %).
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), ImageOf(picture_));
}

}  // namespace vantrel
