#pragma once

#include "order/frmmenu.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QApplication>

#include <memory>

// The desk as the salesperson meets it: a database of its own, the connection open, the
// exchange rate answered, the window shown and active. A scripted answer left unused fails
// the running test.
class DeskFixture
{
public:
    ~DeskFixture();
    bool open(const QString &tipoCambioReply = QStringLiteral("1"));

    template <typename T = QWidget> T *control(const QString &name) const { return window->findChild<T *>(name); }
    QString text(const QString &name) const;
    QStringList texts(const QStringList &names) const;
    static QWidget *focused() { return QApplication::focusWidget(); }
    static void press(Qt::Key key);
    static void type(const QString &text);
    // Enter from the description criterion on to the search button.
    void enterToSearch();
    void doubleClickFound(int row);
    // The cells of gridCompras' data rows.
    QList<QStringList> orderRows() const;
    // Fills the line fields and lets the focus arrive on cmdGuardar.
    void addLine(const QString &description, const QString &cantidad, const QString &precio);

    TestDatabase db;
    ScriptedDialogs dialogs;
    std::unique_ptr<frmMenu> window;
};
