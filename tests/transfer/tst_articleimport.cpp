#include "base/regional.h"
#include "data/connection.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"
#include "transfer/articleimport.h"
#include "transfer/frmtransferencia.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>

namespace {

const QString successQuestion
    = QStringLiteral("La importación se realizó exitosamente.\nDesea eliminar el archivo importado?.");
const QString refuseMalo = QStringLiteral(
    "CREATE TRIGGER refuse_%1 BEFORE %1 ON ARTICULOS WHEN NEW.COD_ART = 'MALO' BEGIN SELECT RAISE(ABORT, "
    "'rechazado'); END");

// Answers every box with its last button, for files whose boxes cannot be foreseen.
class AnswerAnything : public Dialogs
{
public:
    AnswerAnything() { Dialogs::setCurrent(this); }
    ~AnswerAnything() override { Dialogs::setCurrent(nullptr); }
    int boxes = 0;

protected:
    Dialogs::Button showMessage(const Message &box) override
    {
        ++boxes;
        return box.buttons.testFlag(Dialogs::Cancel) ? Dialogs::Cancel
            : box.buttons.testFlag(Dialogs::No)      ? Dialogs::No
                                                     : Dialogs::Ok;
    }
    QString showInput(const Input &) override { return {}; }
    QString showOpenFile(const OpenFile &) override { return {}; }
    QString showSaveFile(const SaveFile &) override { return {}; }
    int showChoice(const Choice &box) override { return box.escapeOption; }
    std::optional<QStringList> showForm(const Form &) override { return std::nullopt; }
};

} // namespace

class tst_ArticleImport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void addsNewReplacesExistingKeepsTheLastOfTwice();
    void stockIsRoundedToEven_data();
    void stockIsRoundedToEven();
    void badRecordsAreReportedAndLeftOut_data();
    void badRecordsAreReportedAndLeftOut();
    void deletionQuestionBothWays_data();
    void deletionQuestionBothWays();
    void missingFileIsNamed_data();
    void missingFileIsNamed();
    void givenUpWriteKeepsTheOthers_data();
    void givenUpWriteKeepsTheOthers();
    void lostBatchIsWrittenAgain();
    void sameFailureAgainStopsTheImport();
    void noFileContentEndsTheProgram_data();
    void noFileContentEndsTheProgram();

private:
    QString writeList(const QByteArray &bytes) const;
    // Opens the window in import mode on the path and accepts.
    std::unique_ptr<frmTransferencia> importFile(const QString &path) const;
    QVariant article(const QString &code, const QString &column) const;
    int articleCount() const { return m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM ARTICULOS")).toInt(); }

    TestDatabase *m_db = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;
};

void tst_ArticleImport::init()
{
    Regional::setCurrent(Regional::commaDayFirst());
    m_db = new TestDatabase;
    QVERIFY(m_db->isValid());
    QVERIFY(!acnDataBase().open(m_db->path()));
    frmTransferencia::setTransferFolder(m_db->folder());
    m_dialogs = new ScriptedDialogs;
}

void tst_ArticleImport::cleanup()
{
    QCOMPARE(m_dialogs->pendingAnswers(), 0);
    delete m_dialogs;
    acnDataBase().close();
    frmTransferencia::setTransferFolder({});
    delete m_db;
}

