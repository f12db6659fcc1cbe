#include "app/globals.h"
#include "app/legacyconversion.h"
#include "app/regional.h"
#include "app/startup.h"
#include "data/connection.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QWidget>
#include <QtTest>

namespace {

QString fixture()
{
    return TestDatabase::sharedFolder() + QStringLiteral("/fixtures/legacy-jet4/database.mdb");
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Records which windows were shown, so a test can tell the progress window appeared.
class ShownWindows : public QObject
{
public:
    QStringList names;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
            names << watched->objectName();
        return false;
    }
};

} // namespace

class tst_LegacyStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { CierroConexion(); }

    void convertsAndStartsOnTheNewDatabase();
    void neverOverwritesAnEarlierOriginal();
    void declinedEndsAndSaysHow();
    void failedConversionLeavesTheOriginal();
    void readOnlyFolderLeavesTheOriginal();
    void fileThatIsNoDatabaseIsNotOffered();

private:
    QString m_folder;
    QTemporaryDir m_dir;
    QString newFolder();
};

void tst_LegacyStartup::initTestCase()
{
    Regional::setCurrent(Regional::commaDayFirst());
    if (!QFileInfo::exists(fixture()))
        QSKIP("The shared Jet 4 fixture is not there.");
}

QString tst_LegacyStartup::newFolder()
{
    static int next = 0;
    const QString folder = QDir(m_dir.path()).filePath(QStringLiteral("programa-%1").arg(++next));
    QDir().mkpath(folder);
    return folder;
}

