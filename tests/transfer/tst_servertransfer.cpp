#include "base/globals.h"
#include "data/connection.h"
#include "data/server/serverconnection.h"
#include "report/reportpreview.h"
#include "server/testcluster.h"
#include "server/testcompanydatabase.h"
#include "server/testlaptop.h"
#include "support/scripteddialogs.h"
#include "support/testchecks.h"
#include "transfer/frmtransferencia.h"

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
};

QTEST_MAIN(tst_ServerTransfer)
#include "tst_servertransfer.moc"
