#include "app/globals.h"
#include "app/regional.h"
#include "data/connection.h"
#include "data/customercursor.h"
#include "order/orderconfirmation.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QtTest>

using Field = CustomerCursor::Field;
using Outcome = OrderConfirmation::Outcome;

class tst_OrderConfirmation : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void storesTheWholeOrder();
    void noLinesStoresNothing();
    void badTextsAreRefusedBeforeStoring_data();
    void badTextsAreRefusedBeforeStoring();
    void quantitiesRoundHalvesToEven_data();
    void quantitiesRoundHalvesToEven();
    void cancelledRoutineUndoesTheOrder_data();
    void cancelledRoutineUndoesTheOrder();
    void retryThatSucceedsGoesOn();
    void stockFailureKeepsTheOrder();
    void orderIsInvisibleUntilCommitted();
    void engineEndingTheTransactionUndoesTheOrder();
    void commitRefusedUndoesTheOrderAndTheCounter();
    void customerFailureStoresNothing();
    void newCustomerIsStoredWithTheOrder();
    void editedCustomerIsStoredWithTheOrder();
    void emptyCustomerTableStoresTheTypedTexts();
    void textsAreStoredExactly_data();
    void textsAreStoredExactly();

private:
    OrderDraft draft() const;
    int count(const QString &table) const;
    int stock(const QString &code) const;
    void expectStored(const QString &number);

    TestDatabase *m_db = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;
    CustomerCursor *m_cursor = nullptr;
};

void tst_OrderConfirmation::init()
{
    Regional::setCurrent(Regional::commaDayFirst());
    m_db = new TestDatabase;
    QVERIFY(m_db->isValid());
    for (const char *code : {"A", "B", "C"}) {
        QVERIFY(m_db->exec("INSERT INTO ARTICULOS (COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, P_UNITARIO, "
                           "FECHA_ACT) VALUES (?, ?, ?, 10, 5, '2004-01-01')",
            {code, QString("F") + code, QString("Artículo ") + code}));
    }
    QVERIFY(m_db->exec("INSERT INTO CLIENTES (NOMBRE, DIRECCION, RUC, TELEFONO, CONTACTO, EMAIL) "
                       "VALUES ('Cliente Uno', 'Calle 1', '80001', '021-1', 'Ana', 'uno@x.py')"));
    QVERIFY(!acnDataBase().open(m_db->path()));
    strEMPRESA = QStringLiteral("Empresa de Prueba");
    strULTIMO_PEDIDO = QStringLiteral("15");
    m_dialogs = new ScriptedDialogs;
    m_cursor = new CustomerCursor(acnDataBase());
    QVERIFY(!m_cursor->open());
}

void tst_OrderConfirmation::cleanup()
{
    QCOMPARE(m_dialogs->pendingAnswers(), 0);
    delete m_cursor;
    delete m_dialogs;
    acnDataBase().close();
    delete m_db;
}

