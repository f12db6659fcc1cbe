#include "app/regional.h"
#include "data/connection.h"
#include "data/customercursor.h"
#include "order/customerrecords.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QtTest>

using Field = CustomerCursor::Field;

class tst_CustomerRecords : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void browsingWalksInNameOrder();
    void anteriorOnTheFirstSaysSoAndStays();
    void siguienteOnTheLastSaysSoAndStays();
    void singleCustomerIsBothEnds();
    void emptyTableDoesNothing();
    void editsAreLostByBrowsing();
    void cancelarBringsBackTheStoredValues();
    void nuevoThenCancelarBringsBackTheCustomerShown();
    void nuevoThenBrowsingStartsFromTheCustomerShown();
    void nuevoOverEditsThrowsThemAway();

private:
    void openWith(const QStringList &names);
    void expectEndMessage(const QString &text);

    TestDatabase *m_db = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;
    CustomerCursor *m_cursor = nullptr;
};

void tst_CustomerRecords::init()
{
    Regional::setCurrent(Regional::commaDayFirst());
    m_db = new TestDatabase;
    QVERIFY(m_db->isValid());
    QVERIFY(!acnDataBase().open(m_db->path()));
    m_dialogs = new ScriptedDialogs;
    m_cursor = new CustomerCursor(acnDataBase());
}

void tst_CustomerRecords::cleanup()
{
    QCOMPARE(m_dialogs->pendingAnswers(), 0);
    delete m_cursor;
    delete m_dialogs;
    acnDataBase().close();
    delete m_db;
}

void tst_CustomerRecords::openWith(const QStringList &names)
{
    for (const QString &name : names)
        QVERIFY(m_db->exec("INSERT INTO CLIENTES (NOMBRE, EMAIL) VALUES (?, ?)", {name, name + "@x.py"}));
    QVERIFY(!m_cursor->open());
}

void tst_CustomerRecords::expectEndMessage(const QString &text)
{
    QCOMPARE(m_dialogs->messages().size(), 1);
    const Dialogs::Message shown = m_dialogs->messages().first();
    QCOMPARE(shown.text, text);
    QCOMPARE(shown.title, QString("Atención"));
    QCOMPARE(shown.icon, QMessageBox::Information);
    QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

void tst_CustomerRecords::browsingWalksInNameOrder()
{
    openWith({"Carla", "Ana", "Berta"});
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Ana"));
    CustomerRecords::siguiente(*m_cursor);
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Berta"));
    CustomerRecords::siguiente(*m_cursor);
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Carla"));
    CustomerRecords::anterior(*m_cursor);
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Berta"));
    QCOMPARE(m_dialogs->messages().size(), 0);
}

void tst_CustomerRecords::anteriorOnTheFirstSaysSoAndStays()
{
    openWith({"Ana", "Berta"});
    QVERIFY(m_cursor->setValue(Field::Nombre, "Ana editada"));
    m_dialogs->answerMessage(QMessageBox::Ok);
    CustomerRecords::anterior(*m_cursor);
    expectEndMessage("Principio del fichero.");
    QVERIFY(!m_cursor->bof());
    QCOMPARE(m_cursor->position(), 0);
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Ana"));
    QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::None);
}

void tst_CustomerRecords::siguienteOnTheLastSaysSoAndStays()
{
    openWith({"Ana", "Berta"});
    CustomerRecords::siguiente(*m_cursor);
    m_dialogs->answerMessage(QMessageBox::Ok);
    CustomerRecords::siguiente(*m_cursor);
    expectEndMessage("Final del fichero.");
    QVERIFY(!m_cursor->eof());
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Berta"));
}

void tst_CustomerRecords::singleCustomerIsBothEnds()
{
    openWith({"Solo"});
    m_dialogs->answerMessage(QMessageBox::Ok).answerMessage(QMessageBox::Ok);
    CustomerRecords::anterior(*m_cursor);
    CustomerRecords::siguiente(*m_cursor);
    QCOMPARE(m_dialogs->messages().size(), 2);
    QCOMPARE(m_dialogs->messages()[0].text, QString("Principio del fichero."));
    QCOMPARE(m_dialogs->messages()[1].text, QString("Final del fichero."));
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Solo"));
}

