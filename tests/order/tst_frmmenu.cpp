#include "app/clickablelabel.h"
#include "app/focuspicturebutton.h"
#include "app/regional.h"
#include "data/connection.h"
#include "deskfixture.h"
#include "order/textgrid.h"
#include "order/twips.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

namespace {

QString today()
{
    return Regional::shortDate(QDate::currentDate());
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

} // namespace

class tst_frmMenu : public QObject
{
    Q_OBJECT

private slots:
    void init() { Regional::setCurrent(Regional::commaDayFirst()); }

    // Load and layout
    void opensOnTheNextOrder();
    void exchangeRateAtLoad_data();
    void exchangeRateAtLoad();
    void exchangeRateLabelAsksAgain_data();
    void exchangeRateLabelAsksAgain();
    void layoutInTwipsAndScreenshot();
    void toolsAskForTheirWindows();
    void closingClosesTheConnection();
    void resetKeepsCriteriaCustomerAndRate();

    // Article search
    void searchByEachCriterion_data();
    void searchByEachCriterion();
    void tickingAndUnticking();
    void moreThanAHundred_data();
    void moreThanAHundred();
    void aHundredListsAtOnce();
    void emptyResult();
    void quotesAndPercentInSearchTexts();
    void focusBackAfterAMessageDoesNotSearchAgain();
    void failingSearchIsToldNotFatal();

