#include "deskfixture.h"

#include "order/textgrid.h"
#include "startup/startup.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

DeskFixture::~DeskFixture()
{
    window.reset();
    CierroConexion();
    QTest::qCompare(dialogs.pendingAnswers(), 0, "pendingAnswers", "0", __FILE__, __LINE__);
}

bool DeskFixture::open(const QString &tipoCambioReply)
{
    if (!db.isValid() || AbroConexion(db.folder()))
        return false;
    dialogs.answerInput(tipoCambioReply);
    window = std::make_unique<frmMenu>();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        return false;
    control("Check_COD_ART")->setFocus();
    return dialogs.pendingAnswers() == 0;
}

QString DeskFixture::text(const QString &name) const
{
    if (auto *box = control<QLineEdit>(name))
        return box->text();
    if (auto *label = control<QLabel>(name))
        return label->text();
    return QStringLiteral("<no control %1>").arg(name);
}

QStringList DeskFixture::texts(const QStringList &names) const
{
    QStringList shown;
    for (const QString &name : names)
        shown.append(text(name));
    return shown;
}

void DeskFixture::press(Qt::Key key)
{
    QTest::keyClick(focused(), key);
}

void DeskFixture::type(const QString &text)
{
    // Key by key; letters beyond ASCII arrive as the text of their key press.
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(focused(), char(ch.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, focused(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void DeskFixture::enterToSearch()
{
    control("Check_DESCRIPCION")->setFocus();
    press(Qt::Key_Return);
    if (focused() == control("txtBuscar_DESCRIPCION"))
        press(Qt::Key_Return);
}

void DeskFixture::doubleClickFound(int row)
{
    auto *grid = control<TextGrid>(QStringLiteral("gridEncontrados"));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(row, 2)).center());
}

QList<QStringList> DeskFixture::orderRows() const
{
    auto *grid = control<TextGrid>(QStringLiteral("gridCompras"));
    QList<QStringList> rows;
    for (int row = 1; row < grid->rows(); ++row)
        rows.append(grid->gridModel()->rowCells(row));
    return rows;
}

void DeskFixture::addLine(const QString &description, const QString &cantidad, const QString &precio)
{
    control<QLineEdit>(QStringLiteral("txtDESCRIPCION"))->setText(description);
    control<QLineEdit>(QStringLiteral("txtP_UNITARIO"))->setText(precio);
    control("txtCANTIDAD")->setFocus();
    control<QLineEdit>(QStringLiteral("txtCANTIDAD"))->setText(cantidad);
    for (int field = 0; field < 3; ++field) // to the price (the total follows), the details, cmdGuardar
        press(Qt::Key_Return);
}
