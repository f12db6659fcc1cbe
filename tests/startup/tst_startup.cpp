#include "base/globals.h"
#include "base/regional.h"
#include "data/connection.h"
#include "startup/databaseclaim.h"
#include "startup/startup.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

#include <sys/stat.h>

namespace {

enum Breakage {
    LinkToNowhere,
    Text,
    Empty,
    Folder,
    Foreign,
    Pipe,
    NoLinesTable,
    NoStockColumn,
    NoSettingsRow,
    NewerFormat,
    Immutable,
    SecondCopy,
};

QByteArray checksum(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// What start-up may have left beside the database.
QStringList besideTheFile(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

const QString update = QStringLiteral("UPDATE SETUP SET EMPRESA = ?, RECORVAN = ?, ULTIMO_PEDIDO = ?");

// The window factory Main calls once the settings are read: it notes the counter it saw.
auto noteCounter(QString &counter)
{
    return [&counter]() -> QWidget * {
        counter = strULTIMO_PEDIDO;
        return nullptr;
    };
}

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Regional::setCurrent(Regional::commaDayFirst()); }
    void cleanup() { CierroConexion(); }

    void readsTheSettingsRow_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QString>("expected"); // company|seller|counter
        QTest::newRow("counter 15") << update << QVariantList{"Núñez S.A.", "Ana", 15} << "Núñez S.A.|Ana|15";
        QTest::newRow("missing values") << update << QVariantList{{}, {}, {}} << "||0";
        QTest::newRow("counter as text with junk") << update << QVariantList{"E", "V", "  42x"} << "E|V|42";
        QTest::newRow("counter without a number") << update << QVariantList{"E", "V", "n/a"} << "E|V|0";
        QTest::newRow("first of two rows")
            << QStringLiteral("INSERT INTO SETUP (EMPRESA, RECORVAN, ULTIMO_PEDIDO) VALUES (?, ?, ?)")
            << QVariantList{"Otra", "Otro", 99} << "Empresa de Prueba|Vendedor de Prueba|15";
    }

