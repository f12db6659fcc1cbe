#include "base/regional.h"
#include "controls/focuspicturebutton.h"
#include "data/connection.h"
#include "deskfixture.h"
#include "order/textgrid.h"
#include "order/twips.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

namespace {

template <typename... Cells> void row(const char *name, const Cells &...cells)
{
    (QTest::newRow(name) << ... << cells);
}

void useRegion(bool point)
{
    Regional::setCurrent(point ? Regional::pointMonthFirst() : Regional::commaDayFirst());
}

// Shows a real modal window while a scripted box is "open", so that the focus really
// leaves the desk and comes back when it closes, as with a message box.
void realModalWindow(QWidget *over)
{
    QDialog dialog(over);
    auto *inside = new QLineEdit(&dialog);
    QTimer::singleShot(0, &dialog, [&] {
        dialog.activateWindow();
        // Closed whatever happens, so that a failure never leaves the test waiting.
        const bool active = QTest::qWaitFor([&] { return dialog.isActiveWindow(); });
        inside->setFocus();
        dialog.accept();
        QVERIFY(active);
    });
    dialog.exec();
    // No window manager offscreen: hand the activation back as one would.
    over->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(over));
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

    void loadAsksTheRateBothWays_data()
    {
        QTest::addColumn<bool>("point");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<double>("rate");
        QTest::addColumn<QString>("caption");
        row("comma machine, point reply", false, QString("2.85"), 2.85, QString("2,85"));
        row("point machine", true, QString("3.15"), 3.15, QString("3.15"));
    }

    void loadAsksTheRateBothWays()
    {
        QFETCH(bool, point);
        QFETCH(QString, reply);
        QFETCH(double, rate);
        QFETCH(QString, caption);
        useRegion(point);
        DeskFixture desk;
        QVERIFY(desk.open(reply));
        QCOMPARE(desk.dialogs.inputs().first().prompt, QStringLiteral("Tipo de Cambio:"));
        QCOMPARE(desk.dialogs.inputs().first().proposed, QStringLiteral("0"));
        QCOMPARE(desk.window->tipoCambio(), rate);
        QCOMPARE(desk.text("lblTC"), caption);
        QCOMPARE(desk.text("lblNRO_PEDIDO"), QStringLiteral("16"));
        QCOMPARE(desk.text("lblProducto"), QStringLiteral("Recorvan v1.0.0"));
        QCOMPARE(
            desk.text("lblEmpresa") + desk.text("lblRecorvan"), QStringLiteral("Empresa de PruebaVendedor de Prueba"));
        // lblTC asks again proposing its caption; accepting it unchanged keeps the rate.
        desk.dialogs.answerInput(caption);
        QTest::mouseClick(desk.control<QLabel>("lblTC"), Qt::LeftButton);
        QCOMPARE(desk.dialogs.inputs().last().proposed, caption);
        QCOMPARE(desk.window->tipoCambio(), rate);
    }