// Three lines, as the grid holds them.
OrderDraft tst_OrderConfirmation::draft() const
{
    OrderDraft order;
    order.nroPedido = "16";
    order.fecha = "20/08/2004";
    order.nombre = "Cliente Uno";
    order.direccion = "Calle 1";
    order.ruc = "80001";
    order.telefono = "021-1";
    order.contacto = "Ana";
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

int tst_OrderConfirmation::count(const QString &table) const
{
    return m_db->scalar("SELECT COUNT(*) FROM " + table).toInt();
}

int tst_OrderConfirmation::stock(const QString &code) const
{
    return m_db->scalar("SELECT STK_ACTUAL FROM ARTICULOS WHERE COD_ART = ?", {code}).toInt();
}

// The draft's order, stored once, with the counter advanced.
void tst_OrderConfirmation::expectStored(const QString &number)
{
    QCOMPARE(count("PEDIDOS"), 1);
    QCOMPARE(m_db->scalar("SELECT NRO_PEDIDO FROM PEDIDOS").toString(), number);
    QCOMPARE(count("LINEAS_PEDIDOS"), 3);
    QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM LINEAS_PEDIDOS WHERE NRO_PEDIDO = ?", {number}).toInt(), 3);
    QCOMPARE(stock("A"), 8);
    QCOMPARE(stock("B"), 7);
    QCOMPARE(stock("C"), 9);
    QCOMPARE(m_db->scalar("SELECT ULTIMO_PEDIDO FROM SETUP").toString(), number);
    QCOMPARE(strULTIMO_PEDIDO, number);
}

void tst_OrderConfirmation::storesTheWholeOrder()
{
    OrderConfirmation confirmation(m_cursor);
    QList<int> rowsShown;
    confirmation.setLineStarting([&](int row) { rowsShown.append(row); });
    m_dialogs->answerMessage(QMessageBox::Ok);

    const OrderConfirmation::Result result = confirmation.confirm(draft());

    QCOMPARE(result.outcome, Outcome::Stored);
    QCOMPARE(result.stockFailures, 0);
    QCOMPARE(rowsShown, QList<int>({1, 2, 3}));
    QCOMPARE(m_dialogs->messages().size(), 1);
    const Dialogs::Message shown = m_dialogs->messages().first();
    QCOMPARE(shown.text, QString("ORDEN #16 ha sido guardada."));
    QCOMPARE(shown.title, QString("Atención"));
    QCOMPARE(shown.icon, QMessageBox::Information);

    expectStored("16");
    QCOMPARE(m_db->scalar("SELECT FECHA FROM PEDIDOS").toString(), QString("2004-08-20"));
    QCOMPARE(m_db->scalar("SELECT CLIENTE FROM PEDIDOS").toString(), QString("Cliente Uno"));
    QCOMPARE(m_db->scalar("SELECT EMAIL FROM PEDIDOS").toString(), QString("uno@x.py"));
    QCOMPARE(m_db->scalar("SELECT FORMA_DE_ENVIO FROM PEDIDOS").toString(), QString("Transporte"));
    QCOMPARE(m_db->scalar("SELECT FORMA_DE_PAGO FROM PEDIDOS").toString(), QString("Contado"));
    QCOMPARE(m_db->scalar("SELECT OBSERVACIONES FROM PEDIDOS").toString(), QString("Urgente"));
    QCOMPARE(m_db->scalar("SELECT COD_ART FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1").toString(), QString("A"));
    QCOMPARE(m_db->scalar("SELECT CANTIDAD FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1").toInt(), 2);
    QCOMPARE(m_db->scalar("SELECT P_UNITARIO FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1").toDouble(), 1234.5);
    QCOMPARE(m_db->scalar("SELECT DETALLES FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1").toString(), QString("rojo"));
    QCOMPARE(m_db->scalar("SELECT P_UNITARIO FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 2").toDouble(), 12.5);
    QCOMPARE(m_db->scalar("SELECT DETALLES FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 2").toString(), QString(""));
    QCOMPARE(m_db->scalar("SELECT COD_ART FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 3").toString(), QString("C"));
    QCOMPARE(m_db->scalar("SELECT FECHA_ACT FROM ARTICULOS WHERE COD_ART = 'A'").toString(),
        QDate::currentDate().toString(Qt::ISODate));
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Cliente Uno"));

    // The next order follows on.
    OrderDraft next = draft();
    next.nroPedido = "17";
    m_dialogs->answerMessage(QMessageBox::Ok);
    QCOMPARE(confirmation.confirm(next).outcome, Outcome::Stored);
    QCOMPARE(count("PEDIDOS"), 2);
    QCOMPARE(strULTIMO_PEDIDO, QString("17"));
    QCOMPARE(m_db->scalar("SELECT ULTIMO_PEDIDO FROM SETUP").toInt(), 17);
}

void tst_OrderConfirmation::noLinesStoresNothing()
{
    QVERIFY(m_cursor->setValue(Field::Nombre, "Cambiado"));
    OrderDraft order = draft();
    order.lines.clear();
    m_dialogs->answerMessage(QMessageBox::Ok);

    QCOMPARE(OrderConfirmation(m_cursor).confirm(order).outcome, Outcome::NoLines);

    QCOMPARE(m_dialogs->messages().size(), 1);
    QCOMPARE(m_dialogs->messages().first().text, QString("No hay orden a guardar."));
    QCOMPARE(m_dialogs->messages().first().title, QString("Atención"));
    QCOMPARE(m_dialogs->messages().first().icon, QMessageBox::Information);
    QCOMPARE(count("PEDIDOS"), 0);
    QCOMPARE(strULTIMO_PEDIDO, QString("15"));
    // The customer's edit is neither stored nor thrown away.
    QCOMPARE(m_db->scalar("SELECT NOMBRE FROM CLIENTES").toString(), QString("Cliente Uno"));
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Cambiado"));
}

void tst_OrderConfirmation::badTextsAreRefusedBeforeStoring_data()
{
    QTest::addColumn<QString>("nroPedido");
    QTest::addColumn<QString>("fecha");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("cellText");
    QTest::addColumn<int>("refusedLine");
    QTest::addColumn<QString>("named");

    QTest::newRow("price not a number") << "16"
                                        << "20/08/2004" << 1 << 2 << "doce" << 2 << "Línea 2";
    QTest::newRow("empty price") << "16"
                                 << "20/08/2004" << 2 << 2 << "" << 3 << "Línea 3";
    QTest::newRow("price with a point") << "16"
                                        << "20/08/2004" << 0 << 2 << "1.5x" << 1 << "Línea 1";
    QTest::newRow("quantity beyond 32 bits") << "16"
                                             << "20/08/2004" << 1 << 1 << "3000000000" << 2 << "Línea 2";
    QTest::newRow("order number beyond 32 bits") << "99999999999"
                                                 << "20/08/2004" << 0 << 1 << "2" << 0 << "99999999999";
    QTest::newRow("date that is not a date") << "16"
                                             << "31/02/2004" << 0 << 1 << "2" << 0 << "31/02/2004";
    QTest::newRow("empty date") << "16"
                                << "" << 0 << 1 << "2" << 0 << "fecha";
}

void tst_OrderConfirmation::badTextsAreRefusedBeforeStoring()
{
    QFETCH(QString, nroPedido);
    QFETCH(QString, fecha);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, cellText);
    QFETCH(int, refusedLine);
    QFETCH(QString, named);

    m_cursor->addNew();
    QVERIFY(m_cursor->setValue(Field::Nombre, "Cliente Nuevo"));
    OrderDraft order = draft();
    order.nroPedido = nroPedido;
    order.fecha = fecha;
    order.lines[row][column] = cellText;
    m_dialogs->answerMessage(QMessageBox::Ok);

    const OrderConfirmation::Result result = OrderConfirmation(m_cursor).confirm(order);

    QCOMPARE(result.outcome, Outcome::Refused);
    QCOMPARE(result.line, refusedLine);
    QCOMPARE(m_dialogs->messages().size(), 1);
    QVERIFY2(m_dialogs->messages().first().text.contains(named), qPrintable(m_dialogs->messages().first().text));
    QVERIFY(m_dialogs->messages().first().text.contains("no se guardó"));
    QCOMPARE(m_dialogs->messages().first().title, QString("Atención"));
    QCOMPARE(count("PEDIDOS"), 0);
    QCOMPARE(count("LINEAS_PEDIDOS"), 0);
    QCOMPARE(count("CLIENTES"), 1);
    QCOMPARE(stock("A"), 10);
    QCOMPARE(strULTIMO_PEDIDO, QString("15"));
    QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::New);
}