QString tst_ArticleImport::writeList(const QByteArray &bytes) const
{
    const QString path = QDir(m_db->folder()).filePath(QStringLiteral("entrada.dat"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qWarning() << "cannot write" << path;
    return path;
}

std::unique_ptr<frmTransferencia> tst_ArticleImport::importFile(const QString &path) const
{
    auto window = std::make_unique<frmTransferencia>();
    window->setMode(QStringLiteral("I"));
    window->show();
    window->findChild<QLineEdit *>(QStringLiteral("txtArchivo"))->setText(path);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdAceptar")), Qt::LeftButton);
    return window;
}

QVariant tst_ArticleImport::article(const QString &code, const QString &column) const
{
    // Column names are this test's own constants.
    return m_db->scalar(
        QStringLiteral("SELECT ") + column + QStringLiteral(" FROM ARTICULOS WHERE COD_ART = ?"), {code});
}

void tst_ArticleImport::addsNewReplacesExistingKeepsTheLastOfTwice()
{
    QVERIFY(m_db->exec(QStringLiteral("INSERT INTO ARTICULOS VALUES ('A-1', 'viejo', 'Vieja', 500, 1, '2001-01-01')")));
    QVERIFY(m_db->exec(QStringLiteral("INSERT INTO ARTICULOS VALUES ('Z-9', 'z', 'Intacto', 9, 9.5, '2001-01-01')")));
    // Windows-1252 text, as the office's lists come.
    const QString path = writeList("\"A-1\",\"F-100\",\"Ca\xF1o 1/2\",120,\"15,50\",20/08/2004\r\n"
                                   "\"B-2\",\"uno\",\"Codo, 90\xB0\",7,\"1.234,5\",1/9/2004\r\n"
                                   "\"B-2\",\"dos\",\"Segundo\",8,\"2\",2/9/2004\r\n");
    m_dialogs->answerMessage(Dialogs::No);
    importFile(path);

    QCOMPARE(articleCount(), 3);
    QCOMPARE(article("A-1", "COD_PROPIO || '|' || DESCRIPCION || '|' || STK_ACTUAL || '|' || FECHA_ACT").toString(),
        QStringLiteral("F-100|Caño 1/2|120|2004-08-20"));
    QCOMPARE(article("A-1", "P_UNITARIO").toDouble(), 15.5);
    QCOMPARE(article("B-2", "COD_PROPIO || '|' || DESCRIPCION || '|' || STK_ACTUAL").toString(),
        QStringLiteral("dos|Segundo|8"));
    QCOMPARE(article("Z-9", "DESCRIPCION").toString(), QStringLiteral("Intacto"));
    QCOMPARE(m_dialogs->messages().at(0).text, successQuestion);
    QCOMPARE(m_dialogs->messages().at(0).buttons, Dialogs::Yes | Dialogs::No);
}

void tst_ArticleImport::stockIsRoundedToEven_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("expected");
    QTest::newRow("12.7") << QByteArray("12.7") << 13;
    QTest::newRow("12.5") << QByteArray("12.5") << 12;
    QTest::newRow("13.5") << QByteArray("13.5") << 14;
    QTest::newRow("abc") << QByteArray("abc") << 0;
    QTest::newRow("quoted comma decimal") << QByteArray("\"12,7\"") << 12;
}

void tst_ArticleImport::stockIsRoundedToEven()
{
    QFETCH(QByteArray, field);
    QFETCH(int, expected);
    const QString path = writeList("\"S\",\"p\",\"d\"," + field + ",\"1\",1/1/2004\n");
    m_dialogs->answerMessage(Dialogs::No);
    importFile(path);
    QCOMPARE(article("S", "STK_ACTUAL").toInt(), expected);
}

void tst_ArticleImport::badRecordsAreReportedAndLeftOut_data()
{
    QTest::addColumn<QByteArray>("middle");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("stored");
    QTest::newRow("price not a number") << QByteArray("\"M\",\"p\",\"d\",1,\"abc\",1/1/2004\n")
                                        << "Línea 3: el precio «abc» no es un número." << 2;
    QTest::newRow("date not a date") << QByteArray("\"M\",\"p\",\"d\",1,\"2\",31/13/2004\n")
                                     << "Línea 3: la fecha «31/13/2004» no es una fecha válida." << 2;
    QTest::newRow("stock out of range") << QByteArray("\"M\",\"p\",\"d\",1e12,\"2\",1/1/2004\n")
                                        << "Línea 3: la existencia «1e12» está fuera de rango." << 2;
    QTest::newRow("stock beyond any number") << QByteArray("\"M\",\"p\",\"d\",1e400,\"2\",1/1/2004\n")
                                             << "Línea 3: la existencia «1e400» está fuera de rango." << 2;
    QTest::newRow("unclosed quote") << QByteArray("\"M,p,d,1,2,1/1/2004\n")
                                    << "Línea 3: falta cerrar las comillas de un campo." << 1;
}

void tst_ArticleImport::badRecordsAreReportedAndLeftOut()
{
    QFETCH(QByteArray, middle);
    QFETCH(QString, reason);
    QFETCH(int, stored);
    const QString path
        = writeList("\"A\",\"p\",\"d\",1,\"1,5\",1/1/2004\n\n" + middle + "\"Z\",\"p\",\"d\",1,\"2,5\",2/1/2004\n");
    m_dialogs->answerMessage(Dialogs::Ok);
    std::unique_ptr<frmTransferencia> window = importFile(path);

    QCOMPARE(article("A", "P_UNITARIO").toDouble(), 1.5);
    QVERIFY(!article("M", "COD_ART").isValid());
    QCOMPARE(articleCount(), stored);
    const Dialogs::Message message = m_dialogs->messages().at(0);
    QVERIFY2(message.text.contains(reason), qPrintable(message.text));
    QVERIFY(message.text.contains(QDir::toNativeSeparators(path)));
    QCOMPARE(message.icon, Dialogs::Warning);
    // A failure keeps the file and offers nothing.
    QVERIFY(QFile::exists(path));
    QVERIFY(window->isVisible());
}

void tst_ArticleImport::deletionQuestionBothWays_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("yes");
    QTest::newRow("empty file, deleted") << QByteArray() << true;
    QTest::newRow("one record, kept") << QByteArray("A,B,C,1,\"2\",3/3/2003\n") << false;
}

