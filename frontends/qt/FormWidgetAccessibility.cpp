#include "frontends/qt/FormWidgetAccessibility.h"

#include "frontends/qt/FormWidget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>

#include <initializer_list>

namespace vantrel {
namespace {

int g_held = 0;

// Our interfaces, told apart from Qt's when stale ones are dropped.
class OwnInterface {
public:
    OwnInterface() = default;
    virtual ~OwnInterface() = default;
    OwnInterface(const OwnInterface&) = delete;
    OwnInterface& operator=(const OwnInterface&) = delete;
    OwnInterface(OwnInterface&&) = delete;
    OwnInterface& operator=(OwnInterface&&) = delete;
};

FormWidget* FormOf(QObject* object) { return qobject_cast<FormWidget*>(object); }

bool IsControl(const QObject* object, const char* name)
{
    return object->objectName() == QLatin1String(name) && FormOf(object->parent()) != nullptr;
}

// "&Start the show" is read "Start the show"; "&&" stands for one "&".
QString WithoutMnemonic(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
        }
        out.append(text.at(i));
    }
    return out;
}

// frmLines: a frame, not a filler, so screen readers announce it as the
// application's window. Its name and description come from the widget's
// accessible name and description (see MakeAccessible).
class WindowInterface final : public QAccessibleWidget, public OwnInterface {
public:
    explicit WindowInterface(FormWidget* form) : QAccessibleWidget(form, QAccessible::Window), form_(form) {}

    [[nodiscard]] int childCount() const override { return static_cast<int>(Announced().size()); }

    [[nodiscard]] QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> children = Announced();
        if (index < 0 || index >= children.size()) {
            return nullptr;
        }
        return QAccessible::queryAccessibleInterface(children.at(index));
    }

    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child == nullptr) {
            return -1;
        }
        return static_cast<int>(Announced().indexOf(qobject_cast<QWidget*>(child->object())));
    }

    void doAction(const QString& actionName) override
    {
        if (!AccessibleActionsHeld::Active()) {
            QAccessibleWidget::doAction(actionName);
        }
    }

private:
    // The child widgets a screen reader should know of: as Qt lists them
    // (other windows, such as the greeting, stand on their own), without lblSleep.
    [[nodiscard]] QList<QWidget*> Announced() const
    {
        QList<QWidget*> out;
        for (QObject* object : form_->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child != nullptr && !child->isWindow() && child != form_->lblSleep()) {
                out.append(child);
            }
        }
        return out;
    }

    FormWidget* form_;
};

// cmdStart: Qt's own push button, with a description of what its press does.
class StartInterface final : public QAccessibleWidget, public OwnInterface {
public:
    explicit StartInterface(QPushButton* button) : QAccessibleWidget(button, QAccessible::Button), button_(button) {}

    [[nodiscard]] QString text(QAccessible::Text t) const override
    {
        QString str;
        if (t == QAccessible::Name) {
            str = widget()->accessibleName();
            if (str.isEmpty()) {
                str = WithoutMnemonic(button()->text());
            }
        } else if (t == QAccessible::Accelerator) {
            str = Shortcut();
        }
        return str.isEmpty() ? QAccessibleWidget::text(t) : str;
    }

    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = button()->isDown();
        state.defaultButton = button()->isDefault();
        // Honest about a press that would be refused: the show is running.
        state.busy = AccessibleActionsHeld::Active();
        return state;
    }

    [[nodiscard]] QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    [[nodiscard]] QString localizedActionDescription(const QString& actionName) const override
    {
        if (actionName == pressAction()) {
            return QString::fromLatin1(kStartActionDescription);
        }
        return QAccessibleWidget::localizedActionDescription(actionName);
    }

    [[nodiscard]] QStringList keyBindingsForAction(const QString& actionName) const override
    {
        const QString shortcut = Shortcut();
        if (actionName == pressAction() && !shortcut.isEmpty()) {
            return {shortcut};
        }
        return QAccessibleWidget::keyBindingsForAction(actionName);
    }

    void doAction(const QString& actionName) override
    {
        if (AccessibleActionsHeld::Active()) {
            return;
        }
        if (actionName == pressAction()) {
            // Pressed as Qt presses a button for a screen reader: the click
            // comes from the event loop a moment later, so the request is
            // answered at once instead of after the whole show.
            if (button()->isEnabled()) {
                button()->animateClick();
            }
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }

private:
    [[nodiscard]] QPushButton* button() const { return button_; }
    [[nodiscard]] QString Shortcut() const { return button()->shortcut().toString(QKeySequence::NativeText); }

    QPushButton* button_;
};

// lblSleep: kept on screen as it is, but nothing to read: left out of the
// window's children and marked invisible should anything reach it.
class SilentInterface final : public QAccessibleWidget, public OwnInterface {
public:
    explicit SilentInterface(QWidget* widget) : QAccessibleWidget(widget, QAccessible::StaticText) {}

    [[nodiscard]] QString text(QAccessible::Text /*t*/) const override { return {}; }

    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        state.focusable = false;
        return state;
    }

    [[nodiscard]] QStringList actionNames() const override { return {}; }
    void doAction(const QString& /*actionName*/) override {}
};

QAccessibleInterface* Factory(const QString& className, QObject* object)
{
    if (object == nullptr) {
        return nullptr;
    }
    if (className == QLatin1String(FormWidget::staticMetaObject.className())) {
        return new WindowInterface(qobject_cast<FormWidget*>(object));
    }
    if (className == QLatin1String("QPushButton") && IsControl(object, "cmdStart")) {
        return new StartInterface(qobject_cast<QPushButton*>(object));
    }
    if (className == QLatin1String("QLabel") && IsControl(object, "lblSleep")) {
        return new SilentInterface(qobject_cast<QLabel*>(object));
    }
    return nullptr;
}

// Interfaces asked for while the widgets were being built (only while a
// screen reader listens) came from Qt's factory, before the widgets had
// their names; drop them so the next query builds ours.
void DropForeignInterface(QObject* object)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (iface != nullptr && dynamic_cast<OwnInterface*>(iface) == nullptr) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
    }
}

}  // namespace

CaptionParts SplitCaption(const QString& caption)
{
    const qsizetype gap = caption.indexOf(QLatin1String("  "));
    if (gap < 0) {
        return {caption.trimmed(), {}};
    }
    return {caption.left(gap).trimmed(), caption.mid(gap).trimmed()};
}

void MakeAccessible(FormWidget& form)
{
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    static_cast<void>(installed);

    const CaptionParts caption = SplitCaption(form.windowTitle());
    form.setAccessibleName(caption.name);
    form.setAccessibleDescription(caption.credit);
    form.cmdStart()->setAccessibleDescription(QString::fromLatin1(kStartDescription));
    for (QObject* object : std::initializer_list<QObject*>{&form, form.lblSleep(), form.cmdStart()}) {
        DropForeignInterface(object);
    }
}

AccessibleActionsHeld::AccessibleActionsHeld() noexcept { ++g_held; }

AccessibleActionsHeld::~AccessibleActionsHeld() { --g_held; }

bool AccessibleActionsHeld::Active() noexcept { return g_held > 0; }

}  // namespace vantrel
