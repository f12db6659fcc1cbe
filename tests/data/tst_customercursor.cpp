#include "base/regional.h"
#include "data/connection.h"
#include "data/customercursor.h"
#include "data/transaction.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using Field = CustomerCursor::Field;

class tst_CustomerCursor : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Regional::setCurrent(Regional::commaDayFirst());
        QVERIFY(m_db.emplace().isValid());
        QVERIFY_NO_ERROR(acnDataBase().open(m_db->path()));
    }
    void cleanup()
    {
        m_cursor.reset();
        acnDataBase().close();
    }

    void emptyTableTakesItsFirstCustomer();
    void browsesInNameOrderToBothEnds();
    void editsAreThrownAwayByMovingAndCancel();
    void newRecordIsThrownAwayOrStored();
    void storedCustomerTakesItsPlaceInNameOrder_data();
    void storedCustomerTakesItsPlaceInNameOrder();
    void updateStoresByKey();
    void moveZeroReadsTheStoredValues();
    void stateComesBackAfterAnUndoneTransaction();

private:
    CustomerCursor &open(std::initializer_list<const char *> names);
    QStringList names();
    QString stored(const QString &sql) const { return m_db->scalar(sql).toString(); }

    std::optional<TestDatabase> m_db;
    std::unique_ptr<CustomerCursor> m_cursor;
};

// Stores the customers (every other column derived from the name) and opens a cursor on them.
CustomerCursor &tst_CustomerCursor::open(std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        const QString n = QString::fromUtf8(name);
        m_db->exec("INSERT INTO CLIENTES (NOMBRE, DIRECCION, RUC, TELEFONO, CONTACTO, EMAIL) VALUES (?, ?, ?, ?, ?, ?)",
            {n, "Dir " + n, "RUC " + n, "Tel " + n, "Con " + n, "mail@" + n});
    }
    m_cursor = std::make_unique<CustomerCursor>(acnDataBase());
    if (m_cursor->open())
        qWarning("the cursor did not open");
    return *m_cursor;
}

// Walks the cursor from the first record to the end and back to where it stood.
QStringList tst_CustomerCursor::names()
{
    QStringList names;
    const int position = m_cursor->position();
    for (m_cursor->moveFirst(); !m_cursor->eof(); m_cursor->moveNext())
        names.append(m_cursor->value(Field::Nombre));
    m_cursor->moveFirst();
    m_cursor->move(position);
    return names;
}

void tst_CustomerCursor::emptyTableTakesItsFirstCustomer()
{
    CustomerCursor &cursor = open({});
    QVERIFY(cursor.bof() && cursor.eof());
    QVERIFY(!cursor.setValue(Field::Nombre, "Nadie"));
    cursor.moveLast();
    QVERIFY(cursor.bof() && cursor.eof());
    QCOMPARE(cursor.update(), std::nullopt);
    QCOMPARE(cursor.move(0), std::nullopt);
    QCOMPARE(stored("SELECT COUNT(*) FROM CLIENTES"), QString("0"));

    cursor.addNew();
    QVERIFY(cursor.setValue(Field::Nombre, "Primero"));
    QVERIFY_NO_ERROR(cursor.update());
    QCOMPARE(cursor.position(), 0);
    QCOMPARE(stored("SELECT NOMBRE || '|' || DIRECCION FROM CLIENTES"), QString("Primero|"));
}

void tst_CustomerCursor::browsesInNameOrderToBothEnds()
{
    CustomerCursor &cursor = open({"Zapata", "Ñandú SA", "alberto", "Nuñez", "Álvarez"});
    // The store's Spanish order: case and accents do not move a name; ñ comes after n.
    QCOMPARE(names(), QStringList({"alberto", "Álvarez", "Nuñez", "Ñandú SA", "Zapata"}));
    QCOMPARE(cursor.value(Field::Email), QString("mail@alberto"));

    cursor.movePrevious();
    cursor.movePrevious();
    QVERIFY(cursor.bof() && !cursor.eof());
    QCOMPARE(cursor.value(Field::Nombre), QString());
    cursor.moveNext();
    QCOMPARE(cursor.value(Field::Nombre), QString("alberto"));
    cursor.moveLast();
    cursor.moveNext();
    cursor.moveNext();
    QVERIFY(cursor.eof() && !cursor.bof());
    cursor.movePrevious();
    QCOMPARE(cursor.value(Field::Nombre), QString("Zapata"));
}

void tst_CustomerCursor::editsAreThrownAwayByMovingAndCancel()
{
    CustomerCursor &cursor = open({"A", "B"});
    QVERIFY(cursor.setValue(Field::Nombre, "Cambiado"));
    cursor.moveNext();
    cursor.movePrevious();
    QCOMPARE(cursor.value(Field::Nombre), QString("A"));
    QVERIFY_NO_ERROR(cursor.update());

    cursor.moveNext();
    QVERIFY(cursor.setValue(Field::Telefono, "999"));
    QSignalSpy changed(&cursor, &CustomerCursor::currentChanged);
    cursor.cancelUpdate();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(cursor.value(Field::Telefono), QString("Tel B"));
    QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::None);
    QCOMPARE(stored("SELECT group_concat(NOMBRE || TELEFONO) FROM CLIENTES"), "ATel A,BTel B");
}