void tst_LegacyStartup::convertsAndStartsOnTheNewDatabase()
{
    const QString folder = newFolder();
    const QString database = QDir(folder).filePath("database.mdb");
    QVERIFY(QFile::copy(fixture(), database));
    const QByteArray original = contentOf(database);

    ScriptedDialogs dialogs;
    dialogs.answerMessage(QMessageBox::Yes).answerMessage(QMessageBox::Ok);
    ShownWindows shown;
    qApp->installEventFilter(&shown);

    QString counter, company, seller;
    QStringList customers, found, reportLines, ordersOfTheDay;
    const int result = Main(folder, [&]() -> QWidget * {
        counter = strULTIMO_PEDIDO;
        company = strEMPRESA;
        seller = strRECORVAN;
        RowSet rows;
        if (!acnDataBase().select(QStringLiteral("select * from CLIENTES order by NOMBRE;"), {}, rows)) {
            for (int i = 0; i < rows.count(); ++i)
                customers << rows.text(i, "NOMBRE");
        }
        if (!acnDataBase().select(
                QStringLiteral("SELECT NOMBRE FROM CLIENTES WHERE NOMBRE LIKE ? ORDER BY NOMBRE"), {"%ñandú%"}, rows)) {
            for (int i = 0; i < rows.count(); ++i)
                found << rows.text(i, "NOMBRE");
        }
        // The order report's join: header, lines and articles, on the two equalities.
        if (!acnDataBase().select(
                QStringLiteral(
                    "SELECT PEDIDOS.CLIENTE, PEDIDOS.FECHA, LINEAS_PEDIDOS.NRO_LINEA, ARTICULOS.DESCRIPCION, "
                    "LINEAS_PEDIDOS.CANTIDAD, LINEAS_PEDIDOS.P_UNITARIO, LINEAS_PEDIDOS.DETALLES "
                    "FROM PEDIDOS, LINEAS_PEDIDOS, ARTICULOS "
                    "WHERE PEDIDOS.NRO_PEDIDO = LINEAS_PEDIDOS.NRO_PEDIDO AND LINEAS_PEDIDOS.COD_ART = "
                    "ARTICULOS.COD_ART "
                    "AND PEDIDOS.NRO_PEDIDO = ? ORDER BY LINEAS_PEDIDOS.NRO_LINEA;"),
                {1041}, rows)) {
            for (int i = 0; i < rows.count(); ++i)
                reportLines << QStringList{rows.text(i, "CLIENTE"), rows.text(i, "FECHA"), rows.text(i, "NRO_LINEA"),
                    rows.text(i, "DESCRIPCION"), rows.text(i, "CANTIDAD"),
                    QString::number(rows.value(i, "P_UNITARIO").toDouble(), 'g', 17), rows.text(i, "DETALLES")}
                                   .join('|');
        }
        if (!acnDataBase().select(
                QStringLiteral("SELECT NRO_PEDIDO FROM PEDIDOS WHERE FECHA = ?"), {"2004-08-20"}, rows)) {
            for (int i = 0; i < rows.count(); ++i)
                ordersOfTheDay << rows.text(i, "NRO_PEDIDO");
        }
        return nullptr;
    });
    qApp->removeEventFilter(&shown);

    QCOMPARE(result, 0);
    QCOMPARE(dialogs.messages().size(), 2);
    const Dialogs::Message question = dialogs.messages().at(0);
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.icon, QMessageBox::Question);
    QVERIFY(question.text.contains(QStringLiteral("database-anterior.mdb")));
    const Dialogs::Message report = dialogs.messages().at(1);
    QVERIFY2(report.text.contains(QStringLiteral("ARTICULOS: 7 filas leídas, 7 escritas.")), qPrintable(report.text));
    QVERIFY(report.text.contains(QStringLiteral("database-anterior.mdb")));
    QVERIFY2(shown.names.contains(QStringLiteral("frmConversion")), qPrintable(shown.names.join(',')));

    // The original is kept beside, byte for byte; the new database took its name.
    QCOMPARE(filesIn(folder), QStringList({"database-anterior.mdb", "database.mdb"}));
    QCOMPARE(contentOf(QDir(folder).filePath("database-anterior.mdb")), original);
    QCOMPARE(Connection::fileKind(database), Connection::FileKind::SQLite);

    QCOMPARE(counter, QStringLiteral("1042"));
    QCOMPARE(company, QStringLiteral("Distribuidora Núñez S.A."));
    QCOMPARE(seller, QStringLiteral("Añadir ñandú €"));
    QCOMPARE(customers,
        QStringList({"Ascii Only Ltd", "Comercial \"El Ñandú\"",
            QStringLiteral("Emoji ") + QString::fromUcs4(U"\U0001F600") + QStringLiteral(" fuera del BMP"),
            "José Núñez"}));
    QCOMPARE(found, QStringList({"Comercial \"El Ñandú\""}));
    QCOMPARE(reportLines,
        QStringList({"José Núñez|2004-08-20|1|Descripción: cañería de ½\" con válvula|3|12.5|Descripción extra",
            "José Núñez|2004-08-20|2|Precisión 0.1|1|0.10000000000000001|"}));
    QCOMPARE(ordersOfTheDay, QStringList({"1041"}));

    // The next start opens the converted database without asking again.
    ScriptedDialogs again;
    bool windowMade = false;
    QCOMPARE(Main(folder,
                 [&]() -> QWidget * {
                     windowMade = true;
                     return nullptr;
                 }),
        0);
    QVERIFY(windowMade);
    QVERIFY(again.shown().isEmpty());
}

void tst_LegacyStartup::neverOverwritesAnEarlierOriginal()
{
    const QString folder = newFolder();
    QVERIFY(QFile::copy(fixture(), QDir(folder).filePath("database.mdb")));
    QVERIFY(writeFile(QDir(folder).filePath("database-anterior.mdb"), "una conversión anterior"));
    QVERIFY(writeFile(QDir(folder).filePath("database-anterior-2.mdb"), "otra"));
    QCOMPARE(QFileInfo(NombreAnterior(folder)).fileName(), QStringLiteral("database-anterior-3.mdb"));

    ScriptedDialogs dialogs;
    dialogs.answerMessage(QMessageBox::Yes).answerMessage(QMessageBox::Ok);
    QCOMPARE(Main(folder, [] { return static_cast<QWidget *>(nullptr); }), 0);
    QCOMPARE(contentOf(QDir(folder).filePath("database-anterior.mdb")), QByteArray("una conversión anterior"));
    QCOMPARE(contentOf(QDir(folder).filePath("database-anterior-2.mdb")), QByteArray("otra"));
    QCOMPARE(contentOf(QDir(folder).filePath("database-anterior-3.mdb")), contentOf(fixture()));
    QVERIFY(dialogs.messages().at(0).text.contains(QStringLiteral("database-anterior-3.mdb")));
}

