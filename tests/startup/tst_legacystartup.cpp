#include "base/globals.h"
#include "base/regional.h"
#include "data/connection.h"
#include "startup/legacyconversion.h"
#include "startup/startup.h"
#include "support/scripteddialogs.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QWidget>
#include <QtTest>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The fixture with the byte at offset flipped by mask, as a damaged copy would hold it; empty
// when the fixture is not there.
QByteArray damagedFixture(int offset, int mask)
{
    QByteArray content = contentOf(TestDatabase::jetFixture());
    if (offset >= content.size())
        return {};
    content[offset] = char(content.at(offset) ^ mask);
    return content;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Each row of a query on the run's connection, its values joined with '|'.
QStringList rowsOf(const QString &sql, const QVariantList &values = {})
{
    RowSet rows;
    if (acnDataBase().select(sql, values, rows))
        return {QStringLiteral("(error)")};
    QStringList result;
    for (int i = 0; i < rows.count(); ++i) {
        QStringList fields;
        for (const QString &column : rows.columns())
            fields << rows.text(i, column);
        result << fields.join('|');
    }
    return result;
}

} // namespace

class tst_LegacyStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Regional::setCurrent(Regional::commaDayFirst()); }
    void cleanup() { CierroConexion(); }

    // Yes: the original is kept beside, byte for byte and never over an earlier one, and the
    // program starts on the converted database, then and on the next start without asking.
    void convertsAndStartsOnTheNewDatabase()
    {
        REQUIRE_FIXTURE(TestDatabase::jetFixture());
        QTemporaryDir folder;
        QVERIFY(QFile::copy(TestDatabase::jetFixture(), folder.filePath("database.mdb")));
        QVERIFY(writeFile(folder.filePath("database-anterior.mdb"), "una conversión anterior"));
        ScriptedDialogs dialogs;
        dialogs.answerMessage(Dialogs::Yes).answerMessage(Dialogs::Ok);
        QStringList seen;
        const int result = Main(folder.path(), [&]() -> QWidget * {
            seen << rowsOf(QStringLiteral("SELECT EMPRESA, RECORVAN, ULTIMO_PEDIDO FROM SETUP"))
                 << rowsOf(QStringLiteral("SELECT NOMBRE FROM CLIENTES ORDER BY NOMBRE"))
                 << rowsOf(QStringLiteral("SELECT NOMBRE FROM CLIENTES WHERE NOMBRE LIKE ?"), {"%ñandú%"})
                 << rowsOf(QStringLiteral("SELECT P.CLIENTE, P.FECHA, L.NRO_LINEA, A.DESCRIPCION, L.CANTIDAD, "
                                          "L.P_UNITARIO, L.DETALLES FROM PEDIDOS P, LINEAS_PEDIDOS L, ARTICULOS A "
                                          "WHERE P.NRO_PEDIDO = L.NRO_PEDIDO AND L.COD_ART = A.COD_ART "
                                          "AND P.NRO_PEDIDO = ? ORDER BY L.NRO_LINEA"),
                        {1041});
            return nullptr;
        });
        QCOMPARE(result, 0);
        QCOMPARE(seen,
            QStringList({"Distribuidora Núñez S.A.|Añadir ñandú €|1042", "Ascii Only Ltd", "Comercial \"El Ñandú\"",
                QStringLiteral("Emoji ") + QString::fromUcs4(U"\U0001F600") + QStringLiteral(" fuera del BMP"),
                "José Núñez", "Comercial \"El Ñandú\"",
                "José Núñez|2004-08-20|1|Descripción: cañería de ½\" con válvula|3|12.5|Descripción extra",
                "José Núñez|2004-08-20|2|Precisión 0.1|1|0.1|"}));
        QCOMPARE(dialogs.messages().size(), 2);
        QCOMPARE(dialogs.messages().at(0).buttons, Dialogs::Yes | Dialogs::No);
        QVERIFY(dialogs.messages().at(0).text.contains(QStringLiteral("database-anterior-2.mdb")));
        QVERIFY2(dialogs.messages().at(1).text.contains(QStringLiteral("ARTICULOS: 7 filas leídas, 7 escritas.")),
            qPrintable(dialogs.messages().at(1).text));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
            QStringList({"database-anterior-2.mdb", "database-anterior.mdb", "database.mdb"}));
        QCOMPARE(contentOf(folder.filePath("database-anterior-2.mdb")), contentOf(TestDatabase::jetFixture()));
        QCOMPARE(contentOf(folder.filePath("database-anterior.mdb")), QByteArray("una conversión anterior"));

        ScriptedDialogs again;
        QCOMPARE(Main(folder.path(), [] { return static_cast<QWidget *>(nullptr); }), 0);
        QVERIFY(again.shown().isEmpty());
    }

    // A damaged copy gives up none of its articles: the user is asked, with the numbers, whether
    // to go on without them. Yes starts on the new file; No leaves only the original, as it was.
    void asksBeforeGoingOnWithoutLostRows_data()
    {
        QTest::addColumn<bool>("goOn");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }

    void asksBeforeGoingOnWithoutLostRows()
    {
        QFETCH(bool, goOn);
        REQUIRE_FIXTURE(TestDatabase::jetFixture());
        QTemporaryDir folder;
        const QByteArray damaged = damagedFixture(139268, 0xff);
        QVERIFY(writeFile(folder.filePath("database.mdb"), damaged));
        ScriptedDialogs dialogs;
        dialogs.answerMessage(Dialogs::Yes).answerMessage(goOn ? Dialogs::Yes : Dialogs::No);
        if (goOn)
            dialogs.answerMessage(Dialogs::Ok);
        QStringList seen;
        const int result = Main(folder.path(), [&]() -> QWidget * {
            seen << rowsOf(QStringLiteral("SELECT (SELECT COUNT(*) FROM ARTICULOS), (SELECT COUNT(*) FROM CLIENTES)"));
            return nullptr;
        });
        QCOMPARE(result, goOn ? 0 : 1);
        QCOMPARE(seen, goOn ? QStringList{"0|4"} : QStringList());
        QCOMPARE(dialogs.messages().size(), goOn ? 3 : 2);
        const Dialogs::Message question = dialogs.messages().at(1);
        QCOMPARE(question.buttons, Dialogs::Yes | Dialogs::No);
        QVERIFY2(question.text.contains(QStringLiteral("ARTICULOS: el archivo dice tener 7 filas y se pudieron leer 0; "
                                                       "faltan 7.")),
            qPrintable(question.text));
        QVERIFY(!question.text.contains(QStringLiteral("Todas las filas")));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
            goOn ? QStringList({"database-anterior.mdb", "database.mdb"}) : QStringList{"database.mdb"});
        QCOMPARE(contentOf(folder.filePath(goOn ? "database-anterior.mdb" : "database.mdb")), damaged);
    }

    // Each way the conversion does not happen: the program ends with a message, the file untouched.
    void endsWithTheOriginalUntouched_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty for the Jet fixture
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("expectedText");
        const QByteArray damaged = QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(3000, '\x11');
        QTest::newRow("declined") << QByteArray() << false << false << "recorvan-db migrate";
        QTest::newRow("damaged file") << damaged << true << false << "quedó como estaba";
        QTest::newRow("file that crashes libmdb")
            << damagedFixture(147511, 0x61) << true << false << "su lectura se interrumpió";
        QTest::newRow("not a database") << QByteArray("COD_ART,DESCRIPCION\nA1,Tornillo\n") << false << false
                                        << "no es una base de datos";
        QTest::newRow("read-only folder") << QByteArray() << true << true << "solo lectura";
    }

    void endsWithTheOriginalUntouched()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, yes);
        QFETCH(bool, readOnly);
        QFETCH(QString, expectedText);
        QTemporaryDir dir;
        const QString folder = dir.filePath("programa");
        const QString database = QDir(folder).filePath("database.mdb");
        QVERIFY(QDir().mkpath(folder));
        if (content.isEmpty()) {
            REQUIRE_FIXTURE(TestDatabase::jetFixture());
            content = contentOf(TestDatabase::jetFixture());
        }
        QVERIFY(writeFile(database, content));
        // Tests run as root, for whom permission bits do not stop writing; the immutable
        // attribute does. Where neither can be set, the case cannot be shown here.
        const auto unlock = qScopeGuard([&folder] {
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        });
        if (readOnly) {
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder});
            if (writeFile(QDir(folder).filePath("probe"), "x")) {
                QFile::remove(QDir(folder).filePath("probe"));
                QSKIP("The folder cannot be made read-only here (no chattr, or a file system without it).");
            }
        }
        const bool isJet = Connection::fileKind(database) == Connection::FileKind::Jet;
        ScriptedDialogs dialogs;
        if (isJet)
            dialogs.answerMessage(yes ? Dialogs::Yes : Dialogs::No);
        dialogs.answerMessage(Dialogs::Ok);
        bool windowMade = false;
        QVERIFY(Main(folder, [&windowMade]() -> QWidget * {
            windowMade = true;
            return nullptr;
        }) != 0);
        QVERIFY(!windowMade);
        QVERIFY(!acnDataBase().isOpen());
        QCOMPARE(dialogs.messages().size(), isJet ? 2 : 1);
        QVERIFY2(dialogs.messages().last().text.contains(expectedText), qPrintable(dialogs.messages().last().text));
        if (yes || !isJet)
            QCOMPARE(dialogs.messages().last().icon, Dialogs::Critical);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"database.mdb"}));
        QCOMPARE(contentOf(database), content);
    }
};

QTEST_MAIN(tst_LegacyStartup)
#include "tst_legacystartup.moc"
