#include "base/globals.h"
#include "base/regional.h"
#include "data/connection.h"
#include "startup/databaseclaim.h"
#include "startup/freespace.h"
#include "startup/startup.h"
#include "support/scripteddialogs.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <sys/stat.h>

namespace {

// The older program's fixture with the byte at offset flipped by mask, as a damaged copy would
// hold it; empty when the fixture is not there.
QByteArray damagedFixture(int offset, int mask)
{
    QByteArray content = contentOf(TestDatabase::jetFixture());
    if (offset < content.size())
        content[offset] = char(content.at(offset) ^ mask);
    return content;
}

// A file that calls itself the older program's and holds nothing of one.
QByteArray damagedHeader()
{
    return QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(3000, '\x11');
}

// What start-up may have left in the folder.
QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

// The window factory Main calls once the settings are read: it notes what the desk would show.
auto noteSettings(QString &seen)
{
    return [&seen]() -> QWidget * {
        seen = QStringList{strEMPRESA, strRECORVAN, strULTIMO_PEDIDO}.join('|');
        return nullptr;
    };
}

// The mode of the folder (".") and of each file in it, as "name 600".
QStringList modesIn(const QString &folder)
{
    QStringList modes;
    for (const QString &name : QStringList{QStringLiteral(".")} + filesIn(folder)) {
        struct stat status = {};
        ::stat(QFile::encodeName(QDir(folder).filePath(name)).constData(), &status);
        modes << QStringLiteral("%1 %2").arg(name).arg(status.st_mode & 0777, 0, 8);
    }
    return modes;
}

// Queues the answers: "yes", "no", "ok" to a message, "choose N" (the Nth way), "form A|B|C"
// (the form's texts; "form" alone cancels it), "open PATH" (the file dialog; "open" alone cancels).
void script(ScriptedDialogs &dialogs, const QStringList &answers)
{
    for (const QString &answer : answers) {
        const QString rest = answer.section(' ', 1);
        if (answer.startsWith(QLatin1String("choose")))
            dialogs.answerChoice(rest.toInt());
        else if (answer.startsWith(QLatin1String("form")))
            dialogs.answerForm(rest.isEmpty() ? std::nullopt : std::optional(rest.split('|')));
        else if (answer.startsWith(QLatin1String("open")))
            dialogs.answerOpenFile(rest);
        else
            dialogs.answerMessage(answer == "yes" ? Dialogs::Yes : answer == "no" ? Dialogs::No : Dialogs::Ok);
    }
}

} // namespace