void tst_ArticleImport::deletionQuestionBothWays()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, yes);
    const QString path = writeList(bytes);
    m_dialogs->answerMessage(yes ? Dialogs::Yes : Dialogs::No);
    std::unique_ptr<frmTransferencia> window = importFile(path);
    QCOMPARE(articleCount(), bytes.isEmpty() ? 0 : 1);
    QCOMPARE(m_dialogs->messages().at(0).text, successQuestion);
    QCOMPARE(QFile::exists(path), !yes);
    QCOMPARE(window->isVisible(), !yes);
    // A second click does nothing: one import for each opening.
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdAceptar")), Qt::LeftButton);
    QCOMPARE(m_dialogs->messages().size(), 1);
}

void tst_ArticleImport::missingFileIsNamed_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("why");
    QTest::newRow("missing") << "no-existe.dat"
                             << "el archivo no existe";
    QTest::newRow("a folder") << "carpeta"
                              << "es una carpeta";
}

void tst_ArticleImport::missingFileIsNamed()
{
    QFETCH(QString, name);
    QFETCH(QString, why);
    QVERIFY(QDir(m_db->folder()).mkpath(QStringLiteral("carpeta")));
    const QString path = QDir::toNativeSeparators(QDir(m_db->folder()).filePath(name));
    m_dialogs->answerMessage(Dialogs::Ok);
    std::unique_ptr<frmTransferencia> window = importFile(path);
    QCOMPARE(m_dialogs->messages().at(0).text,
        QStringLiteral("No se pudo abrir el archivo de artículos '%1': %2.").arg(path, why));
    QCOMPARE(m_dialogs->messages().at(0).icon, Dialogs::Critical);
    QVERIFY(window->isVisible());
}

void tst_ArticleImport::givenUpWriteKeepsTheOthers_data()
{
    QTest::addColumn<bool>("existing");
    QTest::addColumn<bool>("retry");
    QTest::addColumn<QString>("message");
    QTest::newRow("insert given up") << false << false << "Ocurrio un error al importar los artículos(insert).";
    QTest::newRow("update given up") << true << false << "Ocurrio un error al importar los artículos(update).";
    QTest::newRow("retried once the fault is gone") << false << true << successQuestion;
}

void tst_ArticleImport::givenUpWriteKeepsTheOthers()
{
    QFETCH(bool, existing);
    QFETCH(bool, retry);
    QFETCH(QString, message);
    if (existing)
        QVERIFY(m_db->exec(QStringLiteral("INSERT INTO ARTICULOS VALUES ('MALO', '', 'Viejo', 1, 1, NULL)")));
    QVERIFY(m_db->exec(refuseMalo.arg(QStringLiteral("INSERT"))));
    QVERIFY(m_db->exec(refuseMalo.arg(QStringLiteral("UPDATE"))));
    const QString path = writeList("A,p,d,1,\"1\",1/1/2004\nMALO,p,Nuevo,1,\"1\",1/1/2004\nZ,p,d,1,\"1\",1/1/2004\n");
    if (retry)
        m_dialogs->answerMessage(
            Dialogs::Retry, [] { QVERIFY(!acnDataBase().execute(QStringLiteral("DROP TRIGGER refuse_INSERT"))); });
    else
        m_dialogs->answerMessage(Dialogs::Cancel);
    m_dialogs->answerMessage(retry ? Dialogs::No : Dialogs::Ok);
    importFile(path);

    QVERIFY(article("A", "COD_ART").isValid());
    QVERIFY(article("Z", "COD_ART").isValid());
    QCOMPARE(articleCount(), existing || retry ? 3 : 2);
    const QList<Dialogs::Message> messages = m_dialogs->messages();
    QCOMPARE(messages.size(), 2);
    QVERIFY(messages[0].title.startsWith(QStringLiteral("Error: ")));
    QCOMPARE(messages[0].text, QStringLiteral("rechazado"));
    QCOMPARE(messages[1].text, message);
    QVERIFY(QFile::exists(path));
}