// "Nuevo" throws away what is pending on the current record; throwing the new one away (by
// "Cancelar" or by browsing) goes back to the record that was current before.
void tst_CustomerCursor::newRecordIsThrownAwayOrStored()
{
    CustomerCursor &cursor = open({"A", "B", "C"});
    cursor.moveNext();
    cursor.addNew();
    QVERIFY(cursor.setValue(Field::Nombre, "Zzz"));
    cursor.cancelUpdate();
    QCOMPARE(cursor.value(Field::Nombre), QString("B"));
    cursor.addNew();
    cursor.moveNext();
    QCOMPARE(cursor.value(Field::Nombre), QString("C"));
    cursor.moveNext();
    cursor.addNew();
    cursor.cancelUpdate();
    QVERIFY(cursor.eof());

    cursor.moveFirst();
    QVERIFY(cursor.setValue(Field::Nombre, "A cambiado"));
    cursor.addNew();
    QCOMPARE(cursor.value(Field::Nombre), QString(""));
    QVERIFY(cursor.setValue(Field::Nombre, "Nuevo"));
    QVERIFY_NO_ERROR(cursor.update());
    QCOMPARE(stored("SELECT group_concat(NOMBRE) FROM CLIENTES"), "A,B,C,Nuevo");
}

void tst_CustomerCursor::storedCustomerTakesItsPlaceInNameOrder_data()
{
    QTest::addColumn<bool>("isNew");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("new, first") << true << "Aaron" << QStringList{"Aaron", "Beatriz", "Carlos", "Eva"};
    QTest::newRow("new, equal name goes after")
        << true << "Carlos" << QStringList{"Beatriz", "Carlos", "Carlos", "Eva"};
    QTest::newRow("new, accented in place") << true << "Éder" << QStringList{"Beatriz", "Carlos", "Éder", "Eva"};
    QTest::newRow("renamed") << false << "Daniel" << QStringList{"Carlos", "Daniel", "Eva"};
}

// The cursor keeps the order the store gives a cursor opened afresh, and stays on the stored customer.
void tst_CustomerCursor::storedCustomerTakesItsPlaceInNameOrder()
{
    QFETCH(bool, isNew);
    QFETCH(QString, name);
    QFETCH(QStringList, order);
    CustomerCursor &cursor = open({"Beatriz", "Carlos", "Eva"});
    if (isNew)
        cursor.addNew();
    QVERIFY(cursor.setValue(Field::Nombre, name));
    QVERIFY_NO_ERROR(cursor.update());
    QCOMPARE(cursor.position(), order.lastIndexOf(name));
    QCOMPARE(names(), order);
    open({});
    QCOMPARE(names(), order);
}

// Two customers of one name: the second is stored by its key, each field in its column.
void tst_CustomerCursor::updateStoresByKey()
{
    CustomerCursor &cursor = open({"Igual", "Igual"});
    cursor.moveNext();
    for (int i = 0; i < CustomerCursor::fieldCount; ++i)
        QVERIFY(cursor.setValue(Field(i), "O'Brien " + QString::number(i)));
    QVERIFY_NO_ERROR(cursor.update());
    QCOMPARE(cursor.position(), 1);
    QCOMPARE(stored("SELECT DIRECCION FROM CLIENTES WHERE ID = 1"), QString("Dir Igual"));
    for (int i = 0; i < CustomerCursor::fieldCount; ++i) {
        const QString column = CustomerCursor::columnName(Field(i));
        QCOMPARE(stored("SELECT " + column + " FROM CLIENTES WHERE ID = 2"), "O'Brien " + QString::number(i));
    }

    // Gone underneath: the failure is reported and the edits stay on screen.
    QVERIFY(m_db->exec("DELETE FROM CLIENTES"));
    QVERIFY(cursor.setValue(Field::Nombre, "editado"));
    const MaybeError error = cursor.update();
    QCOMPARE(error.value_or(DbError{}).number, DbErrorNumber::NoRowChanged);
    QCOMPARE(cursor.value(Field::Nombre), QString("editado"));
}

void tst_CustomerCursor::moveZeroReadsTheStoredValues()
{
    CustomerCursor &cursor = open({"A", "B"});
    QVERIFY(m_db->exec("UPDATE CLIENTES SET TELEFONO = '555' WHERE NOMBRE = 'A'"));
    QVERIFY(cursor.setValue(Field::Email, "pendiente"));
    QVERIFY_NO_ERROR(cursor.move(0));
    QCOMPARE(cursor.position(), 0);
    QCOMPARE(cursor.value(Field::Telefono), QString("555"));
    QCOMPARE(cursor.value(Field::Email), QString("mail@A"));
}

void tst_CustomerCursor::stateComesBackAfterAnUndoneTransaction()
{
    CustomerCursor &cursor = open({"A", "C"});
    cursor.addNew();
    QVERIFY(cursor.setValue(Field::Nombre, "B"));
    const CustomerCursor::State saved = cursor.saveState();
    {
        Transaction transaction(acnDataBase());
        QVERIFY_NO_ERROR(transaction.begin());
        QVERIFY_NO_ERROR(cursor.update());
    } // rolled back: it leaves the scope uncommitted
    cursor.restoreState(saved);
    QCOMPARE(cursor.recordCount(), 2);
    QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::New);
    QCOMPARE(cursor.value(Field::Nombre), QString("B"));
    QVERIFY_NO_ERROR(cursor.update());
    QCOMPARE(names(), QStringList({"A", "B", "C"}));
    QCOMPARE(stored("SELECT COUNT(*) FROM CLIENTES"), QString("3"));
}

QTEST_GUILESS_MAIN(tst_CustomerCursor)
#include "tst_customercursor.moc"
