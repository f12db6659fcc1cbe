#include "base/globals.h"
#include "base/regional.h"
#include "data/connection.h"
#include "data/customercursor.h"
#include "order/orderconfirmation.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QtTest>

#include <sqlite3.h>

#include <memory>

using Field = CustomerCursor::Field;
using Outcome = OrderConfirmation::Outcome;

namespace {

using S = QString;

template <typename... Cells> void row(const char *name, const Cells &...cells)
{
    (QTest::newRow(name) << ... << cells);
}

// Three lines, as the grid holds them.
OrderDraft draft()
{
    OrderDraft order;
    order.nroPedido = "16";
    order.fecha = "20/08/2004";
    order.nombre = "Cliente Uno";
    order.email = "uno@x.py";
    order.formaDeEnvio = "Transporte";
    order.formaDePago = "Contado";
    order.observaciones = "Urgente";
    order.lines = {
        {"Artículo A", "2", "1.234,50", "2.469,00", "A", "rojo", "FA"},
        {"Artículo B", "3", "12,50", "37,50", "B", "", "FB"},
        {"Artículo C", "1", "0,00", "0,00", "C", "sin cargo", "FC"},
    };
    return order;
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
        m_db = std::make_unique<TestDatabase>();
        for (const char *code : {"A", "B", "C"}) {
            QVERIFY(m_db->exec("INSERT INTO ARTICULOS (COD_ART, DESCRIPCION, STK_ACTUAL, P_UNITARIO, FECHA_ACT) "
                               "VALUES (?, ?, 10, 5, '2004-01-01')",
                {code, S("Artículo ") + code}));
        }
        QVERIFY(m_db->exec("INSERT INTO CLIENTES (NOMBRE, EMAIL) VALUES ('Cliente Uno', 'uno@x.py')"));
        QVERIFY(!acnDataBase().open(m_db->path()));
        strEMPRESA = QStringLiteral("Empresa de Prueba"); // the counter's row in SETUP
        strULTIMO_PEDIDO = QStringLiteral("15");
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_cursor = std::make_unique<CustomerCursor>(acnDataBase());
        QVERIFY(!m_cursor->open());
    }

    void cleanup()
    {
        QCOMPARE(m_dialogs->pendingAnswers(), 0);
        m_cursor.reset();
        m_dialogs.reset();
        acnDataBase().close();
        m_db.reset();
    }

    void storesTheWholeOrder()
    {
        m_dialogs->answerMessage(Dialogs::Ok);
        const OrderConfirmation::Result result
            = OrderConfirmation(acnDataBase(), *m_dialogs, m_cursor.get()).confirm(draft());
        QCOMPARE(result.outcome, Outcome::Stored);
        QCOMPARE(result.stockFailures, 0);
        QCOMPARE(m_dialogs->messages().size(), 1);
        QCOMPARE(m_dialogs->messages().first().text, S("ORDEN #16 ha sido guardada."));
        QCOMPARE(m_dialogs->messages().first().title, S("Atención"));
        QCOMPARE(m_dialogs->messages().first().icon, Dialogs::Information);
        expectStored();
        QCOMPARE(text("SELECT FECHA || CLIENTE || FORMA_DE_ENVIO || FORMA_DE_PAGO || OBSERVACIONES FROM PEDIDOS"),
            S("2004-08-20Cliente UnoTransporteContadoUrgente"));
        QCOMPARE(text("SELECT COD_ART || CANTIDAD || DETALLES FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1"), S("A2rojo"));
        QCOMPARE(m_db->scalar("SELECT P_UNITARIO FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1").toDouble(), 1234.5);
        QCOMPARE(
            text("SELECT FECHA_ACT FROM ARTICULOS WHERE COD_ART = 'A'"), QDate::currentDate().toString(Qt::ISODate));
    }

