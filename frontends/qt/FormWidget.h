#pragma once

#include "core/Picture.h"
#include "core/WindowLayout.h"
#include "frontends/qt/PictureImage.h"

#include <QString>
#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;

namespace vantrel {

// The caption as Qt takes it.
[[nodiscard]] QString WindowCaptionText();

// The window frmLines on screen: a black client area holding the persistent
// picture, the label lblSleep and the button cmdStart. It has no show logic
// and draws no line: the runtime binding draws into its picture and pushes
// the pixels out.
class FormWidget final : public QWidget {
    Q_OBJECT

public:
    explicit FormWidget(QWidget* parent = nullptr);
    ~FormWidget() override;
    FormWidget(const FormWidget&) = delete;
    FormWidget& operator=(const FormWidget&) = delete;
    FormWidget(FormWidget&&) = delete;
    FormWidget& operator=(FormWidget&&) = delete;

    [[nodiscard]] Picture& picture() noexcept { return picture_; }
    [[nodiscard]] QLabel* lblSleep() const noexcept { return lblSleep_; }
    [[nodiscard]] QPushButton* cmdStart() const noexcept { return cmdStart_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Return and keypad Enter press the focused button, as Space does.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // After a move to a screen of another scale: the picture drawn again at
    // the new device pixel ratio and the window back at its logical size.
    void FollowScreen();

    Picture picture_;
    QLabel* lblSleep_;
    QPushButton* cmdStart_;
};

}  // namespace vantrel
