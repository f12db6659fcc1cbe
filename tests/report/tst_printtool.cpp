#include "orderfixture.h"

#include "app/globals.h"
#include "app/regional.h"
#include "data/connection.h"
#include "report/printtool.h"
#include "report/reportpreview.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

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

    void orderNumberCaption_data();
    void orderNumberCaption();
    void answerSelectsTheOrders_data();
    void answerSelectsTheOrders();
    void proposesTheOrderBeingEntered_data();
    void proposesTheOrderBeingEntered();
    void twoOpeningsShowIdenticalFooters();
    void unreadableDatabaseIsShownNotPreviewed();

private:
    QStringList shownOrders() const;

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
    for (int order : {2, 4, 12}) {
        QVERIFY(store.order(order, QDate(2004, 8, 20), QStringLiteral("Cliente %1").arg(order)));
        QVERIFY(store.line(order, 1, "A1", 1, 0.5));
    }
    QVERIFY(store.order(3, QDate(2004, 8, 19), "Otro día"));
    QVERIFY(store.line(3, 1, "A1", 1, 0.5));
}

void tst_PrintTool::cleanup()
{
    ReportPreview::setPresenter({});
    QCOMPARE(m_dialogs->pendingAnswers(), 0);
    m_dialogs.reset();
    m_db.reset();
    strConexion.clear();
}

QStringList tst_PrintTool::shownOrders() const
{
    QStringList orders;
    for (const ReportDocument &document : m_presented) {
        for (int page = 0; page < document.pageCount(); ++page)
            orders += document.texts(page, "Field1");
    }
    return orders;
}

void tst_PrintTool::orderNumberCaption_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("caption");
    QTest::newRow("number") << "12"
                            << "12";
    QTest::newRow("leading number") << "12abc"
                                    << "12";
    QTest::newRow("blanks skipped") << " 1 2 "
                                    << "12";
    QTest::newRow("half to even down") << "2.5"
                                       << "2";
    QTest::newRow("half to even up") << "3.5"
                                     << "4";
    QTest::newRow("comma is no decimal") << "3,7"
                                         << "3";
    QTest::newRow("negative") << "-3"
                              << "-3";
    QTest::newRow("cancel") << ""
                            << "0";
    QTest::newRow("text") << "abc"
                          << "0";
    QTest::newRow("beyond 32 bits") << "99999999999"
                                    << "99999999999";
    QTest::newRow("far below") << "-1e20"
                               << "0";
}

void tst_PrintTool::orderNumberCaption()
{
    QFETCH(QString, answer);
    QFETCH(QString, caption);
    QCOMPARE(::orderNumberCaption(answer), caption);
}

void tst_PrintTool::answerSelectsTheOrders_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("orders");
    QTest::newRow("12abc") << "12abc" << QStringList{"12"};
    QTest::newRow("2.5 gives 2") << "2.5" << QStringList{"2"};
    QTest::newRow("3.5 gives 4") << "3.5" << QStringList{"4"};
    QTest::newRow("other day's order by number") << "3" << QStringList{"3"};
    QTest::newRow("-3 takes the date") << "-3" << QStringList({"2", "4", "12"});
    QTest::newRow("cancel takes the date") << "" << QStringList({"2", "4", "12"});
    QTest::newRow("0 takes the date") << "0" << QStringList({"2", "4", "12"});
    QTest::newRow("no such order") << "77" << QStringList();
    QTest::newRow("beyond 32 bits") << "99999999999" << QStringList();
}

void tst_PrintTool::answerSelectsTheOrders()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, orders);
    m_dialogs->answerInput(answer);
    previewOrderFromPrintTool("13", "20/08/2004", nullptr);

    QCOMPARE(m_dialogs->inputs().size(), 1);
    const Dialogs::Input box = m_dialogs->inputs().first();
    QCOMPARE(box.prompt, QStringLiteral("Ingrese número de pedido a visualizar:"));
    QCOMPARE(box.title, QStringLiteral("Preview"));
    QCOMPARE(box.proposed, QStringLiteral("13"));
    QCOMPARE(m_dialogs->messages().size(), 0);

    QCOMPARE(m_presented.size(), 1);
    QCOMPARE(shownOrders(), orders);
    // Every page's footer carries the main window's date, whichever way the orders were chosen.
    const ReportDocument &document = m_presented.first();
    for (int page = 0; page < document.pageCount(); ++page)
        QCOMPARE(document.text(page, "lblFECHA"), QStringLiteral("20/08/2004"));
    QCOMPARE(document.text(document.pageCount() - 1, "lblTOTAL_CANTIDAD"), QString::number(orders.size()));
}

void tst_PrintTool::proposesTheOrderBeingEntered_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("whole") << "16"
                           << "16";
    QTest::newRow("text after it") << "16 (nuevo)"
                                   << "16";
    QTest::newRow("empty") << ""
                           << "0";
}

void tst_PrintTool::proposesTheOrderBeingEntered()
{
    QFETCH(QString, caption);
    QFETCH(QString, proposed);
    m_dialogs->answerInput("2");
    previewOrderFromPrintTool(caption, "20/08/2004", nullptr);
    QCOMPARE(m_dialogs->inputs().first().proposed, proposed);
    QCOMPARE(shownOrders(), QStringList{"2"});
}

void tst_PrintTool::twoOpeningsShowIdenticalFooters()
{
    m_dialogs->answerInput("");
    m_dialogs->answerInput("");
    previewOrderFromPrintTool("13", "20/08/2004", nullptr);
    previewOrderFromPrintTool("13", "20/08/2004", nullptr);
    QCOMPARE(m_presented.size(), 2);
    QVERIFY(m_presented.at(0) == m_presented.at(1));
    const ReportDocument &last = m_presented.at(1);
    QCOMPARE(last.text(last.pageCount() - 1, "lblTOTAL_CANTIDAD"), QStringLiteral("3"));
    QCOMPARE(last.text(last.pageCount() - 1, "lblTOTAL_IMPORTE"), QStringLiteral("1,50"));
}

void tst_PrintTool::unreadableDatabaseIsShownNotPreviewed()
{
    strConexion = Connection::connectionString(m_db->folder() + QStringLiteral("/otra.mdb"));
    m_dialogs->answerInput("2");
    m_dialogs->answerMessage(QMessageBox::Ok);
    previewOrderFromPrintTool("13", "20/08/2004", nullptr);
    QCOMPARE(m_dialogs->messages().size(), 1);
    QVERIFY(m_dialogs->messages().first().text.contains(QStringLiteral("otra.mdb")));
    QCOMPARE(m_dialogs->messages().first().icon, QMessageBox::Critical);
    QCOMPARE(m_presented.size(), 0);
}

QTEST_MAIN(tst_PrintTool)
#include "tst_printtool.moc"