    void noLinesStoresNothing()
    {
        QVERIFY(m_cursor->setValue(Field::Nombre, "Cambiado"));
        OrderDraft order = draft();
        order.lines.clear();
        m_dialogs->answerMessage(Dialogs::Ok);
        QCOMPARE(OrderConfirmation(acnDataBase(), *m_dialogs, m_cursor.get()).confirm(order).outcome, Outcome::NoLines);
        QCOMPARE(m_dialogs->messages().first().text, S("No hay orden a guardar."));
        expectNothingStored();
        // The customer's edit is neither stored nor thrown away.
        QCOMPARE(text("SELECT NOMBRE FROM CLIENTES"), S("Cliente Uno"));
        QCOMPARE(m_cursor->value(Field::Nombre), S("Cambiado"));
    }

    void badTextsAreRefusedBeforeStoring_data()
    {
        QTest::addColumn<QString>("nroPedido");
        QTest::addColumn<QString>("fecha");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<int>("refused");
        QTest::addColumn<QString>("named");
        const S n = "16", d = "20/08/2004";
        row("price not a number", n, d, 1, 2, S("doce"), 2, S("Línea 2"));
        row("empty price", n, d, 2, 2, S(""), 3, S("Línea 3"));
        row("quantity with a fraction", n, d, 1, 1, S("1,5"), 2, S("Línea 2"));
        row("order number beyond 32 bits", S("99999999999"), d, 0, 1, S("2"), 0, S("99999999999"));
        row("date that is not a date", n, S("31/02/2004"), 0, 1, S("2"), 0, S("31/02/2004"));
    }

