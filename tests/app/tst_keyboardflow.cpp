#include "app/focuspicturebutton.h"
#include "app/keyboardflow.h"

#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A text box that counts the Enter and Escape keys that reach it.
class CountingEdit : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;
    int enterOrEscape = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape)
            ++enterOrEscape;
        QLineEdit::keyPressEvent(event);
    }
};

// first, a disabled box, the picture button, last.
struct Window
{
    QWidget widget;
    CountingEdit *first = new CountingEdit(&widget);
    QLineEdit *disabled = new QLineEdit(&widget);
    FocusPictureButton *button = new FocusPictureButton(&widget);
    QLineEdit *last = new QLineEdit(&widget);
    int arrivals = 0;

    Window()
    {
        auto *layout = new QVBoxLayout(&widget);
        for (QWidget *control : {static_cast<QWidget *>(first), static_cast<QWidget *>(disabled),
                 static_cast<QWidget *>(button), static_cast<QWidget *>(last)})
            layout->addWidget(control);
        button->setMinimumSize(60, 20);
        disabled->setEnabled(false);
        QObject::connect(button, &FocusPictureButton::focusArrived, &widget, [this] { ++arrivals; });
        new KeyboardFlow(&widget);
        widget.show();
        widget.activateWindow();
    }
};

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

} // namespace

class tst_KeyboardFlow : public QObject
{
    Q_OBJECT

private slots:
    void procesoTeclaReturnsWhatTheControlKeeps_data();
    void procesoTeclaReturnsWhatTheControlKeeps();
    void enterGoesForwardAndEscapeBack();
    void enterAndEscapeAreSwallowedOtherKeysPass();
    void seleccionoTextoSelectsAll();
    void tabAndBacktabArriveOnTheButton();
    void clickArrivesOnlyWhileNotHoldingFocus();
    void focusBackFromAModalDialogDoesNotArrive();
    void reactivatingTheWindowDoesNotArrive();
    void keysOfAnotherWindowAreLeftAlone();
};

void tst_KeyboardFlow::procesoTeclaReturnsWhatTheControlKeeps_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("kept");
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << 0;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0;
    QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::Key_A);
    QTest::newRow("Tab") << int(Qt::Key_Tab) << int(Qt::Key_Tab);
}

void tst_KeyboardFlow::procesoTeclaReturnsWhatTheControlKeeps()
{
    QFETCH(int, key);
    Window window;
    QVERIFY(QTest::qWaitForWindowActive(&window.widget));
    window.first->setFocus();
    QTEST(ProcesoTecla(key, window.first), "kept");
}

void tst_KeyboardFlow::enterGoesForwardAndEscapeBack()
{
    Window window;
    QVERIFY(QTest::qWaitForWindowActive(&window.widget));
    window.first->setFocus();
    press(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), window.button); // the disabled box is passed over
    QCOMPARE(window.arrivals, 1);
    press(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), window.last);
    press(Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), window.button); // arriving backwards acts too
    QCOMPARE(window.arrivals, 2);
    press(Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), window.first);
    press(Qt::Key_Escape);
    QCOMPARE(QApplication::focusWidget(), window.last); // the order wraps round
}

void tst_KeyboardFlow::enterAndEscapeAreSwallowedOtherKeysPass()
{
    Window window;
    QVERIFY(QTest::qWaitForWindowActive(&window.widget));
    window.first->setFocus();
    QTest::keyClicks(window.first, QStringLiteral("ab"));
    QCOMPARE(window.first->text(), QStringLiteral("ab"));
    QTest::keyClick(window.first, Qt::Key_Return);
    window.first->setFocus();
    QTest::keyClick(window.first, Qt::Key_Escape);
    window.first->setFocus();
    QTest::keyClick(window.first, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(window.first->enterOrEscape, 0);
}

void tst_KeyboardFlow::seleccionoTextoSelectsAll()
{
    QLineEdit box(QStringLiteral("1.234,50"));
    box.setCursorPosition(3);
    SeleccionoTexto(&box);
    QCOMPARE(box.selectedText(), QStringLiteral("1.234,50"));
    QCOMPARE(box.selectionStart(), 0);
    SeleccionoTexto(nullptr); // nothing to select, nothing happens
}

void tst_KeyboardFlow::tabAndBacktabArriveOnTheButton()
{
    Window window;
    QVERIFY(QTest::qWaitForWindowActive(&window.widget));
    window.first->setFocus();
    press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window.button);
    press(Qt::Key_Tab);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), window.button);
    QCOMPARE(window.arrivals, 2);
}

void tst_KeyboardFlow::clickArrivesOnlyWhileNotHoldingFocus()
{
    Window window;
    QVERIFY(QTest::qWaitForWindowActive(&window.widget));
    window.first->setFocus();
    QTest::mouseClick(window.button, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), window.button);
    QCOMPARE(window.arrivals, 1);
    QTest::mouseClick(window.button, Qt::LeftButton);
    QCOMPARE(window.arrivals, 1);
}

void tst_KeyboardFlow::focusBackFromAModalDialogDoesNotArrive()
{
    Window window;
    QVERIFY(QTest::qWaitForWindowActive(&window.widget));
    window.first->setFocus();
    press(Qt::Key_Return);
    QCOMPARE(window.arrivals, 1);

    // A real modal window takes the focus away and gives it back when it closes.
    QDialog dialog(&window.widget);
    auto *inside = new QLineEdit(&dialog);
    QWidget *focusWhileOpen = nullptr;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.activateWindow();
        // Closed whatever happens, so that a failure never leaves the test waiting.
        const bool active = QTest::qWaitFor([&] { return dialog.isActiveWindow(); });
        inside->setFocus();
        focusWhileOpen = QApplication::focusWidget();
        dialog.accept();
        QVERIFY(active);
    });
    dialog.exec();
    QCOMPARE(focusWhileOpen, inside);
    // The offscreen platform has no window manager to hand the activation back; do its part.
    window.widget.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window.widget));
    QTRY_COMPARE(QApplication::focusWidget(), window.button);
    QCOMPARE(window.arrivals, 1);
}

void tst_KeyboardFlow::reactivatingTheWindowDoesNotArrive()
{
    Window window;
    QVERIFY(QTest::qWaitForWindowActive(&window.widget));
    window.button->setFocus();
    QCOMPARE(window.arrivals, 1); // the program moving the focus there is an arrival too
    QWidget other;
    auto *otherBox = new QLineEdit(&other);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    otherBox->setFocus();
    window.widget.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window.widget));
    QTRY_COMPARE(QApplication::focusWidget(), window.button);
    QCOMPARE(window.arrivals, 1);
}

void tst_KeyboardFlow::keysOfAnotherWindowAreLeftAlone()
{
    Window window;
    QVERIFY(QTest::qWaitForWindowActive(&window.widget));
    QWidget other;
    auto *otherBox = new CountingEdit(&other);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    otherBox->setFocus();
    QTest::keyClick(otherBox, Qt::Key_Return);
    QCOMPARE(otherBox->enterOrEscape, 1);
    QCOMPARE(QApplication::focusWidget(), otherBox);
}

QTEST_MAIN(tst_KeyboardFlow)
#include "tst_keyboardflow.moc"
