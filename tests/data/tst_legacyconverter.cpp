#include "data/connection.h"
#include "data/legacy/jetsource.h"
#include "data/legacy/legacyconverter.h"
#include "data/schema.h"
#include "support/memorysource.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>
#include <QtTest>

namespace {

const QStringList setupColumns = {"EMPRESA", "RECORVAN", "ULTIMO_PEDIDO"};
const QStringList articleColumns = {"COD_ART", "COD_PROPIO", "DESCRIPCION", "STK_ACTUAL", "P_UNITARIO", "FECHA_ACT"};
const QStringList orderColumns = {"NRO_PEDIDO", "FECHA", "CLIENTE", "DIRECCION", "RUC", "TELEFONO", "CONTACTO", "EMAIL",
    "FORMA_DE_ENVIO", "FORMA_DE_PAGO", "OBSERVACIONES"};
const QStringList lineColumns = {"NRO_PEDIDO", "NRO_LINEA", "COD_ART", "CANTIDAD", "P_UNITARIO", "DETALLES"};

QVariantList order(int number, int changedColumn = -1)
{
    QVariantList row{
        number, QDateTime(QDate(2004, 8, 20), QTime(0, 0), Qt::UTC), "Cliente", "", "", "", "", "", "", "", ""};
    if (changedColumn >= 0)
        row[changedColumn] = QVariant();
    return row;
}

// A value as text: NULL spelled out so that it is never taken for "", doubles in their shortest
// exact form (0.1 + 0.2 stays 0.30000000000000004), times to the millisecond.
QString render(const QVariant &value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
    return value.toString();
}

// Each row of the query as "value|value|...".
QStringList rows(const QString &path, const QString &sql, const QVariantList &values = {})
{
    Connection connection(QStringLiteral("check-") + QUuid::createUuid().toString());
    RowSet set;
    if (MaybeError error = connection.open(path, Connection::Mode::ReadOnly))
        return {error->description};
    if (MaybeError error = connection.select(sql, values, set))
        return {error->description};
    QStringList result;
    for (int row = 0; row < set.count(); ++row) {
        QStringList texts;
        for (const QString &column : set.columns())
            texts << render(set.value(row, column));
        result << texts.join(QLatin1Char('|'));
    }
    return result;
}

} // namespace

class tst_LegacyConverter : public QObject
{
    Q_OBJECT

private slots:
    void convertsEveryValueOfTheFixture();
    void mergesIdenticalRepeats();
    void keepsAsideDifferingRepeats_data();
    void keepsAsideDifferingRepeats();
    void raisesALaggingCounter_data();
    void raisesALaggingCounter();
    void findsColumnsByNameAndNamesWhatItChanged();
    void leavesNothingBehindOnFailureNorOverwrites();

private:
    QString newPath() const { return QDir(m_dir.path()).filePath(QUuid::createUuid().toString(QUuid::Id128) + ".mdb"); }
    QTemporaryDir m_dir;
};