void tst_OrderConfirmation::quantitiesRoundHalvesToEven_data()
{
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<int>("stored");
    QTest::newRow("2.5 to 2") << "2.5" << 2;
    QTest::newRow("3.5 to 4") << "3.5" << 4;
    QTest::newRow("comma stops the number") << "1,5" << 1;
    QTest::newRow("letters after digits") << "7 uds" << 7;
    QTest::newRow("no number at all") << "muchos" << 0;
}

void tst_OrderConfirmation::quantitiesRoundHalvesToEven()
{
    QFETCH(QString, quantity);
    QFETCH(int, stored);
    OrderDraft order = draft();
    order.lines = {{"Artículo A", quantity, "5,00", "", "A", "", "FA"}};
    m_dialogs->answerMessage(QMessageBox::Ok);
    QCOMPARE(OrderConfirmation(m_cursor).confirm(order).outcome, Outcome::Stored);
    QCOMPARE(m_db->scalar("SELECT CANTIDAD FROM LINEAS_PEDIDOS").toInt(), stored);
    QCOMPARE(stock("A"), 10 - stored);
}

void tst_OrderConfirmation::cancelledRoutineUndoesTheOrder_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("line");

    QTest::newRow("header") << "CREATE TRIGGER FALLA BEFORE INSERT ON PEDIDOS BEGIN SELECT RAISE(ABORT, 'fallo'); END"
                            << "error al guardar el pedido" << int(Outcome::HeaderNotStored) << 0;
    QTest::newRow("second line") << "CREATE TRIGGER FALLA BEFORE INSERT ON LINEAS_PEDIDOS WHEN NEW.NRO_LINEA = 2 "
                                    "BEGIN SELECT RAISE(ABORT, 'fallo'); END"
                                 << "error al guardar la linea del pedido" << int(Outcome::LineNotStored) << 2;
    QTest::newRow("counter") << "CREATE TRIGGER FALLA BEFORE UPDATE ON SETUP BEGIN SELECT RAISE(ABORT, 'fallo'); END"
                             << "no se pudo aumentar el numero de pedido." << int(Outcome::CounterNotAdvanced) << 0;
}

