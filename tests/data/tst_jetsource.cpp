#include "data/legacy/jetsource.h"
#include "data/legacy/jetvalues.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

// One row as "value|value|...": NULL spelled out (never confused with ""), doubles in their
// shortest exact form (0.1 + 0.2 stays 0.30000000000000004), times to the second.
QString rowText(const LegacyTable &table, int row, const QStringList &columns)
{
    QStringList values;
    for (const QString &column : columns) {
        const QVariant value = table.rows.at(row).at(table.columnIndex(column));
        if (value.isNull())
            values << QStringLiteral("NULL");
        else if (value.typeId() == QMetaType::Double)
            values << QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        else if (value.typeId() == QMetaType::QDateTime)
            values << value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        else
            values << value.toString();
    }
    return values.join(QLatin1Char('|'));
}

} // namespace

class tst_JetSource : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void decodesText_data();
    void decodesText();
    void readsEveryValueOfTheFixture_data();
    void readsEveryValueOfTheFixture();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();

private:
    JetSource m_source;
};

// The byte decoding needs no fixture: only the tests that read the fixture ask for it.
void tst_JetSource::initTestCase()
{
    if (!QFileInfo::exists(TestDatabase::jetFixture()))
        return;
    const MaybeError error = m_source.open(TestDatabase::jetFixture());
    QVERIFY2(!error, error ? qPrintable(error->description) : "");
    QCOMPARE(m_source.tableNames(), QStringList({"SETUP", "CLIENTES", "ARTICULOS", "PEDIDOS", "LINEAS_PEDIDOS"}));
}

void tst_JetSource::decodesText_data()
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

void tst_JetSource::decodesText()
{
    QFETCH(QByteArray, raw);
    QFETCH(bool, clean);
    bool readable = true;
    const QString text = JetValues::text(raw, &readable);
    QTEST(text, "expected");
    QCOMPARE(readable, clean);
    QVERIFY(!text.isNull()); // an empty text is never taken for a missing value
}

void tst_JetSource::readsEveryValueOfTheFixture_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("SETUP, asked in other letters") << "setup" << QStringList{"EMPRESA", "RECORVAN", "ULTIMO_PEDIDO"}
                                                   << QStringList{"Distribuidora Núñez S.A.|Añadir ñandú €|1042"};
    QTest::newRow("CLIENTES") << "CLIENTES"
                              << QStringList{"NOMBRE", "DIRECCION", "RUC", "TELEFONO", "CONTACTO", "EMAIL"}
                              << QStringList{"José Núñez|Av. España 123, Asunción|80012345-6|(021) 555-1234|María "
                                             "Peña|jose@example.com",
                                     "Comercial \"El Ñandú\"|Calle 1;2,3\ttab|NULL||Ölçüm Ærø ŁÓDŹ Ωμέγα|NULL",
                                     "Emoji " + QString::fromUcs4(U"\U0001F600") + " fuera del BMP|||||",
                                     "Ascii Only Ltd|Line1\r\nLine2|1|2|3|a@b.c"};
    QTest::newRow("ARTICULOS")
        << "ARTICULOS" << QStringList{"COD_ART", "COD_PROPIO", "DESCRIPCION", "STK_ACTUAL", "P_UNITARIO", "FECHA_ACT"}
        << QStringList{"A001|P-01|Descripción: cañería de ½\" con válvula|10|12.5|2004-08-20 00:00:00",
               "A002|P-02|Precisión 0.1|-5|0.1|2004-08-20 13:45:30",
               "A003|P-03|Grande|2147483647|1234567.891|1899-12-30 00:00:00",
               "A004|P-04|Antigua|-2147483648|-0.000123456789|1850-03-01 06:00:00", "A005|NULL|Nulos|NULL|NULL|NULL",
               "A007|P-07|0.1+0.2 needs 17 digits|1|0.30000000000000004|1899-12-29 18:00:00",
               "A006|P-06|Un tercio|0|0.3333333333333333|2099-12-31 23:59:59"};
    QString memo;
    for (int n = 0; n < 40; ++n)
        memo += QStringLiteral("Observación nº %1 — acentuación áéíóú ÁÉÍÓÚ ü. ").arg(n);
    QTest::newRow("PEDIDOS") << "PEDIDOS"
                             << QStringList{"NRO_PEDIDO", "FECHA", "CLIENTE", "DIRECCION", "RUC", "TELEFONO",
                                    "CONTACTO", "EMAIL", "FORMA_DE_ENVIO", "FORMA_DE_PAGO", "OBSERVACIONES"}
                             << QStringList{"1041|2004-08-20 00:00:00|José Núñez|Av. España 123, Asunción|80012345-6|("
                                            "021) 555-1234|María Peña|jose@example.com|Envío por camión|Crédito 30 "
                                            "días|Entregar por la mañana",
                                    "1042|2004-08-21 00:00:00|Ascii Only Ltd|x|1|2|3|a@b.c|Retiro|Contado|" + memo};
    QTest::newRow("LINEAS_PEDIDOS") << "LINEAS_PEDIDOS"
                                    << QStringList{"NRO_PEDIDO", "NRO_LINEA", "COD_ART", "CANTIDAD", "P_UNITARIO",
                                           "DETALLES"}
                                    << QStringList{"1041|1|A001|3|12.5|Descripción extra", "1041|2|A002|1|0.1|NULL",
                                           "1042|1|A003|2|1234567.891|ñ"};
}

void tst_JetSource::readsEveryValueOfTheFixture()
{
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    if (!TestDatabase::requireFixture(TestDatabase::jetFixture()))
        return;
    LegacyTable read;
    const MaybeError error = m_source.readTable(table, read);
    QVERIFY2(!error, error ? qPrintable(error->description) : "");
    QCOMPARE(read.unreadable.size(), 0);
    QCOMPARE(read.declaredRows, qint64(read.rows.size()));
    QCOMPARE(read.warnings, QStringList());
    QStringList rows;
    for (int row = 0; row < read.rows.size(); ++row)
        rows << rowText(read, row, columns);
    QTEST(rows, "rows");
}

void tst_JetSource::refusesWhatItCannotRead_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expectedText");
    QTest::newRow("text") << QByteArray("COD_ART,DESCRIPCION\nA1,Tornillo\n") << "no es una base de datos de Access";
    QTest::newRow("empty") << QByteArray() << "no es una base de datos de Access";
    QTest::newRow("cut-off Jet header") << QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20)
            + QByteArray(3000, '\0') << "incompleto";
    QTest::newRow("Jet header, garbage pages")
        << QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(4 * 4096 - 20, '\x5a') << "";
}

void tst_JetSource::refusesWhatItCannotRead()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expectedText);
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("database.mdb"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    JetSource source;
    MaybeError error = source.open(path);
    // A file libmdb opens may still hold nothing readable; reading then fails as a value.
    if (!error) {
        LegacyTable table;
        for (const QString &name : source.tableNames())
            error = error ? error : source.readTable(name, table);
        if (source.tableNames().isEmpty())
            error = DbError{1, "sin tablas"};
    }
    QVERIFY(error);
    QVERIFY2(error->description.contains(expectedText), qPrintable(error->description));
}

QTEST_GUILESS_MAIN(tst_JetSource)
#include "tst_jetsource.moc"