void tst_LegacyConverter::convertsEveryValueOfTheFixture()
{
    const QString jet = TestDatabase::jetFixture();
    if (!TestDatabase::requireFixture(jet))
        return;
    JetSource source;
    QVERIFY(!source.open(jet));
    const QString path = newPath();
    ConversionReport report;
    QList<int> steps;
    const MaybeError error
        = LegacyConverter::convert(source, path, report, [&steps](int percent, const QString &) { steps << percent; });
    QVERIFY2(!error, error ? qPrintable(error->description) : "");
    QVERIFY2(report.clean(), qPrintable(report.text()));
    QVERIFY(report.text().contains(QStringLiteral("ARTICULOS: 7 filas leídas, 7 escritas.")));
    QVERIFY(!steps.isEmpty() && steps.last() == 100 && std::is_sorted(steps.begin(), steps.end()));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
    Connection check(QStringLiteral("schema"));
    QVERIFY(!check.open(path, Connection::Mode::ReadOnly) && !Schema::check(check));

    QCOMPARE(rows(path, "SELECT EMPRESA, RECORVAN, ULTIMO_PEDIDO, typeof(ULTIMO_PEDIDO) FROM SETUP"),
        QStringList{"Distribuidora Núñez S.A.|Añadir ñandú €|1042|integer"});
    QCOMPARE(rows(path, "SELECT NOMBRE, DIRECCION, RUC, TELEFONO, CONTACTO, EMAIL FROM CLIENTES ORDER BY ID"),
        QStringList({"José Núñez|Av. España 123, Asunción|80012345-6|(021) 555-1234|María Peña|jose@example.com",
            "Comercial \"El Ñandú\"|Calle 1;2,3\ttab|NULL||Ölçüm Ærø ŁÓDŹ Ωμέγα|NULL",
            "Emoji " + QString::fromUcs4(U"\U0001F600") + " fuera del BMP|||||",
            "Ascii Only Ltd|Line1\r\nLine2|1|2|3|a@b.c"}));
    QCOMPARE(rows(path,
                 "SELECT COD_ART, COD_PROPIO, DESCRIPCION, STK_ACTUAL, P_UNITARIO, FECHA_ACT, typeof(STK_ACTUAL), "
                 "typeof(P_UNITARIO) FROM ARTICULOS ORDER BY rowid"),
        QStringList({"A001|P-01|Descripción: cañería de ½\" con válvula|10|12.5|2004-08-20|integer|real",
            "A002|P-02|Precisión 0.1|-5|0.1|2004-08-20 13:45:30|integer|real",
            "A003|P-03|Grande|2147483647|1234567.891|1899-12-30|integer|real",
            "A004|P-04|Antigua|-2147483648|-0.000123456789|1850-03-01 06:00:00|integer|real",
            "A005|NULL|Nulos|NULL|NULL|NULL|null|null",
            "A007|P-07|0.1+0.2 needs 17 digits|1|0.30000000000000004|1899-12-29 18:00:00|integer|real",
            "A006|P-06|Un tercio|0|0.3333333333333333|2099-12-31 23:59:59|integer|real"}));
    QString memo;
    for (int n = 0; n < 40; ++n)
        memo += QStringLiteral("Observación nº %1 — acentuación áéíóú ÁÉÍÓÚ ü. ").arg(n);
    QCOMPARE(rows(path, "SELECT " + orderColumns.join(", ") + " FROM PEDIDOS ORDER BY NRO_PEDIDO"),
        QStringList({"1041|2004-08-20|José Núñez|Av. España 123, Asunción|80012345-6|(021) 555-1234|María "
                     "Peña|jose@example.com|Envío por camión|Crédito 30 días|Entregar por la mañana",
            "1042|2004-08-21|Ascii Only Ltd|x|1|2|3|a@b.c|Retiro|Contado|" + memo}));
    QCOMPARE(rows(path, "SELECT " + lineColumns.join(", ") + " FROM LINEAS_PEDIDOS ORDER BY NRO_PEDIDO, NRO_LINEA"),
        QStringList({"1041|1|A001|3|12.5|Descripción extra", "1041|2|A002|1|0.1|NULL", "1042|1|A003|2|1234567.891|ñ"}));
    QCOMPARE(rows(path, "SELECT INFORME, (SELECT COUNT(*) FROM APARTADOS) FROM CONVERSION"),
        QStringList{report.text() + "|0"});
}

void tst_LegacyConverter::mergesIdenticalRepeats()
{
    MemorySource source;
    source.add("SETUP", setupColumns, {{"E", "V", 2}, {"E", "V", 2}})
        .add("ARTICULOS", articleColumns,
            {{"A1", "P", "Uno", 1, 0.1 + 0.2, QVariant()}, {"A2", "P", "Dos", 2, 2.0, QVariant()},
                {"A1", "P", "Uno", 1, 0.1 + 0.2, QVariant()}})
        .add("PEDIDOS", orderColumns, {order(1), order(2), order(2)})
        .add("LINEAS_PEDIDOS", lineColumns,
            {{1, 1, "A1", 2, 0.5, QVariant()}, {1, 1, "A1", 2, 0.5, QVariant()}, {2, 1, "A2", 1, 2.0, ""}});
    const QString path = newPath();
    ConversionReport report;
    QVERIFY(!LegacyConverter::convert(source, path, report));
    QCOMPARE(report.merged.size(), 4);
    QCOMPARE(report.keptAside.size(), 0);
    QVERIFY2(report.text().contains(QStringLiteral("ARTICULOS, fila 3: COD_ART \"A1\" repite la fila 1")),
        qPrintable(report.text()));
    QCOMPARE(rows(path,
                 "SELECT (SELECT COUNT(*) FROM SETUP), (SELECT COUNT(*) FROM ARTICULOS), (SELECT COUNT(*) FROM "
                 "PEDIDOS), (SELECT COUNT(*) FROM LINEAS_PEDIDOS)"),
        QStringList{"1|2|2|2"});
}

void tst_LegacyConverter::keepsAsideDifferingRepeats_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("expectedLine");
    QTest::newRow("article code") << "ARTICULOS"
                                  << "ARTICULOS, fila 3: COD_ART \"A1\" repetido con otros datos";
    QTest::newRow("order number") << "PEDIDOS"
                                  << "PEDIDOS, fila 3: NRO_PEDIDO 2 repetido con otros datos";
    QTest::newRow("order line") << "LINEAS_PEDIDOS"
                                << "LINEAS_PEDIDOS, fila 2: NRO_PEDIDO 1, NRO_LINEA 1 repetido con otros datos";
    QTest::newRow("second settings row") << "SETUP"
                                         << "SETUP, fila 2: el programa usa solo la primera fila";
    QTest::newRow("order without a number") << "PEDIDOS"
                                            << "PEDIDOS, fila 4: NRO_PEDIDO vacío (NULL).";
}

