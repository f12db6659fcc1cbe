#include "base/regional.h"
#include "data/connection.h"
#include "data/storedroutines.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QtTest>

class tst_StoredRoutines : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void orderHeaderIsStoredAsTyped_data();
    void orderHeaderIsStoredAsTyped();
    void stockFallsBelowZeroAndIsStamped();
    void counterAdvancesOnTheCompanysRowOnly();
    void articlesAreAddedAndReplaced();
    void lineIsWrittenOnRetryAfterALockIsReleased_data();
    void lineIsWrittenOnRetryAfterALockIsReleased();
    void cancelReturnsFalseAndStopsThere();

private:
    TestDatabase *m_db = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;
    StoredRoutines *m_routines = nullptr;
};

void tst_StoredRoutines::init()
{
    Regional::setCurrent(Regional::commaDayFirst());
    m_db = new TestDatabase;
    QVERIFY(m_db->isValid());
    QVERIFY(!acnDataBase().open(m_db->path()));
    m_dialogs = new ScriptedDialogs;
    m_routines = new StoredRoutines(acnDataBase(), *m_dialogs);
}

void tst_StoredRoutines::cleanup()
{
    QCOMPARE(m_dialogs->pendingAnswers(), 0);
    delete m_routines;
    delete m_dialogs;
    acnDataBase().close();
    delete m_db;
}

void tst_StoredRoutines::orderHeaderIsStoredAsTyped_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("apostrophe") << "O'Brien";
    QTest::newRow("quotes, percent, accents") << "\"50%\" de 'descuento'_ Peña Ñandú — Asunción";
    QTest::newRow("statement-like") << "'); DELETE FROM PEDIDOS; --";
}

void tst_StoredRoutines::orderHeaderIsStoredAsTyped()
{
    QFETCH(QString, text);
    QStringList typed{text};
    for (int i = 1; i < 9; ++i)
        typed << text + QString::number(i);
    QVERIFY(m_routines->GraboPedido({16, QDate(2004, 8, 20), typed[0], typed[1], typed[2], typed[3], typed[4], typed[5],
        typed[6], typed[7], typed[8]}));
    QCOMPARE(m_db->scalar("SELECT COUNT(*) || '/' || NRO_PEDIDO || '/' || FECHA FROM PEDIDOS").toString(),
        QStringLiteral("1/16/2004-08-20"));
    const QStringList columns = {"CLIENTE", "DIRECCION", "RUC", "TELEFONO", "CONTACTO", "EMAIL", "FORMA_DE_ENVIO",
        "FORMA_DE_PAGO", "OBSERVACIONES"};
    for (int i = 0; i < columns.size(); ++i)
        QCOMPARE(m_db->scalar("SELECT " + columns[i] + " FROM PEDIDOS").toString(), typed[i]);
}

void tst_StoredRoutines::stockFallsBelowZeroAndIsStamped()
{
    QVERIFY(m_db->exec("INSERT INTO ARTICULOS (COD_ART, STK_ACTUAL, FECHA_ACT) VALUES ('A1', 3, '2001-01-01'), ('B2', "
                       "9, '2001-01-01')"));
    QVERIFY(m_routines->ActualizoStock(QStringLiteral("A1"), 5));
    // An article missing from the catalogue changes nothing and is not a failure.
    QVERIFY(m_routines->ActualizoStock(QStringLiteral("ZZ"), 1));
    QCOMPARE(m_db->scalar("SELECT group_concat(STK_ACTUAL || ' ' || FECHA_ACT) FROM ARTICULOS").toString(),
        "-2 " + QDate::currentDate().toString(Qt::ISODate) + ",9 2001-01-01");
}

void tst_StoredRoutines::counterAdvancesOnTheCompanysRowOnly()
{
    QCOMPARE(m_routines->AumentoNroPedido(QStringLiteral("Empresa de Prueba"), 15), std::optional<double>(16));
    // A company name that was never filled in is still the company's row.
    QVERIFY(m_db->exec("UPDATE SETUP SET EMPRESA = NULL"));
    QCOMPARE(m_routines->AumentoNroPedido(QString(), 16), std::optional<double>(17));
    QCOMPARE(m_db->scalar("SELECT ULTIMO_PEDIDO FROM SETUP").toInt(), 17);

    m_dialogs->answerMessage(Dialogs::Cancel);
    QCOMPARE(m_routines->AumentoNroPedido(QStringLiteral("Otra Empresa"), 17), std::nullopt);
    QCOMPARE(m_db->scalar("SELECT ULTIMO_PEDIDO FROM SETUP").toInt(), 17);
    const Dialogs::Message box = m_dialogs->messages().value(0);
    QCOMPARE(box.title, QStringLiteral("Error: 3021"));
    QCOMPARE(box.buttons, Dialogs::Retry | Dialogs::Cancel);
    QVERIFY(box.text.contains(QStringLiteral("Otra Empresa")));
}

void tst_StoredRoutines::articlesAreAddedAndReplaced()
{
    QVERIFY(m_routines->AgregoArticulo(
        {QStringLiteral("A1"), QStringLiteral("F'1"), QStringLiteral("Caño ½\""), 10, 12.5, QDate(2004, 8, 20)}));
    QVERIFY(m_routines->ModificoArticulo(
        {QStringLiteral("A1"), QStringLiteral("F2"), QStringLiteral("Caño nuevo"), 4, 7.25, QDate()}));
    QCOMPARE(m_db->scalar("SELECT group_concat(COD_PROPIO || '|' || DESCRIPCION || '|' || STK_ACTUAL || '|' || "
                          "P_UNITARIO || '|' || ifnull(FECHA_ACT, 'NULL')) FROM ARTICULOS")
                 .toString(),
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
    QVERIFY(!other.open(m_db->path()));
    QVERIFY(!other.execute(QStringLiteral("BEGIN IMMEDIATE")));
    m_dialogs->answerMessage(Dialogs::Retry, [&other] { other.execute(QStringLiteral("ROLLBACK")); });
    QVERIFY(m_routines->GraboLinea(16, 2, QStringLiteral("A'1"), 3, 12.5, QStringLiteral("sin caja")));
    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages().first().title, QStringLiteral("Error: 5"));
    QCOMPARE(m_db->scalar("SELECT group_concat(NRO_PEDIDO || '/' || NRO_LINEA || '/' || COD_ART || '/' || CANTIDAD || "
                          "'/' || P_UNITARIO || '/' || DETALLES) FROM LINEAS_PEDIDOS")
                 .toString(),
        QStringLiteral("16/2/A'1/3/12.5/sin caja"));
}

void tst_StoredRoutines::cancelReturnsFalseAndStopsThere()
{
    OrderHeader header{16, QDate(2004, 8, 20), QStringLiteral("Primero")};
    QVERIFY(m_routines->GraboPedido(header));
    header.cliente = QStringLiteral("Segundo");
    // The same order number twice: the box returns while the failure lasts.
    m_dialogs->answerMessage(Dialogs::Retry).answerMessage(Dialogs::Cancel);
    QVERIFY(!m_routines->GraboPedido(header));
    QCOMPARE(m_dialogs->messages().size(), 2);
    QVERIFY(m_dialogs->messages().first().title.startsWith(QStringLiteral("Error: ")));
    QCOMPARE(m_db->scalar("SELECT group_concat(CLIENTE) FROM PEDIDOS").toString(), QStringLiteral("Primero"));
}

QTEST_GUILESS_MAIN(tst_StoredRoutines)
#include "tst_storedroutines.moc"
