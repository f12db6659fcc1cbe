#include "base/globals.h"
#include "base/regional.h"
#include "data/connection.h"
#include "data/sentorders.h"
#include "data/server/ordersender.h"
#include "data/server/orderupload.h"
#include "data/server/serverconnection.h"
#include "data/server/serverlogin.h"
#include "data/serversettings.h"
#include "report/reportpreview.h"
#include "server/testcluster.h"
#include "server/testcompanydatabase.h"
#include "server/testlaptop.h"
#include "support/scripteddialogs.h"
#include "support/testchecks.h"
#include "transfer/frmtransferencia.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString password = QStringLiteral("clave del vendedor");

// How the laptop reaches the server.
constexpr int passwordFile = 0;
constexpr int passwordTyped = 1;
constexpr int noServer = 2;

} // namespace

// The transfer window with a company server configured: exporting sends, importing brings
// the catalogue down.
class tst_ServerTransfer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_CLUSTER(); }

    void init()
    {
        Regional::setCurrent(Regional::commaDayFirst());
        m_company = std::make_unique<TestCompanyDatabase>();
        QVERIFY(m_company->isValid());
        QVERIFY(m_company->initialise({{QStringLiteral("V1"), password}}));
        QVERIFY(m_company->usePasswordFile());
        m_laptop = std::make_unique<TestLaptop>(*m_company, QStringLiteral("V1"));
        QVERIFY(m_laptop->isValid());
        QVERIFY_NO_ERROR(acnDataBase().open(m_laptop->path()));
        strConexion = Connection::connectionString(m_laptop->path());
        frmTransferencia::setTransferFolder(m_laptop->database().folder());
        m_previewed = 0;
        ReportPreview::setPresenter([this](const ReportDocument &) { ++m_previewed; });
    }

    void cleanup()
    {
        ServerLogin::forgetPasswords();
        ReportPreview::setPresenter({});
        frmTransferencia::setTransferFolder({});
        acnDataBase().close();
        m_laptop.reset();
        m_company.reset();
    }

    void exportingSends_data()
    {
        QTest::addColumn<int>("access");
        QTest::addColumn<QStringList>("told");
        const QStringList sent = {"Órdenes enviadas al servidor: 2.", "Órdenes que ya estaban en el servidor: 1."};
        QTest::newRow("password from the password file") << passwordFile << sent;
        QTest::newRow("password typed when asked") << passwordTyped << sent;
        QTest::newRow("no server at the address")
            << noServer
            << QStringList{"Órdenes que no se pudieron enviar: 3.", "no hay un servidor en esa dirección",
                   "quedan guardadas en este equipo"};
    }

    void exportingSends()
    {
        QFETCH(int, access);
        QFETCH(QStringList, told);
        QVERIFY(m_laptop->addOrders(1, 3, 2, {QStringLiteral("A1"), QStringLiteral("A2")}));
        // Order 1 reached the server before, but the laptop never recorded it.
        QList<ServerOrder> orders;
        QVERIFY_NO_ERROR(SentOrders::unsent(acnDataBase(), 0, 1, orders));
        ServerConnection salesperson(QStringLiteral("earlier"));
        QVERIFY_NO_ERROR(salesperson.open(m_company->salesperson(QStringLiteral("V1"), password)));
        OrderUpload::Outcome outcome;
        QVERIFY_NO_ERROR(OrderUpload::send(salesperson, orders.first(), outcome));
        QTemporaryDir nowhere;
        if (access == noServer) {
            ServerSettings settings;
            QVERIFY_NO_ERROR(ServerSettings::read(acnDataBase(), settings));
            settings.host = nowhere.path();
            QVERIFY_NO_ERROR(ServerSettings::write(acnDataBase(), settings));
        }
        ScriptedDialogs dialogs;
        if (access == passwordTyped) {
            qputenv("PGPASSFILE", QFile::encodeName(TestCluster::current().passwordFile()));
            dialogs.answerInput(password);
        }
        dialogs.answerMessage(Dialogs::Ok);

        frmTransferencia window;
        window.setMode(QStringLiteral("E"));
        window.show();
        window.findChild<QCheckBox *>(QStringLiteral("Check_ExportPDF"))->setChecked(false);
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("cmdAceptar")), Qt::LeftButton);

        QCOMPARE(dialogs.messages().size(), 1);
        for (const QString &words : told)
            QVERIFY2(dialogs.messages().first().text.contains(words), qPrintable(dialogs.messages().first().text));
        QCOMPARE(m_previewed, 1);
        int unsent = -1;
        QVERIFY_NO_ERROR(SentOrders::unsentCount(acnDataBase(), unsent));
        QCOMPARE(unsent, access == noServer ? 3 : 0);
        RowSet onServer;
        QVERIFY_NO_ERROR(salesperson.select(QStringLiteral("SELECT COUNT(*) AS N FROM PEDIDOS"), {}, onServer));
        QCOMPARE(onServer.value(0, QStringLiteral("N")).toInt(), access == noServer ? 1 : 3);
        if (access == passwordTyped) {
            QVERIFY(dialogs.inputs().first().secret);
            // Kept for the run, never in the database.
            acnDataBase().close();
            for (const QString &suffix : {QString(), QStringLiteral("-wal")}) {
                QFile file(m_laptop->path() + suffix);
                QVERIFY(!file.open(QIODevice::ReadOnly) || !file.readAll().contains(password.toUtf8()));
            }
            QVERIFY_NO_ERROR(acnDataBase().open(m_laptop->path()));
            QVERIFY(m_laptop->addOrders(4, 1, 1, {QStringLiteral("A1")}));
            QCOMPARE(OrderSender::sendAll(acnDataBase(), dialogs).sent, 1);
        }
    }

    void importingBringsTheCatalogueDown()
    {
        ServerConnection office(QStringLiteral("office"));
        QVERIFY_NO_ERROR(office.open(m_company->office()));
        const QString insert = QStringLiteral("INSERT INTO ARTICULOS (COD_ART, DESCRIPCION, STK_ACTUAL, P_UNITARIO, "
                                              "FECHA_ACT) VALUES (?, ?, ?, ?, '2024-03-01')");
        for (const auto &[code, description] :
            {std::pair("A1", "Tornillo"), std::pair("A2", "Tuerca"), std::pair("A3", "Arandela")})
            QVERIFY_NO_ERROR(
                office.execute(insert, {QString::fromLatin1(code), QString::fromLatin1(description), 10, 2.5}));
        const TestDatabase &local = m_laptop->database();
        QVERIFY(local.exec(QStringLiteral("INSERT INTO ARTICULOS (COD_ART, DESCRIPCION, STK_ACTUAL) VALUES "
                                          "('A1', 'Viejo', 99), ('L9', 'Solo aquí', 5)")));

        QVERIFY(bringDown().contains(QStringLiteral("Se trajeron 3 artículos")));
        QCOMPARE(local.scalar(QStringLiteral("SELECT DESCRIPCION || '/' || STK_ACTUAL FROM ARTICULOS WHERE COD_ART = "
                                             "'A1'")),
            QVariant(QStringLiteral("Tornillo/10")));
        QCOMPARE(local.scalar(QStringLiteral("SELECT COUNT(*) FROM ARTICULOS")).toInt(), 4);

        // Only what changed since comes down.
        QVERIFY_NO_ERROR(office.execute(
            QStringLiteral("UPDATE ARTICULOS SET P_UNITARIO = ? WHERE COD_ART = ?"), {7.25, QStringLiteral("A2")}));
        QVERIFY(bringDown().contains(QStringLiteral("Se trajo 1 artículo")));
        QCOMPARE(
            local.scalar(QStringLiteral("SELECT P_UNITARIO FROM ARTICULOS WHERE COD_ART = 'A2'")).toDouble(), 7.25);
        QVERIFY(bringDown().contains(QStringLiteral("ya estaba al día")));
    }

private:
    // Accepts a fresh window in import mode, from the server; the message it shows.
    QString bringDown()
    {
        ScriptedDialogs dialogs;
        dialogs.answerMessage(Dialogs::Ok);
        frmTransferencia window;
        window.setMode(QStringLiteral("I"));
        window.show();
        if (!window.findChild<QRadioButton *>(QStringLiteral("optServidor"))->isChecked())
            return {};
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("cmdAceptar")), Qt::LeftButton);
        return dialogs.messages().isEmpty() ? QString() : dialogs.messages().first().text;
    }

    std::unique_ptr<TestCompanyDatabase> m_company;
    std::unique_ptr<TestLaptop> m_laptop;
    int m_previewed = 0;
};

QTEST_MAIN(tst_ServerTransfer)
#include "tst_servertransfer.moc"