    void layoutFitsTheWindow()
    {
        DeskFixture desk;
        QVERIFY(desk.open());
        frmMenu *window = desk.window.get();
        const QRect client = Twips::toPixels(QRect(0, 0, 11910, 8520), window->logicalDpiX(), window->logicalDpiY());
        QCOMPARE(window->size(), client.size());
        QCOMPARE(window->minimumSize(), window->maximumSize());
        // Nothing stands outside the window or its frame, and no text is cut.
        for (QWidget *child : window->findChildren<QWidget *>()) {
            QWidget *parent = child->parentWidget();
            if (!child->isVisible() || !parent || parent->inherits("QAbstractScrollArea")
                || parent->inherits("QTableView") || parent->inherits("QHeaderView"))
                continue;
            QVERIFY2(parent->rect().contains(child->geometry()), qPrintable(child->objectName()));
            auto *label = qobject_cast<QLabel *>(child);
            if (label && !label->text().isEmpty() && !label->wordWrap()) {
                const QMargins margins = label->contentsMargins();
                QVERIFY2(label->fontMetrics().size(0, label->text()).width()
                        <= label->width() - margins.left() - margins.right(),
                    qPrintable(label->objectName() + QStringLiteral(": ") + label->text()));
            }
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
        // Unload tells whoever started the run, which ends it.
        QSignalSpy unloaded(desk.window.get(), &frmMenu::unloaded);
        desk.window->close();
        QCOMPARE(unloaded.size(), 1);
    }

    void searchByEachCriterion_data()
    {
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        using S = QString;
        row("none", S(), S(), QStringList{"A001", "AB10", "B001", "C050", "C060"});
        row("code", S("Check_COD_ART"), S("ab"), QStringList{"AB10"});
        row("factory code", S("Check_COD_PROPIO"), S("x-2"), QStringList{"AB10"});
        row("description", S("Check_DESCRIPCION"), S("ACERO"), QStringList{"A001"});
        row("a quote", S("Check_DESCRIPCION"), S("o'brien"), QStringList{"AB10"});
        row("a quote alone", S("Check_COD_PROPIO"), S("'"), QStringList{"C050"});
        row("typed % is a wildcard", S("Check_DESCRIPCION"), S("cinta%te"), QStringList{"C060"});
        row("typed % after digits", S("Check_DESCRIPCION"), S("50%"), QStringList{"C050"});
        row("nothing found", S("Check_DESCRIPCION"), S("zzz"), QStringList{});
    }

    void searchByEachCriterion()
    {
        QFETCH(QString, check);
        QFETCH(QString, text);
        DeskFixture desk;
        QVERIFY(desk.addArticle("B001", "Z-1", "Caño", 7, 0.1));
        QVERIFY(desk.addArticle("A001", "F-100", "Tornillo de acero", 10, 2.5));
        QVERIFY(desk.addArticle("AB10", "X-200", "Llave O'Brien", QVariant(), 1000.0));
        QVERIFY(desk.addArticle("C050", "F'1", "Cinta 50% descuento", 1, 1.0));
        QVERIFY(desk.addArticle("C060", "F-3", "Cinta aislante", 1, 1.0));
        QVERIFY(desk.addArticle("", "X-201", "Sin código", 1, 1.0));
        QVERIFY(desk.open(QStringLiteral("3.15")));
        QFETCH(QStringList, found);
        if (found.isEmpty())
            desk.dialogs.answerMessage(Dialogs::Ok);
        if (check.isEmpty())
            desk.enterToSearch();
        else
            desk.searchWith(check, text);
        auto *grid = desk.control<TextGrid>("gridEncontrados");
        QCOMPARE(column(grid, 0), found);
        QCOMPARE(grid->fixedRows(), found.isEmpty() ? 0 : 1);
        if (found.isEmpty()) {
            const Dialogs::Message shown = desk.dialogs.messages().first();
            QCOMPARE(shown.text + shown.title, QStringLiteral("No se encontraron registros.Atención"));
            QCOMPARE(shown.icon, Dialogs::Information);
        }
        QCOMPARE(desk.focused(), found.isEmpty() ? desk.control<QWidget>("cmdBuscar") : static_cast<QWidget *>(grid));
        const qsizetype llave = column(grid, 0).indexOf(QStringLiteral("AB10"));
        if (llave >= 0)
            QCOMPARE(grid->gridModel()->rowCells(int(llave) + 1),
                (QStringList{"AB10", "X-200", "Llave O'Brien", "", "3.150,00"}));
    }

    void moreThanAHundred_data()
    {
        QTest::addColumn<int>("articles");
        QTest::addColumn<int>("answer"); // 0: no question
        QTest::addColumn<int>("rows");
        QTest::newRow("a hundred, no question") << 100 << 0 << 101;
        QTest::newRow("101, Yes lists them") << 101 << int(Dialogs::Yes) << 102;
        QTest::newRow("101, No lists none") << 101 << int(Dialogs::No) << 1;
    }

    void moreThanAHundred()
    {
        QFETCH(int, articles);
        QFETCH(int, answer);
        QFETCH(int, rows);
        DeskFixture desk;
        QVERIFY(desk.addArticles(QStringLiteral("P"), articles));
        QVERIFY(desk.open());
        if (answer)
            desk.dialogs.answerMessage(Dialogs::Button(answer));
        desk.enterToSearch();
        QCOMPARE(desk.dialogs.messages().size(), answer ? 1 : 0);
        if (answer) {
            const Dialogs::Message shown = desk.dialogs.messages().first();
            QCOMPARE(shown.text, QStringLiteral("Se encontraron 101 registros, desea verlos de toda forma."));
            QCOMPARE(shown.buttons, Dialogs::Yes | Dialogs::No);
        }
        auto *grid = desk.control<TextGrid>("gridEncontrados");
        QCOMPARE(grid->rows(), rows);
        QCOMPARE(grid->fixedRows(), rows > 1 ? 1 : 0);
        QCOMPARE(desk.focused(), rows > 1 ? static_cast<QWidget *>(grid) : desk.control<QWidget>("cmdBuscar"));
    }

    void focusBackAfterAMessageDoesNotSearchAgain()
    {
        DeskFixture desk;
        QVERIFY(desk.open());
        // The message box really takes the focus and gives it back to cmdBuscar.
        desk.dialogs.answerMessage(Dialogs::Ok, [&] { realModalWindow(desk.window.get()); });
        desk.enterToSearch();
        auto *cmdBuscar = desk.control<FocusPictureButton>("cmdBuscar");
        QTRY_COMPARE(desk.focused(), cmdBuscar);
        QCOMPARE(desk.dialogs.messages().size(), 1);
        // A click while it holds the focus does not search either (an extra box would fail).
        QTest::mouseClick(cmdBuscar, Qt::LeftButton);
        QCOMPARE(desk.dialogs.messages().size(), 1);
        // Leaving and clicking it again does.
        desk.control<QCheckBox>("Check_COD_ART")->setFocus();
        desk.dialogs.answerMessage(Dialogs::Ok);
        QTest::mouseClick(cmdBuscar, Qt::LeftButton);
        QCOMPARE(desk.dialogs.messages().size(), 2);
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
        desk.doubleClickFound(2);
        auto *cantidad = desk.control<QLineEdit>("txtCANTIDAD");
        QCOMPARE(desk.text("txtCOD_ART") + desk.text("lblCOD_PROPIO") + desk.text("txtDESCRIPCION"),
            QStringLiteral("A002F-200Llave"));
        QCOMPARE(desk.text("txtP_UNITARIO"), QStringLiteral("1.260,00"));
        QCOMPARE(desk.focused(), cantidad);
        QCOMPARE(cantidad->selectedText(), QStringLiteral("1"));

        desk.type(QStringLiteral("3"));
        desk.press(Qt::Key_Return);
        QCOMPARE(desk.text("lblTOTAL"), QStringLiteral("3.780,00"));
        auto *precio = desk.control<QLineEdit>("txtP_UNITARIO");
        QCOMPARE(desk.focused(), precio);
        QCOMPARE(precio->selectedText(), QStringLiteral("1.260,00"));
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
        // Escape from txtNOMBRE lands on cmdGuardar, which adds the empty fields as a row.
        desk.press(Qt::Key_Return);
        QCOMPARE(desk.focused(), desk.control<QLineEdit>("txtNOMBRE"));
        desk.press(Qt::Key_Escape);
        QCOMPARE(desk.focused(), desk.control<QWidget>("cmdGuardar"));
        QCOMPARE(desk.orderRows().size(), 2);
        QCOMPARE(desk.orderRows().at(1), QStringList(7, QString()));
        QCOMPARE(desk.text("lblTOTALItems") + " " + desk.text("lblTOTALOrden"), QStringLiteral("3 3.703,50"));
    }

    void spaceTakesTheCurrentArticle()
    {
        DeskFixture desk;
        QVERIFY(desk.addArticle("A001", "F-100", "Tornillo de acero", 10, 2.5));
        QVERIFY(desk.addArticle("A002", "F-200", "Llave", 3, 400.0));
        QVERIFY(desk.open(QStringLiteral("1")));
        desk.enterToSearch();
        QCOMPARE(desk.focused(), desk.control<QWidget>("gridEncontrados"));
        desk.press(Qt::Key_Down);
        desk.press(Qt::Key_Space);
        QCOMPARE(desk.text("txtCOD_ART"), QStringLiteral("A002"));
        QCOMPARE(desk.focused(), desk.control<QLineEdit>("txtCANTIDAD"));
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

    void totalsWithGroupedNumbers_data()
    {
        QTest::addColumn<bool>("point");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("total");
        row("comma machine", false, QString("1234,5"), QString("1.000.000"), QString("2.002.469,00"));
        row("point machine", true, QString("1234.5"), QString("1,000,000"), QString("2,002,469.00"));
    }

    void totalsWithGroupedNumbers()
    {
        QFETCH(bool, point);
        QFETCH(QString, first);
        QFETCH(QString, second);
        useRegion(point);
        DeskFixture desk;
        QVERIFY(desk.open());
        desk.addLine(QStringLiteral("a"), QStringLiteral("2"), first);
        desk.addLine(QStringLiteral("b"), QStringLiteral("2"), second);
        desk.addLine(QStringLiteral("c"), QStringLiteral("2.5"), QStringLiteral("0"));
        QCOMPARE(desk.text("lblTOTALItems"), QStringLiteral("6")); // 2 + 2 + 2.5 rounds to 6
        QTEST(desk.text("lblTOTALOrden"), "total");
        // A large figure takes smaller type rather than being cut.
        auto *total = desk.control<QLabel>("lblTOTALOrden");
        QVERIFY(total->fontMetrics().horizontalAdvance(total->text()) <= total->width());
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
