#include "report/orderfixture.h"

#include "base/globals.h"
#include "base/regional.h"
#include "data/connection.h"
#include "report/reportpreview.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"
#include "transfer/printtool.h"

#include <QtTest>

#include <memory>

// The print tool as the main window drives it: the input box, the answer read as a number,
// the report run and handed to the preview (here a presenter that keeps what it was shown).
class tst_PrintTool : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void answerSelectsTheOrders_data();
    void answerSelectsTheOrders();
    void unreadableDatabaseIsShownNotPreviewed();

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    QList<ReportDocument> m_presented;
};

void tst_PrintTool::init()
{
    Regional::setCurrent(Regional::commaDayFirst());
    m_db = std::make_unique<TestDatabase>();
    QVERIFY(m_db->isValid());
    strConexion = Connection::connectionString(m_db->path());
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_presented.clear();
    ReportPreview::setPresenter([this](const ReportDocument &document) { m_presented.append(document); });
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A1", "Tornillo"));
    for (int order : {2, 3, 4, 12}) {
        QVERIFY(store.order(order, QDate(2004, 8, order == 3 ? 19 : 20), QStringLiteral("Cliente %1").arg(order)));
        QVERIFY(store.line(order, 1, "A1", 1, 0.5));
    }
}

void tst_PrintTool::cleanup()
{
    ReportPreview::setPresenter({});
    QCOMPARE(m_dialogs->pendingAnswers(), 0);
    m_dialogs.reset();
    m_db.reset();
    strConexion.clear();
}

void tst_PrintTool::answerSelectsTheOrders_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("orders");
    const QStringList day{"2", "4", "12"};
    QTest::newRow("12abc") << "12abc" << QStringList{"12"};
    QTest::newRow("blanks skipped") << " 1 2 " << QStringList{"12"};
    QTest::newRow("2.5 gives 2") << "2.5" << QStringList{"2"};
    QTest::newRow("3.5 gives 4") << "3.5" << QStringList{"4"};
    QTest::newRow("comma is no decimal; other day's order") << "3,7" << QStringList{"3"};
    QTest::newRow("no such order") << "77" << QStringList();
    QTest::newRow("beyond 32 bits") << "99999999999" << QStringList();
    QTest::newRow("-3 takes the date") << "-3" << day;
    QTest::newRow("cancel takes the date") << "" << day;
    QTest::newRow("text takes the date") << "abc" << day;
    QTest::newRow("far below takes the date") << "-1e20" << day;
}

void tst_PrintTool::answerSelectsTheOrders()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, orders);
    m_dialogs->answerInput(answer);
    previewOrderFromPrintTool("13 (nuevo)", "20/08/2004", nullptr);

    const Dialogs::Input box = m_dialogs->inputs().value(0);
    QCOMPARE(box.prompt, QStringLiteral("Ingrese número de pedido a visualizar:"));
    QCOMPARE(box.title, QStringLiteral("Preview"));
    QCOMPARE(box.proposed, QStringLiteral("13"));
    QCOMPARE(m_presented.size(), 1);
    const ReportDocument &document = m_presented.first();
    QStringList shown;
    // Every page's footer carries the main window's date, whichever way the orders were chosen.
    for (int page = 0; page < document.pageCount(); ++page) {
        shown += document.texts(page, "Field1");
        QCOMPARE(document.text(page, "lblFECHA"), QStringLiteral("20/08/2004"));
    }
    QCOMPARE(shown, orders);
}

void tst_PrintTool::unreadableDatabaseIsShownNotPreviewed()
{
    strConexion = Connection::connectionString(m_db->folder() + QStringLiteral("/otra.mdb"));
    m_dialogs->answerInput("2");
    m_dialogs->answerMessage(Dialogs::Ok);
    previewOrderFromPrintTool("13", "20/08/2004", nullptr);
    QVERIFY(m_dialogs->messages().value(0).text.contains(QStringLiteral("otra.mdb")));
    QCOMPARE(m_dialogs->messages().value(0).icon, Dialogs::Critical);
    QCOMPARE(m_presented.size(), 0);
}

QTEST_MAIN(tst_PrintTool)
#include "tst_printtool.moc"
