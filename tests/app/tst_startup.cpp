#include "app/globals.h"
#include "app/regional.h"
#include "app/startup.h"
#include "data/connection.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Regional::setCurrent(Regional::commaDayFirst()); }
    void cleanup() { CierroConexion(); }

    void readsTheSettingsRow_data();
    void readsTheSettingsRow();
    void firstOfTwoRowsIsUsed();
    void databaseIsFoundBesideTheProgram();
    void refusesToStart_data();
    void refusesToStart();
    void startsAndShowsTheWindow();
};

void tst_Startup::readsTheSettingsRow_data()
{
    QTest::addColumn<QVariant>("empresa");
    QTest::addColumn<QVariant>("vendedor");
    QTest::addColumn<QVariant>("counter");
    QTest::addColumn<QString>("expectedEmpresa");
    QTest::addColumn<QString>("expectedVendedor");
    QTest::addColumn<QString>("expectedCounter");
    QTest::newRow("counter 15") << QVariant("Núñez S.A.") << QVariant("Ana") << QVariant(15) << "Núñez S.A."
                                << "Ana"
                                << "15";
    QTest::newRow("missing values") << QVariant() << QVariant() << QVariant() << ""
                                    << ""
                                    << "0";
    QTest::newRow("counter as text with junk") << QVariant("E") << QVariant("V") << QVariant("  42x") << "E"
                                               << "V"
                                               << "42";
    QTest::newRow("counter without a number") << QVariant("E") << QVariant("V") << QVariant("n/a") << "E"
                                              << "V"
                                              << "0";
}

void tst_Startup::readsTheSettingsRow()
{
    QFETCH(QVariant, empresa);
    QFETCH(QVariant, vendedor);
    QFETCH(QVariant, counter);
    TestDatabase db;
    QVERIFY(db.exec(
        QStringLiteral("UPDATE SETUP SET EMPRESA = ?, RECORVAN = ?, ULTIMO_PEDIDO = ?"), {empresa, vendedor, counter}));

    QVERIFY(!AbroConexion(db.folder()));
    QTEST(strEMPRESA, "expectedEmpresa");
    QTEST(strRECORVAN, "expectedVendedor");
    QTEST(strULTIMO_PEDIDO, "expectedCounter");
}

void tst_Startup::firstOfTwoRowsIsUsed()
{
    TestDatabase db;
    QVERIFY(
        db.exec(QStringLiteral("INSERT INTO SETUP (EMPRESA, RECORVAN, ULTIMO_PEDIDO) VALUES ('Otra', 'Otro', 99)")));
    QVERIFY(!AbroConexion(db.folder()));
    QCOMPARE(strEMPRESA, QStringLiteral("Empresa de Prueba"));
    QCOMPARE(strULTIMO_PEDIDO, QStringLiteral("15"));
}

void tst_Startup::databaseIsFoundBesideTheProgram()
{
    TestDatabase db;
    QVERIFY(db.exec(QStringLiteral("UPDATE SETUP SET ULTIMO_PEDIDO = 7")));
    QTemporaryDir moved;
    const QString elsewhere = QDir(moved.path()).filePath(QStringLiteral("otra carpeta"));
    QVERIFY(QDir().mkpath(elsewhere));
    QVERIFY(QFile::copy(db.path(), QDir(elsewhere).filePath(QStringLiteral("database.mdb"))));

    QVERIFY(!AbroConexion(elsewhere));
    QCOMPARE(strRutaBase, QDir::toNativeSeparators(QDir(elsewhere).filePath(QStringLiteral("database.mdb"))));
    QCOMPARE(Connection::pathFromConnectionString(strConexion), strRutaBase);
    QCOMPARE(strULTIMO_PEDIDO, QStringLiteral("7"));
    QVERIFY(acnDataBase().isOpen());
    CierroConexion();
    QVERIFY(!acnDataBase().isOpen());
}

