#include "core/Runtime.h"
#include "frontends/qt/FormWidget.h"

#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(FormWidget, ClientAreaAndControlsAtTheirTwipGeometry)
{
    FormWidget w;
    w.show();
    EXPECT_EQ(w.size(), QSize(715, 487));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "fixed size: the picture is never redrawn";
    EXPECT_EQ(w.lblSleep()->geometry(), QRect(624, 432, 81, 33));
    EXPECT_EQ(w.cmdStart()->geometry(), QRect(288, 416, 145, 41));
    EXPECT_EQ(w.objectName(), "frmLines");
    EXPECT_EQ(w.lblSleep()->objectName(), "lblSleep");
    EXPECT_EQ(w.cmdStart()->objectName(), "cmdStart");
}

TEST(FormWidget, CaptionIsTitleBlanksAndCredit)
{
    FormWidget w;
    const QString caption = w.windowTitle();
    EXPECT_EQ(caption, WindowCaptionText());
    ASSERT_EQ(caption.size(), 12 + 108 + 49);
    EXPECT_TRUE(caption.startsWith("Vantrel v2.0"));
    EXPECT_EQ(caption.mid(12, 108), QString(108, ' '));
    const QString credit = caption.mid(120);
    EXPECT_FALSE(credit.front().isSpace());
    EXPECT_FALSE(credit.back().isSpace());
}

TEST(FormWidget, LabelButtonAndTabOrder)
{
    FormWidget w;
    EXPECT_EQ(w.lblSleep()->text(), "Label1");
    EXPECT_EQ(w.lblSleep()->palette().color(QPalette::Window),
              w.lblSleep()->palette().color(QPalette::Active, QPalette::WindowText))
        << "label background is the menu-text system colour";
    EXPECT_TRUE(w.lblSleep()->autoFillBackground());
    EXPECT_FALSE(w.cmdStart()->text().isEmpty());
    EXPECT_FALSE(w.cmdStart()->icon().isNull());
    EXPECT_EQ(w.lblSleep()->nextInFocusChain(), w.cmdStart());
}

TEST(FormWidget, StartsBlackWithNothingDrawn)
{
    FormWidget w;
    w.show();
    const QImage shot = w.grab().toImage();
    const QRect label = w.lblSleep()->geometry();
    const QRect button = w.cmdStart()->geometry();
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (label.contains(x, y) || button.contains(x, y)) {
                continue;
            }
            ASSERT_EQ(shot.pixel(x, y), QColor(Qt::black).rgb()) << x << "," << y;
        }
    }
}

TEST(Icon, FourImagesOfTheRightSizesAndDepths)
{
    QFile file(":/vantrel.ico");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    ASSERT_GE(ico.size(), 6 + 4 * 16);
    const auto u16 = [&](int at) {
        return static_cast<int>(static_cast<unsigned char>(ico[at])) |
               (static_cast<int>(static_cast<unsigned char>(ico[at + 1])) << 8);
    };
    ASSERT_EQ(u16(2), 1) << "icon resource";
    ASSERT_EQ(u16(4), 4) << "four images";
    const int expected[4][2] = {{16, 8}, {16, 24}, {32, 8}, {48, 8}};
    for (int i = 0; i < 4; ++i) {
        const int entry = 6 + 16 * i;
        EXPECT_EQ(static_cast<unsigned char>(ico[entry]), expected[i][0]) << i;
        EXPECT_EQ(static_cast<unsigned char>(ico[entry + 1]), expected[i][0]) << i;
        EXPECT_EQ(u16(entry + 6), expected[i][1]) << "bits per pixel of image " << i;
    }

    QImageReader reader(":/vantrel.ico");
    EXPECT_EQ(reader.imageCount(), 4);
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        EXPECT_EQ(reader.read().width(), expected[i][0]);
    }
}

TEST(Icon, WindowIconOffersAllSizes)
{
    FormWidget w;
    const auto sizes = w.windowIcon().availableSizes();
    for (const int s : {16, 32, 48}) {
        EXPECT_TRUE(sizes.contains(QSize(s, s))) << s;
    }
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

TEST(FormWidget, RepaintAfterCoveringShowsTheKeptPicture)
{
    FormWidget w;
    w.show();
    w.picture().DrawLine(1500, 1500, 4500, 3000, Qt::yellow);
    w.picture().DrawLine(0, 0, 10725, 7305, Qt::cyan);
    // An expose after covering or minimising repaints from the canvas, not from nothing.
    const QImage shot = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage& canvas = ImageOf(w.picture());
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (w.childAt(x, y) == nullptr) {
                ASSERT_EQ(shot.pixel(x, y), canvas.pixel(x, y)) << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace vantrel
