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

    void browsesEditsAndStores_data()
    {
        QTest::addColumn<QStringList>("customers");
        QTest::addColumn<QString>("script"); // moves and edits; =X types X as the name, !X is refused
        QTest::addColumn<QString>("shown"); // the current name@position, or where the cursor stands
        QTest::addColumn<QString>("order"); // of the cursor, and of one opened afresh on the store
        const auto row = [](const char *name, const QStringList &customers, const char *script, const char *shown,
                             const char *order) {
            QTest::newRow(name) << customers << QString::fromUtf8(script) << QString::fromUtf8(shown)
                                << QString::fromUtf8(order);
        };
        const QStringList five = {"Zapata", "Ñandú SA", "alberto", "Nuñez", "Álvarez"};
        // The store's Spanish order: case and accents do not move a name; ñ comes after n.
        const char *spanish = "alberto,Álvarez,Nuñez,Ñandú SA,Zapata";
        const QStringList abc = {"A", "B", "C"};
        const QStringList bce = {"Beatriz", "Carlos", "Eva"};
        row("empty: nothing to edit, store or read", {}, "!Nadie last update reread", "bofeof", "");
        row("empty: the first customer", {}, "new =Primero update", "Primero@0", "Primero");
        row("before the first", five, "prev prev", "bof", spanish);
        row("back from after the last", five, "last next next prev", "Zapata@4", spanish);
        row("edit thrown away by moving", abc, "=X next prev update", "A@0", "A,B,C");
        row("edit thrown away by Cancelar", abc, "next =X cancel update", "B@1", "A,B,C");
        row("new thrown away by Cancelar", abc, "next new =Zzz cancel", "B@1", "A,B,C");
        row("new thrown away by browsing", abc, "next new next", "C@2", "A,B,C");
        row("new over an edit throws the edit away", abc, "=X new =Nuevo update", "Nuevo@3", "A,B,C,Nuevo");
        row("new among Spanish names", five, "new =Ñu update", "Ñu@4", "alberto,Álvarez,Nuñez,Ñandú SA,Ñu,Zapata");
        row("new, accented, in place", bce, "new =Éder update", "Éder@2", "Beatriz,Carlos,Éder,Eva");
        row("new of an equal name goes after", bce, "new =Carlos update", "Carlos@2", "Beatriz,Carlos,Carlos,Eva");
        row("renamed takes its place", bce, "=Daniel update", "Daniel@1", "Carlos,Daniel,Eva");
    }

    void browsesEditsAndStores()
    {
        QFETCH(QStringList, customers);
        QFETCH(QString, script);
        CustomerCursor &cursor = open(customers);
        const QHash<QString, std::function<void()>> steps = {{"last", [&] { cursor.moveLast(); }},
            {"next", [&] { cursor.moveNext(); }}, {"prev", [&] { cursor.movePrevious(); }},
            {"new", [&] { cursor.addNew(); }}, {"cancel", [&] { cursor.cancelUpdate(); }}};
        for (const QString &step : script.split(' ', Qt::SkipEmptyParts)) {
            if (step.startsWith('=') || step.startsWith('!'))
                QCOMPARE(cursor.setValue(Field::Nombre, step.mid(1)), step.startsWith('='));
            else if (steps.contains(step))
                steps[step]();
            else
                QVERIFY_NO_ERROR(step == "reread" ? cursor.move(0) : cursor.update());
        }
        QTEST(cursor.hasCurrent() ? cursor.value(Field::Nombre) + '@' + QString::number(cursor.position())
                                  : QString(cursor.bof() ? "bof" : "") + (cursor.eof() ? "eof" : ""),
            "shown");
        if (script.endsWith("update") && script.contains("new")) // the fields left blank are stored as empty texts
            QCOMPARE(stored("SELECT quote(DIRECCION) FROM CLIENTES ORDER BY ID DESC LIMIT 1"), QString("''"));
        for (int pass = 0; pass < 2; ++pass) {
            CustomerCursor &reading = pass == 0 ? cursor : open({});
            QStringList names;
            for (reading.moveFirst(); !reading.eof(); reading.moveNext())
                names.append(reading.value(Field::Nombre));
            QTEST(names.join(','), "order");
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
