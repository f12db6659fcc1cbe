#include "base/regional.h"
#include "controls/focusoutline.h"
#include "controls/focuspicturebutton.h"
#include "data/connection.h"
#include "deskfixture.h"
#include "order/desklook.h"
#include "order/textgrid.h"
#include "order/twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace {

template <typename... Cells> void row(const char *name, const Cells &...cells)
{
    (QTest::newRow(name) << ... << cells);
}

QStringList column(const TextGrid *grid, int col)
{
    QStringList cells;
    for (int row = 1; row < grid->rows(); ++row)
        cells.append(grid->text(row, col));
    return cells;
}

} // namespace

// The desk driven offscreen with keys, clicks and scripted boxes.
class tst_frmMenu : public QObject
{
    Q_OBJECT

private slots:
    void init() { Regional::setCurrent(Regional::commaDayFirst()); }

    // Both readings of the reply are the rule's (tst_orderrules); here the box and the label.
    void loadAsksTheRate()
    {
        DeskFixture desk;
        QVERIFY(desk.open(QStringLiteral("2.85")));
        QCOMPARE(desk.dialogs.inputs().first().prompt, QStringLiteral("Tipo de Cambio:"));
        QCOMPARE(desk.dialogs.inputs().first().proposed, QStringLiteral("0"));
        QCOMPARE(desk.window->tipoCambio(), 2.85);
        QCOMPARE(desk.text("lblTC"), QStringLiteral("2,85"));
        QCOMPARE(desk.text("lblNRO_PEDIDO"), QStringLiteral("16"));
        QCOMPARE(desk.text("lblProducto"), QStringLiteral("Recorvan v1.0.0"));
        QCOMPARE(
            desk.text("lblEmpresa") + desk.text("lblRecorvan"), QStringLiteral("Empresa de PruebaVendedor de Prueba"));
        // lblTC asks again proposing its caption; accepting it unchanged keeps the rate.
        desk.dialogs.answerInput(QStringLiteral("2,85"));
        QTest::mouseClick(desk.control<QLabel>("lblTC"), Qt::LeftButton);
        QCOMPARE(desk.dialogs.inputs().last().proposed, QStringLiteral("2,85"));
        QCOMPARE(desk.window->tipoCambio(), 2.85);
    }

    void layoutFitsTheWindow()
    {
        DeskFixture desk;
        const QString empresa = QStringLiteral("Distribuidora Comercial del Paraguay S.A. y Asociados");
        const QString vendedor = QStringLiteral("María Fernanda Ramírez de Villalba");
        QVERIFY(desk.db.exec(QStringLiteral("UPDATE SETUP SET EMPRESA = ?, RECORVAN = ?"), {empresa, vendedor}));
        QVERIFY(desk.open());
        frmMenu *window = desk.window.get();
        const QRect client = Twips::toPixels(QRect(0, 0, 11910, 8520), window->logicalDpiX(), window->logicalDpiY());
        QCOMPARE(window->size(), client.size());
        QCOMPARE(window->minimumSize(), window->maximumSize());
        // A long salesperson's name takes two lines; a company's too long even for the smallest
        // type ends with "…", whole in its tooltip. A four-digit quantity shows whole.
        QCOMPARE(desk.text("lblRecorvan"), vendedor);
        QVERIFY(desk.text("lblEmpresa").endsWith(QStringLiteral("…")));
        QCOMPARE(desk.control<QLabel>("lblEmpresa")->toolTip(), empresa);
        // Nor do the totals of large figures.
        desk.addLine(QStringLiteral("a"), QStringLiteral("2"), QStringLiteral("9.999.999"));
        auto *cantidad = desk.control<QLineEdit>("txtCANTIDAD");
        cantidad->setText(QStringLiteral("1000"));
        QVERIFY(cantidad->fontMetrics().horizontalAdvance(cantidad->text()) <= DeskLook::textRoom(cantidad));
        // Nothing stands outside the window or its frame, and no text is cut.
        for (QWidget *child : window->findChildren<QWidget *>()) {
            QWidget *parent = child->parentWidget();
            if (!child->isVisible() || !parent || parent->inherits("QAbstractScrollArea")
                || parent->inherits("QTableView") || parent->inherits("QHeaderView"))
                continue;
            QVERIFY2(parent->rect().contains(child->geometry()), qPrintable(child->objectName()));
            auto *label = qobject_cast<QLabel *>(child);
            if (label && !label->text().isEmpty() && (!label->wordWrap() || label->objectName() == "lblRecorvan")) {
                // Each line (each word, where the name wraps) within the width, all within the height.
                const QRect room = label->contentsRect();
                const QFontMetrics metrics = label->fontMetrics();
                bool fits = metrics.boundingRect(room, label->wordWrap() ? Qt::TextWordWrap : 0, label->text()).height()
                    <= room.height();
                for (const QString &line : label->text().split(label->wordWrap() ? QChar(' ') : QChar('\n')))
                    fits = fits && metrics.size(0, line).width() <= room.width();
                QVERIFY2(fits, qPrintable(label->objectName() + QStringLiteral(": ") + label->text()));
            }
        }
    }

