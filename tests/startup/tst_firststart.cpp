#include "base/globals.h"
#include "base/regional.h"
#include "startup/startup.h"
#include "support/scripteddialogs.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QWidget>
#include <QtTest>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_FirstStart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Regional::setCurrent(Regional::commaDayFirst()); }
    void cleanup() { CierroConexion(); }

    // Each answer: "choose N" (the question's Nth way), "form A|B|C" (the form's texts; "form"
    // alone cancels it), "open PATH" (the file dialog; "open OLD" is the older fixture, "open"
    // alone cancels), "message" (Ok to a message).
    void threeWays_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("settings"); // company|salesperson|last order as the desk reads them
        QTest::addColumn<QString>("told"); // a piece of the one message shown, if any
        QTest::newRow("create") << QStringList{"choose 0", "form Núñez S.A.|Ana Peña|100"} << 0
                                << "Núñez S.A.|Ana Peña|99"
                                << "";
        QTest::newRow("create after a refused first number")
            << QStringList{"choose 0", "form Núñez S.A.|Ana Peña|0", "message", "form Núñez S.A.|Ana Peña|1"} << 0
            << "Núñez S.A.|Ana Peña|0"
            << "primer número de pedido";
        QTest::newRow("form cancelled, then end") << QStringList{"choose 0", "form", "choose 2"} << 1 << ""
                                                  << "";
        QTest::newRow("convert") << QStringList{"choose 1", "open OLD", "message"} << 0
                                 << "Distribuidora Núñez S.A.|Añadir ñandú €|1042"
                                 << "ARTICULOS: 7 filas leídas, 7 escritas.";
        QTest::newRow("file dialog cancelled, then end") << QStringList{"choose 1", "open", "choose 2"} << 1 << ""
                                                         << "";
        QTest::newRow("end") << QStringList{"choose 2"} << 1 << ""
                             << "";
    }

    void threeWays()
    {
        QFETCH(QStringList, answers);
        QFETCH(int, status);
        QFETCH(QString, settings);
        QFETCH(QString, told);
        QTemporaryDir root;
        // The user's data folder is not there yet: only a chosen way may make it.
        const QString folder = root.filePath(QStringLiteral("datos/Recorvan"));
        const QString old = root.filePath(QStringLiteral("anterior.mdb"));
        ScriptedDialogs dialogs;
        for (const QString &answer : answers) {
            const QString kind = answer.section(' ', 0, 0);
            const QString rest = answer.section(' ', 1);
            if (kind == QLatin1String("choose")) {
                dialogs.answerChoice(rest.toInt());
            } else if (kind == QLatin1String("form")) {
                dialogs.answerForm(rest.isEmpty() ? std::nullopt : std::optional(rest.split('|')));
            } else if (kind == QLatin1String("open")) {
                if (rest == QLatin1String("OLD")) {
                    REQUIRE_FIXTURE(TestDatabase::jetFixture());
                    QVERIFY(QFile::copy(TestDatabase::jetFixture(), old));
                    dialogs.answerOpenFile(old);
                } else {
                    dialogs.answerOpenFile(rest);
                }
            } else {
                dialogs.answerMessage(Dialogs::Ok);
            }
        }

        QString seen;
        QCOMPARE(Main(folder,
                     [&seen]() -> QWidget * {
                         seen = QStringList{strEMPRESA, strRECORVAN, strULTIMO_PEDIDO}.join('|');
                         return nullptr;
                     }),
            status);
        QCOMPARE(seen, settings);
        QCOMPARE(dialogs.pendingAnswers(), 0);
        const ScriptedDialogs::Shown &question = dialogs.shown().first();
        QCOMPARE(question.kind, ScriptedDialogs::Kind::Choice);
        QVERIFY(question.choice.text.startsWith(QStringLiteral("No hay base de datos. ¿Desea crear una nueva?")));
        QCOMPARE(question.choice.options.size(), 3);
        QCOMPARE(dialogs.messages().size(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty())
            QVERIFY2(dialogs.messages().first().text.contains(told), qPrintable(dialogs.messages().first().text));
        if (settings.isEmpty()) {
            QVERIFY(!QFileInfo::exists(folder));
        } else {
            QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System),
                QStringList{QStringLiteral("database.mdb")});
        }
        if (QFileInfo::exists(old))
            QCOMPARE(contentOf(old), contentOf(TestDatabase::jetFixture()));
    }
};

QTEST_GUILESS_MAIN(tst_FirstStart)
#include "tst_firststart.moc"
