#pragma once

#include "frontends/qt/Canvas.h"

#include <QString>
#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;

namespace vantrel {

// Geometry of the window and its controls, in twips.
struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};
inline constexpr int kClientWidthTwips = 10725;
inline constexpr int kClientHeightTwips = 7305;
inline constexpr TwipRect kLabelTwips{9360, 6480, 1215, 495};
inline constexpr TwipRect kButtonTwips{4320, 6240, 2175, 615};

// "Vantrel v2.0", 108 blanks, then a 49-character credit line.
[[nodiscard]] QString WindowCaption();

// The window frmLines on screen: a black client area holding the persistent
// canvas, the label lblSleep and the button cmdStart. It has no show logic;
// the runtime binding draws into its canvas and pushes the pixels out.
class FormWidget final : public QWidget {
    Q_OBJECT

public:
    explicit FormWidget(QWidget* parent = nullptr);
    ~FormWidget() override;
    FormWidget(const FormWidget&) = delete;
    FormWidget& operator=(const FormWidget&) = delete;
    FormWidget(FormWidget&&) = delete;
    FormWidget& operator=(FormWidget&&) = delete;

    [[nodiscard]] Canvas& canvas() noexcept { return *canvas_; }
    [[nodiscard]] QLabel* lblSleep() const noexcept { return lblSleep_; }
    [[nodiscard]] QPushButton* cmdStart() const noexcept { return cmdStart_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Return and keypad Enter press the focused button, as Space does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // After a move to a screen of another scale: the canvas drawn again at
    // the new device pixel ratio and the window back at its logical size.
    void FollowScreen();

    std::unique_ptr<Canvas> canvas_;
    QLabel* lblSleep_;
    QPushButton* cmdStart_;
};

}  // namespace vantrel