// Main: what it refuses, the first start, and an older program's database.
class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Regional::setCurrent(Regional::commaDayFirst()); }
    void cleanup() { CierroConexion(); }

    void refusesToStart_data()
    {
        QTest::addColumn<QString>("breakage"); // a statement run on the database, or what is done to it
        QTest::addColumn<QString>("expectedText");
        const auto row = [](const char *name, const char *breakage, const char *expected) {
            QTest::newRow(name) << QString::fromUtf8(breakage) << QString::fromUtf8(expected);
        };
        // Only a database.mdb that is not there at all starts the first start's questions.
        row("link to nowhere", "link", "No se encuentra");
        row("text file", "text COD_ART,DESCRIPCION\nA1,Tornillo\n", "no es una base de datos");
        row("empty file", "text", "no es una base de datos");
        row("folder", "folder", "carpeta");
        row("another program's database", "foreign", "Falta la tabla SETUP");
        row("named pipe", "pipe", "no es un archivo común");
        row("missing table", "DROP TABLE LINEAS_PEDIDOS", "LINEAS_PEDIDOS");
        row("missing column", "ALTER TABLE ARTICULOS DROP COLUMN STK_ACTUAL", "STK_ACTUAL");
        row("no settings row", "DELETE FROM SETUP", "SETUP");
        row("newer format", "UPDATE SCHEMA_VERSION SET VERSION = 99", "versión más nueva");
        row("file that cannot change", "immutable", "No se puede escribir");
        row("second copy", "second copy", "ya está abierto");
    }

    // A refused start shows one box and leaves the file, and the folder, exactly as they were.
    void refusesToStart()
    {
        QFETCH(QString, breakage);
        QFETCH(QString, expectedText);
        const QString kind = breakage.section(' ', 0, 0);
        TestDatabase db;
        DatabaseClaim firstCopy;
        if (breakage.at(0).isUpper()) {
            QVERIFY(db.exec(breakage));
        } else if (kind == QLatin1String("second")) {
            QVERIFY(!firstCopy.claim(db.path()));
        } else if (kind == QLatin1String("immutable")) {
            if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), db.path()}) != 0)
                QSKIP("This file system cannot make a file immutable.");
        } else {
            QVERIFY(QFile::remove(db.path()));
            if (kind == QLatin1String("text"))
                QVERIFY(writeFile(db.path(), breakage.section(' ', 1).toUtf8()));
            if (kind == QLatin1String("link"))
                QVERIFY(QFile::link(QDir(db.folder()).filePath(QStringLiteral("borrada.mdb")), db.path()));
            if (kind == QLatin1String("folder"))
                QVERIFY(QDir(db.folder()).mkdir(QStringLiteral("database.mdb")));
            if (kind == QLatin1String("pipe"))
                QCOMPARE(::mkfifo(QFile::encodeName(db.path()).constData(), 0600), 0);
            if (kind == QLatin1String("foreign")) {
                Connection other(QStringLiteral("foreign"));
                QVERIFY_NO_ERROR(other.create(db.path()));
                QVERIFY_NO_ERROR(other.execute(QStringLiteral("CREATE TABLE NOTAS (TEXTO TEXT)")));
            }
        }
        const auto mutableAgain = qScopeGuard([&] {
            if (kind == QLatin1String("immutable"))
                QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), db.path()});
        });
        const QByteArray before = contentOf(db.path());
        const QStringList filesBefore = filesIn(db.folder());

        ScriptedDialogs dialogs;
        dialogs.answerMessage(Dialogs::Ok);
        QString seen;
        QVERIFY(Main(db.folder(), noteSettings(seen)) != 0);
        QCOMPARE(seen, QString()); // no window
        QVERIFY(!acnDataBase().isOpen());
        QCOMPARE(dialogs.messages().size(), 1);
        const Dialogs::Message shown = dialogs.messages().first();
        QCOMPARE(shown.icon, Dialogs::Critical);
        QCOMPARE(shown.title, QStringLiteral("Recorvan"));
        QVERIFY2(shown.text.contains(expectedText), qPrintable(shown.text));
        QVERIFY2(shown.text.contains(QRegularExpression(QStringLiteral("Error \\d+:"))), qPrintable(shown.text));
        QCOMPARE(contentOf(db.path()), before);
        QCOMPARE(filesIn(db.folder()), filesBefore);
    }

    // The database deleted while the window is open (moving it: tst_orderconfirmation): the run
    // ends as failed when the window closes.
    void databaseDeletedWhileOpenEndsAsFailed_data()
    {
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<int>("status");
        QTest::newRow("left in place") << false << 0;
        QTest::newRow("deleted") << true << 1;
    }

    void databaseDeletedWhileOpenEndsAsFailed()
    {
        QFETCH(bool, deleted);
        TestDatabase db;
        ScriptedDialogs dialogs;
        const auto desk = [&] {
            QTimer::singleShot(0, [&] {
                if (deleted)
                    QFile::remove(db.path());
                endRun();
            });
            return new QWidget;
        };
        QTEST(Main(db.folder(), desk), "status");
    }

    // A counter that leaves no number for another order is told at the start; the desk still opens.
    void counterAtItsLimitIsToldAtTheStart()
    {
        TestDatabase db;
        QVERIFY(db.exec(QStringLiteral("UPDATE SETUP SET ULTIMO_PEDIDO = 2147483647")));
        ScriptedDialogs dialogs;
        dialogs.answerMessage(Dialogs::Ok);
        QString seen;
        QCOMPARE(Main(db.folder(), noteSettings(seen)), 0);
        QCOMPARE(seen, QStringLiteral("Empresa de Prueba|Vendedor de Prueba|2147483647"));
        QVERIFY(dialogs.messages().first().text.startsWith(
            QStringLiteral("El contador de pedidos llegó a su límite (último pedido: 2147483647)")));
    }

    // Too little room in the database's folder to take an order: the start refuses, saying so.
    void freeSpace()
    {
        QVERIFY(!freeSpaceRefusal(QStringLiteral("/datos"), 1024 * 1024) && !freeSpaceRefusal("/datos", -1));
        QVERIFY(freeSpaceRefusal(QStringLiteral("/datos"), 20 * 1024)
                    .value_or(QString())
                    .startsWith("En la carpeta de la base de datos '/datos' quedan solo 20 KB libres; hace falta al "
                                "menos 1024 KB"));
    }

    // No database.mdb at all: create one, convert an older file ("open OLD": the older program's
    // fixture), or end.
    void firstStart_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("seen"); // empty when no window is made
        QTest::addColumn<QString>("told"); // a piece of the one message shown, if any
        QTest::newRow("create") << QStringList{"choose 0", "form Núñez S.A.|Ana Peña|100"} << 0
                                << QStringLiteral("Núñez S.A.|Ana Peña|99") << QString();
        QTest::newRow("create after a refused first number")
            << QStringList{"choose 0", "form Núñez S.A.|Ana Peña|0", "ok", "form Núñez S.A.|Ana Peña|1"} << 0
            << QStringLiteral("Núñez S.A.|Ana Peña|0") << QStringLiteral("primer número de pedido");
        QTest::newRow("form cancelled, then end")
            << QStringList{"choose 0", "form", "choose 2"} << 1 << QString() << QString();
        QTest::newRow("convert") << QStringList{"choose 1", "open OLD", "ok"} << 0
                                 << QStringLiteral("Distribuidora Núñez S.A.|Añadir ñandú €|1042")
                                 << QStringLiteral("ARTICULOS: 7 filas leídas, 7 escritas.");
        QTest::newRow("file dialog cancelled, then end")
            << QStringList{"choose 1", "open", "choose 2"} << 1 << QString() << QString();
        // A refused conversion is told, and the three ways are offered again.
        QTest::newRow("not an older database, then create")
            << QStringList{"choose 1", "open ROOT/lista.dat", "ok", "choose 0", "form Núñez S.A.|Ana Peña|100"} << 0
            << QStringLiteral("Núñez S.A.|Ana Peña|99")
            << QStringLiteral("no es una base de datos del programa anterior");
        QTest::newRow("damaged older database, then end") << QStringList{"choose 1", "open ROOT/dañada.mdb", "ok",
            "choose 2"} << 1 << QString() << QStringLiteral("el archivo original quedó como estaba");
    }

    void firstStart()
    {
        QFETCH(QStringList, answers);
        QFETCH(QString, told);
        QTemporaryDir root;
        // The user's data folder (a blank in its path) is not there yet: only a chosen way may make it.
        const QString folder = root.filePath(QStringLiteral("mis datos/Recorvan"));
        const QString old = root.filePath(QStringLiteral("anterior.mdb"));
        if (answers.contains(QStringLiteral("open OLD"))) {
            REQUIRE_FIXTURE(TestDatabase::jetFixture());
            QVERIFY(QFile::copy(TestDatabase::jetFixture(), old));
        }
        QVERIFY(writeFile(root.filePath(QStringLiteral("lista.dat")), "COD_ART,DESCRIPCION\n"));
        QVERIFY(writeFile(root.filePath(QStringLiteral("dañada.mdb")), damagedHeader()));
        ScriptedDialogs dialogs;
        script(dialogs, answers.replaceInStrings(QStringLiteral("OLD"), old).replaceInStrings("ROOT", root.path()));
        // What is made is its owner's alone, whatever the umask: noted while the window would open.
        const auto umaskBack = qScopeGuard([umask = ::umask(0)] { ::umask(umask); });
        QString seen;
        QStringList modes;
        QTEST(Main(folder,
                  [&]() -> QWidget * {
                      RowSet rows; // the desk's first read makes the log beside the file
                      if (!acnDataBase().select(QStringLiteral("SELECT * FROM SETUP"), {}, rows))
                          modes = modesIn(folder);
                      return noteSettings(seen)();
                  }),
            "status");
        QTEST(seen, "seen");
        if (!seen.isEmpty())
            QCOMPARE(modes,
                QStringList({". 700", "database.mdb 600", "database.mdb-shm 600", "database.mdb-wal 600",
                    "database.mdb.lock 600"}));
        QCOMPARE(dialogs.pendingAnswers(), 0);
        const ScriptedDialogs::Shown &question = dialogs.shown().first();
        QCOMPARE(question.kind, ScriptedDialogs::Kind::Choice);
        QVERIFY(question.choice.text.startsWith(QStringLiteral("No hay base de datos. ¿Desea crear una nueva?")));
        QCOMPARE(question.choice.options.size(), 3);
        QCOMPARE(dialogs.messages().size(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty())
            QVERIFY2(dialogs.messages().first().text.contains(told), qPrintable(dialogs.messages().first().text));
        QCOMPARE(QFileInfo::exists(folder), !seen.isEmpty());
        QCOMPARE(filesIn(folder), seen.isEmpty() ? QStringList() : QStringList{QStringLiteral("database.mdb")});
        if (QFileInfo::exists(old))
            QCOMPARE(contentOf(old), contentOf(TestDatabase::jetFixture()));
    }

    // database.mdb is the older program's, an earlier conversion's original beside it. Converted, the
    // new file is started on (also next time, without asking) and the original kept beside it under
    // the first free name; lost rows are asked about; otherwise the original stays untouched.
    void olderDatabase_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty for the older program's fixture
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("told"); // a piece of the messages shown
        const QByteArray lostRows = damagedFixture(139268, 0xff);
        const QString lost = QStringLiteral("ARTICULOS: el archivo dice tener 7 filas y se pudieron leer 0; faltan 7.");
        QTest::newRow("converted") << QByteArray() << QStringList{"yes", "ok"} << 0
                                   << QStringLiteral("ARTICULOS: 7 filas leídas, 7 escritas.");
        QTest::newRow("lost rows, go on") << lostRows << QStringList{"yes", "yes", "ok"} << 0 << lost;
        QTest::newRow("lost rows, stop") << lostRows << QStringList{"yes", "no"} << 1 << lost;
        QTest::newRow("declined") << QByteArray() << QStringList{"no", "ok"} << 1
                                  << QStringLiteral("recorvan-db migrate");
        QTest::newRow("damaged file") << damagedHeader() << QStringList{"yes", "ok"} << 1
                                      << QStringLiteral("quedó como estaba");
        QTest::newRow("file that crashes libmdb") << damagedFixture(147511, 0x61) << QStringList{"yes", "ok"} << 1
                                                  << QStringLiteral("su lectura se interrumpió");
    }

    void olderDatabase()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, answers);
        QFETCH(int, status);
        QFETCH(QString, told);
        if (content.isEmpty()) {
            REQUIRE_FIXTURE(TestDatabase::jetFixture());
            content = contentOf(TestDatabase::jetFixture());
        }
        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath(QStringLiteral("database.mdb")), content));
        QVERIFY(writeFile(folder.filePath(QStringLiteral("database-anterior.mdb")), "una conversión anterior"));
        ScriptedDialogs dialogs;
        script(dialogs, answers);
        QString seen;
        QTEST(Main(folder.path(), noteSettings(seen)), "status");
        QCOMPARE(seen, status == 0 ? QStringLiteral("Distribuidora Núñez S.A.|Añadir ñandú €|1042") : QString());
        QVERIFY(!acnDataBase().isOpen());
        const QList<Dialogs::Message> messages = dialogs.messages();
        QCOMPARE(messages.size(), answers.size());
        QVERIFY2(messages.first().text.contains(QStringLiteral("database-anterior-2.mdb")),
            qPrintable(messages.first().text));
        QString all;
        for (qsizetype i = 0; i < messages.size(); ++i) {
            QCOMPARE(messages.at(i).buttons,
                answers.at(i) == QLatin1String("ok") ? Dialogs::Buttons(Dialogs::Ok) : Dialogs::Yes | Dialogs::No);
            all += messages.at(i).text + '\n';
        }
        QVERIFY2(all.contains(told), qPrintable(all));
        QVERIFY2(!told.contains(QStringLiteral("faltan")) || !all.contains(QStringLiteral("Todas las filas")),
            qPrintable(all));
        if (status != 0 && answers.first() == QLatin1String("yes") && answers.last() == QLatin1String("ok"))
            QCOMPARE(messages.last().icon, Dialogs::Critical);
        const QStringList earlier{QStringLiteral("database-anterior.mdb"), QStringLiteral("database.mdb")};
        QCOMPARE(filesIn(folder.path()),
            status == 0 ? QStringList{QStringLiteral("database-anterior-2.mdb")} + earlier : earlier);
        QCOMPARE(contentOf(folder.filePath(status == 0 ? "database-anterior-2.mdb" : "database.mdb")), content);
        QCOMPARE(
            contentOf(folder.filePath(QStringLiteral("database-anterior.mdb"))), QByteArray("una conversión anterior"));
        if (status == 0) {
            ScriptedDialogs again;
            QCOMPARE(Main(folder.path(), noteSettings(seen)), 0);
            QVERIFY(again.shown().isEmpty());
        }
    }
};

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