    // Line entry, lines and totals
    void keyboardPathAddsALine();
    void quantityThatIsNotANumber();
    void doubleClickOnTheHeadingsTakesNothing();
    void escapeFromNombreAddsARow();
    void deletion_data();
    void deletion();
    void totalsWithGroupedNumbers_data();
    void totalsWithGroupedNumbers();
};

void tst_frmMenu::opensOnTheNextOrder()
{
    DeskFixture desk;
    QVERIFY(desk.open(QStringLiteral("2.85")));
    QCOMPARE(desk.window->objectName(), QStringLiteral("frmMenu"));
    QCOMPARE(desk.window->windowTitle(), QStringLiteral("Recorvanes - Menú Principal"));
    QCOMPARE(desk.text("lblNRO_PEDIDO"), QStringLiteral("16"));
    QCOMPARE(desk.text("lblFECHA"), today());
    QCOMPARE(desk.text("lblTOTALItems"), QStringLiteral("0"));
    QCOMPARE(desk.text("lblTOTALOrden"), QStringLiteral("0,00"));
    QCOMPARE(desk.text("lblProducto"), QStringLiteral("Recorvan v1.0.0"));
    QCOMPARE(desk.text("lblEmpresa"), QStringLiteral("Empresa de Prueba"));
    QCOMPARE(desk.text("lblRecorvan"), QStringLiteral("Vendedor de Prueba"));
    for (const char *grid : {"gridCompras", "gridEncontrados"}) {
        QCOMPARE(desk.control<TextGrid>(grid)->rows(), 1);
        QCOMPARE(desk.control<TextGrid>(grid)->fixedRows(), 0);
    }
    QCOMPARE(desk.control<TextGrid>("gridCompras")->gridModel()->rowCells(0),
        (QStringList{"Descripción", "Can", "PUnitario", "Total", "Código", "Observaciones", "Cód.fábrica"}));
    QCOMPARE(desk.control<TextGrid>("gridEncontrados")->gridModel()->rowCells(0),
        (QStringList{"Código", "Cód.fábrica", "Descripción", "Stock", "Precio"}));
    for (const char *search : {"txtBuscar_COD_ART", "txtBuscar_COD_PROPIO", "txtBuscar_DESCRIPCION"})
        QVERIFY(!desk.control<QLineEdit>(search)->isEnabled());
}

void tst_frmMenu::exchangeRateAtLoad_data()
{
    QTest::addColumn<bool>("point");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("caption");
    QTest::newRow("comma machine, 3,15") << false << "3,15" << 3.15 << "3,15";
    QTest::newRow("comma machine, 2.85") << false << "2.85" << 2.85 << "2,85";
    QTest::newRow("point machine, 3.15") << true << "3.15" << 3.15 << "3.15";
    QTest::newRow("point machine, 3,15 stops at the comma") << true << "3,15" << 3.0 << "3";
    QTest::newRow("letters first") << false << "x2" << 0.0 << "0";
    QTest::newRow("cancel") << false << "" << 0.0 << "0";
}

void tst_frmMenu::exchangeRateAtLoad()
{
    QFETCH(bool, point);
    QFETCH(QString, reply);
    Regional::setCurrent(point ? Regional::pointMonthFirst() : Regional::commaDayFirst());
    DeskFixture desk;
    QVERIFY(desk.open(reply));
    const QList<Dialogs::Input> inputs = desk.dialogs.inputs();
    QCOMPARE(inputs.size(), 1);
    QCOMPARE(inputs.first().prompt, QStringLiteral("Tipo de Cambio:"));
    QCOMPARE(inputs.first().title, QStringLiteral("Dólar"));
    QCOMPARE(inputs.first().proposed, QStringLiteral("0"));
    QTEST(desk.window->tipoCambio(), "rate");
    QTEST(desk.text("lblTC"), "caption");
}

void tst_frmMenu::exchangeRateLabelAsksAgain_data()
{
    QTest::addColumn<bool>("point");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("comma") << false << "3,15";
    QTest::newRow("point") << true << "3.15";
}

void tst_frmMenu::exchangeRateLabelAsksAgain()
{
    QFETCH(bool, point);
    QFETCH(QString, proposed);
    Regional::setCurrent(point ? Regional::pointMonthFirst() : Regional::commaDayFirst());
    DeskFixture desk;
    QVERIFY(desk.open(QStringLiteral("3.15")));
    // Accepting the proposed reply unchanged keeps 3.15 on either machine.
    desk.dialogs.answerInput(proposed);
    QTest::mouseClick(desk.control<QLabel>("lblTC"), Qt::LeftButton);
    QCOMPARE(desk.dialogs.inputs().last().proposed, proposed);
    QCOMPARE(desk.window->tipoCambio(), 3.15);
    QCOMPARE(desk.text("lblTC"), proposed);
    // Cancel sets 0, and the lines already there keep their prices.
    desk.addLine(QStringLiteral("Caño"), QStringLiteral("1"), point ? QStringLiteral("2.00") : QStringLiteral("2,00"));
    desk.dialogs.answerInput(QString());
    desk.window->lblTC_Click();
    QCOMPARE(desk.window->tipoCambio(), 0.0);
    QCOMPARE(desk.text("lblTC"), QStringLiteral("0"));
    QCOMPARE(desk.orderRows().first().at(2), point ? QStringLiteral("2.00") : QStringLiteral("2,00"));
}

void tst_frmMenu::layoutInTwipsAndScreenshot()
{
    DeskFixture desk;
    QVERIFY(desk.addArticle("A001", "F-1", "Tornillo de acero inoxidable", 120, 1234.5));
    QVERIFY(desk.open(QStringLiteral("1")));
    frmMenu *window = desk.window.get();
    const qreal dpiX = window->logicalDpiX();
    const qreal dpiY = window->logicalDpiY();
    QCOMPARE(window->size(), Twips::toPixels(QRect(0, 0, 11910, 8520), dpiX, dpiY).size());
    QCOMPARE(window->minimumSize(), window->maximumSize());

    const struct
    {
        const char *name;
        QRect twips;
    } placed[] = {
        {"gridEncontrados", {480, 3240, 6855, 2055}},
        {"txtBuscar_DESCRIPCION", {1920, 2280, 5175, 285}},
        {"cmdBuscar", {6360, 1170, 735, 210}},
        {"FrameCompra", {360, 6020, 6975, 1200}},
        {"Frame1", {7800, 1440, 3615, 2415}},
        {"FramePedido", {7800, 3720, 3615, 4455}},
        {"txtCANTIDAD", {4320, 300, 375, 285}},
        {"gridCompras", {120, 40, 3375, 1815}},
        {"cmdGuardar_Orden", {1200, 4080, 2295, 375}},
        {"txtEMAIL", {1080, 1920, 2415, 285}},
    };
    for (const auto &control : placed)
        QCOMPARE(window->findChild<QWidget *>(control.name)->geometry(), Twips::toPixels(control.twips, dpiX, dpiY));
    QCOMPARE(window->findChildren<QFrame *>(QStringLiteral("Line1")).size(), 5);
    QCOMPARE(window->findChildren<QLabel *>(QStringLiteral("Image1")).size(), 2);

    // Nothing stands outside the window or its frame, and no text is cut.
    for (QWidget *child : window->findChildren<QWidget *>()) {
        if (!child->isVisible() || !child->parentWidget() || child->parentWidget()->inherits("QAbstractScrollArea")
            || child->parentWidget()->inherits("QTableView") || child->parentWidget()->inherits("QHeaderView"))
            continue;
        QVERIFY2(child->parentWidget()->rect().contains(child->geometry()), qPrintable(child->objectName()));
        auto *label = qobject_cast<QLabel *>(child);
        if (label && !label->text().isEmpty() && !label->wordWrap()) {
            const QMargins margins = label->contentsMargins();
            QVERIFY2(label->fontMetrics().size(0, label->text()).width()
                    <= label->width() - margins.left() - margins.right(),
                qPrintable(label->objectName() + QStringLiteral(": ") + label->text()));
        }
    }

    desk.searchWith(QStringLiteral("Check_DESCRIPCION"), QStringLiteral("acero"));
    desk.doubleClickFound(1);
    const QString shot = QDir(QDir::tempPath()).filePath(QStringLiteral("recorvan-frmMenu.png"));
    QVERIFY(window->grab().save(shot));
}

void tst_frmMenu::toolsAskForTheirWindows()
{
    DeskFixture desk;
    QVERIFY(desk.open());
    QSignalSpy importar(desk.window.get(), &frmMenu::importarRequested);
    QSignalSpy exportar(desk.window.get(), &frmMenu::exportarRequested);
    QSignalSpy imprimir(desk.window.get(), &frmMenu::imprimirRequested);
    QSignalSpy acercaDe(desk.window.get(), &frmMenu::acercaDeRequested);
    const auto click = [&](const char *name) { QTest::mouseClick(desk.control<QLabel>(name), Qt::LeftButton); };
    click("cmdImportar");
    click("lblImportar");
    click("cmdExportar");
    click("lblExportar");
    click("cmdImprimir");
    click("lblImprimir"); // no action
    click("cmdAcercaDe");
    click("lblAcercaDe");
    click("cmdSetup"); // no action
    click("lblSetup"); // no action
    QCOMPARE(importar.size(), 2);
    QCOMPARE(exportar.size(), 2);
    QCOMPARE(acercaDe.size(), 2);
    QCOMPARE(imprimir.size(), 1);
    QCOMPARE(imprimir.first().at(0).toString(), QStringLiteral("16"));
    QCOMPARE(imprimir.first().at(1).toString(), today());

    desk.dialogs.answerMessage(QMessageBox::Ok).answerMessage(QMessageBox::Ok);
    click("cmdInternet");
    click("lblInternet");
    const QList<Dialogs::Message> shown = desk.dialogs.messages();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown.first().text, QStringLiteral("Módulo avanzado de conexión a internet"));
    QCOMPARE(shown.first().title, QStringLiteral("Recorvan"));
    QCOMPARE(shown.first().icon, QMessageBox::NoIcon);
    QCOMPARE(shown.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void tst_frmMenu::closingClosesTheConnection()
{
    DeskFixture desk;
    QVERIFY(desk.open());
    QVERIFY(acnDataBase().isOpen());
    desk.window->close();
    QVERIFY(!acnDataBase().isOpen());
}

void tst_frmMenu::resetKeepsCriteriaCustomerAndRate()
{
    DeskFixture desk;
    QVERIFY(desk.addArticle("A001", "F-100", "Tornillo", 10, 2.5));
    QVERIFY(desk.open(QStringLiteral("2.5")));
    desk.searchWith(QStringLiteral("Check_COD_ART"), QStringLiteral("A"));
    desk.addLine(QStringLiteral("Caño"), QStringLiteral("2"), QStringLiteral("10,00"));
    desk.control<QLineEdit>("txtNOMBRE")->setText(QStringLiteral("Ferretería Núñez"));
    desk.control<QLineEdit>("txtFORMA_DE_PAGO")->setText(QStringLiteral("contado"));
    desk.control<QLineEdit>("txtCOD_ART")->setText(QStringLiteral("X"));

    desk.window->InicioVars();
    QCOMPARE(desk.control<TextGrid>("gridCompras")->rows(), 1);
    QCOMPARE(desk.control<TextGrid>("gridEncontrados")->rows(), 1);
    QCOMPARE(desk.text("lblTOTALOrden"), QStringLiteral("0,00"));
    QCOMPARE(desk.text("lblTOTALItems"), QStringLiteral("0"));
    QCOMPARE(desk.text("txtCOD_ART"), QString());
    QCOMPARE(desk.text("txtFORMA_DE_PAGO"), QString());
    QCOMPARE(desk.text("txtBuscar_COD_ART"), QString());
    QCOMPARE(desk.text("lblNRO_PEDIDO"), QStringLiteral("16"));
    // The criterion stays ticked with its box enabled; the customer and the rate stay.
    QVERIFY(desk.control<QCheckBox>("Check_COD_ART")->isChecked());
    QVERIFY(desk.control<QLineEdit>("txtBuscar_COD_ART")->isEnabled());
    QCOMPARE(desk.text("txtNOMBRE"), QStringLiteral("Ferretería Núñez"));
    QCOMPARE(desk.text("lblTC"), QStringLiteral("2,5"));
    QCOMPARE(desk.window->tipoCambio(), 2.5);
}

void tst_frmMenu::searchByEachCriterion_data()
{
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found");
    QTest::newRow("none") << ""
                          << "" << QStringList{"A001", "AB10", "B001"};
    QTest::newRow("code") << "Check_COD_ART"
                          << "ab" << QStringList{"AB10"};
    QTest::newRow("factory code") << "Check_COD_PROPIO"
                                  << "x-2" << QStringList{"AB10"};
    QTest::newRow("description") << "Check_DESCRIPCION"
                                 << "ACERO" << QStringList{"A001"};
}

void tst_frmMenu::searchByEachCriterion()
{
    QFETCH(QString, check);
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    DeskFixture desk;
    QVERIFY(desk.addArticle("B001", "Z-1", "Caño", 7, 0.1));
    QVERIFY(desk.addArticle("A001", "F-100", "Tornillo de acero", 10, 2.5));
    QVERIFY(desk.addArticle("AB10", "X-200", "Llave", QVariant(), 1000.0));
    QVERIFY(desk.addArticle("", "X-201", "Sin código", 1, 1.0));
    QVERIFY(desk.open(QStringLiteral("3.15")));
    if (check.isEmpty())
        desk.enterToSearch();
    else
        desk.searchWith(check, text);

    auto *grid = desk.control<TextGrid>("gridEncontrados");
    QStringList codes;
    for (int row = 1; row < grid->rows(); ++row)
        codes.append(grid->text(row, 0));
    QCOMPARE(codes, found);
    QCOMPARE(grid->fixedRows(), 1);
    QCOMPARE(desk.focused(), grid);
    QVERIFY(desk.dialogs.messages().isEmpty());
    const int llave = int(codes.indexOf(QStringLiteral("AB10")));
    if (llave >= 0) {
        QCOMPARE(grid->gridModel()->rowCells(llave + 1), (QStringList{"AB10", "X-200", "Llave", "", "3.150,00"}));
    }
}

void tst_frmMenu::tickingAndUnticking()
{
    DeskFixture desk;
    QVERIFY(desk.open());
    auto *text = desk.control<QLineEdit>("txtBuscar_COD_PROPIO");
    desk.tick(QStringLiteral("Check_COD_PROPIO"));
    QVERIFY(text->isEnabled());
    QCOMPARE(desk.focused(), text);
    desk.type(QStringLiteral("abc"));
    desk.tick(QStringLiteral("Check_COD_PROPIO"));
    QVERIFY(!text->isEnabled());
    QCOMPARE(text->text(), QString());
    // The keyboard ticks too: Space on the check box.
    desk.control<QCheckBox>("Check_COD_ART")->setFocus();
    DeskFixture::press(Qt::Key_Space);
    QVERIFY(desk.control<QLineEdit>("txtBuscar_COD_ART")->isEnabled());
    QCOMPARE(desk.focused(), desk.control<QLineEdit>("txtBuscar_COD_ART"));
}

void tst_frmMenu::moreThanAHundred_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("rows");
    QTest::newRow("Yes lists them") << int(QMessageBox::Yes) << 102;
    QTest::newRow("No lists none") << int(QMessageBox::No) << 1;
}

void tst_frmMenu::moreThanAHundred()
{
    QFETCH(int, answer);
    QFETCH(int, rows);
    DeskFixture desk;
    QVERIFY(desk.addArticles(QStringLiteral("P"), 101));
    QVERIFY(desk.open());
    desk.dialogs.answerMessage(QMessageBox::StandardButton(answer));
    desk.enterToSearch();
    const QList<Dialogs::Message> shown = desk.dialogs.messages();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().text, QStringLiteral("Se encontraron 101 registros, desea verlos de toda forma."));
    QCOMPARE(shown.first().title, QStringLiteral("Atención"));
    QCOMPARE(shown.first().icon, QMessageBox::NoIcon);
    QCOMPARE(shown.first().buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(shown.first().defaultButton, QMessageBox::Yes);
    auto *grid = desk.control<TextGrid>("gridEncontrados");
    QCOMPARE(grid->rows(), rows);
    if (rows == 1) {
        QCOMPARE(grid->fixedRows(), 0);
        QCOMPARE(desk.focused(), desk.control<QWidget>("cmdBuscar"));
    } else {
        QCOMPARE(grid->fixedRows(), 1);
        QCOMPARE(desk.focused(), grid);
        QCOMPARE(grid->text(101, 0), QStringLiteral("P0100"));
    }
}

void tst_frmMenu::aHundredListsAtOnce()
{
    DeskFixture desk;
    QVERIFY(desk.addArticles(QStringLiteral("P"), 100));
    QVERIFY(desk.open());
    desk.enterToSearch();
    QVERIFY(desk.dialogs.messages().isEmpty());
    QCOMPARE(desk.control<TextGrid>("gridEncontrados")->rows(), 101);
}

void tst_frmMenu::emptyResult()
{
    DeskFixture desk;
    QVERIFY(desk.addArticle("A001", "F-100", "Tornillo", 1, 1.0));
    QVERIFY(desk.open());
    desk.dialogs.answerMessage(QMessageBox::Ok);
    desk.searchWith(QStringLiteral("Check_DESCRIPCION"), QStringLiteral("zzz"));
    const QList<Dialogs::Message> shown = desk.dialogs.messages();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().text, QStringLiteral("No se encontraron registros."));
    QCOMPARE(shown.first().title, QStringLiteral("Atención"));
    QCOMPARE(shown.first().icon, QMessageBox::Information);
    QCOMPARE(shown.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(desk.control<TextGrid>("gridEncontrados")->rows(), 1);
    QCOMPARE(desk.control<TextGrid>("gridEncontrados")->fixedRows(), 0);
    QCOMPARE(desk.focused(), desk.control<QWidget>("cmdBuscar"));
}

void tst_frmMenu::quotesAndPercentInSearchTexts()
{
    DeskFixture desk;
    QVERIFY(desk.addArticle("A001", "F'1", "Llave O'Brien", 1, 1.0));
    QVERIFY(desk.addArticle("A002", "F-2", "Cinta 50% descuento", 1, 1.0));
    QVERIFY(desk.addArticle("A003", "F-3", "Cinta aislante", 1, 1.0));
    QVERIFY(desk.open());
    auto *grid = desk.control<TextGrid>("gridEncontrados");

    desk.searchWith(QStringLiteral("Check_DESCRIPCION"), QStringLiteral("o'brien"));
    QCOMPARE(grid->rows(), 2);
    QCOMPARE(grid->text(1, 0), QStringLiteral("A001"));

    desk.control<QLineEdit>("txtBuscar_DESCRIPCION")->setText(QStringLiteral("cinta%te"));
    desk.enterToSearch();
    QCOMPARE(grid->rows(), 2);
    QCOMPARE(grid->text(1, 0), QStringLiteral("A003"));

    desk.control<QLineEdit>("txtBuscar_DESCRIPCION")->setText(QStringLiteral("50%"));
    desk.enterToSearch();
    QCOMPARE(grid->rows(), 2);
    QCOMPARE(grid->text(1, 0), QStringLiteral("A002"));

    desk.tick(QStringLiteral("Check_DESCRIPCION")); // off
    desk.searchWith(QStringLiteral("Check_COD_PROPIO"), QStringLiteral("'"));
    QCOMPARE(grid->rows(), 2);
    QCOMPARE(grid->text(1, 1), QStringLiteral("F'1"));
    QVERIFY(desk.dialogs.messages().isEmpty());
}

void tst_frmMenu::focusBackAfterAMessageDoesNotSearchAgain()
{
    DeskFixture desk;
    QVERIFY(desk.open());
    // The message box really takes the focus and gives it back to cmdBuscar.
    desk.dialogs.answerMessage(QMessageBox::Ok, [&] { realModalWindow(desk.window.get()); });
    desk.enterToSearch();
    auto *cmdBuscar = desk.control<FocusPictureButton>("cmdBuscar");
    QTRY_COMPARE(desk.focused(), cmdBuscar);
    QCOMPARE(desk.dialogs.messages().size(), 1);
    // A click while it holds the focus does not search either (an extra box would fail).
    QTest::mouseClick(cmdBuscar, Qt::LeftButton);
    QCOMPARE(desk.dialogs.messages().size(), 1);
    // Leaving and clicking it again does.
    desk.control<QCheckBox>("Check_COD_ART")->setFocus();
    desk.dialogs.answerMessage(QMessageBox::Ok);
    QTest::mouseClick(cmdBuscar, Qt::LeftButton);
    QCOMPARE(desk.dialogs.messages().size(), 2);
}

void tst_frmMenu::failingSearchIsToldNotFatal()
{
    DeskFixture desk;
    QVERIFY(desk.open());
    QVERIFY(desk.db.exec(QStringLiteral("DROP TABLE ARTICULOS")));
    desk.dialogs.answerMessage(QMessageBox::Ok);
    desk.enterToSearch();
    const QList<Dialogs::Message> shown = desk.dialogs.messages();
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.first().title.startsWith(QStringLiteral("Error: ")));
    QCOMPARE(shown.first().icon, QMessageBox::Critical);
    QCOMPARE(desk.control<TextGrid>("gridEncontrados")->rows(), 1);
    QCOMPARE(desk.focused(), desk.control<QWidget>("cmdBuscar"));
}

