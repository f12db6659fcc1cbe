#include "support/testchecks.h"
#include "support/testdatabase.h"
#include "support/testfiles.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

#include <unistd.h>

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
    // The fixture, intact or with one byte flipped (offset ^ mask): converted and checked, lost
    // rows told with their numbers, or a clear failure; never a crash, never a half-made file.
    void migrateConvertsOrTellsWhatItLost_data()
    {
        QTest::addColumn<int>("offset"); // -1: the fixture as it is
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("expectedTexts"); // in what the tool wrote
        QTest::addColumn<QString>("checked"); // what check says of the new file; empty: there is none
        const QString everyRow = QStringLiteral("Todas las filas se copiaron tal cual.");
        QTest::newRow("intact") << -1 << 0 << 0
                                << QStringList{"CLIENTES: 4 filas leídas, 4 escritas.",
                                       "SETUP: 1 fila leída, 1 escrita.", everyRow}
                                << "Artículos: 7, clientes: 4, pedidos: 2";
        QTest::newRow("free space of a data page")
            << 140264 << 0xff << 0 << QStringList{"ARTICULOS: 7 filas leídas, 7 escritas.", everyRow}
            << "Artículos: 7, clientes: 4, pedidos: 2";
        QTest::newRow("usage map pointer: libmdb crashes")
            << 147511 << 0x61 << 1 << QStringList{"su lectura se interrumpió", "quedó como estaba"} << "";
        QTest::newRow("data page owner: every article lost")
            << 139268 << 0xff << 3
            << QStringList{"ARTICULOS: 0 filas leídas de 7 que el archivo dice tener, 0 escritas.",
                   "ARTICULOS: el archivo dice tener 7 filas y se pudieron leer 0; faltan 7.",
                   "ARTICULOS: warning: page 34 from map doesn't match", "FALTAN FILAS"}
            << "Artículos: 0, clientes: 4, pedidos: 2";
        QTest::newRow("row offset: one article lost")
            << 143153 << 0xff << 3
            << QStringList{"ARTICULOS: el archivo dice tener 7 filas y se pudieron leer 6; faltan 1.",
                   "ARTICULOS: warning: Invalid data location detected in mdb_crack_row"}
            << "Artículos: 6, clientes: 4, pedidos: 2";
    }

    void migrateConvertsOrTellsWhatItLost()
    {
        QFETCH(int, offset);
        QFETCH(int, mask);
        QFETCH(QStringList, expectedTexts);
        QFETCH(QString, checked);
        REQUIRE_FIXTURE(TestDatabase::jetFixture());
        QByteArray content = contentOf(TestDatabase::jetFixture());
        if (offset >= 0)
            content[offset] = char(content.at(offset) ^ mask);
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("anterior.mdb"));
        const QString file = dir.filePath(QStringLiteral("nueva.mdb"));
        QVERIFY(writeFile(old, content));
        Run run = runTool({"migrate", old, file});
        QTEST(run.exitCode, "exitCode");
        for (const QString &text : expectedTexts)
            QVERIFY2(run.out.contains(text) || run.err.contains(text), qPrintable(run.out + run.err));
        QCOMPARE(run.out.contains(QStringLiteral("Todas las filas")), run.exitCode == 0);
        QCOMPARE(contentOf(old), content);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            checked.isEmpty() ? QStringList{"anterior.mdb"} : QStringList({"anterior.mdb", "nueva.mdb"}));
        if (checked.isEmpty())
            return;
        run = runTool({"check", file});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(QStringLiteral("Último pedido: 1042")), qPrintable(run.out));
        QVERIFY2(run.out.contains(checked), qPrintable(run.out));
    }

    // OLD is a prepared file ("kind"), NEW one left as it was (absent, or "mío" when "newExists").
    void refusesWhatItCannotDo_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("newExists");
        QTest::addColumn<QString>("expectedText");
        const QStringList init = {"init", "NEW", "--empresa", "E", "--vendedor", "V"};
        QTest::newRow("init: file exists") << init << "" << true << "ya existe";
        QTest::newRow("unknown command") << QStringList{"borrar", "NEW"} << "" << false << "";
        QTest::newRow("demo: customers not a number")
            << QStringList{"demo", "NEW", "--clientes", "muchos"} << "" << false << "--clientes espera";
        QTest::newRow("check: Jet file") << QStringList{"check", "OLD"} << "jet" << false << "recorvan-db migrate";
        const QStringList migrate = {"migrate", "OLD", "NEW"};
        QTest::newRow("migrate: missing") << migrate << "" << false << "no existe";
        QTest::newRow("migrate: already ours") << migrate << "ours" << false << "no hace falta convertirla";
        QTest::newRow("migrate: one argument") << QStringList{"migrate", "OLD"} << "jet" << false << "Uso:";
        QTest::newRow("init: an option twice")
            << init + QStringList{"--empresa", "F"} << "" << false << "La opción --empresa se dio más de una vez.";
        QTest::newRow("init: read-only folder") << init << "read-only" << false << "es de solo lectura";
        // The list is looked at before any server is reached.
        const QStringList load = {"server-load", "postgresql:///nada?host=/nada", "OLD"};
        QTest::newRow("server-load: unknown format")
            << load + QStringList{"--formato", "fr"} << "" << false << "debe ser es (1.234,50 y 20/08/2004) o en";
        QTest::newRow("server-load: English list as the company's")
            << load << "English list" << false << "No se importó nada del archivo";
    }

    void refusesWhatItCannotDo()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, kind);
        QFETCH(bool, newExists);
        QFETCH(QString, expectedText);
        QTemporaryDir dir;
        const QString newFile = dir.filePath(QStringLiteral("nueva.mdb"));
        QString old = dir.filePath(QStringLiteral("anterior.mdb"));
        if (kind == QLatin1String("ours")) {
            QCOMPARE(runTool({"demo", old}).exitCode, 0);
        } else if (kind == QLatin1String("jet")) {
            old = TestDatabase::jetFixture();
            REQUIRE_FIXTURE(old);
        } else if (kind == QLatin1String("English list")) {
            QVERIFY(writeFile(old, "A,p,d,1,\"1,250.5\",08/20/2004\n"));
        }
        // Root writes into any folder it may not write to: for root the folder is made immutable.
        const bool readOnly = kind == QLatin1String("read-only");
        const QFileDevice::Permissions mode = QFile::permissions(dir.path());
        const auto writableAgain = qScopeGuard([&] {
            if (readOnly && geteuid() == 0)
                QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), dir.path()});
            QFile::setPermissions(dir.path(), mode);
        });
        if (readOnly
            && (!QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner)
                || (geteuid() == 0 && QProcess::execute(QStringLiteral("chattr"), {"+i", dir.path()}) != 0)))
            QSKIP("This folder cannot be made read-only here.");
        if (newExists)
            QVERIFY(writeFile(newFile, "mío"));
        args.replaceInStrings(QRegularExpression(QStringLiteral("^OLD$")), old);
        args.replaceInStrings(QRegularExpression(QStringLiteral("^NEW$")), newFile);
        const Run run = runTool(args);
        QVERIFY(run.exitCode != 0);
        QVERIFY(!run.err.isEmpty());
        QVERIFY2(run.err.contains(expectedText), qPrintable(run.err));
        QCOMPARE(QFileInfo::exists(newFile), newExists);
        if (newExists)
            QCOMPARE(contentOf(newFile), QByteArray("mío"));
    }
};

QTEST_GUILESS_MAIN(tst_RecorvanDb)
#include "tst_recorvandb.moc"
