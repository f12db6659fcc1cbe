#include "data/connection.h"
#include "data/customersearch.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"
#include "tools/democatalogue.h"

#include <QtTest>

class tst_CustomerSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_db.isValid());
        DemoCatalogue rows; // NOMBRE, DIRECCION, RUC, TELEFONO, CONTACTO, EMAIL
        rows.customers
            = {{"Ferretería Núñez", "Palma 1", "80012345-6", "(021) 555-1234", "María Peña", "compras@nz.py"},
                {"Sanitarios Nunez", "Palma 2", "80099999-1", "0981 222 333", "Jorge Benítez", "jorge@sanitarios.py"},
                {"Pinturería O'Higgins", "Palma 3", "80012399-0", "(061) 570-900", "Ana Ñandú", "ana_o@higgins.py"},
                {"Descuentos 30% Álvarez", "Palma 4", "4455667-8", "", "Raúl Álvarez", QVariant()},
                {"ÁNGEL CÁCERES", QVariant(), QVariant(), QVariant(), QVariant(), QVariant()}};
        QVERIFY(m_db.seed(rows));
        QVERIFY_NO_ERROR(acnDataBase().open(m_db.path()));
    }
    void cleanupTestCase() { acnDataBase().close(); }

    void findsEveryWordInAnyColumn_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("found"); // the names shown (three at most) in name order, then "+" the others
        const auto row = [](const char *name, const char *typed, const char *found) {
            QTest::newRow(name) << QString::fromUtf8(typed) << QString::fromUtf8(found);
        };
        row("nothing typed: everyone in Spanish order", "", "ÁNGEL CÁCERES|Descuentos 30% Álvarez|Ferretería Núñez +2");
        row("one word, part of the name", "pintu", "Pinturería O'Higgins +0");
        row("accents and case do not count", "NÚÑEZ ferreteria", "Ferretería Núñez +0");
        row("ñ is not n: not Nunez", "nuñez", "Ferretería Núñez +0");
        row("words in any order, any column", "peña  FERR maria", "Ferretería Núñez +0");
        row("every word must stand", "peña jorge", " +0");
        row("RUC digits", "800123", "Ferretería Núñez|Pinturería O'Higgins +0");
        row("telephone", "570-900", "Pinturería O'Higgins +0");
        row("e-mail", "sanitarios.py", "Sanitarios Nunez +0");
        row("the address is not searched", "palma", " +0");
        row("no match", "zapato", " +0");
        row("a quote is a letter", "o'higgins", "Pinturería O'Higgins +0");
        row("% is a letter", "30%", "Descuentos 30% Álvarez +0");
        row("% alone finds only itself", "%", "Descuentos 30% Álvarez +0");
        row("_ is a letter", "ana_o", "Pinturería O'Higgins +0");
        row("_ is not any letter", "n_z", " +0");
        row("the escape character is a letter", "\\", " +0");
        row("more than shown, counted", "o", "Descuentos 30% Álvarez|Ferretería Núñez|Pinturería O'Higgins +1");
    }

    void findsEveryWordInAnyColumn()
    {
        QFETCH(QString, typed);
        CustomerSearch::Result result;
        QVERIFY_NO_ERROR(CustomerSearch::find(acnDataBase(), typed, 3, result));
        QStringList names;
        for (const CustomerSearch::Found &customer : std::as_const(result.shown)) {
            names.append(customer.nombre);
            // Each match comes with its key and the columns the list shows.
            QCOMPARE(m_db.scalar("SELECT NOMBRE||ifnull(RUC,'')||ifnull(CONTACTO,'')||ifnull(TELEFONO,'') FROM "
                                 "CLIENTES WHERE ID = ?",
                             {customer.id})
                         .toString(),
                customer.nombre + customer.ruc + customer.contacto + customer.telefono);
        }
        QTEST(names.join('|') + " +" + QString::number(result.more), "found");
    }

private:
    TestDatabase m_db;
};

QTEST_GUILESS_MAIN(tst_CustomerSearch)
#include "tst_customersearch.moc"
