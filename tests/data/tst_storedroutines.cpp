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

    void orderHeaderGoesToItsColumns();
    void stockFallsBelowZeroAndIsStamped();
    void counterAdvancesOnTheCompanysRowOnly();
    void articlesAreFoundExactlyAddedAndReplaced();
    void lineIsWrittenOnRetryAfterALockIsReleased_data();
    void lineIsWrittenOnRetryAfterALockIsReleased();
    void cancelReturnsFalseAndStopsThere();

private:
    QString scalar(const QString &sql) const { return m_db->scalar(sql).toString(); }

    std::optional<TestDatabase> m_db;
    ScriptedDialogs m_dialogs;
    StoredRoutines m_routines{acnDataBase(), m_dialogs};
};

void tst_StoredRoutines::orderHeaderGoesToItsColumns()
{
    QVERIFY(m_routines.GraboPedido({16, QDate(2004, 8, 20), "O'Brien", "d", "r", "t", "c", "e", "fe", "fp", "o"}));
    QCOMPARE(scalar("SELECT COUNT(*) || '/' || NRO_PEDIDO || '/' || FECHA || '/' || CLIENTE || DIRECCION || RUC || "
                    "TELEFONO || CONTACTO || EMAIL || '/' || FORMA_DE_ENVIO || '/' || FORMA_DE_PAGO || '/' || "
                    "OBSERVACIONES FROM PEDIDOS"),
        QStringLiteral("1/16/2004-08-20/O'Briendrtce/fe/fp/o"));
}

void tst_StoredRoutines::stockFallsBelowZeroAndIsStamped()
{
    QVERIFY(m_db->exec("INSERT INTO ARTICULOS (COD_ART, STK_ACTUAL, FECHA_ACT) VALUES ('A1', 3, '2001-01-01'), ('B2', "
                       "9, '2001-01-01')"));
    QVERIFY(m_routines.ActualizoStock(QStringLiteral("A1"), 5));
    // An article missing from the catalogue changes nothing and is not a failure.
    QVERIFY(m_routines.ActualizoStock(QStringLiteral("ZZ"), 1));
    QCOMPARE(scalar("SELECT group_concat(STK_ACTUAL || ' ' || FECHA_ACT) FROM ARTICULOS"),
        "-2 " + QDate::currentDate().toString(Qt::ISODate) + ",9 2001-01-01");
}

void tst_StoredRoutines::counterAdvancesOnTheCompanysRowOnly()
{
    QCOMPARE(m_routines.AumentoNroPedido(QStringLiteral("Empresa de Prueba"), 15), std::optional<double>(16));
    // A company name that was never filled in is still the company's row.
    QVERIFY(m_db->exec("UPDATE SETUP SET EMPRESA = NULL"));
    QCOMPARE(m_routines.AumentoNroPedido(QString(), 16), std::optional<double>(17));
    QCOMPARE(scalar("SELECT ULTIMO_PEDIDO FROM SETUP"), QStringLiteral("17"));

    m_dialogs.answerMessage(Dialogs::Cancel);
    QCOMPARE(m_routines.AumentoNroPedido(QStringLiteral("Otra Empresa"), 17), std::nullopt);
    QCOMPARE(scalar("SELECT ULTIMO_PEDIDO FROM SETUP"), QStringLiteral("17"));
    const Dialogs::Message box = m_dialogs.messages().value(0);
    QCOMPARE(box.title, QStringLiteral("Error: 3021"));
    QCOMPARE(box.buttons, Dialogs::Retry | Dialogs::Cancel);
    QVERIFY(box.text.contains(QStringLiteral("Otra Empresa")));
}

void tst_StoredRoutines::articlesAreFoundExactlyAddedAndReplaced()
{
    QVERIFY(m_routines.AgregoArticulo({"A1", "F'1", "Caño ½\"", 10, 12.5, QDate(2004, 8, 20)}));
    QVERIFY(m_routines.AgregoArticulo({"O'Brien"}));
    for (const auto &[code, expected] : {std::pair{"A1", true}, {"a1", false}, {"A1 ", false}, {"O'Brien", true}}) {
        bool found = !expected;
        QVERIFY_NO_ERROR(m_routines.Busco_Articulo(QString::fromUtf8(code), found));
        QCOMPARE(found, expected);
    }
    QVERIFY(m_routines.ModificoArticulo({"A1", "F2", "Caño nuevo", 4, 7.25, QDate()}));
    QCOMPARE(scalar("SELECT COD_PROPIO || '|' || DESCRIPCION || '|' || STK_ACTUAL || '|' || P_UNITARIO || '|' || "
                    "ifnull(FECHA_ACT, 'NULL') FROM ARTICULOS WHERE COD_ART = 'A1'"),
        QStringLiteral("F2|Caño nuevo|4|7.25|NULL"));
}

void tst_StoredRoutines::lineIsWrittenOnRetryAfterALockIsReleased_data()
{
    QTest::addColumn<bool>("commaDecimal");
    QTest::newRow("comma decimal") << true;
    QTest::newRow("point decimal") << false;
}

void tst_StoredRoutines::lineIsWrittenOnRetryAfterALockIsReleased()
{
    QFETCH(bool, commaDecimal);
    Regional::setCurrent(commaDecimal ? Regional::commaDayFirst() : Regional::pointMonthFirst());
    Connection other(QStringLiteral("other"));
    QVERIFY_NO_ERROR(other.open(m_db->path()));
    QVERIFY_NO_ERROR(other.execute(QStringLiteral("BEGIN IMMEDIATE")));
    m_dialogs.answerMessage(Dialogs::Retry, [&other] { other.execute(QStringLiteral("ROLLBACK")); });
    QVERIFY(m_routines.GraboLinea(16, 2, QStringLiteral("A'1"), 3, 12.5, QStringLiteral("sin caja")));
    QCOMPARE(m_dialogs.messages().size(), 1);
    QCOMPARE(m_dialogs.messages().first().title, QStringLiteral("Error: 5"));
    QCOMPARE(scalar("SELECT group_concat(NRO_PEDIDO || '/' || NRO_LINEA || '/' || COD_ART || '/' || CANTIDAD || '/' || "
                    "P_UNITARIO || '/' || DETALLES) FROM LINEAS_PEDIDOS"),
        QStringLiteral("16/2/A'1/3/12.5/sin caja"));
}

void tst_StoredRoutines::cancelReturnsFalseAndStopsThere()
{
    OrderHeader header{16, QDate(2004, 8, 20), QStringLiteral("Primero")};
    QVERIFY(m_routines.GraboPedido(header));
    header.cliente = QStringLiteral("Segundo");
    // The same order number twice: the box returns while the failure lasts.
    m_dialogs.answerMessage(Dialogs::Retry).answerMessage(Dialogs::Cancel);
    QVERIFY(!m_routines.GraboPedido(header));
    QCOMPARE(m_dialogs.messages().size(), 2);
    QVERIFY(m_dialogs.messages().first().title.startsWith(QStringLiteral("Error: ")));
    QCOMPARE(scalar("SELECT group_concat(CLIENTE) FROM PEDIDOS"), QStringLiteral("Primero"));
}

QTEST_GUILESS_MAIN(tst_StoredRoutines)
#include "tst_storedroutines.moc"
