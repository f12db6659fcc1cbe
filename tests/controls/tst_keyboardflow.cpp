#include "controls/focuspicturebutton.h"
#include "controls/keyboardflow.h"

#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A box, a disabled box, the picture button and a last box, under the key filter.
struct Window
{
    QWidget widget;
    QLineEdit *first = new QLineEdit;
    FocusPictureButton *button = new FocusPictureButton;
    QLineEdit *last = new QLineEdit;
    int arrivals = 0;

    bool show()
    {
        auto *layout = new QVBoxLayout(&widget);
        auto *disabled = new QLineEdit;
        disabled->setEnabled(false);
        for (QWidget *control : std::initializer_list<QWidget *>{first, disabled, button, last})
            layout->addWidget(control);
        button->setMinimumSize(60, 20);
        QObject::connect(button, &FocusPictureButton::focusArrived, &widget, [this] { ++arrivals; });
        new KeyboardFlow(&widget);
        widget.show();
        widget.activateWindow();
        return QTest::qWaitForWindowActive(&widget);
    }
};

} // namespace

class tst_KeyboardFlow : public QObject
{
    Q_OBJECT

private slots:
    // Enter goes forward and Escape back, passing over the disabled box, and never reaches the
    // box it leaves; other keys pass.
    // Arriving on the picture, forwards, backwards or by a click, makes it act.
    void keysMoveAndArrive()
    {
        Window window;
        QVERIFY(window.show());
        window.first->setFocus();
        QTest::keyClicks(window.first, QStringLiteral("ab"));
        QCOMPARE(window.first->text(), QStringLiteral("ab"));
        QSignalSpy entered(window.first, &QLineEdit::returnPressed);
        const QList<std::pair<Qt::Key, QWidget *>> steps
            = {{Qt::Key_Return, window.button}, {Qt::Key_Return, window.last}, {Qt::Key_Escape, window.button},
                {Qt::Key_Escape, window.first}, {Qt::Key_Escape, window.last}, {Qt::Key_Enter, window.first},
                {Qt::Key_Tab, window.button}, {Qt::Key_Tab, window.last}, {Qt::Key_Backtab, window.button}};
        for (const auto &[key, expected] : steps) {
            QTest::keyClick(
                QApplication::focusWidget(), key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            QCOMPARE(QApplication::focusWidget(), expected);
        }
        QCOMPARE(entered.size(), 0);
        QCOMPARE(window.arrivals, 4);
        window.first->setFocus();
        QTest::mouseClick(window.button, Qt::LeftButton);
        QCOMPARE(window.arrivals, 5);
        QTest::mouseClick(window.button, Qt::LeftButton); // already holding the focus
        QCOMPARE(window.arrivals, 5);
    }

    // After a modal box, the focus comes back to the picture without making it act.
    void focusComingBackDoesNotArrive()
    {
        Window window;
        QVERIFY(window.show());
        window.button->setFocus();
        QCOMPARE(window.arrivals, 1); // the program moving the focus there is an arrival too
        QDialog away(&window.widget);
        auto *inside = new QLineEdit(&away);
        QWidget *focusWhileOpen = nullptr;
        QTimer::singleShot(0, &away, [&] {
            away.activateWindow();
            // Closed whatever happens, so that a failure never leaves the test waiting.
            const bool active = QTest::qWaitFor([&] { return away.isActiveWindow(); });
            inside->setFocus();
            focusWhileOpen = QApplication::focusWidget();
            away.accept();
            QVERIFY(active);
        });
        away.exec();
        QCOMPARE(focusWhileOpen, inside);
        // The offscreen platform has no window manager to hand the activation back; do its part.
        window.widget.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window.widget));
        QTRY_COMPARE(QApplication::focusWidget(), window.button);
        QCOMPARE(window.arrivals, 1);
    }
};

QTEST_MAIN(tst_KeyboardFlow)
#include "tst_keyboardflow.moc"
