#include "app/regional.h"
#include "data/connection.h"
#include "data/customercursor.h"
#include "data/transaction.h"
#include "support/testdatabase.h"

#include <QSignalSpy>
#include <QtTest>

using Field = CustomerCursor::Field;

class tst_CustomerCursor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptyTableHasNoCurrentRecord();
    void emptyTableTakesItsFirstCustomer();
    void opensInNameOrder();
    void endsAreReachedAndLeft();
    void singleCustomerIsBothEnds();
    void editsAreThrownAwayByMoving();
    void cancelShowsStoredValuesAgain();
    void cancelWithNothingPendingChangesNothing();
    void newRecordCancelledBringsBackThePreviousOne();
    void movingFromANewRecordStartsFromThePreviousOne();
    void newOverAnEditedRecordThrowsTheEditsAway();
    void newOverANewRecordStartsAfresh();
    void updateStoresEditsByKey();
    void insertedCustomerTakesItsPlaceInNameOrder_data();
    void insertedCustomerTakesItsPlaceInNameOrder();
    void renamedCustomerMovesToItsPlace();
    void textsAreStoredExactly_data();
    void textsAreStoredExactly();
    void untouchedEmptyColumnsStayEmpty();
    void moveZeroReadsTheStoredValues();
    void moveZeroOnAVanishedCustomerIsAnError();
    void updateOfAVanishedCustomerKeepsTheEdits();
    void stateComesBackAfterAnUndoneTransaction();
    void changesAreAnnounced();

private:
    void addCustomer(const QString &name, const QString &address = {});
    QStringList namesInCursor(CustomerCursor &cursor);

    TestDatabase *m_db = nullptr;
};

void tst_CustomerCursor::init()
{
    Regional::setCurrent(Regional::commaDayFirst());
    m_db = new TestDatabase;
    QVERIFY(m_db->isValid());
    QVERIFY(!acnDataBase().open(m_db->path()));
}

void tst_CustomerCursor::cleanup()
{
    acnDataBase().close();
    delete m_db;
}

void tst_CustomerCursor::addCustomer(const QString &name, const QString &address)
{
    QVERIFY(m_db->exec("INSERT INTO CLIENTES (NOMBRE, DIRECCION, RUC, TELEFONO, CONTACTO, EMAIL) "
                       "VALUES (?, ?, ?, ?, ?, ?)",
        {name, address.isNull() ? "Dir " + name : address, "RUC " + name, "Tel " + name, "Con " + name,
            "mail@" + name}));
}

// Walks the cursor from the first record to the end and back to where it stood.
QStringList tst_CustomerCursor::namesInCursor(CustomerCursor &cursor)
{
    QStringList names;
    const int position = cursor.position();
    cursor.moveFirst();
    while (!cursor.eof()) {
        names.append(cursor.value(Field::Nombre));
        cursor.moveNext();
    }
    cursor.moveFirst();
    cursor.move(position);
    return names;
}

void tst_CustomerCursor::emptyTableHasNoCurrentRecord()
{
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    QVERIFY(cursor.bof());
    QVERIFY(cursor.eof());
    QCOMPARE(cursor.recordCount(), 0);
    QCOMPARE(cursor.value(Field::Nombre), QString());
    QVERIFY(!cursor.setValue(Field::Nombre, "Nadie"));
    QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::None);

    cursor.moveNext();
    cursor.movePrevious();
    cursor.moveFirst();
    cursor.moveLast();
    QVERIFY(cursor.bof());
    QVERIFY(cursor.eof());
    QSignalSpy changed(&cursor, &CustomerCursor::currentChanged);
    cursor.cancelUpdate();
    QVERIFY(!cursor.update());
    QVERIFY(!cursor.move(0));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM CLIENTES").toInt(), 0);
}

