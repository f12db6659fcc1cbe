#include "base/globals.h"
#include "base/regional.h"
#include "data/connection.h"
#include "data/customercursor.h"
#include "order/orderconfirmation.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QFile>
#include <QtTest>

#include <sqlite3.h>

#include <optional>
#include <utility>

using Field = CustomerCursor::Field;
using Outcome = OrderConfirmation::Outcome;
using S = QString;

namespace {

template <typename... Cells> void row(const char *name, const Cells &...cells)
{
    (QTest::newRow(name) << ... << cells);
}

OrderDraft draft()
{
    return {"16", "20/08/2004", {"Cliente Uno", {}, {}, {}, {}, "uno@x.py", "Transporte", "Contado", "Urgente"},
        {{"Artículo A", "2", "1.234,50", "2.469,00", "A", "rojo", "FA"},
            {"Artículo B", "3", "12,50", "37,50", "B", "", "FB"}, {"Artículo C", "1", "0,00", "0,00", "C", "", "FC"}}};
}

} // namespace

// Confirmar_Orden's rules without the window: what is checked, stored, announced and undone.
class tst_OrderConfirmation : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Regional::setCurrent(Regional::commaDayFirst());
        m_db.emplace();
        QVERIFY(m_db->exec("INSERT INTO ARTICULOS (COD_ART, STK_ACTUAL) VALUES ('A', 10), ('B', 10), ('C', 10)"));
        QVERIFY(m_db->exec("INSERT INTO CLIENTES (NOMBRE, EMAIL) VALUES ('Cliente Uno', 'uno@x.py')"));
        QVERIFY(!acnDataBase().open(m_db->path()));
        strEMPRESA = QStringLiteral("Empresa de Prueba"); // the counter's row in SETUP
        strULTIMO_PEDIDO = QStringLiteral("15");
        m_cursor.emplace(acnDataBase());
        QVERIFY(!m_cursor->open());
    }

    void cleanup()
    {
        QCOMPARE(m_dialogs.pendingAnswers(), 0);
        m_dialogs.clear();
        m_cursor.reset();
        acnDataBase().close();
        m_db.reset();
    }

    // The header takes the current customer's fields, edits included (stored too), or with no
    // customer at all the texts typed in the window.
    void storesTheWholeOrder_data()
    {
        QTest::addColumn<bool>("customers");
        QTest::addColumn<QString>("header");
        QTest::newRow("current customer, edited") << true
                                                  << "O'Brien'); --0|O'Brien'); --1|O'Brien'); --2|"
                                                     "O'Brien'); --3|O'Brien'); --4|O'Brien'); --5";
        QTest::newRow("no customer at all") << false << "Cliente Uno|||||uno@x.py";
    }

    void storesTheWholeOrder()
    {
        QFETCH(bool, customers);
        QFETCH(QString, header);
        for (int i = 0; customers && i < CustomerCursor::fieldCount; ++i)
            QVERIFY(m_cursor->setValue(Field(i), header.split('|').at(i)));
        QVERIFY(customers || (m_db->exec("DELETE FROM CLIENTES") && !m_cursor->open()));
        m_dialogs.answerMessage(Dialogs::Ok);
        const OrderConfirmation::Result result = confirm();
        QCOMPARE(result.outcome, Outcome::Stored);
        QCOMPARE(m_dialogs.messages().size(), 1);
        const Dialogs::Message told = m_dialogs.messages().first();
        QCOMPARE((QStringList{told.text, told.title}), (QStringList{"ORDEN #16 ha sido guardada.", "Atención"}));
        QCOMPARE(told.icon, Dialogs::Information);
        expectStored(true, customers ? 1 : 0);
        const S columns = "||'|'|| DIRECCION ||'|'|| RUC ||'|'|| TELEFONO ||'|'|| CONTACTO ||'|'|| EMAIL";
        QCOMPARE(text("SELECT CLIENTE " + columns + " FROM PEDIDOS"), header);
        if (customers)
            QCOMPARE(text("SELECT NOMBRE " + columns + " FROM CLIENTES"), header);
        QCOMPARE(text("SELECT FECHA ||'|'|| FORMA_DE_ENVIO ||'|'|| FORMA_DE_PAGO ||'|'|| OBSERVACIONES FROM PEDIDOS"),
            S("2004-08-20|Transporte|Contado|Urgente"));
        QCOMPARE(text("SELECT COD_ART || CANTIDAD || DETALLES FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1"), S("A2rojo"));
        QCOMPARE(m_db->scalar("SELECT P_UNITARIO FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1").toDouble(), 1234.5);
    }

    // Nothing is stored and the customer being typed is kept as it is.
    void refusedBeforeStoring_data()
    {
        QTest::addColumn<int>("row"); // -1: no lines at all; 0: the order number (column 0), date, run's counter
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("told");
        const S notStored = "\nLa orden no se guardó.";
        const int refused = int(Outcome::Refused);
        row("no lines", -1, 0, S(), int(Outcome::NoLines), 0, S("No hay orden a guardar."));
        row("price not a number", 2, 2, S("doce"), refused, 2,
            "Línea 2: el precio unitario 'doce' no es un número." + notStored);
        row("quantity with a fraction", 2, 1, S("1,5"), refused, 2,
            "Línea 2: la cantidad '1,5' no es un número entero." + notStored);
        row("order number beyond 32 bits", 0, 0, S("99999999999"), refused, 0,
            "El número de pedido '99999999999' no es válido." + notStored);
        row("date that is not a date", 0, 1, S("31/02/2004"), refused, 0,
            "La fecha del pedido '31/02/2004' no es una fecha." + notStored);
        row("counter at its limit", 0, 2, S("2147483647"), refused, 0,
            "El contador de pedidos llegó a su límite (último pedido: 2147483647): en esta base de datos no se "
            "pueden guardar más pedidos. Los pedidos guardados se pueden seguir consultando, imprimiendo y exportando."
                + notStored);
    }

    void refusedBeforeStoring()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, cell);
        newCustomer();
        OrderDraft order = draft();
        if (row < 0)
            order.lines.clear();
        else if (row == 0)
            (column == 0 ? order.nroPedido : column == 1 ? order.fecha : strULTIMO_PEDIDO) = cell;
        else
            order.lines[row - 1][column] = cell;
        m_dialogs.answerMessage(Dialogs::Ok);
        const OrderConfirmation::Result result = confirm(order);
        QTEST(int(result.outcome), "outcome");
        QTEST(result.line, "line");
        QTEST(m_dialogs.messages().first().text, "told");
        // The run's counter stays as it was.
        QCOMPARE(std::exchange(strULTIMO_PEDIDO, S("15")), row == 0 && column == 2 ? cell : S("15"));
        expectStored(false, 1);
        QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::New);
        QCOMPARE(m_cursor->value(Field::Nombre), S("Cliente Nuevo"));
    }

    void failureUndoesTheWholeOrder_data()
    {
        QTest::addColumn<QStringList>("fault"); // run on the order's own connection
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("line");
        const S raise = "BEGIN SELECT RAISE(ABORT, 'fallo'); END";
        const S header = "error al guardar el pedido";
        row("customer refused", QStringList{"CREATE TRIGGER FALLA BEFORE INSERT ON CLIENTES " + raise},
            S("No se pudo guardar los datos del cliente."), int(Outcome::CustomerNotStored), 0);
        row("header cancelled", QStringList{"CREATE TRIGGER FALLA BEFORE INSERT ON PEDIDOS " + raise}, header,
            int(Outcome::HeaderNotStored), 0);
        row("second line cancelled",
            QStringList{"CREATE TRIGGER FALLA BEFORE INSERT ON LINEAS_PEDIDOS WHEN NEW.NRO_LINEA = 2 " + raise},
            S("error al guardar la linea del pedido"), int(Outcome::LineNotStored), 2);
        row("counter cancelled", QStringList{"CREATE TRIGGER FALLA BEFORE UPDATE ON SETUP " + raise},
            S("no se pudo aumentar el numero de pedido."), int(Outcome::CounterNotAdvanced), 0);
        row("engine ends the transaction",
            QStringList{"CREATE TRIGGER FALLA BEFORE UPDATE ON ARTICULOS WHEN OLD.COD_ART = 'B' "
                        "BEGIN SELECT RAISE(ROLLBACK, 'fallo'); END"},
            header, int(Outcome::HeaderNotStored), 2);
        // A deferred check makes the engine refuse the commit itself, after every step went well.
        row("commit refused",
            QStringList{"CREATE TABLE VIGIA (REF INTEGER REFERENCES CLIENTES (ID) DEFERRABLE INITIALLY DEFERRED)",
                "CREATE TRIGGER FALLA AFTER UPDATE ON SETUP BEGIN INSERT INTO VIGIA VALUES (999); END",
                "PRAGMA foreign_keys = ON"},
            header, int(Outcome::HeaderNotStored), 0);
    }

    void failureUndoesTheWholeOrder()
    {
        QFETCH(QStringList, fault);
        QFETCH(QString, message);
        for (const QString &statement : fault)
            QVERIFY(!acnDataBase().execute(statement));
        newCustomer();
        OrderConfirmation confirmation(acnDataBase(), m_dialogs, &*m_cursor);
        // A routine asks Retry/Cancel first; the customer's failure is told at once.
        const bool routine = !QByteArray(QTest::currentDataTag()).startsWith("customer");
        if (routine)
            m_dialogs.answerMessage(Dialogs::Cancel);
        m_dialogs.answerMessage(Dialogs::Ok);
        const OrderConfirmation::Result result = confirmation.confirm(draft());
        QTEST(int(result.outcome), "outcome");
        QTEST(result.line, "line");
        const QList<Dialogs::Message> shown = m_dialogs.messages();
        QCOMPARE(shown.size(), routine ? 2 : 1);
        QVERIFY(shown.first().title.startsWith("Error: "));
        QCOMPARE(shown.last().text, message);
        QCOMPARE(shown.last().title, routine ? S("Recorvan") : shown.first().title);
        expectStored(false, 1);
        QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::New);
        QCOMPARE(m_cursor->value(Field::Nombre), S("Cliente Nuevo"));
        QCOMPARE(m_cursor->recordCount(), 1);

        // Confirming again, once the fault is gone, stores everything once.
        QVERIFY(!acnDataBase().execute("DROP TRIGGER FALLA"));
        m_dialogs.clear();
        m_dialogs.answerMessage(Dialogs::Ok);
        QCOMPARE(confirmation.confirm(draft()).outcome, Outcome::Stored);
        QCOMPARE(m_dialogs.messages().size(), 1);
        expectStored(true, 2);
        QCOMPARE(text("SELECT CLIENTE FROM PEDIDOS"), S("Cliente Nuevo"));
        QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::None);
    }

    // A commit the engine turns into a rollback (as a full disk can): Retry stores the whole
    // order again, exactly once.
    void commitThrownAwayIsStoredAgainOnRetry()
    {
        int refusals = 1;
        sqlite3_commit_hook(
            acnDataBase().nativeHandle(), [](void *left) { return (*static_cast<int *>(left))-- > 0 ? 1 : 0; },
            &refusals);
        newCustomer();
        m_dialogs.answerMessage(Dialogs::Retry).answerMessage(Dialogs::Ok);
        const OrderConfirmation::Result result = confirm();
        sqlite3_commit_hook(acnDataBase().nativeHandle(), nullptr, nullptr);
        QCOMPARE(result.outcome, Outcome::Stored);
        const QList<Dialogs::Message> shown = m_dialogs.messages();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].buttons, Dialogs::Retry | Dialogs::Cancel);
        QCOMPARE(shown[1].text, S("ORDEN #16 ha sido guardada."));
        expectStored(true, 2);
    }

    // An article whose stock cannot be lowered is told and the order is still stored; another
    // reader, while the order waits on the box halfway, sees none of it.
    void stockFailureKeepsTheOrder()
    {
        QVERIFY(m_db->exec("CREATE TRIGGER FALLA BEFORE UPDATE ON ARTICULOS WHEN OLD.COD_ART = 'B' "
                           "BEGIN SELECT RAISE(ABORT, 'sin stock'); END"));
        int seen = -1;
        m_dialogs.answerMessage(Dialogs::Cancel, [&] { seen = count("PEDIDOS") + count("LINEAS_PEDIDOS"); });
        m_dialogs.answerMessage(Dialogs::Ok).answerMessage(Dialogs::Ok);
        const OrderConfirmation::Result result = confirm();
        QCOMPARE(result.outcome, Outcome::Stored);
        QCOMPARE(result.stockFailures, 1);
        QCOMPARE(seen, 0);
        const QList<Dialogs::Message> shown = m_dialogs.messages();
        QCOMPARE((QStringList{shown[1].text, shown[1].title, shown[2].text}),
            (QStringList{"error al actualizar stock", "Recorvan", "ORDEN #16 ha sido guardada."}));
        QCOMPARE(count("LINEAS_PEDIDOS"), 3);
        QCOMPARE(text("SELECT GROUP_CONCAT(STK_ACTUAL) FROM ARTICULOS"), S("8,10,9"));
        QCOMPARE(text("SELECT ULTIMO_PEDIDO FROM SETUP"), S("16"));
    }

    // The database moved away under the program: nothing is tried, and the path is named.
    void databaseGoneIsRefused()
    {
        const QString moved = m_db->path() + QStringLiteral(".movida");
        QVERIFY(QFile::rename(m_db->path(), moved));
        m_dialogs.answerMessage(Dialogs::Ok);
        QCOMPARE(confirm().outcome, Outcome::DatabaseGone);
        QVERIFY(m_dialogs.messages().first().text.contains(
            QStringLiteral("'%1' ya no está en su lugar").arg(m_db->path())));
        QVERIFY(QFile::rename(moved, m_db->path()));
        expectStored(false, 1);
    }