    void badTextsAreRefusedBeforeStoring()
    {
        QFETCH(QString, nroPedido);
        QFETCH(QString, fecha);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, named);
        m_cursor->addNew();
        QVERIFY(m_cursor->setValue(Field::Nombre, "Cliente Nuevo"));
        OrderDraft order = draft();
        order.nroPedido = nroPedido;
        order.fecha = fecha;
        QFETCH(QString, cell);
        order.lines[row][column] = cell;
        m_dialogs->answerMessage(Dialogs::Ok);
        const OrderConfirmation::Result result
            = OrderConfirmation(acnDataBase(), *m_dialogs, m_cursor.get()).confirm(order);
        QCOMPARE(result.outcome, Outcome::Refused);
        QTEST(result.line, "refused");
        const QString told = m_dialogs->messages().first().text;
        QVERIFY2(told.contains(named) && told.contains("no se guardó"), qPrintable(told));
        expectNothingStored();
        QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::New);
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
        m_cursor->addNew();
        QVERIFY(m_cursor->setValue(Field::Nombre, "Cliente Nuevo"));
        OrderConfirmation confirmation(acnDataBase(), *m_dialogs, m_cursor.get());
        // A routine asks Retry/Cancel first; the customer's failure is told at once.
        const bool routine = !QByteArray(QTest::currentDataTag()).startsWith("customer");
        if (routine)
            m_dialogs->answerMessage(Dialogs::Cancel);
        m_dialogs->answerMessage(Dialogs::Ok);
        const OrderConfirmation::Result result = confirmation.confirm(draft());
        QTEST(int(result.outcome), "outcome");
        QTEST(result.line, "line");
        const QList<Dialogs::Message> shown = m_dialogs->messages();
        QCOMPARE(shown.size(), routine ? 2 : 1);
        QVERIFY(shown.first().title.startsWith("Error: "));
        QCOMPARE(shown.last().text, message);
        QCOMPARE(shown.last().title, routine ? S("Recorvan") : shown.first().title);
        expectNothingStored();
        // The new customer is still pending, as typed.
        QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::New);
        QCOMPARE(m_cursor->value(Field::Nombre), S("Cliente Nuevo"));
        QCOMPARE(m_cursor->recordCount(), 1);

        // Confirming again, once the fault is gone, stores everything once.
        QVERIFY(!acnDataBase().execute("DROP TRIGGER FALLA"));
        m_dialogs->clear();
        m_dialogs->answerMessage(Dialogs::Ok);
        QCOMPARE(confirmation.confirm(draft()).outcome, Outcome::Stored);
        QCOMPARE(m_dialogs->messages().size(), 1);
        expectStored();
        QCOMPARE(count("CLIENTES"), 2);
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
        m_cursor->addNew();
        QVERIFY(m_cursor->setValue(Field::Nombre, "Cliente Nuevo"));
        m_dialogs->answerMessage(Dialogs::Retry).answerMessage(Dialogs::Ok);
        const OrderConfirmation::Result result
            = OrderConfirmation(acnDataBase(), *m_dialogs, m_cursor.get()).confirm(draft());
        sqlite3_commit_hook(acnDataBase().nativeHandle(), nullptr, nullptr);
        QCOMPARE(result.outcome, Outcome::Stored);
        const QList<Dialogs::Message> shown = m_dialogs->messages();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0].buttons, Dialogs::Retry | Dialogs::Cancel);
        QCOMPARE(shown[1].text, S("ORDEN #16 ha sido guardada."));
        expectStored();
        QCOMPARE(count("CLIENTES"), 2);
    }

    void stockFailureKeepsTheOrder()
    {
        QVERIFY(m_db->exec("CREATE TRIGGER FALLA BEFORE UPDATE ON ARTICULOS WHEN OLD.COD_ART = 'B' "
                           "BEGIN SELECT RAISE(ABORT, 'sin stock'); END"));
        // Another reader, while the order waits on the box halfway, sees none of it.
        int seen = -1;
        m_dialogs->answerMessage(Dialogs::Cancel, [&] { seen = count("PEDIDOS") + count("LINEAS_PEDIDOS"); });
        m_dialogs->answerMessage(Dialogs::Ok).answerMessage(Dialogs::Ok);
        const OrderConfirmation::Result result
            = OrderConfirmation(acnDataBase(), *m_dialogs, m_cursor.get()).confirm(draft());
        QCOMPARE(result.outcome, Outcome::Stored);
        QCOMPARE(result.stockFailures, 1);
        QCOMPARE(seen, 0);
        const QList<Dialogs::Message> shown = m_dialogs->messages();
        QCOMPARE(shown[1].text, S("error al actualizar stock"));
        QCOMPARE(shown[1].title, S("Recorvan"));
        QCOMPARE(shown[2].text, S("ORDEN #16 ha sido guardada."));
        QCOMPARE(count("LINEAS_PEDIDOS"), 3);
        QCOMPARE(QList<int>({stock("A"), stock("B"), stock("C")}), QList<int>({8, 10, 9}));
        QCOMPARE(text("SELECT ULTIMO_PEDIDO FROM SETUP"), S("16"));
    }

    void textsAreStoredExactly_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("newCustomer");
        QTest::newRow("apostrophe, edited customer") << "O'Brien" << false;
        QTest::newRow("quotes and percent, new customer") << "\"50%\" de 'descuento'_" << true;
        QTest::newRow("accents, new customer") << "Peña Ñandú — Asunción" << true;
        QTest::newRow("statement-like") << "'); DELETE FROM PEDIDOS; --" << false;
    }

    void textsAreStoredExactly()
    {
        QFETCH(QString, typed);
        QFETCH(bool, newCustomer);
        QVERIFY(m_db->exec("UPDATE ARTICULOS SET COD_ART = ? WHERE COD_ART = 'A'", {typed}));
        if (newCustomer)
            m_cursor->addNew();
        for (int i = 0; i < CustomerCursor::fieldCount; ++i)
            QVERIFY(m_cursor->setValue(Field(i), typed + QString::number(i)));
        OrderDraft order = draft();
        order.formaDeEnvio = typed + "E";
        order.formaDePago = typed + "P";
        order.observaciones = typed + "O";
        order.lines[0][4] = typed;
        order.lines[0][5] = typed + "D";
        m_dialogs->answerMessage(Dialogs::Ok);
        QCOMPARE(OrderConfirmation(acnDataBase(), *m_dialogs, m_cursor.get()).confirm(order).outcome, Outcome::Stored);

        QCOMPARE(count("CLIENTES"), newCustomer ? 2 : 1);
        const QStringList header = {"CLIENTE", "DIRECCION", "RUC", "TELEFONO", "CONTACTO", "EMAIL"};
        for (int i = 0; i < CustomerCursor::fieldCount; ++i) {
            const QString column = CustomerCursor::columnName(Field(i));
            QCOMPARE(text("SELECT " + header[i] + " FROM PEDIDOS"), typed + QString::number(i));
            QCOMPARE(
                m_db->scalar("SELECT COUNT(*) FROM CLIENTES WHERE " + column + " = ?", {typed + QString::number(i)})
                    .toInt(),
                1);
        }
        QCOMPARE(text("SELECT FORMA_DE_ENVIO || FORMA_DE_PAGO || OBSERVACIONES FROM PEDIDOS"),
            typed + "E" + typed + "P" + typed + "O");
        QCOMPARE(text("SELECT COD_ART || DETALLES FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1"), typed + typed + "D");
        QCOMPARE(stock(typed), 8);
        QCOMPARE(count("PEDIDOS"), 1);
    }

    void emptyCustomerTableStoresTheTypedTexts()
    {
        QVERIFY(m_db->exec("DELETE FROM CLIENTES"));
        QVERIFY(!m_cursor->open());
        OrderDraft order = draft();
        order.nombre = "Escrito a mano";
        order.email = "";
        m_dialogs->answerMessage(Dialogs::Ok);
        QCOMPARE(OrderConfirmation(acnDataBase(), *m_dialogs, m_cursor.get()).confirm(order).outcome, Outcome::Stored);
        QCOMPARE(count("CLIENTES"), 0);
        QCOMPARE(text("SELECT CLIENTE FROM PEDIDOS"), S("Escrito a mano"));
        QVERIFY(!m_db->scalar("SELECT EMAIL FROM PEDIDOS").isNull());
        QCOMPARE(text("SELECT EMAIL FROM PEDIDOS"), S(""));
    }

