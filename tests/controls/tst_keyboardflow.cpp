#include "controls/focuspicturebutton.h"
#include "controls/keyboardflow.h"

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
    CountingEdit *first = new CountingEdit;
    QLineEdit *disabled = new QLineEdit;
    FocusPictureButton *button = new FocusPictureButton;
    CountingEdit *last = new CountingEdit;
    int arrivals = 0;

    bool show()
    {
        auto *layout = new QVBoxLayout(&widget);
        for (QWidget *control : std::initializer_list<QWidget *>{first, disabled, button, last})
            layout->addWidget(control);
        button->setMinimumSize(60, 20);
        disabled->setEnabled(false);
        QObject::connect(button, &FocusPictureButton::focusArrived, &widget, [this] { ++arrivals; });
        new KeyboardFlow(&widget);
        widget.show();
        widget.activateWindow();
        return QTest::qWaitForWindowActive(&widget);
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
    // Enter goes forward and Escape back, passing over the disabled box; neither reaches the box.
    // Arriving on the picture, forwards, backwards or by a click, makes it act.
    void keysMoveAndArrive()
    {
        Window window;
        QVERIFY(window.show());
        window.first->setFocus();
        QTest::keyClicks(window.first, QStringLiteral("ab")); // other keys pass
        QCOMPARE(window.first->text(), QStringLiteral("ab"));
        const QList<std::pair<Qt::Key, QWidget *>> steps
            = {{Qt::Key_Return, window.button}, {Qt::Key_Return, window.last}, {Qt::Key_Escape, window.button},
                {Qt::Key_Escape, window.first}, {Qt::Key_Escape, window.last}, {Qt::Key_Enter, window.first},
                {Qt::Key_Tab, window.button}, {Qt::Key_Tab, window.last}, {Qt::Key_Backtab, window.button}};
        for (const auto &[key, expected] : steps) {
            press(key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            QCOMPARE(QApplication::focusWidget(), expected);
        }
        QCOMPARE(window.first->enterOrEscape + window.last->enterOrEscape, 0);
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