void tst_frmMenu::keyboardPathAddsALine()
{
    DeskFixture desk;
    QVERIFY(desk.addArticle("A001", "F-100", "Tornillo de acero", 10, 2.5));
    QVERIFY(desk.addArticle("A002", "F-200", "Llave", 3, 400.0));
    QVERIFY(desk.open(QStringLiteral("3.15")));
    desk.enterToSearch();
    desk.doubleClickFound(2);

    auto *cantidad = desk.control<QLineEdit>("txtCANTIDAD");
    QCOMPARE(desk.text("txtCOD_ART"), QStringLiteral("A002"));
    QCOMPARE(desk.text("lblCOD_PROPIO"), QStringLiteral("F-200"));
    QCOMPARE(desk.text("txtDESCRIPCION"), QStringLiteral("Llave"));
    QCOMPARE(desk.text("txtP_UNITARIO"), QStringLiteral("1.260,00"));
    QCOMPARE(cantidad->text(), QStringLiteral("1"));
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
    QCOMPARE(desk.control<TextGrid>("gridCompras")->fixedRows(), 1);
    QCOMPARE(desk.text("lblTOTALItems"), QStringLiteral("3"));
    QCOMPARE(desk.text("lblTOTALOrden"), QStringLiteral("3.703,50"));
    for (const char *field :
        {"txtCOD_ART", "txtDESCRIPCION", "txtP_UNITARIO", "txtCANTIDAD", "txtDETALLES", "lblTOTAL", "lblCOD_PROPIO"})
        QCOMPARE(desk.text(field), QString());
    // A click on cmdGuardar while it holds the focus adds nothing.
    QTest::mouseClick(desk.control<QWidget>("cmdGuardar"), Qt::LeftButton);
    QCOMPARE(desk.orderRows().size(), 1);
}

