#pragma once

#include "order/frmmenu.h"
#include "order/textgrid.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include <memory>

// The desk on a database of its own, the rate answered, the window shown and active. A scripted
// answer left unused fails the running test.
class DeskFixture
{
public:
    ~DeskFixture();
    bool open(const QString &tipoCambioReply = QStringLiteral("1"));

    template <typename T = QWidget> T *control(const QString &name) const { return window->findChild<T *>(name); }
    QString text(const QString &name) const
    {
        if (auto *box = control<QLineEdit>(name))
            return box->text();
        return control<QLabel>(name)->text();
    }
    QStringList texts(const QStringList &names) const
    {
        QStringList shown;
        for (const QString &name : names)
            shown.append(text(name));
        return shown;
    }
    static QWidget *focused() { return QApplication::focusWidget(); }
    static void press(Qt::Key key) { QTest::keyClick(focused(), key); }
    // Key by key; letters beyond ASCII arrive as the text of their key press.
    static void type(const QString &text)
    {
        for (const QChar ch : text) {
            if (ch.unicode() < 0x80)
                QTest::keyClick(focused(), char(ch.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
    void doubleClickFound(int row) const
    {
        auto *grid = control<TextGrid>(QStringLiteral("gridEncontrados"));
        QTest::mouseDClick(
            grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 2)).center());
    }
    QList<QStringList> orderRows() const
    {
        auto *grid = control<TextGrid>(QStringLiteral("gridCompras"));
        QList<QStringList> rows;
        for (int row = 1; row < grid->rows(); ++row)
            rows.append(grid->gridModel()->rowCells(row));
        return rows;
    }

    TestDatabase db;
    ScriptedDialogs dialogs;
    std::unique_ptr<frmMenu> window;
};
