// What assistive tools see of the window through Qt's accessibility
// interfaces, on the offscreen platform: the same interfaces the AT-SPI
// bridge serves to screen readers (tests/accessibility runs them on the bus).
#include "core/frmLines.h"
#include "frontends/qt/FormWidget.h"
#include "frontends/qt/FormWidgetAccessibility.h"
#include "frontends/qt/QtRuntime.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>

namespace vantrel {
namespace {

constexpr auto kCredit = "Made with twelve-spoke stars by the Vantrel crew.";

QAccessibleInterface* Iface(QObject* object) { return QAccessible::queryAccessibleInterface(object); }

// Every interface below `root`, depth first.
void Walk(QAccessibleInterface* root, const std::function<void(QAccessibleInterface*)>& visit)
{
    visit(root);
    for (int i = 0; i < root->childCount(); ++i) {
        if (QAccessibleInterface* child = root->child(i)) {
            Walk(child, visit);
        }
    }
}

TEST(Accessibility, CaptionSplitsIntoNameAndCredit)
{
    const CaptionParts parts = SplitCaption(WindowCaptionText());
    EXPECT_EQ(parts.name, "Vantrel v2.0");
    EXPECT_EQ(parts.credit, kCredit);
    // A single blank belongs to the name; no credit, no description.
    EXPECT_EQ(SplitCaption("Two words").name, "Two words");
    EXPECT_EQ(SplitCaption("Two words").credit, "");
    EXPECT_EQ(SplitCaption("A  b   c").name, "A");
    EXPECT_EQ(SplitCaption("A  b   c").credit, "b   c");
}

TEST(Accessibility, WindowIsAFrameNamedByTheProductWithTheCreditAsDescription)
{
    FormWidget window;
    window.show();
    QAccessibleInterface* iface = Iface(&window);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Window) << "exposed as a frame, not a filler";
    EXPECT_EQ(iface->text(QAccessible::Name), "Vantrel v2.0");
    EXPECT_EQ(iface->text(QAccessible::Description), kCredit);
    EXPECT_FALSE(iface->state().invisible);
    EXPECT_EQ(window.windowTitle(), WindowCaptionText()) << "the caption itself stays as it is";
    // The application lists the window under that name.
    QAccessibleInterface* app = Iface(qApp);
    ASSERT_NE(app, nullptr);
    EXPECT_GE(app->indexOfChild(iface), 0);
}

TEST(Accessibility, TreeHoldsTheButtonAloneAndLeavesTheHiddenLabelOut)
{
    FormWidget window;
    window.show();
    QAccessibleInterface* iface = Iface(&window);
    ASSERT_EQ(iface->childCount(), 1);
    EXPECT_EQ(iface->child(0)->object(), window.cmdStart());
    EXPECT_EQ(iface->indexOfChild(Iface(window.cmdStart())), 0);
    EXPECT_EQ(iface->child(1), nullptr);
    EXPECT_EQ(iface->child(-1), nullptr);

    QAccessibleInterface* label = Iface(window.lblSleep());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(iface->indexOfChild(label), -1);
    EXPECT_TRUE(label->state().invisible) << "hidden should anything reach it";
    EXPECT_FALSE(label->state().focusable);
    EXPECT_EQ(label->text(QAccessible::Name), "");

    // On screen it stays as it was, before and after a pause writes its caption.
    EXPECT_TRUE(window.lblSleep()->isVisible());
    EXPECT_EQ(window.lblSleep()->text(), "Label1");
    window.lblSleep()->setText(QString());
    EXPECT_EQ(iface->childCount(), 1);

    // Nothing anywhere in the application reads "Label1" or reaches the label.
    window.lblSleep()->setText(QStringLiteral("Label1"));
    int seen = 0;
    Walk(Iface(qApp), [&](QAccessibleInterface* node) {
        ++seen;
        EXPECT_NE(node->object(), window.lblSleep());
        EXPECT_NE(node->text(QAccessible::Name), "Label1");
    });
    EXPECT_GE(seen, 3);
}

TEST(Accessibility, ButtonKeepsItsNameAndGivesItsShortcutAndWhatItDoes)
{
    FormWidget window;
    window.show();
    QPushButton* button = window.cmdStart();
    EXPECT_EQ(button->text(), "&Start the show");
    EXPECT_EQ(button->shortcut(), QKeySequence(Qt::ALT | Qt::Key_S));

    QAccessibleInterface* iface = Iface(button);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Button);
    EXPECT_EQ(iface->text(QAccessible::Name), "Start the show") << "the mnemonic's & is not read";
    EXPECT_EQ(iface->text(QAccessible::Accelerator), "Alt+S");
    EXPECT_EQ(iface->text(QAccessible::Description), kStartDescription);
    EXPECT_TRUE(iface->state().focusable);
    EXPECT_FALSE(iface->state().invisible);

    QAccessibleActionInterface* actions = iface->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_FALSE(actions->actionNames().isEmpty());
    const QString press = QAccessibleActionInterface::pressAction();
    EXPECT_EQ(actions->actionNames().front(), press) << "the first action is the one screen readers run";
    EXPECT_EQ(actions->keyBindingsForAction(press), QStringList{"Alt+S"});
    EXPECT_EQ(actions->localizedActionDescription(press), kStartActionDescription);
    EXPECT_NE(actions->localizedActionDescription(press), "Triggers the action");
}

