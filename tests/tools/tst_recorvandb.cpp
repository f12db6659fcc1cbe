#include "data/connection.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runTool(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(RECORVAN_DB_TOOL), args);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
        QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class tst_RecorvanDb : public QObject
{
    Q_OBJECT

private slots:
    void initCreatesAndNeverOverwrites();
    void initRefusesBadArguments_data();
    void initRefusesBadArguments();
    void demoHoldsACatalogue();
    void checkTellsWhy();
    void migrateConvertsAndReports();
    void migrateRefusesWhatItCannotDo_data();
    void migrateRefusesWhatItCannotDo();
};

void tst_RecorvanDb::initCreatesAndNeverOverwrites()
{
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath(QStringLiteral("database.mdb"));
    Run run = runTool({"init", file, "--empresa", "Núñez S.A.", "--vendedor", "O'Brien", "--ultimo-pedido", "41"});
    QCOMPARE(run.exitCode, 0);

    run = runTool({"check", file});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains(QStringLiteral("Núñez S.A.")));
    QVERIFY(run.out.contains(QStringLiteral("O'Brien")));
    QVERIFY(run.out.contains(QStringLiteral("Último pedido: 41")));

    const QByteArray before = [&] {
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    run = runTool({"init", file, "--empresa", "Otra", "--vendedor", "Otro"});
    QVERIFY(run.exitCode != 0);
    QVERIFY(run.err.contains(QStringLiteral("ya existe")));
    QFile after(file);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

void tst_RecorvanDb::initRefusesBadArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no file") << QStringList{"init"};
    QTest::newRow("no vendedor") << QStringList{"init", "F", "--empresa", "E"};
    QTest::newRow("bad counter") << QStringList{
        "init", "F", "--empresa", "E", "--vendedor", "V", "--ultimo-pedido", "x"};
    QTest::newRow("negative counter") << QStringList{
        "init", "F", "--empresa", "E", "--vendedor", "V", "--ultimo-pedido", "-4"};
    QTest::newRow("unknown option") << QStringList{"init", "F", "--empresa", "E", "--vendedor", "V", "--color", "rojo"};
    QTest::newRow("unknown command") << QStringList{"borrar", "F"};
}

void tst_RecorvanDb::initRefusesBadArguments()
{
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    for (QString &arg : args) {
        if (arg == QLatin1String("F"))
            arg = QDir(dir.path()).filePath(QStringLiteral("x.mdb"));
    }
    const Run run = runTool(args);
    QVERIFY(run.exitCode != 0);
    QVERIFY(!run.err.isEmpty());
    QVERIFY(!QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("x.mdb"))));
}

void tst_RecorvanDb::demoHoldsACatalogue()
{
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath(QStringLiteral("database.mdb"));
    QCOMPARE(runTool({"demo", file}).exitCode, 0);

    Connection connection(QStringLiteral("demo"));
    QVERIFY(!connection.open(file, Connection::Mode::ReadOnly));
    RowSet rows;
    QVERIFY(!connection.select(
        QStringLiteral(
            "SELECT (SELECT COUNT(*) FROM ARTICULOS) AS A, (SELECT COUNT(*) FROM CLIENTES) AS C, "
            "(SELECT COUNT(*) FROM PEDIDOS) AS P, (SELECT COUNT(*) FROM ARTICULOS WHERE P_UNITARIO IS NULL) AS N, "
            "(SELECT COUNT(*) FROM ARTICULOS WHERE DESCRIPCION LIKE '%ñ%') AS ENIE"),
        {}, rows));
    QVERIFY(rows.value(0, "A").toInt() >= 200);
    QCOMPARE(rows.value(0, "C").toInt(), 12);
    QCOMPARE(rows.value(0, "P").toInt(), 0);
    QVERIFY(rows.value(0, "N").toInt() > 0);
    QVERIFY(rows.value(0, "ENIE").toInt() > 0);
}