void tst_CustomerCursor::emptyTableTakesItsFirstCustomer()
{
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    cursor.addNew();
    QVERIFY(!cursor.bof());
    QVERIFY(!cursor.eof());
    QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::New);
    QCOMPARE(cursor.value(Field::Nombre), QString(""));
    QVERIFY(cursor.setValue(Field::Nombre, "Primero"));
    QVERIFY(cursor.setValue(Field::Email, "p@x.py"));
    QVERIFY(!cursor.update());

    QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::None);
    QCOMPARE(cursor.recordCount(), 1);
    QCOMPARE(cursor.position(), 0);
    QCOMPARE(cursor.value(Field::Nombre), QString("Primero"));
    QCOMPARE(m_db->scalar("SELECT NOMBRE FROM CLIENTES").toString(), QString("Primero"));
    QCOMPARE(m_db->scalar("SELECT EMAIL FROM CLIENTES").toString(), QString("p@x.py"));
    QCOMPARE(m_db->scalar("SELECT DIRECCION FROM CLIENTES").toString(), QString(""));
    QVERIFY(!cursor.move(0));
    QCOMPARE(cursor.value(Field::Email), QString("p@x.py"));
}

void tst_CustomerCursor::opensInNameOrder()
{
    for (const char *name : {"Carlos", "alberto", "Ñandú SA", "Beatriz", "Zoe"})
        addCustomer(QString::fromUtf8(name));
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    QCOMPARE(cursor.position(), 0);
    QVERIFY(!cursor.bof());
    QVERIFY(!cursor.eof());
    // The store's own order: capitals before small letters, accented letters last.
    QCOMPARE(namesInCursor(cursor), QStringList({"Beatriz", "Carlos", "Zoe", "alberto", "Ñandú SA"}));
    QCOMPARE(cursor.value(Field::Nombre), QString("Beatriz"));
    QCOMPARE(cursor.value(Field::Direccion), QString("Dir Beatriz"));
    QCOMPARE(cursor.value(Field::Ruc), QString("RUC Beatriz"));
    QCOMPARE(cursor.value(Field::Telefono), QString("Tel Beatriz"));
    QCOMPARE(cursor.value(Field::Contacto), QString("Con Beatriz"));
    QCOMPARE(cursor.value(Field::Email), QString("mail@Beatriz"));
}

void tst_CustomerCursor::endsAreReachedAndLeft()
{
    for (const char *name : {"A", "B", "C"})
        addCustomer(name);
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());

    cursor.movePrevious();
    QVERIFY(cursor.bof());
    QVERIFY(!cursor.eof());
    QCOMPARE(cursor.value(Field::Nombre), QString());
    cursor.movePrevious(); // stays before the first
    QVERIFY(cursor.bof());
    cursor.moveNext();
    QCOMPARE(cursor.value(Field::Nombre), QString("A"));

    cursor.moveLast();
    QCOMPARE(cursor.value(Field::Nombre), QString("C"));
    cursor.moveNext();
    QVERIFY(cursor.eof());
    QVERIFY(!cursor.bof());
    cursor.moveNext();
    QVERIFY(cursor.eof());
    cursor.movePrevious();
    QCOMPARE(cursor.value(Field::Nombre), QString("C"));
    cursor.moveFirst();
    QCOMPARE(cursor.value(Field::Nombre), QString("A"));
    QVERIFY(!cursor.move(2));
    QCOMPARE(cursor.value(Field::Nombre), QString("C"));
}

void tst_CustomerCursor::singleCustomerIsBothEnds()
{
    addCustomer("Solo");
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    cursor.moveNext();
    QVERIFY(cursor.eof());
    cursor.moveLast();
    QCOMPARE(cursor.value(Field::Nombre), QString("Solo"));
    cursor.movePrevious();
    QVERIFY(cursor.bof());
    cursor.moveFirst();
    QCOMPARE(cursor.value(Field::Nombre), QString("Solo"));
}

void tst_CustomerCursor::editsAreThrownAwayByMoving()
{
    for (const char *name : {"A", "B"})
        addCustomer(name);
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    QVERIFY(cursor.setValue(Field::Nombre, "Cambiado"));
    QVERIFY(cursor.setValue(Field::Email, "otro@x"));
    QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::Edited);
    QCOMPARE(cursor.value(Field::Nombre), QString("Cambiado"));

    cursor.moveNext();
    QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::None);
    QCOMPARE(cursor.value(Field::Nombre), QString("B"));
    cursor.movePrevious();
    QCOMPARE(cursor.value(Field::Nombre), QString("A"));
    QCOMPARE(cursor.value(Field::Email), QString("mail@A"));
    QVERIFY(!cursor.update());
    QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM CLIENTES WHERE NOMBRE = 'Cambiado'").toInt(), 0);
}