void tst_OrderConfirmation::cancelledRoutineUndoesTheOrder()
{
    QFETCH(QString, trigger);
    QFETCH(QString, message);
    QFETCH(int, outcome);
    QFETCH(int, line);

    QVERIFY(m_db->exec(trigger));
    m_cursor->addNew();
    QVERIFY(m_cursor->setValue(Field::Nombre, "Cliente Nuevo"));
    QVERIFY(m_cursor->setValue(Field::Email, "nuevo@x.py"));
    OrderConfirmation confirmation(m_cursor);
    m_dialogs->answerMessage(QMessageBox::Cancel).answerMessage(QMessageBox::Ok);

    const OrderConfirmation::Result result = confirmation.confirm(draft());

    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(result.line, line);
    const QList<Dialogs::Message> shown = m_dialogs->messages();
    QCOMPARE(shown.size(), 2);
    QVERIFY(shown[0].title.startsWith("Error: "));
    QCOMPARE(shown[0].text, QString("fallo"));
    QCOMPARE(shown[0].icon, QMessageBox::Critical);
    QCOMPARE(shown[1].text, message);
    QCOMPARE(shown[1].title, QString("Recorvan"));
    QCOMPARE(shown[1].icon, QMessageBox::NoIcon);

    QCOMPARE(count("PEDIDOS"), 0);
    QCOMPARE(count("LINEAS_PEDIDOS"), 0);
    QCOMPARE(count("CLIENTES"), 1);
    QCOMPARE(stock("A"), 10);
    QCOMPARE(stock("B"), 10);
    QCOMPARE(m_db->scalar("SELECT ULTIMO_PEDIDO FROM SETUP").toInt(), 15);
    QCOMPARE(strULTIMO_PEDIDO, QString("15"));
    // The new customer is still pending, as typed.
    QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::New);
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Cliente Nuevo"));
    QCOMPARE(m_cursor->recordCount(), 1);

    // Confirming again, once the fault is gone, stores everything once.
    QVERIFY(m_db->exec("DROP TRIGGER FALLA"));
    m_dialogs->clear();
    m_dialogs->answerMessage(QMessageBox::Ok);
    QCOMPARE(confirmation.confirm(draft()).outcome, Outcome::Stored);
    QCOMPARE(m_dialogs->messages().size(), 1);
    expectStored("16");
    QCOMPARE(count("CLIENTES"), 2);
    QCOMPARE(m_db->scalar("SELECT CLIENTE FROM PEDIDOS").toString(), QString("Cliente Nuevo"));
    QCOMPARE(m_db->scalar("SELECT EMAIL FROM PEDIDOS").toString(), QString("nuevo@x.py"));
    QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::None);
}

void tst_OrderConfirmation::retryThatSucceedsGoesOn()
{
    QVERIFY(m_db->exec("CREATE TRIGGER FALLA BEFORE INSERT ON LINEAS_PEDIDOS WHEN NEW.NRO_LINEA = 3 "
                       "BEGIN SELECT RAISE(ABORT, 'fallo'); END"));
    // The fault goes away while the box is open; the order holds the write lock, so it is
    // removed through the order's own connection.
    m_dialogs->answerMessage(QMessageBox::Retry, [] { acnDataBase().execute("DROP TRIGGER FALLA"); })
        .answerMessage(QMessageBox::Ok);
    QCOMPARE(OrderConfirmation(m_cursor).confirm(draft()).outcome, Outcome::Stored);
    QCOMPARE(m_dialogs->messages().size(), 2);
    QCOMPARE(m_dialogs->messages().last().text, QString("ORDEN #16 ha sido guardada."));
    expectStored("16");
}