void tst_RecorvanDb::checkTellsWhy()
{
    QTemporaryDir dir;
    const QString text = QDir(dir.path()).filePath(QStringLiteral("lista.dat"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("A1,B,C,1,2,20/08/2004\n");
    file.close();
    Run run = runTool({"check", text});
    QVERIFY(run.exitCode != 0);
    QVERIFY(run.err.contains(QStringLiteral("no es una base de datos")));

    run = runTool({"check", QDir(dir.path()).filePath(QStringLiteral("nada.mdb"))});
    QVERIFY(run.exitCode != 0);
    QVERIFY(run.err.contains(QStringLiteral("No se encuentra")));
    QVERIFY(!QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("nada.mdb"))));

    const QString jet = TestDatabase::sharedFolder() + QStringLiteral("/fixtures/legacy-jet4/database.mdb");
    if (QFileInfo::exists(jet)) {
        run = runTool({"check", jet});
        QVERIFY(run.exitCode != 0);
        QVERIFY(run.err.contains(QStringLiteral("convertir")));
        QVERIFY(run.err.contains(QStringLiteral("recorvan-db migrate")));
    }
}

void tst_RecorvanDb::migrateConvertsAndReports()
{
    const QString jet = TestDatabase::sharedFolder() + QStringLiteral("/fixtures/legacy-jet4/database.mdb");
    if (!QFileInfo::exists(jet))
        QSKIP("The shared Jet 4 fixture is not there.");
    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath(QStringLiteral("nueva.mdb"));
    Run run = runTool({"migrate", jet, file});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(QStringLiteral("CLIENTES: 4 filas leídas, 4 escritas.")), qPrintable(run.out));
    QVERIFY(run.out.contains(QStringLiteral("SETUP: 1 fila leída, 1 escrita.")));
    QVERIFY(run.out.contains(QStringLiteral("Todas las filas se copiaron tal cual.")));

    run = runTool({"check", file});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains(QStringLiteral("Último pedido: 1042")));
    QVERIFY(run.out.contains(QStringLiteral("Artículos: 7, clientes: 4, pedidos: 2")));
}

void tst_RecorvanDb::migrateRefusesWhatItCannotDo_data()
{
    QTest::addColumn<QString>("oldFile");
    QTest::addColumn<bool>("newExists");
    QTest::addColumn<QString>("expectedText");
    QTest::newRow("not a database") << "text" << false << "no es una base de datos de Access";
    QTest::newRow("missing") << "missing" << false << "no existe";
    QTest::newRow("already ours") << "ours" << false << "no hace falta convertirla";
    QTest::newRow("new file exists") << "jet" << true << "ya existe";
    QTest::newRow("one argument") << "" << false << "Uso:";
}

void tst_RecorvanDb::migrateRefusesWhatItCannotDo()
{
    QFETCH(QString, oldFile);
    QFETCH(bool, newExists);
    QFETCH(QString, expectedText);
    QTemporaryDir dir;
    const QString newFile = QDir(dir.path()).filePath(QStringLiteral("nueva.mdb"));
    QString old = QDir(dir.path()).filePath(QStringLiteral("anterior.mdb"));
    if (oldFile == QLatin1String("text")) {
        QFile file(old);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("no soy una base de datos\n");
    } else if (oldFile == QLatin1String("ours")) {
        QCOMPARE(runTool({"demo", old}).exitCode, 0);
    } else if (oldFile == QLatin1String("jet")) {
        old = TestDatabase::sharedFolder() + QStringLiteral("/fixtures/legacy-jet4/database.mdb");
        if (!QFileInfo::exists(old))
            QSKIP("The shared Jet 4 fixture is not there.");
    }
    if (newExists) {
        QFile file(newFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("mío");
    }
    const Run run = runTool(oldFile.isEmpty() ? QStringList{"migrate", old} : QStringList{"migrate", old, newFile});
    QVERIFY(run.exitCode != 0);
    QVERIFY2(run.err.contains(expectedText), qPrintable(run.err));
    if (newExists) {
        QFile file(newFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("mío"));
    } else {
        QVERIFY(!QFileInfo::exists(newFile));
    }
}

QTEST_GUILESS_MAIN(tst_RecorvanDb)
#include "tst_recorvandb.moc"