void tst_CustomerCursor::cancelShowsStoredValuesAgain()
{
    for (const char *name : {"A", "B"})
        addCustomer(name);
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    cursor.moveNext();
    QVERIFY(cursor.setValue(Field::Telefono, "999"));
    QSignalSpy changed(&cursor, &CustomerCursor::currentChanged);
    cursor.cancelUpdate();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(cursor.position(), 1);
    QCOMPARE(cursor.value(Field::Telefono), QString("Tel B"));
    QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::None);
}

void tst_CustomerCursor::cancelWithNothingPendingChangesNothing()
{
    addCustomer("A");
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    QSignalSpy changed(&cursor, &CustomerCursor::currentChanged);
    cursor.cancelUpdate();
    QCOMPARE(changed.count(), 0);
    QCOMPARE(cursor.position(), 0);
    QCOMPARE(cursor.value(Field::Nombre), QString("A"));
}

void tst_CustomerCursor::newRecordCancelledBringsBackThePreviousOne()
{
    for (const char *name : {"A", "B", "C"})
        addCustomer(name);
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    cursor.moveNext();
    cursor.addNew();
    QVERIFY(cursor.setValue(Field::Nombre, "Nuevo"));
    QCOMPARE(cursor.value(Field::Nombre), QString("Nuevo"));
    QCOMPARE(cursor.value(Field::Direccion), QString(""));
    cursor.cancelUpdate();
    QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::None);
    QCOMPARE(cursor.value(Field::Nombre), QString("B"));
    QCOMPARE(cursor.recordCount(), 3);
    QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM CLIENTES").toInt(), 3);

    // From an end, the end comes back.
    cursor.moveLast();
    cursor.moveNext();
    cursor.addNew();
    cursor.cancelUpdate();
    QVERIFY(cursor.eof());
}

void tst_CustomerCursor::movingFromANewRecordStartsFromThePreviousOne()
{
    for (const char *name : {"A", "B", "C"})
        addCustomer(name);
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    cursor.moveNext();
    cursor.addNew();
    QVERIFY(cursor.setValue(Field::Nombre, "Zzz"));
    cursor.moveNext();
    QCOMPARE(cursor.value(Field::Nombre), QString("C"));
    cursor.addNew();
    cursor.movePrevious();
    QCOMPARE(cursor.value(Field::Nombre), QString("B"));
    QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM CLIENTES").toInt(), 3);
}

void tst_CustomerCursor::newOverAnEditedRecordThrowsTheEditsAway()
{
    for (const char *name : {"A", "B"})
        addCustomer(name);
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    cursor.moveNext();
    QVERIFY(cursor.setValue(Field::Nombre, "B cambiado"));
    cursor.addNew();
    QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::New);
    QCOMPARE(cursor.value(Field::Nombre), QString(""));
    QVERIFY(cursor.setValue(Field::Nombre, "Nuevo"));
    QVERIFY(!cursor.update());
    // Only the new customer is stored; the edits made before "Nuevo" are gone.
    QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM CLIENTES").toInt(), 3);
    QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM CLIENTES WHERE NOMBRE = 'B'").toInt(), 1);
    QCOMPARE(namesInCursor(cursor), QStringList({"A", "B", "Nuevo"}));
}

void tst_CustomerCursor::newOverANewRecordStartsAfresh()
{
    for (const char *name : {"A", "B"})
        addCustomer(name);
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    cursor.addNew();
    QVERIFY(cursor.setValue(Field::Nombre, "Primero nuevo"));
    cursor.addNew();
    QCOMPARE(cursor.value(Field::Nombre), QString(""));
    cursor.cancelUpdate();
    QCOMPARE(cursor.value(Field::Nombre), QString("A"));
    QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM CLIENTES").toInt(), 2);
}

