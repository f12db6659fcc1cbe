#include "base/regional.h"
#include "data/connection.h"
#include "data/customercursor.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"
#include "tools/democatalogue.h"

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

    // Browsing and throwing edits away are the customer tools' table (tests/order); here, where a
    // stored customer goes: the order the store gives a cursor opened afresh, on the stored customer.
    void storedCustomerTakesItsPlaceInNameOrder_data()
    {
        QTest::addColumn<QStringList>("customers");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("order");
        const auto row
            = [](const char *name, const QStringList &customers, bool isNew, const char *typed, const char *order) {
                  QTest::newRow(name) << customers << isNew << QString::fromUtf8(typed) << QString::fromUtf8(order);
              };
        const QStringList bce = {"Beatriz", "Carlos", "Eva"};
        row("the first of an empty table", {}, true, "Primero", "Primero");
        // The store's Spanish order: case and accents do not move a name; ñ comes after n.
        row("new among Spanish names", {"Zapata", "Ñandú SA", "alberto", "Nuñez", "Álvarez"}, true, "Ñu",
            "alberto,Álvarez,Nuñez,Ñandú SA,Ñu,Zapata");
        row("new, accented, in place", bce, true, "Éder", "Beatriz,Carlos,Éder,Eva");
        row("new of an equal name goes after", bce, true, "Carlos", "Beatriz,Carlos,Carlos,Eva");
        row("renamed", bce, false, "Daniel", "Carlos,Daniel,Eva");
    }

    void storedCustomerTakesItsPlaceInNameOrder()
    {
        QFETCH(QStringList, customers);
        QFETCH(QString, name);
        QFETCH(QString, order);
        CustomerCursor &cursor = open(customers);
        if (customers.isEmpty()) { // nothing to edit, store or read again
            QVERIFY(cursor.bof() && cursor.eof() && !cursor.setValue(Field::Nombre, name));
            QVERIFY_NO_ERROR(cursor.update());
            QVERIFY_NO_ERROR(cursor.move(0));
        }
        QFETCH(bool, isNew);
        if (isNew)
            cursor.addNew();
        QVERIFY(cursor.setValue(Field::Nombre, name));
        QVERIFY_NO_ERROR(cursor.update());
        QCOMPARE(cursor.position(), order.split(',').lastIndexOf(name));
        if (isNew) // the fields left blank are stored as empty texts
            QCOMPARE(stored("SELECT quote(DIRECCION) FROM CLIENTES ORDER BY ID DESC LIMIT 1"), QString("''"));
        for (int pass = 0; pass < 2; ++pass) {
            CustomerCursor &reading = pass == 0 ? cursor : open({});
            QStringList names;
            for (reading.moveFirst(); !reading.eof(); reading.moveNext())
                names.append(reading.value(Field::Nombre));
            QCOMPARE(names.join(','), order);
        }
    }

    // Two customers of one name: the second is stored by its key, each field in its column, and
    // read again (move(0)) as the store holds it.
    void updateStoresByKey()
    {
        CustomerCursor &cursor = open({"Igual", "Igual"});
        cursor.moveNext();
        for (int i = 0; i < CustomerCursor::fieldCount; ++i)
            QVERIFY(cursor.setValue(Field(i), "O'Brien " + QString::number(i)));
        QSignalSpy changed(&cursor, &CustomerCursor::currentChanged);
        QVERIFY_NO_ERROR(cursor.update());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::None);
        QCOMPARE(cursor.position(), 1);
        QCOMPARE(stored("SELECT DIRECCION FROM CLIENTES WHERE ID = 1"), QString("Dir Igual"));
        for (int i = 0; i < CustomerCursor::fieldCount; ++i) {
            const QString column = CustomerCursor::columnName(Field(i));
            QCOMPARE(stored("SELECT " + column + " FROM CLIENTES WHERE ID = 2"), "O'Brien " + QString::number(i));
        }
        QVERIFY(m_db->exec("UPDATE CLIENTES SET TELEFONO = '555' WHERE ID = 2"));
        QVERIFY(cursor.setValue(Field::Email, "pendiente"));
        QVERIFY_NO_ERROR(cursor.move(0));
        QCOMPARE(cursor.position(), 1);
        QCOMPARE(cursor.value(Field::Telefono), QString("555"));
        QCOMPARE(cursor.value(Field::Email), QString("O'Brien 5"));

        // Gone underneath: the failure is reported and the edits stay on screen.
        QVERIFY(m_db->exec("DELETE FROM CLIENTES"));
        QVERIFY(cursor.setValue(Field::Nombre, "editado"));
        QCOMPARE(cursor.update().value_or(DbError{}).number, DbErrorNumber::NoRowChanged);
        QCOMPARE(cursor.value(Field::Nombre), QString("editado"));
        // Thrown away, the record shows what it held before, and the fields hear of it.
        const int heard = changed.count();
        cursor.cancelUpdate();
        QCOMPARE(changed.count(), heard + 1);
        QCOMPARE(cursor.value(Field::Nombre), QString("O'Brien 0"));
    }

private:
    // Stores the customers (every other column derived from the name) and opens a cursor on them.
    CustomerCursor &open(const QStringList &names)
    {
        DemoCatalogue rows;
        for (const QString &n : names)
            rows.customers << QVariantList{n, "Dir " + n, "RUC " + n, "Tel " + n, "Con " + n, "mail@" + n};
        if (!m_db->seed(rows))
            qWarning("the customers were not stored");
        m_cursor = std::make_unique<CustomerCursor>(acnDataBase());
        if (m_cursor->open())
            qWarning("the cursor did not open");
        return *m_cursor;
    }
    QString stored(const QString &sql) const { return m_db->scalar(sql).toString(); }

    std::optional<TestDatabase> m_db;
    std::unique_ptr<CustomerCursor> m_cursor;
};

QTEST_GUILESS_MAIN(tst_CustomerCursor)
#include "tst_customercursor.moc"
