#include "base/regional.h"
#include "data/connection.h"
#include "data/storedroutines.h"
#include "support/scripteddialogs.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"

#include <QtTest>

class tst_StoredRoutines : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Regional::setCurrent(Regional::commaDayFirst());
        QVERIFY(m_db.emplace().isValid());
        QVERIFY_NO_ERROR(acnDataBase().open(m_db->path()));
        m_dialogs.clear();
    }
    void cleanup()
    {
        QCOMPARE(m_dialogs.pendingAnswers(), 0);
        acnDataBase().close();
    }

    void stockFallsBelowZeroAndIsStamped()
    {
        QVERIFY(
            m_db->exec("INSERT INTO ARTICULOS (COD_ART, STK_ACTUAL, FECHA_ACT) VALUES ('A1', 3, '2001-01-01'), ('B2', "
                       "9, '2001-01-01')"));
        QVERIFY(m_routines.ActualizoStock(QStringLiteral("A1"), 5));
        // An article missing from the catalogue changes nothing and is not a failure.
        QVERIFY(m_routines.ActualizoStock(QStringLiteral("ZZ"), 1));
        QCOMPARE(scalar("SELECT group_concat(STK_ACTUAL || ' ' || FECHA_ACT) FROM ARTICULOS"),
            "-2 " + QDate::currentDate().toString(Qt::ISODate) + ",9 2001-01-01");
    }

    void counterAdvancesOnTheCompanysRowOnly()
    {
        QCOMPARE(m_routines.AumentoNroPedido(QStringLiteral("Empresa de Prueba"), OrderNumber(15)), OrderNumber(16));
        // A company name that was never filled in is still the company's row.
        QVERIFY(m_db->exec("UPDATE SETUP SET EMPRESA = NULL"));
        QCOMPARE(m_routines.AumentoNroPedido(QString(), OrderNumber(16)), OrderNumber(17));
        QCOMPARE(scalar("SELECT ULTIMO_PEDIDO FROM SETUP"), QStringLiteral("17"));

        // Another company's row is not there: the box comes back while the failure lasts, and
        // Cancel gives up.
        m_dialogs.answerMessage(Dialogs::Retry).answerMessage(Dialogs::Cancel);
        QCOMPARE(m_routines.AumentoNroPedido(QStringLiteral("Otra Empresa"), OrderNumber(17)), std::nullopt);
        QCOMPARE(scalar("SELECT ULTIMO_PEDIDO FROM SETUP"), QStringLiteral("17"));
        QCOMPARE(m_dialogs.messages().size(), 2);
        const Dialogs::Message box = m_dialogs.messages().value(0);
        QCOMPARE(box.title, QStringLiteral("Error: 3021"));
        QCOMPARE(box.buttons, Dialogs::Retry | Dialogs::Cancel);
        QVERIFY(box.text.contains(QStringLiteral("Otra Empresa")));
    }

    void lineIsWrittenOnRetryAfterALockIsReleased_data()
    {
        QTest::addColumn<bool>("commaDecimal");
        QTest::newRow("comma decimal") << true;
        QTest::newRow("point decimal") << false;
    }

    void lineIsWrittenOnRetryAfterALockIsReleased()
    {
        QFETCH(bool, commaDecimal);
        Regional::setCurrent(commaDecimal ? Regional::commaDayFirst() : Regional::pointMonthFirst());
        Connection other(QStringLiteral("other"));
        QVERIFY_NO_ERROR(other.open(m_db->path()));
        QVERIFY_NO_ERROR(other.execute(QStringLiteral("BEGIN IMMEDIATE")));
        m_dialogs.answerMessage(Dialogs::Retry, [&other] { other.execute(QStringLiteral("ROLLBACK")); });
        QVERIFY(m_routines.GraboLinea(OrderNumber(16), 2, QStringLiteral("A'1"), 3, 12.5, QStringLiteral("sin caja")));
        QCOMPARE(m_dialogs.messages().size(), 1);
        QCOMPARE(m_dialogs.messages().first().title, QStringLiteral("Error: 5"));
        QCOMPARE(
            scalar("SELECT group_concat(NRO_PEDIDO || '/' || NRO_LINEA || '/' || COD_ART || '/' || CANTIDAD || '/' || "
                   "P_UNITARIO || '/' || DETALLES) FROM LINEAS_PEDIDOS"),
            QStringLiteral("16/2/A'1/3/12.5/sin caja"));
    }

private:
    QString scalar(const QString &sql) const { return m_db->scalar(sql).toString(); }

    std::optional<TestDatabase> m_db;
    ScriptedDialogs m_dialogs;
    StoredRoutines m_routines{acnDataBase(), m_dialogs};
};

QTEST_GUILESS_MAIN(tst_StoredRoutines)
#include "tst_storedroutines.moc"
