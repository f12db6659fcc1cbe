#include "controls/focuspicturebutton.h"
#include "controls/keyboardflow.h"

#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

class tst_KeyboardFlow : public QObject
{
    Q_OBJECT

private slots:
    // A box, a disabled box, the picture button and a last box, under the key filter. Enter goes
    // forward and Escape back, passing over the disabled box, and never reaches the box it
    // leaves; other keys pass. Arriving on the picture, forwards, backwards, by a click or by the
    // program, makes it act; the focus coming back to it after a modal box does not.
    void keysMoveAndArrive()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *first = new QLineEdit;
        auto *disabled = new QLineEdit;
        auto *button = new FocusPictureButton;
        auto *last = new QLineEdit;
        for (QWidget *control : std::initializer_list<QWidget *>{first, disabled, button, last})
            layout->addWidget(control);
        disabled->setEnabled(false);
        button->setMinimumSize(60, 20);
        int arrivals = 0;
        connect(button, &FocusPictureButton::focusArrived, &window, [&arrivals] { ++arrivals; });
        new KeyboardFlow(&window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        first->setFocus();
        QTest::keyClicks(first, QStringLiteral("ab"));
        QCOMPARE(first->text(), QStringLiteral("ab"));
        QSignalSpy entered(first, &QLineEdit::returnPressed);
        const QList<std::pair<Qt::Key, QWidget *>> steps = {{Qt::Key_Return, button}, {Qt::Key_Return, last},
            {Qt::Key_Escape, button}, {Qt::Key_Escape, first}, {Qt::Key_Escape, last}, {Qt::Key_Enter, first},
            {Qt::Key_Tab, button}, {Qt::Key_Tab, last}, {Qt::Key_Backtab, button}};
        for (const auto &[key, expected] : steps) {
            QTest::keyClick(
                QApplication::focusWidget(), key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            QCOMPARE(QApplication::focusWidget(), expected);
        }
        QCOMPARE(entered.size(), 0);
        QCOMPARE(arrivals, 4);
        first->setFocus();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(arrivals, 5);
        QTest::mouseClick(button, Qt::LeftButton); // already holding the focus
        QCOMPARE(arrivals, 5);
        first->setFocus();
        button->setFocus();
        QCOMPARE(arrivals, 6);

        QDialog away(&window);
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
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_COMPARE(QApplication::focusWidget(), button);
        QCOMPARE(arrivals, 6);
    }
};

QTEST_MAIN(tst_KeyboardFlow)
#include "tst_keyboardflow.moc"