void tst_frmMenu::quantityThatIsNotANumber()
{
    DeskFixture desk;
    QVERIFY(desk.addArticle("A001", "F-100", "Tornillo", 10, 2.5));
    QVERIFY(desk.open());
    desk.enterToSearch();
    desk.doubleClickFound(1);
    desk.type(QStringLiteral("dos"));
    desk.press(Qt::Key_Return);
    QCOMPARE(desk.text("txtCANTIDAD"), QStringLiteral("dos"));
    QCOMPARE(desk.text("lblTOTAL"), QString());
    // Leaving it empty puts 0 and leaves the total alone.
    desk.control<QLineEdit>("txtCANTIDAD")->setFocus();
    desk.control<QLineEdit>("txtCANTIDAD")->clear();
    desk.press(Qt::Key_Return);
    QCOMPARE(desk.text("txtCANTIDAD"), QStringLiteral("0"));
    desk.press(Qt::Key_Return); // leaving the price recomputes: 0 x 2,50
    QCOMPARE(desk.text("lblTOTAL"), QStringLiteral("0,00"));
    desk.press(Qt::Key_Return); // details
    desk.press(Qt::Key_Return); // the line goes in; the totals count it as 0
    QCOMPARE(desk.text("lblTOTALItems"), QStringLiteral("0"));
    QCOMPARE(desk.text("lblTOTALOrden"), QStringLiteral("0,00"));
}

