#include "legacy/jetsource.h"
#include "legacy/jetvalues.h"
#include "support/memorysource.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"
#include "support/testfiles.h"

#include <QDir>
#include <QtTest>

class tst_JetSource : public QObject
{
    Q_OBJECT

private slots:
    void decodesText_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("clean");
        QTest::newRow("empty") << QByteArray() << QString() << true;
        QTest::newRow("utf-16") << QByteArray("A\0\xf1\0", 4) << QStringLiteral("Añ") << true;
        QTest::newRow("compressed with a two-byte run") << QByteArray("\xff\xfe"
                                                                      "A\0\xac\x20\xa9\x03\0B",
            10) << QStringLiteral("A€ΩB") << true;
        QTest::newRow("lone surrogate") << QByteArray("x\0\x3d\xd8", 4) << QStringLiteral("x\uFFFD") << false;
        QTest::newRow("odd byte") << QByteArray("x\0y", 3) << QStringLiteral("x") << false;
    }

    void decodesText()
    {
        QFETCH(QByteArray, raw);
        QFETCH(bool, clean);
        bool readable = true;
        const QString text = JetValues::text(raw, &readable);
        QTEST(text, "expected");
        QCOMPARE(readable, clean);
        QVERIFY(!text.isNull()); // an empty text is never taken for a missing value
    }

    void readsEveryValueOfTheFixture_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QStringList>("rows");
        const auto row = [](const char *name, const char *table, const char *columns, const QStringList &rows) {
            QTest::newRow(name) << QString(table) << QString(columns) << rows;
        };
        row("SETUP, asked in other letters", "setup", "EMPRESA,RECORVAN,ULTIMO_PEDIDO",
            {"Distribuidora Núñez S.A.|Añadir ñandú €|1042"});
        row("CLIENTES", "CLIENTES", "NOMBRE,DIRECCION,RUC,TELEFONO,CONTACTO,EMAIL",
            {"José Núñez|Av. España 123, Asunción|80012345-6|(021) 555-1234|María Peña|jose@example.com",
                "Comercial \"El Ñandú\"|Calle 1;2,3\ttab|NULL||Ölçüm Ærø ŁÓDŹ Ωμέγα|NULL",
                "Emoji " + QString::fromUcs4(U"\U0001F600") + " fuera del BMP|||||",
                "Ascii Only Ltd|Line1\r\nLine2|1|2|3|a@b.c"});
        row("ARTICULOS", "ARTICULOS", "COD_ART,COD_PROPIO,DESCRIPCION,STK_ACTUAL,P_UNITARIO,FECHA_ACT",
            {"A001|P-01|Descripción: cañería de ½\" con válvula|10|12.5|2004-08-20T00:00:00.000",
                "A002|P-02|Precisión 0.1|-5|0.1|2004-08-20T13:45:30.000",
                "A003|P-03|Grande|2147483647|1234567.891|1899-12-30T00:00:00.000",
                "A004|P-04|Antigua|-2147483648|-0.000123456789|1850-03-01T06:00:00.000",
                "A005|NULL|Nulos|NULL|NULL|NULL",
                "A007|P-07|0.1+0.2 needs 17 digits|1|0.30000000000000004|1899-12-29T18:00:00.000",
                "A006|P-06|Un tercio|0|0.3333333333333333|2099-12-31T23:59:59.000"});
        QString memo;
        for (int n = 0; n < 40; ++n)
            memo += QStringLiteral("Observación nº %1 — acentuación áéíóú ÁÉÍÓÚ ü. ").arg(n);
        row("PEDIDOS, a long memo", "PEDIDOS", "NRO_PEDIDO,FECHA,OBSERVACIONES",
            {"1041|2004-08-20T00:00:00.000|Entregar por la mañana", "1042|2004-08-21T00:00:00.000|" + memo});
    }

    void readsEveryValueOfTheFixture()
    {
        QFETCH(QString, table);
        QFETCH(QString, columns);
        const QString fixture = TestDatabase::jetFixture();
        REQUIRE_FIXTURE(fixture);
        JetSource source;
        QVERIFY_NO_ERROR(source.open(fixture));
        QCOMPARE(source.tableNames(), QStringList({"SETUP", "CLIENTES", "ARTICULOS", "PEDIDOS", "LINEAS_PEDIDOS"}));
        LegacyTable read;
        QVERIFY_NO_ERROR(source.readTable(table, read));
        QCOMPARE(read.unreadable.size(), 0);
        QCOMPARE(read.declaredRows, qint64(read.rows.size()));
        QCOMPARE(read.warnings, QStringList());
        QStringList rows;
        for (const QVariantList &values : read.rows) {
            QStringList texts;
            for (const QString &column : columns.split(','))
                texts << MemorySource::valueText(values.at(read.columnIndex(column)));
            rows << texts.join('|');
        }
        QTEST(rows, "rows");
    }

    void refusesWhatItCannotRead_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expectedText");
        const QByteArray jetHeader("\x00\x01\x00\x00Standard Jet DB\x00", 20);
        QTest::newRow("text") << QByteArray("COD_ART,DESCRIPCION\nA1,Tornillo\n")
                              << "no es una base de datos de Access";
        QTest::newRow("empty") << QByteArray() << "no es una base de datos de Access";
        QTest::newRow("cut-off Jet header") << jetHeader + QByteArray(3000, '\0') << "incompleto";
        QTest::newRow("Jet header, garbage pages") << jetHeader + QByteArray(4 * 4096 - 20, '\x5a') << "";
    }

    void refusesWhatItCannotRead()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("database.mdb"));
        QVERIFY(writeFile(path, content));

        JetSource source;
        MaybeError error = source.open(path);
        // A file libmdb opens may still hold nothing readable; reading then fails as a value.
        if (error == std::nullopt) {
            LegacyTable table;
            for (const QString &name : source.tableNames())
                error = error.has_value() ? error : source.readTable(name, table);
            if (source.tableNames().isEmpty())
                error = DbError{1, "sin tablas"};
        }
        QFETCH(QString, expectedText);
        QVERIFY_ERROR_CONTAINS(error, expectedText);
    }
};

QTEST_GUILESS_MAIN(tst_JetSource)
#include "tst_jetsource.moc"
