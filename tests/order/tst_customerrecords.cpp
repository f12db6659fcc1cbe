#include "base/regional.h"
#include "data/connection.h"
#include "data/customercursor.h"
#include "order/customerrecords.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QtTest>

using Field = CustomerCursor::Field;

// The customer tools over the cursor, one script of clicks per row: A "< Anterior",
// S "Siguiente >", N "Nuevo", C "Cancelar", E an edit of the name.
class tst_CustomerRecords : public QObject
{
    Q_OBJECT

private slots:
    void tools_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("shown"); // the name shown at the end
        QTest::addColumn<QStringList>("told");
        using L = QStringList;
        const QString start = QStringLiteral("Principio del fichero.");
        const QString end = QStringLiteral("Final del fichero.");
        QTest::newRow("name order") << L{"Carla", "Ana", "Berta"} << "SSA"
                                    << "Berta" << L{};
        QTest::newRow("start, edit thrown away") << L{"Ana", "Berta"} << "EA"
                                                 << "Ana" << L{start};
        QTest::newRow("end") << L{"Ana", "Berta"} << "SS"
                             << "Berta" << L{end};
        QTest::newRow("one customer, both ends") << L{"Solo"} << "AS"
                                                 << "Solo" << L{start, end};
        QTest::newRow("edit lost by browsing") << L{"Ana", "Berta"} << "ESA"
                                               << "Ana" << L{};
        QTest::newRow("Cancelar") << L{"Ana", "Berta"} << "SECC"
                                  << "Berta" << L{};
        QTest::newRow("Nuevo, Cancelar") << L{"Ana", "Berta", "Carla"} << "SNEC"
                                         << "Berta" << L{};
        QTest::newRow("Nuevo, Siguiente") << L{"Ana", "Berta", "Carla"} << "SNS"
                                          << "Carla" << L{};
        QTest::newRow("Nuevo, Anterior") << L{"Ana", "Berta", "Carla"} << "SSNA"
                                         << "Berta" << L{};
        QTest::newRow("Nuevo on the first, Anterior") << L{"Ana", "Berta"} << "NA"
                                                      << "Ana" << L{start};
        QTest::newRow("Nuevo over an edit throws it away") << L{"Ana"} << "ENC"
                                                           << "Ana" << L{};
        QTest::newRow("empty table") << L{} << "ASC"
                                     << "" << L{};
    }

    void tools()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, clicks);
        QFETCH(QStringList, told);
        Regional::setCurrent(Regional::commaDayFirst());
        TestDatabase db;
        for (const QString &name : stored)
            QVERIFY(db.exec("INSERT INTO CLIENTES (NOMBRE, EMAIL) VALUES (?, ?)", {name, name + "@x.py"}));
        QVERIFY(!acnDataBase().open(db.path()));
        ScriptedDialogs dialogs;
        for (qsizetype i = 0; i < told.size(); ++i)
            dialogs.answerMessage(Dialogs::Ok);
        {
            CustomerCursor cursor(acnDataBase());
            QVERIFY(!cursor.open());
            for (const QChar click : clicks) {
                if (click == u'A')
                    CustomerRecords::anterior(cursor);
                else if (click == u'S')
                    CustomerRecords::siguiente(cursor);
                else if (click == u'N')
                    CustomerRecords::nuevo(cursor);
                else if (click == u'C')
                    CustomerRecords::cancelar(cursor);
                else
                    QVERIFY(cursor.setValue(Field::Nombre, QStringLiteral("Editado")));
            }
            QTEST(cursor.value(Field::Nombre), "shown");
            QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::None);
            if (stored.isEmpty()) { // "Nuevo" starts the first customer
                CustomerRecords::nuevo(cursor);
                QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::New);
            }
        }
        QStringList texts;
        for (const Dialogs::Message &message : dialogs.messages()) {
            texts.append(message.text);
            QCOMPARE(message.title, QStringLiteral("Atención"));
            QCOMPARE(message.icon, Dialogs::Information);
        }
        QCOMPARE(texts, told);
        // Nothing the tools do is stored.
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM CLIENTES").toInt(), stored.size());
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM CLIENTES WHERE NOMBRE = 'Editado'").toInt(), 0);
        acnDataBase().close();
    }
};

QTEST_GUILESS_MAIN(tst_CustomerRecords)
#include "tst_customerrecords.moc"