void tst_frmMenu::doubleClickOnTheHeadingsTakesNothing()
{
    DeskFixture desk;
    QVERIFY(desk.open());
    desk.doubleClickFound(0);
    QCOMPARE(desk.text("txtCOD_ART"), QString());
    QCOMPARE(desk.text("txtCANTIDAD"), QString());
}

void tst_frmMenu::escapeFromNombreAddsARow()
{
    DeskFixture desk;
    QVERIFY(desk.open());
    desk.addLine(QStringLiteral("Caño"), QStringLiteral("2"), QStringLiteral("10,00"));
    QCOMPARE(desk.focused(), desk.control<QWidget>("cmdGuardar"));
    desk.press(Qt::Key_Return);
    QCOMPARE(desk.focused(), desk.control<QLineEdit>("txtNOMBRE"));
    desk.press(Qt::Key_Escape);
    QCOMPARE(desk.focused(), desk.control<QWidget>("cmdGuardar"));
    const QList<QStringList> rows = desk.orderRows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(1), QStringList(7, QString()));
    QCOMPARE(desk.text("lblTOTALItems"), QStringLiteral("2"));
    QCOMPARE(desk.text("lblTOTALOrden"), QStringLiteral("20,00"));
}

void tst_frmMenu::deletion_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("current"); // 0: as left by the last line added
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QString>("items");
    QTest::addColumn<QString>("total");
    QTest::newRow("no line") << 0 << 0 << int(QMessageBox::Yes) << "Descripción" << QStringList{} << "0"
                             << "0,00";
    QTest::newRow("one line") << 1 << 0 << int(QMessageBox::Yes) << "uno" << QStringList{} << "0"
                              << "0,00";
    QTest::newRow("two lines, the last") << 2 << 0 << int(QMessageBox::Yes) << "dos" << QStringList{"uno"} << "1"
                                         << "1,00";
    QTest::newRow("two lines, the first") << 2 << 1 << int(QMessageBox::Yes) << "uno" << QStringList{"dos"} << "2"
                                          << "4,00";
    QTest::newRow("three lines, the second")
        << 3 << 2 << int(QMessageBox::Yes) << "dos" << QStringList{"uno", "tres"} << "4"
        << "10,00";
    QTest::newRow("answered No") << 3 << 2 << int(QMessageBox::No) << "dos" << QStringList{"uno", "dos", "tres"} << "6"
                                 << "14,00";
}