    void focusIsFramedOnEveryControl()
    {
        DeskFixture desk;
        QVERIFY(desk.open());
        // The search finds nothing and there is no order to store: each says so once.
        desk.dialogs.answerMessage(Dialogs::Ok).answerMessage(Dialogs::Ok);
        for (const char *name : {"Check_COD_ART", "txtBuscar_COD_ART", "cmdBuscar", "gridEncontrados", "txtDETALLES",
                 "cmdGuardar", "txtEMAIL", "gridCompras", "cmdGuardar_Orden"}) {
            auto *control = desk.control<QWidget>(name);
            control->setEnabled(true);
            control->setFocus(Qt::TabFocusReason);
            // The desk's blue stands at the control's left edge, or just clear of it.
            const QImage shown = desk.window->grab().toImage();
            const QPoint middleLeft = control->mapTo(desk.window.get(), QPoint(0, control->height() / 2));
            bool framed = false;
            for (int out = 0; out <= FocusOutline::thickness + 1; ++out)
                framed = framed || shown.pixelColor(middleLeft - QPoint(out, 0)) == DeskLook::accent();
            QVERIFY2(framed, name);
        }
    }

    void toolsAndClosing()
    {
        DeskFixture desk;
        QVERIFY(desk.open());
        QSignalSpy importar(desk.window.get(), &frmMenu::importarRequested);
        QSignalSpy imprimir(desk.window.get(), &frmMenu::imprimirRequested);
        for (const char *tool : {"cmdImportar", "lblImportar", "cmdImprimir", "lblImprimir", "cmdSetup", "lblSetup"})
            QTest::mouseClick(desk.control<QLabel>(tool), Qt::LeftButton);
        QCOMPARE(importar.size(), 2);
        QCOMPARE(imprimir.size(), 1); // lblImprimir, cmdSetup and lblSetup do nothing
        QCOMPARE(imprimir.first().at(0).toString(), QStringLiteral("16"));
        desk.dialogs.answerMessage(Dialogs::Ok);
        QTest::mouseClick(desk.control<QLabel>("lblInternet"), Qt::LeftButton);
        QCOMPARE(desk.dialogs.messages().first().text, QStringLiteral("Módulo avanzado de conexión a internet"));
        // Closing with a line not stored asks first, No by default; No keeps the window and the
        // order. Yes unloads, which tells whoever started the run, which ends it.
        desk.addLine(QStringLiteral("uno"), QStringLiteral("1"), QStringLiteral("1,00"));
        QSignalSpy unloaded(desk.window.get(), &frmMenu::unloaded);
        desk.dialogs.answerMessage(Dialogs::No).answerMessage(Dialogs::Yes);
        QVERIFY(!desk.window->close());
        const Dialogs::Message asked = desk.dialogs.messages().last();
        QCOMPARE(asked.text, QStringLiteral("La orden en curso no fue guardada. ¿Desea salir igual?"));
        QCOMPARE(asked.defaultButton, Dialogs::No);
        QVERIFY(desk.window->isVisible());
        QCOMPARE(desk.orderRows().size(), 1);
        QCOMPARE(unloaded.size(), 0);
        QVERIFY(desk.window->close());
        QCOMPARE(unloaded.size(), 1);
    }

    // The rows each criterion finds are ArticleSearch's (tst_articlesearch); ticking and typing
    // a criterion is on the road of a whole order (tst_confirmarorden). Here: what is said.
    void searchListsOrAsks_data()
    {
        QTest::addColumn<int>("articles");
        QTest::addColumn<int>("answer"); // 0: nothing asked or told
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("told");
        const QString many = QStringLiteral("Se encontraron 101 registros, desea verlos de toda forma.");
        row("none found", 0, int(Dialogs::Ok), 1, QStringLiteral("No se encontraron registros."));
        row("a hundred, no question", 100, 0, 101, QString());
        row("101, Yes lists them", 101, int(Dialogs::Yes), 102, many);
        row("101, No lists none", 101, int(Dialogs::No), 1, many);
    }