private:
    OrderConfirmation::Result confirm(const OrderDraft &order = draft())
    {
        return OrderConfirmation(acnDataBase(), m_dialogs, &*m_cursor).confirm(order);
    }
    void newCustomer()
    {
        m_cursor->addNew();
        QVERIFY(m_cursor->setValue(Field::Nombre, "Cliente Nuevo"));
    }
    QString text(const QString &sql) const { return m_db->scalar(sql).toString(); }
    int count(const QString &table) const { return m_db->scalar("SELECT COUNT(*) FROM " + table).toInt(); }

    // The order stored once (stock lowered, the counter advanced in file and memory), or nothing.
    void expectStored(bool stored, int customers)
    {
        const QStringList found = {text("SELECT GROUP_CONCAT(NRO_PEDIDO) FROM PEDIDOS"),
            text("SELECT GROUP_CONCAT(NRO_PEDIDO || '.' || NRO_LINEA) FROM LINEAS_PEDIDOS"),
            text("SELECT GROUP_CONCAT(STK_ACTUAL) FROM ARTICULOS"), text("SELECT ULTIMO_PEDIDO FROM SETUP"),
            strULTIMO_PEDIDO, QString::number(count("CLIENTES"))};
        const QString all = QString::number(customers);
        QCOMPARE(found,
            (stored ? QStringList{"16", "16.1,16.2,16.3", "8,7,9", "16", "16", all}
                    : QStringList{"", "", "10,10,10", "15", "15", all}));
    }

    std::optional<TestDatabase> m_db;
    ScriptedDialogs m_dialogs;
    std::optional<CustomerCursor> m_cursor;
};

QTEST_GUILESS_MAIN(tst_OrderConfirmation)
#include "tst_orderconfirmation.moc"