void tst_frmMenu::deletion()
{
    QFETCH(int, lines);
    QFETCH(int, current);
    QFETCH(int, answer);
    DeskFixture desk;
    QVERIFY(desk.open());
    const QStringList names = {"uno", "dos", "tres"};
    for (int line = 0; line < lines; ++line)
        desk.addLine(names.at(line), QString::number(line + 1), QString::number(line + 1) + QStringLiteral(",00"));
    auto *grid = desk.control<TextGrid>("gridCompras");
    if (current > 0) {
        QTest::mouseClick(
            grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(current, 0)).center());
        QCOMPARE(grid->row(), current);
    }
    desk.dialogs.answerMessage(QMessageBox::StandardButton(answer));
    QTest::mouseClick(desk.control<QLabel>("lblELIMINAR"), Qt::LeftButton);

    const QList<Dialogs::Message> shown = desk.dialogs.messages();
    QCOMPARE(shown.size(), 1);
    QFETCH(QString, asked);
    QCOMPARE(shown.first().text, QStringLiteral("Desea eliminar ") + asked + QStringLiteral("?."));
    QCOMPARE(shown.first().title, QStringLiteral("Eliminar"));
    QCOMPARE(shown.first().icon, QMessageBox::NoIcon);
    QCOMPARE(shown.first().buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(shown.first().defaultButton, QMessageBox::Yes);

    QStringList left;
    for (const QStringList &row : desk.orderRows())
        left.append(row.first());
    QTEST(left, "left");
    QTEST(desk.text("lblTOTALItems"), "items");
    QTEST(desk.text("lblTOTALOrden"), "total");
    QCOMPARE(grid->text(0, 0), QStringLiteral("Descripción"));
    QCOMPARE(grid->fixedRows(), left.isEmpty() ? 0 : 1);
}