void tst_CustomerRecords::emptyTableDoesNothing()
{
    openWith({});
    CustomerRecords::anterior(*m_cursor);
    CustomerRecords::siguiente(*m_cursor);
    CustomerRecords::cancelar(*m_cursor);
    QCOMPARE(m_dialogs->messages().size(), 0);
    QVERIFY(m_cursor->bof());
    QVERIFY(m_cursor->eof());
    // "Nuevo" starts the first customer.
    CustomerRecords::nuevo(*m_cursor);
    QVERIFY(m_cursor->hasCurrent());
    QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::New);
}

void tst_CustomerRecords::editsAreLostByBrowsing()
{
    openWith({"Ana", "Berta"});
    QVERIFY(m_cursor->setValue(Field::Email, "cambiado@x.py"));
    CustomerRecords::siguiente(*m_cursor);
    CustomerRecords::anterior(*m_cursor);
    QCOMPARE(m_cursor->value(Field::Email), QString("Ana@x.py"));
    QCOMPARE(m_db->scalar("SELECT EMAIL FROM CLIENTES WHERE NOMBRE = 'Ana'").toString(), QString("Ana@x.py"));
}

void tst_CustomerRecords::cancelarBringsBackTheStoredValues()
{
    openWith({"Ana", "Berta"});
    CustomerRecords::siguiente(*m_cursor);
    QVERIFY(m_cursor->setValue(Field::Nombre, "Otra"));
    CustomerRecords::cancelar(*m_cursor);
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Berta"));
    // Nothing pending: nothing changes, nothing is told.
    CustomerRecords::cancelar(*m_cursor);
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Berta"));
    QCOMPARE(m_dialogs->messages().size(), 0);
}

void tst_CustomerRecords::nuevoThenCancelarBringsBackTheCustomerShown()
{
    openWith({"Ana", "Berta", "Carla"});
    CustomerRecords::siguiente(*m_cursor);
    CustomerRecords::nuevo(*m_cursor);
    QVERIFY(m_cursor->setValue(Field::Nombre, "Zulema"));
    CustomerRecords::cancelar(*m_cursor);
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Berta"));
    QCOMPARE(m_db->scalar("SELECT COUNT(*) FROM CLIENTES").toInt(), 3);
}

void tst_CustomerRecords::nuevoThenBrowsingStartsFromTheCustomerShown()
{
    openWith({"Ana", "Berta", "Carla"});
    CustomerRecords::siguiente(*m_cursor);
    CustomerRecords::nuevo(*m_cursor);
    CustomerRecords::siguiente(*m_cursor);
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Carla"));
    CustomerRecords::nuevo(*m_cursor);
    CustomerRecords::anterior(*m_cursor);
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Berta"));
    // From a new record started on the first customer, "< Anterior" reaches the start.
    CustomerRecords::anterior(*m_cursor);
    CustomerRecords::nuevo(*m_cursor);
    m_dialogs->answerMessage(QMessageBox::Ok);
    CustomerRecords::anterior(*m_cursor);
    expectEndMessage("Principio del fichero.");
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Ana"));
}

void tst_CustomerRecords::nuevoOverEditsThrowsThemAway()
{
    openWith({"Ana"});
    QVERIFY(m_cursor->setValue(Field::Nombre, "Ana editada"));
    CustomerRecords::nuevo(*m_cursor);
    CustomerRecords::cancelar(*m_cursor);
    QCOMPARE(m_cursor->value(Field::Nombre), QString("Ana"));
    QCOMPARE(m_cursor->editMode(), CustomerCursor::EditMode::None);
    QCOMPARE(m_db->scalar("SELECT NOMBRE FROM CLIENTES").toString(), QString("Ana"));
}

QTEST_GUILESS_MAIN(tst_CustomerRecords)
#include "tst_customerrecords.moc"