    void readsTheSettingsRow()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, values);
        TestDatabase db;
        QVERIFY(db.exec(sql, values));
        QVERIFY(!AbroConexion(db.folder()));
        QTEST(QStringList({strEMPRESA, strRECORVAN, strULTIMO_PEDIDO}).join('|'), "expected");
    }

    // Main on a database copied to a folder with a blank in its name: it opens the copy beside it.
    void startsOnTheDatabaseBesideTheProgram()
    {
        TestDatabase db;
        QVERIFY(db.exec(QStringLiteral("UPDATE SETUP SET ULTIMO_PEDIDO = 7")));
        QTemporaryDir moved;
        const QString elsewhere = QDir(moved.path()).filePath(QStringLiteral("otra carpeta"));
        QVERIFY(QDir().mkpath(elsewhere));
        QVERIFY(QFile::copy(db.path(), QDir(elsewhere).filePath(QStringLiteral("database.mdb"))));
        ScriptedDialogs dialogs;
        QString counter;
        QCOMPARE(Main(elsewhere, noteCounter(counter)), 0);
        QCOMPARE(counter, QStringLiteral("7"));
        QCOMPARE(strRutaBase, QDir::toNativeSeparators(QDir(elsewhere).filePath(QStringLiteral("database.mdb"))));
        QCOMPARE(Connection::pathFromConnectionString(strConexion), strRutaBase);
        QVERIFY(!acnDataBase().isOpen()); // closed again on the way out
    }

    void refusesToStart_data()
    {
        QTest::addColumn<int>("breakage");
        QTest::addColumn<QString>("expectedText");
        // Only a database.mdb that is not there at all starts the first start's questions.
        QTest::newRow("link to nowhere") << int(LinkToNowhere) << "No se encuentra";
        QTest::newRow("text file") << int(Text) << "no es una base de datos";
        QTest::newRow("empty file") << int(Empty) << "no es una base de datos";
        QTest::newRow("folder") << int(Folder) << "carpeta";
        QTest::newRow("another program's database") << int(Foreign) << "Falta la tabla SETUP";
        QTest::newRow("named pipe") << int(Pipe) << "no es un archivo común";
        QTest::newRow("missing table") << int(NoLinesTable) << "LINEAS_PEDIDOS";
        QTest::newRow("missing column") << int(NoStockColumn) << "STK_ACTUAL";
        QTest::newRow("no settings row") << int(NoSettingsRow) << "SETUP";
        QTest::newRow("newer format") << int(NewerFormat) << "versión más nueva";
        QTest::newRow("file that cannot change") << int(Immutable) << "No se puede escribir";
        QTest::newRow("second copy") << int(SecondCopy) << "ya está abierto";
    }

    // A refused start shows one box and leaves the file, and the folder, exactly as they were.
    void refusesToStart()
    {
        QFETCH(int, breakage);
        QFETCH(QString, expectedText);
        TestDatabase db;
        const QByteArray content = breakage == Text ? "COD_ART,DESCRIPCION\nA1,Tornillo\n" : "";
        if (breakage == LinkToNowhere || breakage == Text || breakage == Empty || breakage == Folder
            || breakage == Foreign || breakage == Pipe)
            QVERIFY(QFile::remove(db.path()));
        if (breakage == LinkToNowhere)
            QVERIFY(QFile::link(QDir(db.folder()).filePath(QStringLiteral("borrada.mdb")), db.path()));
        if (breakage == Text || breakage == Empty) {
            QFile file(db.path());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        if (breakage == Folder)
            QVERIFY(QDir(db.folder()).mkdir(QStringLiteral("database.mdb")));
        if (breakage == Foreign) {
            Connection other(QStringLiteral("foreign"));
            QVERIFY(!other.create(db.path()));
            QVERIFY(!other.execute(QStringLiteral("CREATE TABLE NOTAS (TEXTO TEXT)")));
        }
        if (breakage == Pipe)
            QCOMPARE(::mkfifo(QFile::encodeName(db.path()).constData(), 0600), 0);
        if (breakage == NoLinesTable)
            QVERIFY(db.exec(QStringLiteral("DROP TABLE LINEAS_PEDIDOS")));
        if (breakage == NoStockColumn)
            QVERIFY(db.exec(QStringLiteral("ALTER TABLE ARTICULOS DROP COLUMN STK_ACTUAL")));
        if (breakage == NoSettingsRow)
            QVERIFY(db.exec(QStringLiteral("DELETE FROM SETUP")));
        if (breakage == NewerFormat)
            QVERIFY(db.exec(QStringLiteral("UPDATE SCHEMA_VERSION SET VERSION = 99")));
        DatabaseClaim firstCopy;
        if (breakage == SecondCopy)
            QVERIFY(!firstCopy.claim(db.path()));
        if (breakage == Immutable
            && QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), db.path()}) != 0)
            QSKIP("This file system cannot make a file immutable.");
        auto mutableAgain = qScopeGuard([&] {
            if (breakage == Immutable)
                QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), db.path()});
        });
        const QByteArray before = checksum(db.path());
        const QStringList filesBefore = besideTheFile(db.folder());

        ScriptedDialogs dialogs;
        dialogs.answerMessage(Dialogs::Ok);
        QString counter = QStringLiteral("no window");
        QVERIFY(Main(db.folder(), noteCounter(counter)) != 0);
        QCOMPARE(counter, QStringLiteral("no window"));
        QVERIFY(!acnDataBase().isOpen());
        QCOMPARE(dialogs.messages().size(), 1);
        const Dialogs::Message shown = dialogs.messages().first();
        QCOMPARE(shown.icon, Dialogs::Critical);
        QCOMPARE(shown.title, QStringLiteral("Recorvan"));
        QVERIFY2(shown.text.contains(expectedText), qPrintable(shown.text));
        QVERIFY2(shown.text.contains(QRegularExpression(QStringLiteral("Error \\d+:"))), qPrintable(shown.text));
        QCOMPARE(checksum(db.path()), before);
        QCOMPARE(besideTheFile(db.folder()), filesBefore);
        QCOMPARE(QFile(db.path()).fileName(), db.path());
        if (breakage == Text || breakage == Empty) {
            QFile file(db.path());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), content);
        }
    }
};

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