void tst_OrderConfirmation::stockFailureKeepsTheOrder()
{
    QVERIFY(m_db->exec("CREATE TRIGGER FALLA BEFORE UPDATE ON ARTICULOS WHEN OLD.COD_ART = 'B' "
                       "BEGIN SELECT RAISE(ABORT, 'sin stock'); END"));
    m_dialogs->answerMessage(QMessageBox::Cancel).answerMessage(QMessageBox::Ok).answerMessage(QMessageBox::Ok);

    const OrderConfirmation::Result result = OrderConfirmation(m_cursor).confirm(draft());

    QCOMPARE(result.outcome, Outcome::Stored);
    QCOMPARE(result.stockFailures, 1);
    const QList<Dialogs::Message> shown = m_dialogs->messages();
    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown[0].text, QString("sin stock"));
    QCOMPARE(shown[1].text, QString("error al actualizar stock"));
    QCOMPARE(shown[1].title, QString("Recorvan"));
    QCOMPARE(shown[1].icon, QMessageBox::NoIcon);
    QCOMPARE(shown[2].text, QString("ORDEN #16 ha sido guardada."));
    QCOMPARE(count("PEDIDOS"), 1);
    QCOMPARE(count("LINEAS_PEDIDOS"), 3);
    QCOMPARE(stock("A"), 8);
    QCOMPARE(stock("B"), 10);
    QCOMPARE(stock("C"), 9);
    QCOMPARE(strULTIMO_PEDIDO, QString("16"));
    QCOMPARE(m_db->scalar("SELECT ULTIMO_PEDIDO FROM SETUP").toInt(), 16);
}

void tst_OrderConfirmation::orderIsInvisibleUntilCommitted()
{
    QVERIFY(m_db->exec("CREATE TRIGGER FALLA BEFORE UPDATE ON ARTICULOS WHEN OLD.COD_ART = 'C' "
                       "BEGIN SELECT RAISE(ABORT, 'sin stock'); END"));
    // Another reader, while the order waits on a box halfway, sees none of it.
    int headersSeen = -1;
    int linesSeen = -1;
    m_dialogs->answerMessage(QMessageBox::Cancel, [&] {
        headersSeen = count("PEDIDOS");
        linesSeen = count("LINEAS_PEDIDOS");
    });
    m_dialogs->answerMessage(QMessageBox::Ok).answerMessage(QMessageBox::Ok);
    QCOMPARE(OrderConfirmation(m_cursor).confirm(draft()).outcome, Outcome::Stored);
    QCOMPARE(headersSeen, 0);
    QCOMPARE(linesSeen, 0);
    QCOMPARE(count("LINEAS_PEDIDOS"), 3);
}

void tst_OrderConfirmation::engineEndingTheTransactionUndoesTheOrder()
{
    QVERIFY(m_db->exec("CREATE TRIGGER FALLA BEFORE UPDATE ON ARTICULOS WHEN OLD.COD_ART = 'B' "
                       "BEGIN SELECT RAISE(ROLLBACK, 'disco lleno'); END"));
    m_dialogs->answerMessage(QMessageBox::Cancel).answerMessage(QMessageBox::Ok);

    QCOMPARE(OrderConfirmation(m_cursor).confirm(draft()).outcome, Outcome::HeaderNotStored);

    QCOMPARE(m_dialogs->messages().size(), 2);
    QCOMPARE(m_dialogs->messages().last().text, QString("error al guardar el pedido"));
    QCOMPARE(count("PEDIDOS"), 0);
    QCOMPARE(count("LINEAS_PEDIDOS"), 0);
    QCOMPARE(stock("A"), 10);
    QCOMPARE(stock("C"), 10);
    QCOMPARE(strULTIMO_PEDIDO, QString("15"));
}