void tst_CustomerCursor::updateStoresEditsByKey()
{
    // Two customers of the same name: only the current one changes.
    addCustomer("Igual", "Primera");
    addCustomer("Igual", "Segunda");
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    cursor.moveNext();
    QCOMPARE(cursor.value(Field::Direccion), QString("Segunda"));
    QVERIFY(cursor.setValue(Field::Direccion, "Segunda bis"));
    QVERIFY(cursor.setValue(Field::Contacto, "Otro"));
    QVERIFY(!cursor.update());
    QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::None);
    QCOMPARE(cursor.position(), 1);
    QCOMPARE(m_db->scalar("SELECT DIRECCION FROM CLIENTES WHERE ID = 1").toString(), QString("Primera"));
    QCOMPARE(m_db->scalar("SELECT DIRECCION FROM CLIENTES WHERE ID = 2").toString(), QString("Segunda bis"));
    QCOMPARE(m_db->scalar("SELECT CONTACTO FROM CLIENTES WHERE ID = 2").toString(), QString("Otro"));
    QCOMPARE(m_db->scalar("SELECT CONTACTO FROM CLIENTES WHERE ID = 1").toString(), QString("Con Igual"));
}

void tst_CustomerCursor::insertedCustomerTakesItsPlaceInNameOrder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("position");
    QTest::newRow("first") << "Aaron" << 0;
    QTest::newRow("middle") << "Daniel" << 2;
    QTest::newRow("equal name goes after") << "Carlos" << 2;
    QTest::newRow("small letters after capitals") << "bruno" << 4;
    QTest::newRow("accented last") << "Ñoño" << 4;
    QTest::newRow("empty name first") << "" << 0;
}

void tst_CustomerCursor::insertedCustomerTakesItsPlaceInNameOrder()
{
    QFETCH(QString, name);
    QFETCH(int, position);
    for (const char *existing : {"Beatriz", "Carlos", "Eva", "Zoe"})
        addCustomer(existing);
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    cursor.moveLast();
    cursor.addNew();
    QVERIFY(cursor.setValue(Field::Nombre, name));
    QVERIFY(!cursor.update());
    QCOMPARE(cursor.position(), position);
    QCOMPARE(cursor.value(Field::Nombre), name);
    QCOMPARE(cursor.recordCount(), 5);

    // The same order the store gives a cursor opened afresh.
    CustomerCursor reopened(acnDataBase());
    QVERIFY(!reopened.open());
    QCOMPARE(namesInCursor(cursor), namesInCursor(reopened));
    // Browsing goes on from the stored customer's place.
    if (position > 0) {
        cursor.movePrevious();
        QVERIFY(cursor.value(Field::Nombre).toUtf8() <= name.toUtf8());
    }
}

void tst_CustomerCursor::renamedCustomerMovesToItsPlace()
{
    for (const char *name : {"Ana", "Berta", "Celia"})
        addCustomer(name);
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    QVERIFY(cursor.setValue(Field::Nombre, "Dora"));
    QVERIFY(!cursor.update());
    QCOMPARE(cursor.position(), 2);
    QCOMPARE(cursor.value(Field::Nombre), QString("Dora"));
    QCOMPARE(namesInCursor(cursor), QStringList({"Berta", "Celia", "Dora"}));
}

void tst_CustomerCursor::textsAreStoredExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("apostrophe") << "O'Brien & Cía.";
    QTest::newRow("quotes and percent") << "\"100%\" 'garantía'_%";
    QTest::newRow("accents") << "Peña Ñandú — Asunción, Paraguay";
    QTest::newRow("statement-like") << "'); DROP TABLE CLIENTES; --";
}

void tst_CustomerCursor::textsAreStoredExactly()
{
    QFETCH(QString, text);
    addCustomer("Existente");
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    for (int i = 0; i < CustomerCursor::fieldCount; ++i)
        QVERIFY(cursor.setValue(Field(i), text + QString::number(i)));
    QVERIFY(!cursor.update());
    cursor.addNew();
    for (int i = 0; i < CustomerCursor::fieldCount; ++i)
        QVERIFY(cursor.setValue(Field(i), QString::number(i) + text));
    QVERIFY(!cursor.update());

    QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM CLIENTES").toInt(), 2);
    for (int i = 0; i < CustomerCursor::fieldCount; ++i) {
        const QString column = CustomerCursor::columnName(Field(i));
        QCOMPARE(
            m_db->scalar("SELECT " + column + " FROM CLIENTES WHERE ID = 1").toString(), text + QString::number(i));
        QCOMPARE(
            m_db->scalar("SELECT " + column + " FROM CLIENTES WHERE ID = 2").toString(), QString::number(i) + text);
    }
}