void tst_frmMenu::totalsWithGroupedNumbers_data()
{
    QTest::addColumn<bool>("point");
    QTest::addColumn<QString>("firstPrice");
    QTest::addColumn<QString>("secondPrice");
    QTest::addColumn<QString>("total");
    QTest::newRow("comma machine") << false << "1234,5"
                                   << "1.000.000"
                                   << "2.002.469,00";
    QTest::newRow("point machine") << true << "1234.5"
                                   << "1,000,000"
                                   << "2,002,469.00";
}

void tst_frmMenu::totalsWithGroupedNumbers()
{
    QFETCH(bool, point);
    QFETCH(QString, firstPrice);
    QFETCH(QString, secondPrice);
    Regional::setCurrent(point ? Regional::pointMonthFirst() : Regional::commaDayFirst());
    DeskFixture desk;
    QVERIFY(desk.open());
    desk.addLine(QStringLiteral("a"), QStringLiteral("2"), firstPrice);
    desk.addLine(QStringLiteral("b"), QStringLiteral("2"), secondPrice);
    desk.addLine(QStringLiteral("c"), QStringLiteral("2.5"), QStringLiteral("0"));
    QCOMPARE(desk.text("lblTOTALItems"), QStringLiteral("6")); // 2 + 2 + 2.5 rounds to 6
    QTEST(desk.text("lblTOTALOrden"), "total");
    // A large figure takes smaller type rather than being cut.
    auto *total = desk.control<QLabel>("lblTOTALOrden");
    QVERIFY(total->fontMetrics().horizontalAdvance(total->text()) <= total->width());
}

QTEST_MAIN(tst_frmMenu)
#include "tst_frmmenu.moc"
