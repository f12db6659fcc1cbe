#include "report/orderfixture.h"

#include "base/regional.h"
#include "support/scripteddialogs.h"
#include "transfer/printtool.h"
#include "transfer/reportpreview.h"

#include <QtTest>

// The main window's print tool: the answer read as an order number, the report shown (kept here).
class tst_PrintTool : public QObject
{
    Q_OBJECT

    std::optional<TestDatabase> m_db;
    std::optional<ScriptedDialogs> m_dialogs;
    QList<ReportDocument> m_presented;

private slots:
    void init()
    {
        Regional::setCurrent(Regional::commaDayFirst());
        QVERIFY(m_db.emplace().isValid());
        const OrderFixture store{*m_db};
        QVERIFY(store.article("A1", "Tornillo") && store.order(2, QDate(2004, 8, 20), "Cliente", 1, 1, 0.5)
            && store.order(4, QDate(2004, 8, 19), "Cliente", 1, 1, 0.5)
            && store.order(12, QDate(2004, 8, 20), "Cliente", 41, 1, 0.5));
        strConexion = Connection::connectionString(m_db->path());
        m_dialogs.emplace();
        m_presented.clear();
        ReportPreview::setPresenter([this](const ReportDocument &document) { m_presented.append(document); });
    }

    void cleanup() { QCOMPARE(m_dialogs->pendingAnswers(), 0); }

    void answerSelectsTheOrders_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("orders");
        const QStringList day{"2", "12"};
        QTest::newRow("leading number") << "12abc" << QStringList{"12"};
        QTest::newRow("halves to the even one") << "3.5" << QStringList{"4"};
        QTest::newRow("beyond 32 bits selects none") << "99999999999" << QStringList();
        QTest::newRow("negative takes the date") << "-3" << day;
        QTest::newRow("cancel takes the date") << "" << day;
        QTest::newRow("far below takes the date") << "-1e20" << day;
    }

    // Every page's footer carries the main window's date, whichever way the orders were chosen.
    void answerSelectsTheOrders()
    {
        QFETCH(QString, answer);
        m_dialogs->answerInput(answer);
        previewOrderFromPrintTool("13 (nuevo)", "20/08/2004", nullptr);
        QCOMPARE(m_dialogs->inputs().value(0).proposed, QStringLiteral("13"));
        QCOMPARE(m_presented.size(), 1);
        const ReportDocument &document = m_presented.first();
        for (int page = 0; page < document.pageCount(); ++page)
            QCOMPARE(document.text(page, "lblFECHA"), QStringLiteral("20/08/2004"));
        QTEST(OrderFixture::allTexts(document, "Field1"), "orders");
    }
};

QTEST_MAIN(tst_PrintTool)
#include "tst_printtool.moc"
