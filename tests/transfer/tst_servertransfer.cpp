#include "base/globals.h"
#include "data/connection.h"
#include "server/ordersender.h"
#include "server/serverconnection.h"
#include "server/testcluster.h"
#include "server/testcompanydatabase.h"
#include "server/testlaptop.h"
#include "support/scripteddialogs.h"
#include "support/testchecks.h"
#include "transfer/frmtransferencia.h"
#include "transfer/reportpreview.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

// The transfer window with a company server: the export's Accept sends the orders waiting before
// its report, and the import, offered the server or the file, brings the catalogue down.
class tst_ServerTransfer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_CLUSTER(); }

    void sendsThenBringsTheCatalogueDown()
    {
        TestCompanyDatabase company;
        QVERIFY(company.isValid() && company.initialise({{QStringLiteral("V1"), QStringLiteral("clave V1")}}));
        QVERIFY(company.usePasswordFile());
        ServerConnection office(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office.open(company.office()));
        QVERIFY_NO_ERROR(office.execute(QStringLiteral(
            "INSERT INTO ARTICULOS (COD_ART, DESCRIPCION) VALUES ('A1', 'Tornillo'), ('A2', 'Tuerca')")));
        TestLaptop laptop(company, QStringLiteral("V1"));
        QVERIFY(laptop.isValid() && laptop.addOrders(1, 2, 1, {QStringLiteral("A1")}));
        QVERIFY_NO_ERROR(acnDataBase().open(laptop.path()));
        strConexion = Connection::connectionString(laptop.path());
        int previewed = 0;
        ReportPreview::setPresenter([&previewed](const ReportDocument &) { ++previewed; });
        ScriptedDialogs dialogs;
        dialogs.answerMessage(Dialogs::Ok).answerMessage(Dialogs::Ok);
        for (const QString &mode : {QStringLiteral("E"), QStringLiteral("I")}) {
            frmTransferencia window;
            window.setMode(mode);
            window.show();
            const auto *server = window.findChild<QRadioButton *>(QStringLiteral("optServidor"));
            QCOMPARE(window.findChild<QRadioButton *>(QStringLiteral("optArchivo"))->isVisible(), mode == "I");
            QCOMPARE(server->isVisible() && server->isChecked(), mode == "I");
            // Bringing the catalogue down reads no file.
            QCOMPARE(window.findChild<QLineEdit *>(QStringLiteral("txtArchivo"))->isEnabled(), mode == "E");
            window.findChild<QCheckBox *>(QStringLiteral("Check_ExportPDF"))->setChecked(false);
            QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("cmdAceptar")), Qt::LeftButton);
        }
        QCOMPARE(dialogs.messages().size(), 2);
        QCOMPARE(dialogs.messages().first().text, QStringLiteral("Órdenes enviadas al servidor: 2."));
        QCOMPARE(laptop.database().scalar(QStringLiteral("SELECT COUNT(*) FROM ENVIOS")), QVariant(2));
        QCOMPARE(previewed, 1);
        QCOMPARE(dialogs.messages().last().text,
            QStringLiteral("Se trajeron 2 artículos del servidor: el catálogo está al día."));
        QCOMPARE(laptop.database().scalar(QStringLiteral("SELECT GROUP_CONCAT(COD_ART || ' ' || DESCRIPCION) FROM "
                                                         "(SELECT * FROM ARTICULOS ORDER BY 1)")),
            QVariant(QStringLiteral("A1 Tornillo,A2 Tuerca")));
        ReportPreview::setPresenter({});
        acnDataBase().close();
    }

    // The server holds another order #2 of this salesperson: the send is an error, the order is
    // offered the next free number, and the day's report shows it under that number.
    void conflictRenumberedAndPrintedUnderItsNewNumber()
    {
        TestCompanyDatabase company;
        QVERIFY(company.isValid() && company.initialise({{QStringLiteral("V1"), QStringLiteral("clave V1")}}));
        QVERIFY(company.usePasswordFile());
        TestLaptop earlier(company, QStringLiteral("V1"));
        QVERIFY(earlier.isValid() && earlier.addOrders(2, 1, 1, {QStringLiteral("A1")}));
        QVERIFY(earlier.database().exec(QStringLiteral("UPDATE PEDIDOS SET CLIENTE = 'Viejo'")));
        Connection previous(QStringLiteral("earlier"));
        QVERIFY_NO_ERROR(previous.open(earlier.path()));
        ScriptedDialogs dialogs;
        QVERIFY(OrderSender::sendAll(previous, dialogs).complete());

        TestLaptop laptop(company, QStringLiteral("V1"));
        QVERIFY(laptop.isValid() && laptop.addOrders(1, 2, 1, {QStringLiteral("A1")}));
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QVERIFY(laptop.database().exec(QStringLiteral("UPDATE PEDIDOS SET FECHA = ?"), {today}));
        QVERIFY(laptop.database().exec(QStringLiteral("INSERT INTO ARTICULOS (COD_ART) VALUES ('A1')")));
        QVERIFY_NO_ERROR(acnDataBase().open(laptop.path()));
        strConexion = Connection::connectionString(laptop.path());
        strULTIMO_PEDIDO = QStringLiteral("15");
        QStringList printed;
        ReportPreview::setPresenter([&printed](const ReportDocument &document) {
            for (int page = 0; page < document.pageCount(); ++page)
                printed += document.texts(page, QStringLiteral("Field1"));
        });
        dialogs.answerMessage(Dialogs::Yes).answerMessage(Dialogs::Ok);
        frmTransferencia window;
        window.setMode(QStringLiteral("E"));
        window.show();
        window.findChild<QCheckBox *>(QStringLiteral("Check_ExportPDF"))->setChecked(false);
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("cmdAceptar")), Qt::LeftButton);
        QVERIFY(dialogs.messages().first().text.startsWith(
            QStringLiteral("El servidor ya tiene otra orden #2 del vendedor V1 (cliente Viejo")));
        QCOMPARE(dialogs.messages().last().text,
            QStringLiteral("Órdenes enviadas al servidor: 2.\nLa orden #2 pasó a ser la #16 y se envió."));
        QCOMPARE(strULTIMO_PEDIDO, QStringLiteral("16"));
        QCOMPARE(printed, QStringList({"1", "16"}));

        // Declined, the order waits, and the send is told as an error.
        QVERIFY(laptop.addOrders(2, 1, 1, {QStringLiteral("A1")}));
        dialogs.clear();
        dialogs.answerMessage(Dialogs::No).answerMessage(Dialogs::Ok);
        frmTransferencia again;
        again.setMode(QStringLiteral("E"));
        again.show();
        again.findChild<QCheckBox *>(QStringLiteral("Check_ExportPDF"))->setChecked(false);
        QTest::mouseClick(again.findChild<QPushButton *>(QStringLiteral("cmdAceptar")), Qt::LeftButton);
        QCOMPARE(dialogs.messages().last().icon, Dialogs::Critical);
        QCOMPARE(
            laptop.database().scalar(QStringLiteral("SELECT COUNT(*) FROM ENVIOS WHERE NRO_PEDIDO = 2")), QVariant(0));
        ReportPreview::setPresenter({});
        acnDataBase().close();
    }
};

QTEST_MAIN(tst_ServerTransfer)
#include "tst_servertransfer.moc"
