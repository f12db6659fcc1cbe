#include "base/regional.h"
#include "data/connection.h"
#include "data/customercursor.h"
#include "order/customerrecords.h"
#include "support/scripteddialogs.h"
#include "support/testdatabase.h"

#include <QtTest>

// The customer tools over the cursor (whose browsing and edits are its own test), one script of
// clicks per row: A "< Anterior", S "Siguiente >", N "Nuevo", E an edit of the name.
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
        QTest::newRow("one customer, both ends") << L{"Solo"} << "EAS"
                                                 << "Solo" << L{start, "Final del fichero."};
        QTest::newRow("Nuevo, Siguiente") << L{"Ana", "Berta", "Carla"} << "SNS"
                                          << "Carla" << L{};
        QTest::newRow("Nuevo on the first, Anterior") << L{"Ana", "Berta"} << "NA"
                                                      << "Ana" << L{start};
        QTest::newRow("empty table") << L{} << "AS"
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
            QVERIFY(db.exec("INSERT INTO CLIENTES (NOMBRE) VALUES (?)", {name}));
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
                else
                    QVERIFY(cursor.setValue(CustomerCursor::Field::Nombre, QStringLiteral("Editado")));
            }
            QTEST(cursor.value(CustomerCursor::Field::Nombre), "shown");
            QCOMPARE(cursor.editMode(), CustomerCursor::EditMode::None);
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