    void searchListsOrAsks()
    {
        QFETCH(int, articles);
        QFETCH(int, answer);
        QFETCH(int, rows);
        QFETCH(QString, told);
        DeskFixture desk;
        QVERIFY(!articles || desk.addArticles(QStringLiteral("P"), articles));
        QVERIFY(desk.open());
        if (answer)
            desk.dialogs.answerMessage(Dialogs::Button(answer));
        desk.enterToSearch();
        QCOMPARE(desk.dialogs.messages().size(), answer ? 1 : 0);
        if (answer) {
            const Dialogs::Message shown = desk.dialogs.messages().first();
            QCOMPARE(shown.text, told);
            QCOMPARE(shown.buttons, answer == Dialogs::Ok ? Dialogs::Buttons(Dialogs::Ok) : Dialogs::Yes | Dialogs::No);
        }
        auto *grid = desk.control<TextGrid>("gridEncontrados");
        QCOMPARE(grid->rows(), rows);
        QCOMPARE(grid->fixedRows(), rows > 1 ? 1 : 0);
        QCOMPARE(desk.focused(), rows > 1 ? static_cast<QWidget *>(grid) : desk.control<QWidget>("cmdBuscar"));
    }

    void keyboardPathAddsALine()
    {
        DeskFixture desk;
        QVERIFY(desk.addArticle("A001", "F-100", "Tornillo de acero", 10, 2.5));
        QVERIFY(desk.addArticle("A002", "F-200", "Llave", 3, 400.0));
        QVERIFY(desk.open(QStringLiteral("3.15")));
        desk.doubleClickFound(0); // the headings take nothing
        QCOMPARE(desk.text("txtCOD_ART"), QString());
        desk.enterToSearch();
        // Space takes the current article, as a double click does.
        QCOMPARE(desk.focused(), desk.control<QWidget>("gridEncontrados"));
        desk.press(Qt::Key_Down);
        desk.press(Qt::Key_Space);
        auto *cantidad = desk.control<QLineEdit>("txtCANTIDAD");
        QCOMPARE(desk.text("txtCOD_ART") + desk.text("lblCOD_PROPIO") + desk.text("txtDESCRIPCION"),
            QStringLiteral("A002F-200Llave"));
        QCOMPARE(desk.text("txtP_UNITARIO"), QStringLiteral("1.260,00"));
        QCOMPARE(desk.focused(), cantidad);
        QCOMPARE(cantidad->selectedText(), QStringLiteral("1"));

        // A quantity that is not a whole number is told, shows no total and takes the focus back.
        desk.type(QStringLiteral("1,5"));
        desk.dialogs.answerMessage(Dialogs::Ok);
        desk.press(Qt::Key_Return);
        QCOMPARE(desk.dialogs.messages().last().text, QStringLiteral("La cantidad '1,5' no es un número entero."));
        QCOMPARE(desk.focused(), cantidad);
        QCOMPARE(desk.text("lblTOTAL"), QString());
        desk.type(QStringLiteral("3"));
        desk.press(Qt::Key_Return);
        QCOMPARE(desk.text("lblTOTAL"), QStringLiteral("3.780,00"));
        auto *precio = desk.control<QLineEdit>("txtP_UNITARIO");
        QCOMPARE(desk.focused(), precio);
        QCOMPARE(precio->selectedText(), QStringLiteral("1.260,00"));
        // So is a price that does not convert by this machine's rules.
        desk.type(QStringLiteral("12.5"));
        desk.dialogs.answerMessage(Dialogs::Ok);
        desk.press(Qt::Key_Return);
        QVERIFY(desk.dialogs.messages().last().text.startsWith(QStringLiteral("El precio unitario '12.5'")));
        QCOMPARE(desk.focused(), precio);
        QCOMPARE(desk.text("lblTOTAL"), QString());
        desk.type(QStringLiteral("1234,5"));
        desk.press(Qt::Key_Return);
        QCOMPARE(precio->text(), QStringLiteral("1.234,50"));
        QCOMPARE(desk.text("lblTOTAL"), QStringLiteral("3.703,50"));
        QCOMPARE(desk.focused(), desk.control<QLineEdit>("txtDETALLES"));
        desk.type(QStringLiteral("entregar el lunes"));
        desk.press(Qt::Key_Return);

        QCOMPARE(desk.focused(), desk.control<QWidget>("cmdGuardar"));
        QCOMPARE(desk.orderRows(),
            (QList<QStringList>{{"Llave", "3", "1.234,50", "3.703,50", "A002", "entregar el lunes", "F-200"}}));
        QCOMPARE(desk.text("lblTOTALItems") + " " + desk.text("lblTOTALOrden"), QStringLiteral("3 3.703,50"));
        for (const char *field : {"txtCOD_ART", "txtDESCRIPCION", "txtP_UNITARIO", "txtCANTIDAD", "txtDETALLES",
                 "lblTOTAL", "lblCOD_PROPIO"})
            QCOMPARE(desk.text(field), QString());
        // Passing back over cmdGuardar adds nothing empty, nor a line that does not convert.
        desk.press(Qt::Key_Return);
        QCOMPARE(desk.focused(), desk.control<QLineEdit>("txtNOMBRE"));
        desk.press(Qt::Key_Escape);
        QCOMPARE(desk.focused(), desk.control<QWidget>("cmdGuardar"));
        desk.control<QLineEdit>("txtDESCRIPCION")->setText(QStringLiteral("suelto"));
        desk.press(Qt::Key_Return);
        desk.dialogs.answerMessage(Dialogs::Ok);
        desk.press(Qt::Key_Escape);
        QCOMPARE(desk.dialogs.messages().last().text, QStringLiteral("La línea no se agregó.\nFalta la cantidad."));
        QCOMPARE(desk.focused(), cantidad);
        QCOMPARE(desk.orderRows().size(), 1);
    }