void tst_LegacyStartup::declinedEndsAndSaysHow()
{
    const QString folder = newFolder();
    const QString database = QDir(folder).filePath("database.mdb");
    QVERIFY(QFile::copy(fixture(), database));
    ScriptedDialogs dialogs;
    dialogs.answerMessage(QMessageBox::No).answerMessage(QMessageBox::Ok);
    bool windowMade = false;
    const int result = Main(folder, [&]() -> QWidget * {
        windowMade = true;
        return nullptr;
    });
    QVERIFY(result != 0);
    QVERIFY(!windowMade);
    QVERIFY(!acnDataBase().isOpen());
    QCOMPARE(dialogs.messages().size(), 2);
    QVERIFY2(dialogs.messages().at(1).text.contains(QStringLiteral("recorvan-db migrate")),
        qPrintable(dialogs.messages().at(1).text));
    QCOMPARE(filesIn(folder), QStringList({"database.mdb"}));
    QCOMPARE(contentOf(database), contentOf(fixture()));
}

void tst_LegacyStartup::failedConversionLeavesTheOriginal()
{
    const QString folder = newFolder();
    const QString database = QDir(folder).filePath("database.mdb");
    const QByteArray broken = QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(3000, '\x11');
    QVERIFY(writeFile(database, broken));
    ScriptedDialogs dialogs;
    dialogs.answerMessage(QMessageBox::Yes).answerMessage(QMessageBox::Ok);
    bool windowMade = false;
    const int result = Main(folder, [&]() -> QWidget * {
        windowMade = true;
        return nullptr;
    });
    QVERIFY(result != 0);
    QVERIFY(!windowMade);
    QCOMPARE(dialogs.messages().size(), 2);
    QCOMPARE(dialogs.messages().at(1).icon, QMessageBox::Critical);
    QVERIFY(dialogs.messages().at(1).text.contains(QStringLiteral("quedó como estaba")));
    QCOMPARE(filesIn(folder), QStringList({"database.mdb"}));
    QCOMPARE(contentOf(database), broken);
}

void tst_LegacyStartup::readOnlyFolderLeavesTheOriginal()
{
    const QString folder = newFolder();
    const QString database = QDir(folder).filePath("database.mdb");
    QVERIFY(QFile::copy(fixture(), database));
    // Tests run as root, for whom permission bits do not stop writing; the immutable
    // attribute does. Where neither can be set, the case cannot be shown here.
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder});
    const auto unlock = qScopeGuard([&folder] {
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    });
    if (writeFile(QDir(folder).filePath("probe"), "x")) {
        QFile::remove(QDir(folder).filePath("probe"));
        QSKIP("The folder cannot be made read-only here (no chattr, or a file system without it).");
    }

    ScriptedDialogs dialogs;
    dialogs.answerMessage(QMessageBox::Yes).answerMessage(QMessageBox::Ok);
    QVERIFY(Main(folder, [] { return static_cast<QWidget *>(nullptr); }) != 0);
    QCOMPARE(dialogs.messages().size(), 2);
    QCOMPARE(dialogs.messages().at(1).icon, QMessageBox::Critical);
    QVERIFY2(dialogs.messages().at(1).text.contains(QStringLiteral("solo lectura")),
        qPrintable(dialogs.messages().at(1).text));
    QCOMPARE(filesIn(folder), QStringList({"database.mdb"}));
    QCOMPARE(contentOf(database), contentOf(fixture()));
}

void tst_LegacyStartup::fileThatIsNoDatabaseIsNotOffered()
{
    const QString folder = newFolder();
    const QString database = QDir(folder).filePath("database.mdb");
    QVERIFY(writeFile(database, "COD_ART,DESCRIPCION\nA1,Tornillo\n"));
    ScriptedDialogs dialogs;
    dialogs.answerMessage(QMessageBox::Ok);
    QVERIFY(Main(folder, [] { return static_cast<QWidget *>(nullptr); }) != 0);
    QCOMPARE(dialogs.messages().size(), 1);
    QCOMPARE(dialogs.messages().first().icon, QMessageBox::Critical);
    QVERIFY(dialogs.messages().first().text.contains(QStringLiteral("no es una base de datos")));
    QCOMPARE(contentOf(database), QByteArray("COD_ART,DESCRIPCION\nA1,Tornillo\n"));
}

QTEST_MAIN(tst_LegacyStartup)
#include "tst_legacystartup.moc"