void tst_LegacyConverter::keepsAsideDifferingRepeats()
{
    QFETCH(QString, table);
    QFETCH(QString, expectedLine);
    MemorySource source;
    // Each repeat differs from its first row in one value only: NULL against "", or the last bit of a double.
    source.add("SETUP", setupColumns, {{"E", "V", 2}, {"E", "Otro", 2}})
        .add("ARTICULOS", articleColumns,
            {{"A1", "P", "Uno", 1, 0.1 + 0.2, QVariant()}, {"A2", "P", "Dos", 2, 2.0, QVariant()},
                {"A1", "P", "Uno", 1, 0.3, QVariant()}})
        .add("PEDIDOS", orderColumns, {order(1), order(2), order(2, 4), order(3, 0)})
        .add("LINEAS_PEDIDOS", lineColumns, {{1, 1, "A1", 2, 0.5, QVariant()}, {1, 1, "A1", 2, 0.5, ""}});
    const QString path = newPath();
    ConversionReport report;
    QVERIFY(!LegacyConverter::convert(source, path, report));
    QCOMPARE(report.keptAside.size(), 5);
    QVERIFY2(report.text().contains(expectedLine), qPrintable(report.text()));
    // The first row with the key stays in the table.
    QCOMPARE(rows(path, "SELECT P_UNITARIO FROM ARTICULOS WHERE COD_ART = 'A1'"), QStringList{"0.30000000000000004"});

    // The whole source row can be recovered from the JSON, value for value.
    const int sourceRow = expectedLine.section(QStringLiteral("fila "), 1).section(QLatin1Char(':'), 0, 0).toInt() - 1;
    const QStringList kept
        = rows(path, "SELECT DATOS FROM APARTADOS WHERE TABLA = ? AND FILA_ORIGEN = ?", {table, sourceRow + 1});
    QCOMPARE(kept.size(), 1);
    const QJsonObject row = QJsonDocument::fromJson(kept.first().toUtf8()).object();
    const LegacyTable &from = *std::find_if(
        source.tables.cbegin(), source.tables.cend(), [&](const LegacyTable &t) { return t.name == table; });
    QStringList recovered, original;
    for (int i = 0; i < from.columns.size(); ++i) {
        recovered << render(row.value(from.columns.at(i)).toVariant());
        original << render(from.rows.at(sourceRow).at(i));
    }
    QCOMPARE(recovered, original);
    QCOMPARE(row.size(), from.columns.size());
}

void tst_LegacyConverter::raisesALaggingCounter_data()
{
    QTest::addColumn<QList<QVariantList>>("settings");
    QTest::addColumn<QString>("expectedCounter");
    QTest::addColumn<QString>("expectedLine");
    QTest::newRow("below the highest order") << QList<QVariantList>{{"E", "V", 5}} << "9"
                                             << "ULTIMO_PEDIDO: era 5, menor que el pedido más alto guardado (9)";
    QTest::newRow("already at it") << QList<QVariantList>{{"E", "V", 9}} << "9"
                                   << "";
    QTest::newRow("ahead of it") << QList<QVariantList>{{"E", "V", 40}} << "40"
                                 << "";
    QTest::newRow("missing value") << QList<QVariantList>{{"E", "V", QVariant()}} << "9"
                                   << "ULTIMO_PEDIDO: era NULL, que no es un número de pedido; se puso 9";
    QTest::newRow("no settings row") << QList<QVariantList>{} << "9"
                                     << "SETUP no tenía ninguna fila";
}

void tst_LegacyConverter::raisesALaggingCounter()
{
    QFETCH(QList<QVariantList>, settings);
    QFETCH(QString, expectedLine);
    MemorySource source;
    source.add("SETUP", setupColumns, settings).add("PEDIDOS", orderColumns, {order(3), order(9), order(7)});
    const QString path = newPath();
    ConversionReport report;
    QVERIFY(!LegacyConverter::convert(source, path, report));
    QTEST(rows(path, "SELECT ULTIMO_PEDIDO FROM SETUP").join(','), "expectedCounter");
    QCOMPARE(report.adjusted.size(), expectedLine.isEmpty() ? 0 : 1);
    QVERIFY2(report.adjusted.join("").contains(expectedLine), qPrintable(report.text()));
}