void tst_CustomerCursor::untouchedEmptyColumnsStayEmpty()
{
    QVERIFY(m_db->exec("INSERT INTO CLIENTES (NOMBRE) VALUES ('Solo nombre')"));
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    QCOMPARE(cursor.value(Field::Email), QString(""));
    QVERIFY(cursor.setValue(Field::Ruc, ""));
    QVERIFY(!cursor.update());
    QVERIFY(m_db->scalar("SELECT EMAIL FROM CLIENTES").isNull());
    QVERIFY(!m_db->scalar("SELECT RUC FROM CLIENTES").isNull());
    QCOMPARE(m_db->scalar("SELECT RUC FROM CLIENTES").toString(), QString(""));
}

void tst_CustomerCursor::moveZeroReadsTheStoredValues()
{
    for (const char *name : {"A", "B"})
        addCustomer(name);
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    QVERIFY(m_db->exec("UPDATE CLIENTES SET TELEFONO = '555' WHERE NOMBRE = 'A'"));
    QCOMPARE(cursor.value(Field::Telefono), QString("Tel A"));
    QVERIFY(cursor.setValue(Field::Email, "pendiente"));
    QSignalSpy changed(&cursor, &CustomerCursor::currentChanged);
    QVERIFY(!cursor.move(0));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(cursor.position(), 0);
    QCOMPARE(cursor.value(Field::Telefono), QString("555"));
    QCOMPARE(cursor.value(Field::Email), QString("mail@A"));
    QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::None);
}

void tst_CustomerCursor::moveZeroOnAVanishedCustomerIsAnError()
{
    addCustomer("A");
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    QVERIFY(m_db->exec("DELETE FROM CLIENTES"));
    const MaybeError error = cursor.move(0);
    QVERIFY(error);
    QCOMPARE(error->number, DbErrorNumber::NoRowChanged);
}

void tst_CustomerCursor::updateOfAVanishedCustomerKeepsTheEdits()
{
    addCustomer("A");
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    QVERIFY(cursor.setValue(Field::Nombre, "A editado"));
    QVERIFY(m_db->exec("DELETE FROM CLIENTES"));
    const MaybeError error = cursor.update();
    QVERIFY(error);
    QCOMPARE(error->number, DbErrorNumber::NoRowChanged);
    QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::Edited);
    QCOMPARE(cursor.value(Field::Nombre), QString("A editado"));
}

void tst_CustomerCursor::stateComesBackAfterAnUndoneTransaction()
{
    for (const char *name : {"A", "C"})
        addCustomer(name);
    CustomerCursor cursor(acnDataBase());
    QVERIFY(!cursor.open());
    cursor.addNew();
    QVERIFY(cursor.setValue(Field::Nombre, "B"));
    const CustomerCursor::State saved = cursor.saveState();
    {
        Transaction transaction(acnDataBase());
        QVERIFY(!transaction.begin());
        QVERIFY(!cursor.update());
        QCOMPARE(cursor.recordCount(), 3);
        // Rolled back when it leaves the scope uncommitted.
    }
    QSignalSpy changed(&cursor, &CustomerCursor::currentChanged);
    cursor.restoreState(saved);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM CLIENTES").toInt(), 2);
    QCOMPARE(cursor.recordCount(), 2);
    QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::New);
    QCOMPARE(cursor.value(Field::Nombre), QString("B"));
    // Stored again, once.
    QVERIFY(!cursor.update());
    QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM CLIENTES").toInt(), 3);
    QCOMPARE(namesInCursor(cursor), QStringList({"A", "B", "C"}));
}

void tst_CustomerCursor::changesAreAnnounced()
{
    for (const char *name : {"A", "B"})
        addCustomer(name);
    CustomerCursor cursor(acnDataBase());
    QSignalSpy changed(&cursor, &CustomerCursor::currentChanged);
    QVERIFY(!cursor.open());
    QCOMPARE(changed.count(), 1);
    cursor.moveNext();
    QCOMPARE(changed.count(), 2);
    cursor.addNew();
    QCOMPARE(changed.count(), 3);
    // Typing shows itself already; no refresh of the fields while typing.
    QVERIFY(cursor.setValue(Field::Nombre, "Nuevo"));
    QCOMPARE(changed.count(), 3);
    QVERIFY(!cursor.update());
    QCOMPARE(changed.count(), 4);
}

QTEST_GUILESS_MAIN(tst_CustomerCursor)
#include "tst_customercursor.moc"