void tst_ArticleImport::lostBatchIsWrittenAgain()
{
    // A failure that makes the engine throw the open batch away: the articles before it are
    // written again, one by one.
    QVERIFY(m_db->exec(QStringLiteral("CREATE TABLE FAULT (ARMED INTEGER)")));
    QVERIFY(m_db->exec(QStringLiteral("INSERT INTO FAULT VALUES (1)")));
    QVERIFY(m_db->exec(QStringLiteral("CREATE TRIGGER lose BEFORE INSERT ON ARTICULOS WHEN NEW.COD_ART = 'C' AND "
                                      "(SELECT ARMED FROM FAULT) = 1 BEGIN SELECT RAISE(ROLLBACK, 'perdido'); END")));
    const QString path = writeList("A,p,d,1,\"1\",1/1/2004\nB,p,d,2,\"1\",1/1/2004\nC,p,d,3,\"1\",1/1/2004\n"
                                   "D,p,d,4,\"1\",1/1/2004\n");
    // The first retry still fails; the second finds the fault gone.
    m_dialogs->answerMessage(Dialogs::Retry)
        .answerMessage(
            Dialogs::Retry, [] { QVERIFY(!acnDataBase().execute(QStringLiteral("UPDATE FAULT SET ARMED = 0"))); })
        .answerMessage(Dialogs::No);
    importFile(path);
    QCOMPARE(articleCount(), 4);
    QCOMPARE(m_db->scalar(QStringLiteral("SELECT SUM(STK_ACTUAL) FROM ARTICULOS")).toInt(), 10);
}

// A store that refuses every write, as a full disk does: after the first article given up, the
// next failing the same way offers to stop instead of asking again for every record.
void tst_ArticleImport::sameFailureAgainStopsTheImport()
{
    for (const char *write : {"INSERT", "UPDATE"}) {
        QVERIFY(m_db->exec(QStringLiteral("CREATE TRIGGER full_%1 BEFORE %1 ON ARTICULOS WHEN NEW.COD_ART <> 'A' "
                                          "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END")
                               .arg(QString::fromLatin1(write))));
    }
    const QString path = writeList("A,p,d,1,\"1\",1/1/2004\nB,p,d,1,\"1\",1/1/2004\nC,p,d,1,\"1\",1/1/2004\n"
                                   "D,p,d,1,\"1\",1/1/2004\nE,p,d,1,\"1\",1/1/2004\n");
    m_dialogs->answerMessage(Dialogs::Cancel)
        .answerMessage(Dialogs::Ok)
        .answerMessage(Dialogs::Yes)
        .answerMessage(Dialogs::Ok);
    std::unique_ptr<frmTransferencia> window = importFile(path);

    const QList<Dialogs::Message> shown = m_dialogs->messages();
    QCOMPARE(shown.size(), 4);
    QCOMPARE(shown[0].text, QStringLiteral("database or disk is full")); // B: Retry/Cancel
    QCOMPARE(shown[1].text, QStringLiteral("Ocurrio un error al importar los artículos(insert)."));
    QVERIFY2(shown[2].text.contains(QStringLiteral("línea 3")) && shown[2].buttons == (Dialogs::Yes | Dialogs::No),
        qPrintable(shown[2].text)); // C fails the same way
    QVERIFY2(
        shown[3].text.contains(QStringLiteral("Artículos guardados: 1; sin guardar: 2.")), qPrintable(shown[3].text));
    QCOMPARE(articleCount(), 1);
    QVERIFY(QFile::exists(path));
    QVERIFY(window->isVisible());
}

void tst_ArticleImport::noFileContentEndsTheProgram_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QRandomGenerator random(20041);
    QByteArray noise(200000, Qt::Uninitialized);
    for (char &byte : noise)
        byte = char(random.bounded(256));
    QByteArray commas(200000, Qt::Uninitialized);
    const char alphabet[] = ",,,\"\"\r\n \t0123456789./-e";
    for (char &byte : commas)
        byte = alphabet[random.bounded(int(sizeof(alphabet) - 1))];
    QTest::newRow("random bytes") << noise;
    QTest::newRow("random delimiters and digits") << commas;
    QTest::newRow("one very long field") << QByteArray(3000000, 'x');
    QTest::newRow("huge numbers") << QByteArray("A,B,C,1e308,\"1e309\",99/99/99999\nB,C,D,-1e400,\"-0\",0/0/0\n");
}

void tst_ArticleImport::noFileContentEndsTheProgram()
{
    QFETCH(QByteArray, bytes);
    // The scripted dialogs stay installed for cleanup; these answer in the meantime.
    auto answers = std::make_unique<AnswerAnything>();
    const ArticleImport::Outcome outcome = ArticleImport(writeList(bytes), acnDataBase(), *answers).run();
    QVERIFY(answers->boxes >= 1);
    QVERIFY(outcome.records >= 0);
    answers.reset();
    Dialogs::setCurrent(m_dialogs);
    // The store is still whole and usable.
    QVERIFY(!acnDataBase().execute(QStringLiteral("SELECT COUNT(*) FROM ARTICULOS")));
}

QTEST_MAIN(tst_ArticleImport)
#include "tst_articleimport.moc"