void tst_OrderConfirmation::commitRefusedUndoesTheOrderAndTheCounter()
{
    // A deferred check makes the engine refuse the commit itself, after every step went well.
    QVERIFY(m_db->exec("CREATE TABLE VIGIA (REF INTEGER REFERENCES CLIENTES (ID) DEFERRABLE INITIALLY DEFERRED)"));
    QVERIFY(m_db->exec("CREATE TRIGGER FALLA AFTER UPDATE ON SETUP BEGIN INSERT INTO VIGIA VALUES (999); END"));
    QVERIFY(!acnDataBase().execute("PRAGMA foreign_keys = ON"));
    m_cursor->addNew();
    QVERIFY(m_cursor->setValue(Field::Nombre, "Cliente Nuevo"));
    m_dialogs->answerMessage(QMessageBox::Retry).answerMessage(QMessageBox::Cancel).answerMessage(QMessageBox::Ok);

    QCOMPARE(OrderConfirmation(m_cursor).confirm(draft()).outcome, Outcome::HeaderNotStored);

    const QList<Dialogs::Message> shown = m_dialogs->messages();
    QCOMPARE(shown.size(), 3);
    QVERIFY(shown[0].title.startsWith("Error: "));
    QCOMPARE(shown[1].title, shown[0].title);
    QCOMPARE(shown[2].text, QString("error al guardar el pedido"));
    QCOMPARE(count("PEDIDOS"), 0);
    QCOMPARE(count("LINEAS_PEDIDOS"), 0);
    QCOMPARE(count("CLIENTES"), 1);
    QCOMPARE(stock("A"), 10);
    QCOMPARE(m_db->scalar("SELECT ULTIMO_PEDIDO FROM SETUP").toInt(), 15);
    // The counter had advanced in memory; it is put back with the rest.
    QCOMPARE(strULTIMO_PEDIDO, QString("15"));
    QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::New);
    QCOMPARE(m_cursor->recordCount(), 1);
}

void tst_OrderConfirmation::customerFailureStoresNothing()
{
    QVERIFY(m_db->exec("CREATE TRIGGER FALLA BEFORE INSERT ON CLIENTES BEGIN SELECT RAISE(ABORT, 'cliente no'); END"));
    m_cursor->addNew();
    QVERIFY(m_cursor->setValue(Field::Nombre, "Cliente Nuevo"));
    m_dialogs->answerMessage(QMessageBox::Ok);

    QCOMPARE(OrderConfirmation(m_cursor).confirm(draft()).outcome, Outcome::CustomerNotStored);

    QCOMPARE(m_dialogs->messages().size(), 1);
    const Dialogs::Message shown = m_dialogs->messages().first();
    QCOMPARE(shown.text, QString("No se pudo guardar los datos del cliente."));
    QVERIFY2(shown.title.startsWith("Error: ") && shown.title.endsWith(" - cliente no"), qPrintable(shown.title));
    QCOMPARE(shown.icon, QMessageBox::Information);
    QCOMPARE(count("PEDIDOS"), 0);
    QCOMPARE(count("CLIENTES"), 1);
    QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::New);
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Cliente Nuevo"));
}

void tst_OrderConfirmation::newCustomerIsStoredWithTheOrder()
{
    m_cursor->addNew();
    const QStringList texts = {"Zapatería Ñu", "Av. España 1", "80099-1", "0981 000", "Peña", "z@x.py"};
    for (int i = 0; i < CustomerCursor::fieldCount; ++i)
        QVERIFY(m_cursor->setValue(Field(i), texts[i]));
    m_dialogs->answerMessage(QMessageBox::Ok);

    QCOMPARE(OrderConfirmation(m_cursor).confirm(draft()).outcome, Outcome::Stored);

    QCOMPARE(count("CLIENTES"), 2);
    QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::None);
    QCOMPARE(m_cursor->position(), 1);
    const QStringList headerColumns = {"CLIENTE", "DIRECCION", "RUC", "TELEFONO", "CONTACTO", "EMAIL"};
    for (int i = 0; i < CustomerCursor::fieldCount; ++i) {
        const QString column = CustomerCursor::columnName(Field(i));
        QCOMPARE(m_db->scalar("SELECT " + column + " FROM CLIENTES WHERE ID = 2").toString(), texts[i]);
        QCOMPARE(m_db->scalar("SELECT " + headerColumns[i] + " FROM PEDIDOS").toString(), texts[i]);
    }
}