void tst_LegacyConverter::findsColumnsByNameAndNamesWhatItChanged()
{
    QVariantList late = order(5);
    late[1] = QDateTime(QDate(2004, 8, 20), QTime(17, 30), Qt::UTC);
    MemorySource source;
    source.add("Setup", {"ULTIMO_PEDIDO", "COLOR", "recorvan", "Empresa"}, {{5, "rojo", "Vendedora", "Núñez"}})
        .add("CLIENTES", {"EMAIL", "NOMBRE", "EXTRA", "CONTACTO", "TELEFONO", "RUC", "DIRECCION"},
            {{QVariant(), "Ana", 1, "", "", QVariant(), "Calle"}})
        .add("PEDIDOS", orderColumns, {late})
        .add("ARTICULOS", articleColumns, {{"A2", "P", QStringLiteral("Dos \uFFFD"), 1, 1.0, 5.0e7}})
        .add("MSysOtra", {"X"}, {{1}});
    source.tables[3].unreadable << qMakePair(0, QStringLiteral("hay caracteres que no se pudieron leer"));
    source.tables[3].declaredRows = 3;
    source.tables[3].warnings << QStringLiteral("warning: page 34 from map doesn't match");
    const QString path = newPath();
    ConversionReport report;
    QVERIFY(!LegacyConverter::convert(source, path, report));
    for (const char *line : {"Columnas de SETUP que el programa no usa y no se copiaron: COLOR.",
             "Columnas de CLIENTES que el programa no usa y no se copiaron: EXTRA.",
             "Tablas que el programa no usa y no se copiaron: MSysOtra.", "PEDIDOS, fila 1, FECHA: ",
             "2004-08-20 17:30:00", "ARTICULOS, fila 1: hay caracteres que no se pudieron leer.",
             "ARTICULOS, fila 1, FECHA_ACT: 50000000 no es una fecha",
             "ARTICULOS: 1 fila leída de 3 que el archivo dice tener, 1 escrita.",
             "ARTICULOS: el archivo dice tener 3 filas y se pudieron leer 1; faltan 2.",
             "ARTICULOS: warning: page 34 from map doesn't match"})
        QVERIFY2(report.text().contains(QString::fromUtf8(line)), line);
    QCOMPARE(report.lostRows(), qint64(2));
    QCOMPARE(rows(path, "SELECT EMPRESA, RECORVAN, ULTIMO_PEDIDO FROM SETUP"), QStringList{"Núñez|Vendedora|5"});
    QCOMPARE(rows(path, "SELECT NOMBRE, DIRECCION, RUC, TELEFONO, CONTACTO, EMAIL FROM CLIENTES"),
        QStringList{"Ana|Calle|NULL|||NULL"});
    QCOMPARE(rows(path, "SELECT FECHA FROM PEDIDOS"), QStringList{"2004-08-20"});
    QCOMPARE(rows(path, "SELECT FECHA_ACT FROM ARTICULOS"), QStringList{"50000000"});
}

void tst_LegacyConverter::leavesNothingBehindOnFailureNorOverwrites()
{
    QTemporaryDir dir;
    const auto fails = [&dir](LegacySource &source, const QString &file, const QString &expected) {
        ConversionReport report;
        const MaybeError error = LegacyConverter::convert(source, QDir(dir.path()).filePath(file), report);
        return error && error->description.contains(expected)
            && QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size() <= 1;
    };
    MemorySource damaged;
    damaged.add("SETUP", setupColumns, {{"E", "V", 1}}).add("PEDIDOS", orderColumns, {order(1)});
    damaged.failOn = QStringLiteral("PEDIDOS");
    QVERIFY(fails(damaged, "nueva.mdb", "dañada"));
    MemorySource unrelated;
    unrelated.add("Facturas", {"X"}, {{1}});
    QVERIFY(fails(unrelated, "nueva.mdb", "ninguna de las tablas"));
    damaged.failOn.clear();
    QVERIFY(fails(damaged, "no-existe/nueva.mdb", ""));
    QVERIFY(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

    QFile existing(QDir(dir.path()).filePath("nueva.mdb"));
    QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("ya estaba") == 9);
    existing.close();
    QVERIFY(fails(damaged, "nueva.mdb", "ya existe"));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("ya estaba"));
    existing.close();

    // What a conversion cut short (its process killed) leaves is found by the target's name alone.
    for (const char *name : {".nueva.mdb.0a1b2c3d.tmp", ".nueva.mdb.0a1b2c3d.tmp-wal", ".otra.mdb.0a1b2c3d.tmp"}) {
        QFile left(QDir(dir.path()).filePath(name));
        QVERIFY(left.open(QIODevice::WriteOnly));
    }
    LegacyConverter::removeUnfinished(QDir(dir.path()).filePath("nueva.mdb"));
    QCOMPARE(
        QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({".otra.mdb.0a1b2c3d.tmp", "nueva.mdb"}));
}

QTEST_GUILESS_MAIN(tst_LegacyConverter)
#include "tst_legacyconverter.moc"