void tst_Startup::refusesToStart_data()
{
    QTest::addColumn<QString>("breakage");
    QTest::addColumn<QString>("expectedText");
    QTest::newRow("missing file") << "missing"
                                  << "No se encuentra";
    QTest::newRow("text file") << "text"
                               << "no es una base de datos";
    QTest::newRow("empty file") << "empty"
                                << "no es una base de datos";
    QTest::newRow("folder") << "folder"
                            << "carpeta";
    QTest::newRow("missing table") << "droptable"
                                   << "LINEAS_PEDIDOS";
    QTest::newRow("missing column") << "dropcolumn"
                                    << "STK_ACTUAL";
    QTest::newRow("no settings row") << "nosetup"
                                     << "SETUP";
}

void tst_Startup::refusesToStart()
{
    QFETCH(QString, breakage);
    QFETCH(QString, expectedText);
    TestDatabase db;
    auto replaceWith = [&db](const QByteArray &bytes) {
        QFile::remove(db.path());
        QFile file(db.path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    if (breakage == QLatin1String("missing"))
        QVERIFY(QFile::remove(db.path()));
    else if (breakage == QLatin1String("text"))
        replaceWith("COD_ART,DESCRIPCION\nA1,Tornillo\n");
    else if (breakage == QLatin1String("empty"))
        replaceWith(QByteArray());
    else if (breakage == QLatin1String("folder")) {
        QVERIFY(QFile::remove(db.path()));
        QVERIFY(QDir(db.folder()).mkdir(QStringLiteral("database.mdb")));
    } else if (breakage == QLatin1String("droptable"))
        QVERIFY(db.exec(QStringLiteral("DROP TABLE LINEAS_PEDIDOS")));
    else if (breakage == QLatin1String("dropcolumn"))
        QVERIFY(db.exec(QStringLiteral("ALTER TABLE ARTICULOS DROP COLUMN STK_ACTUAL")));
    else if (breakage == QLatin1String("nosetup"))
        QVERIFY(db.exec(QStringLiteral("DELETE FROM SETUP")));
    const qint64 sizeBefore = QFileInfo(db.path()).size();

    ScriptedDialogs dialogs;
    dialogs.answerMessage(QMessageBox::Ok);
    bool windowMade = false;
    const int result = Main(db.folder(), [&windowMade]() -> QWidget * {
        windowMade = true;
        return nullptr;
    });

    QVERIFY(result != 0);
    QVERIFY(!windowMade);
    QVERIFY(!acnDataBase().isOpen());
    QCOMPARE(dialogs.messages().size(), 1);
    const Dialogs::Message shown = dialogs.messages().first();
    QCOMPARE(shown.icon, QMessageBox::Critical);
    QCOMPARE(shown.title, QStringLiteral("Recorvan"));
    QVERIFY2(shown.text.contains(expectedText), qPrintable(shown.text));
    QVERIFY2(shown.text.contains(QRegularExpression(QStringLiteral("Error \\d+:"))), qPrintable(shown.text));
    // Opening never creates or changes a file it refuses.
    if (breakage == QLatin1String("missing"))
        QVERIFY(!QFileInfo::exists(db.path()));
    if (breakage == QLatin1String("empty") || breakage == QLatin1String("text"))
        QCOMPARE(QFileInfo(db.path()).size(), sizeBefore);
}

void tst_Startup::startsAndShowsTheWindow()
{
    TestDatabase db;
    ScriptedDialogs dialogs;
    bool windowMade = false;
    QString counterWhenMade;
    const int result = Main(db.folder(), [&]() -> QWidget * {
        windowMade = true;
        counterWhenMade = strULTIMO_PEDIDO;
        return nullptr;
    });
    QCOMPARE(result, 0);
    QVERIFY(windowMade);
    QCOMPARE(counterWhenMade, QStringLiteral("15"));
    QVERIFY(dialogs.shown().isEmpty());
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