void tst_OrderConfirmation::editedCustomerIsStoredWithTheOrder()
{
    QVERIFY(m_cursor->setValue(Field::Telefono, "0991 123"));
    m_dialogs->answerMessage(QMessageBox::Ok);
    QCOMPARE(OrderConfirmation(m_cursor).confirm(draft()).outcome, Outcome::Stored);
    QCOMPARE(count("CLIENTES"), 1);
    QCOMPARE(m_db->scalar("SELECT TELEFONO FROM CLIENTES").toString(), QString("0991 123"));
    QCOMPARE(m_db->scalar("SELECT TELEFONO FROM PEDIDOS").toString(), QString("0991 123"));
    QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::None);
}

void tst_OrderConfirmation::emptyCustomerTableStoresTheTypedTexts()
{
    QVERIFY(m_db->exec("DELETE FROM CLIENTES"));
    QVERIFY(!m_cursor->open());
    OrderDraft order = draft();
    order.nombre = "Escrito a mano";
    order.email = "";
    m_dialogs->answerMessage(QMessageBox::Ok);
    QCOMPARE(OrderConfirmation(m_cursor).confirm(order).outcome, Outcome::Stored);
    QCOMPARE(count("CLIENTES"), 0);
    QCOMPARE(m_db->scalar("SELECT CLIENTE FROM PEDIDOS").toString(), QString("Escrito a mano"));
    QCOMPARE(m_db->scalar("SELECT EMAIL FROM PEDIDOS").toString(), QString(""));
    QVERIFY(!m_db->scalar("SELECT EMAIL FROM PEDIDOS").isNull());
}

void tst_OrderConfirmation::textsAreStoredExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("apostrophe") << "O'Brien";
    QTest::newRow("quotes and percent") << "\"50%\" de 'descuento'_";
    QTest::newRow("accents") << "Peña Ñandú — Asunción";
    QTest::newRow("statement-like") << "'); DELETE FROM PEDIDOS; --";
}

void tst_OrderConfirmation::textsAreStoredExactly()
{
    QFETCH(QString, text);
    QVERIFY(m_db->exec("UPDATE ARTICULOS SET COD_ART = ? WHERE COD_ART = 'A'", {text}));
    for (int i = 0; i < CustomerCursor::fieldCount; ++i)
        QVERIFY(m_cursor->setValue(Field(i), text + QString::number(i)));
    OrderDraft order = draft();
    order.formaDeEnvio = text + "E";
    order.formaDePago = text + "P";
    order.observaciones = text + "O";
    order.lines[0][4] = text;
    order.lines[0][5] = text + "D";
    m_dialogs->answerMessage(QMessageBox::Ok);

    QCOMPARE(OrderConfirmation(m_cursor).confirm(order).outcome, Outcome::Stored);

    const QStringList headerColumns = {"CLIENTE", "DIRECCION", "RUC", "TELEFONO", "CONTACTO", "EMAIL"};
    for (int i = 0; i < CustomerCursor::fieldCount; ++i) {
        QCOMPARE(m_db->scalar("SELECT " + headerColumns[i] + " FROM PEDIDOS").toString(), text + QString::number(i));
        QCOMPARE(m_db->scalar("SELECT " + CustomerCursor::columnName(Field(i)) + " FROM CLIENTES").toString(),
            text + QString::number(i));
    }
    QCOMPARE(m_db->scalar("SELECT FORMA_DE_ENVIO FROM PEDIDOS").toString(), text + "E");
    QCOMPARE(m_db->scalar("SELECT FORMA_DE_PAGO FROM PEDIDOS").toString(), text + "P");
    QCOMPARE(m_db->scalar("SELECT OBSERVACIONES FROM PEDIDOS").toString(), text + "O");
    QCOMPARE(m_db->scalar("SELECT COD_ART FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1").toString(), text);
    QCOMPARE(m_db->scalar("SELECT DETALLES FROM LINEAS_PEDIDOS WHERE NRO_LINEA = 1").toString(), text + "D");
    QCOMPARE(stock(text), 8);
    QCOMPARE(count("PEDIDOS"), 1);
}

QTEST_GUILESS_MAIN(tst_OrderConfirmation)
#include "tst_orderconfirmation.moc"