// Clicks of the button, counted; the show itself is not wired here.
struct ClickCount {
    int clicks = 0;
    explicit ClickCount(QPushButton* button)
    {
        QObject::connect(button, &QPushButton::clicked, button, [this] { ++clicks; });
    }
};

TEST(Accessibility, PressActionClicksFromTheEventLoopSoTheRequestIsAnsweredFirst)
{
    FormWidget window;
    window.show();
    const ClickCount count(window.cmdStart());
    Iface(window.cmdStart())->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(count.clicks, 0) << "a show run inside the request would leave the screen reader waiting";
    EXPECT_TRUE(QTest::qWaitFor([&] { return count.clicks == 1; }, 5000));
}

TEST(Accessibility, ActionsAreRefusedWhileHeldAndWorkAgainAfterwards)
{
    FormWidget window;
    window.show();
    const ClickCount count(window.cmdStart());
    QAccessibleActionInterface* button = Iface(window.cmdStart())->actionInterface();
    {
        const AccessibleActionsHeld held;
        EXPECT_TRUE(Iface(window.cmdStart())->state().busy) << "says a press would be refused";
        button->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_FALSE(window.cmdStart()->isDown()) << "not even drawn pressed";
        button->doAction(QAccessibleActionInterface::setFocusAction());
        EXPECT_FALSE(window.cmdStart()->hasFocus());
        Iface(&window)->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
        // Longer than a press takes to turn into a click.
        QTest::qWait(300);
    }
    EXPECT_EQ(count.clicks, 0);
    EXPECT_FALSE(Iface(window.cmdStart())->state().busy);
    button->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return count.clicks == 1; }, 5000));
}

TEST(Accessibility, MnemonicAndSpacePressTheButton)
{
    FormWidget window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const ClickCount count(window.cmdStart());
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return count.clicks == 1; }, 5000)) << "Alt+S";
    EXPECT_TRUE(window.cmdStart()->hasFocus()) << "the shortcut moves focus to the button";
    QTest::keyClick(window.cmdStart(), Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([&] { return count.clicks == 2; }, 5000)) << "Space";
}

const QtRuntime::Options kUnpaced{.pacing = Pacer::Config{.round = std::chrono::nanoseconds(0)}, .seed = 99U};

// The real wiring of a press, unpaced: a click runs the whole show.
struct Program {
    FormWidget window;
    QtRuntime runtime{window, kUnpaced};
    frmLines form{runtime};
    int shows = 0;
    bool inShow = false;

    Program()
    {
        window.show();
        EXPECT_TRUE(runtime.Dispatch([&] { form.Form_Load(); }));
        QObject::connect(window.cmdStart(), &QPushButton::clicked, &window, [this] {
            runtime.Dispatch([this] {
                ++shows;
                inShow = true;
                form.cmdStart_Click();
                inShow = false;
            });
        });
    }
};

TEST(AccessibleShow, GreetingIsAReadableAlertAndPressesDuringTheShowChangeNothing)
{
    Program program;
    QAccessibleActionInterface* start = Iface(program.window.cmdStart())->actionInterface();
    const QString press = QAccessibleActionInterface::pressAction();

    int pressesInFlight = 0;
    int pressesAtGreeting = 0;
    int greetings = 0;
    QImage atGreeting;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!program.inShow) {
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            // Between two steps of the fly-in or the twinkling.
            if (pressesInFlight < 3) {
                ++pressesInFlight;
                EXPECT_TRUE(Iface(program.window.cmdStart())->state().busy);
                start->doAction(press);
                EXPECT_FALSE(program.window.cmdStart()->isDown());
            }
            return;
        }
        if (greetings++ > 0) {
            return;  // OK is on its way
        }
        QAccessibleInterface* alert = Iface(box);
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->role(), QAccessible::AlertMessage);
        EXPECT_EQ(alert->text(QAccessible::Name), "Vantrel v2.0");
        EXPECT_EQ(alert->text(QAccessible::Description), "Merry Chritmas from the Quorvel!!!")
            << "what a screen reader speaks when the alert appears";
        bool labelHoldsText = false;
        Walk(alert, [&](QAccessibleInterface* node) {
            labelHoldsText |= node->role() == QAccessible::StaticText &&
                              node->text(QAccessible::Name) == "Merry Chritmas from the Quorvel!!!";
        });
        EXPECT_TRUE(labelHoldsText) << "the text itself stays readable in the box";

        ++pressesAtGreeting;
        start->doAction(press);
        EXPECT_FALSE(program.window.cmdStart()->isDown());
        atGreeting = ImageOf(program.window.picture()).copy();

        // OK through its own press action: the show's hold covers frmLines, not the box.
        QAccessibleInterface* ok = Iface(box->button(QMessageBox::Ok));
        ASSERT_NE(ok, nullptr);
        ok->actionInterface()->doAction(press);
    });
    timer.start(0);

    start->doAction(press);
    ASSERT_TRUE(QTest::qWaitFor([&] { return program.shows == 1 && !program.inShow; }, 120000));
    EXPECT_GE(greetings, 1);
    EXPECT_GT(pressesInFlight, 0) << "the show let the accessibility requests through between steps";
    EXPECT_EQ(pressesAtGreeting, 1);

    // Longer than a press takes to turn into a click: no second show, the picture stays.
    QTest::qWait(300);
    EXPECT_EQ(program.shows, 1);
    EXPECT_EQ(ImageOf(program.window.picture()), atGreeting);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(Iface(program.window.cmdStart())->state().busy);
}

}  // namespace
}  // namespace vantrel