private:
    QString text(const QString &sql) const { return m_db->scalar(sql).toString(); }
    int count(const QString &table) const { return m_db->scalar("SELECT COUNT(*) FROM " + table).toInt(); }
    int stock(const QString &code) const
    {
        return m_db->scalar("SELECT STK_ACTUAL FROM ARTICULOS WHERE COD_ART = ?", {code}).toInt();
    }

    // The draft's order stored once, stock lowered, the counter advanced in the file and in memory.
    void expectStored()
    {
        QCOMPARE(text("SELECT GROUP_CONCAT(NRO_PEDIDO) FROM PEDIDOS"), S("16"));
        QCOMPARE(text("SELECT GROUP_CONCAT(NRO_PEDIDO || '.' || NRO_LINEA) FROM LINEAS_PEDIDOS"), S("16.1,16.2,16.3"));
        QCOMPARE(QList<int>({stock("A"), stock("B"), stock("C")}), QList<int>({8, 7, 9}));
        QCOMPARE(text("SELECT ULTIMO_PEDIDO FROM SETUP"), S("16"));
        QCOMPARE(strULTIMO_PEDIDO, S("16"));
    }

    void expectNothingStored()
    {
        QCOMPARE(count("PEDIDOS") + count("LINEAS_PEDIDOS"), 0);
        QCOMPARE(count("CLIENTES"), 1);
        QCOMPARE(QList<int>({stock("A"), stock("B"), stock("C")}), QList<int>({10, 10, 10}));
        QCOMPARE(text("SELECT ULTIMO_PEDIDO FROM SETUP"), S("15"));
        QCOMPARE(strULTIMO_PEDIDO, S("15"));
    }

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<CustomerCursor> m_cursor;
};

QTEST_GUILESS_MAIN(tst_OrderConfirmation)
#include "tst_orderconfirmation.moc"