    void deletion_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("current"); // 0: as left by the last line added
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("totals");
        using S = QString;
        using L = QStringList;
        const int yes = Dialogs::Yes;
        row("one line", 1, 0, yes, S("uno"), L{}, S("0 0,00"));
        row("two lines, the first", 2, 1, yes, S("uno"), L{"dos"}, S("2 4,00"));
        row("three lines, the second", 3, 2, yes, S("dos"), L{"uno", "tres"}, S("4 10,00"));
        row("answered No", 3, 2, int(Dialogs::No), S("dos"), L{"uno", "dos", "tres"}, S("6 14,00"));
    }

    void deletion()
    {
        QFETCH(int, lines);
        QFETCH(int, current);
        QFETCH(int, answer);
        QFETCH(QString, asked);
        DeskFixture desk;
        QVERIFY(desk.open());
        const QStringList names = {"uno", "dos", "tres"};
        for (int line = 0; line < lines; ++line)
            desk.addLine(names.at(line), QString::number(line + 1), QString::number(line + 1) + QStringLiteral(",00"));
        auto *grid = desk.control<TextGrid>("gridCompras");
        if (current > 0) {
            const QRect cell = grid->visualRect(grid->model()->index(current, 0));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        }
        desk.dialogs.answerMessage(Dialogs::Button(answer));
        QTest::mouseClick(desk.control<QLabel>("lblELIMINAR"), Qt::LeftButton);
        const Dialogs::Message shown = desk.dialogs.messages().first();
        QCOMPARE(shown.text, QStringLiteral("Desea eliminar ") + asked + QStringLiteral("?."));
        QCOMPARE(shown.title, QStringLiteral("Eliminar"));
        QCOMPARE(shown.buttons, Dialogs::Yes | Dialogs::No);
        QTEST(column(grid, 0), "left");
        QTEST(desk.text("lblTOTALItems") + " " + desk.text("lblTOTALOrden"), "totals");
        QCOMPARE(grid->text(0, 0), QStringLiteral("Descripción"));
        QCOMPARE(grid->fixedRows(), grid->rows() > 1 ? 1 : 0);
    }

    // The bottom band counts the orders the company server still lacks; with no server it
    // says nothing.
    void unsentOrdersInTheBottomBand_data()
    {
        QTest::addColumn<bool>("server");
        QTest::addColumn<int>("sent");
        QTest::addColumn<QString>("shown");
        row("no server", false, 0, QString());
        row("two waiting", true, 0, QString("2 órdenes sin enviar"));
        row("one waiting", true, 1, QString("1 orden sin enviar"));
        row("all sent", true, 2, QString());
    }

    void unsentOrdersInTheBottomBand()
    {
        QFETCH(bool, server);
        QFETCH(int, sent);
        QFETCH(QString, shown);
        DeskFixture desk;
        for (int order : {16, 17}) {
            QVERIFY(desk.db.exec(QStringLiteral("INSERT INTO PEDIDOS (NRO_PEDIDO) VALUES (?)"), {order}));
            if (order < 16 + sent)
                QVERIFY(desk.db.exec(
                    QStringLiteral("INSERT INTO ENVIOS (NRO_PEDIDO, ENVIADO) VALUES (?, '2024-03-01 10:00:00')"),
                    {order}));
        }
        if (server)
            QVERIFY(desk.db.exec(
                QStringLiteral("INSERT INTO SERVIDOR (BASE_DE_DATOS, VENDEDOR) VALUES ('empresa', 'V1')")));
        QVERIFY(desk.open());
        const auto *band = desk.control<QLabel>(QStringLiteral("lblSinEnviar"));
        QCOMPARE(band->isVisible(), !shown.isEmpty());
        if (!shown.isEmpty())
            QCOMPARE(band->text(), shown);
    }
};

QTEST_MAIN(tst_frmMenu)
#include "tst_frmmenu.moc"
