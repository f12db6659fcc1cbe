#include "data/connection.h"
#include "data/databaseaside.h"
#include "data/schema.h"
#include "legacy/legacyconverter.h"
#include "support/memorysource.h"
#include "support/testchecks.h"
#include "support/testfiles.h"

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

QDateTime day(int y, int m, int d, QTime time = QTime(0, 0))
{
    return QDateTime(QDate(y, m, d), time, Qt::UTC);
}

// An order row; the changed column, if any, is NULL.
QVariantList order(int number, int changedColumn = -1)
{
    QVariantList row{number, day(2004, 8, 20), "Cliente", "", "", "", "", "", "", "", ""};
    if (changedColumn >= 0)
        row[changedColumn] = QVariant();
    return row;
}

// Each row of the query as "value|value|...".
QStringList rows(const QString &path, const QString &sql)
{
    Connection connection(QStringLiteral("check-") + QUuid::createUuid().toString());
    RowSet set;
    if (MaybeError error = connection.open(path, Connection::Mode::ReadOnly))
        return {error->description};
    if (MaybeError error = connection.select(sql, {}, set))
        return {error->description};
    QStringList result;
    for (int row = 0; row < set.count(); ++row) {
        QStringList texts;
        for (const QString &column : set.columns())
            texts << MemorySource::valueText(set.value(row, column));
        result << texts.join(QLatin1Char('|'));
    }
    return result;
}

} // namespace

class tst_LegacyConverter : public QObject
{
    Q_OBJECT

private slots:
    // Each value takes its column's kind: whole numbers, decimals, NULL, and a date of change
    // with its time unless it is midnight. The fixture read through the Jet reader is the
    // database tool's test.
    void convertsEachValueToItsColumnsKind()
    {
        MemorySource source;
        source.add("SETUP", setupColumns, {{"Núñez", "Ana", " 1042"}})
            .add("ARTICULOS", articleColumns,
                {{"A1", "P", "Uno", 10, 12.5, day(2004, 8, 20)},
                    {"A2", "P", "Dos", -2147483648LL, 0.1 + 0.2, day(1850, 3, 1, QTime(6, 0))},
                    {"A3", "P", "Tres", 7.0, 3, day(1899, 12, 29, QTime(18, 0, 0, 5))},
                    {"A4", QVariant(), "Nulos", QVariant(), QVariant(), QVariant()}});
        ConversionReport report;
        QList<int> steps;
        const QString path = convert(source, report, [&steps](int percent, const QString &) { steps << percent; });
        QVERIFY2(report.clean(), qPrintable(report.text()));
        QVERIFY(report.text().contains(QStringLiteral("ARTICULOS: 4 filas leídas, 4 escritas.")));
        QVERIFY(!steps.isEmpty() && steps.last() == 100 && std::is_sorted(steps.begin(), steps.end()));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
        Connection check(QStringLiteral("schema"));
        QVERIFY_NO_ERROR(check.open(path, Connection::Mode::ReadOnly));
        QVERIFY_NO_ERROR(Schema::check(check));
        QCOMPARE(rows(path, "SELECT ULTIMO_PEDIDO, typeof(ULTIMO_PEDIDO) FROM SETUP"), QStringList{"1042|integer"});
        QCOMPARE(rows(path,
                     "SELECT COD_ART, COD_PROPIO, STK_ACTUAL, P_UNITARIO, FECHA_ACT, typeof(STK_ACTUAL), "
                     "typeof(P_UNITARIO) FROM ARTICULOS ORDER BY rowid"),
            QStringList({"A1|P|10|12.5|2004-08-20|integer|real",
                "A2|P|-2147483648|0.30000000000000004|1850-03-01 06:00:00|integer|real",
                "A3|P|7|3|1899-12-29 18:00:00.005|integer|real", "A4|NULL|NULL|NULL|NULL|null|null"}));
        QCOMPARE(rows(path, "SELECT INFORME, (SELECT COUNT(*) FROM APARTADOS) FROM CONVERSION"),
            QStringList{report.text() + "|0"});
    }

    // A repeat of a row's key with the same values is stored once; one that differs from its first
    // row in one value only (NULL against "", or the last bit of a double) is kept aside whole.
    void mergesOrKeepsAsideRepeats()
    {
        MemorySource source;
        source.add("SETUP", setupColumns, {{"E", "V", 2}, {"E", "Otro", 2}, {"E", "V", 2}})
            .add("ARTICULOS", articleColumns,
                {{"A1", "P", "Uno", 1, 0.1 + 0.2, QVariant()}, {"A2", "P", "Dos", 2, 2.0, QVariant()},
                    {"A1", "P", "Uno", 1, 0.3, QVariant()}, {"A2", "P", "Dos", 2, 2.0, QVariant()}})
            .add("PEDIDOS", orderColumns, {order(1), order(2), order(2, 4), order(3, 0), order(1)})
            .add("LINEAS_PEDIDOS", lineColumns,
                {{1, 1, "A1", 2, 0.5, QVariant()}, {1, 1, "A1", 2, 0.5, ""}, {1, 1, "A1", 2, 0.5, QVariant()},
                    {2, 1, "A2", 1, 2.0, ""}});
        ConversionReport report;
        const QString path = convert(source, report);
        QCOMPARE(report.merged.size(), 4);
        QCOMPARE(report.keptAside.size(), 5);
        for (const char *line :
            {"ARTICULOS, fila 4: COD_ART \"A2\" repite la fila 2", "SETUP, fila 3: otra fila de SETUP repite la fila 1",
                "ARTICULOS, fila 3: COD_ART \"A1\" repetido con otros datos",
                "LINEAS_PEDIDOS, fila 2: NRO_PEDIDO 1, NRO_LINEA 1 repetido con otros datos",
                "SETUP, fila 2: el programa usa solo la primera fila", "PEDIDOS, fila 4: NRO_PEDIDO vacío (NULL)."})
            QVERIFY2(report.text().contains(QString::fromUtf8(line)), line);
        QCOMPARE(rows(path,
                     "SELECT (SELECT COUNT(*) FROM SETUP), (SELECT COUNT(*) FROM ARTICULOS), (SELECT COUNT(*) FROM "
                     "PEDIDOS), (SELECT COUNT(*) FROM LINEAS_PEDIDOS)"),
            QStringList{"1|2|2|2"});
        // The first row with the key stays in the table.
        QCOMPARE(
            rows(path, "SELECT P_UNITARIO FROM ARTICULOS WHERE COD_ART = 'A1'"), QStringList{"0.30000000000000004"});

        // Every source row kept aside can be recovered from its JSON, value for value.
        const QStringList kept = rows(path, "SELECT TABLA, FILA_ORIGEN, DATOS FROM APARTADOS");
        QCOMPARE(kept.size(), 5);
        for (const QString &entry : kept) {
            const QString table = entry.section(QLatin1Char('|'), 0, 0);
            const int sourceRow = entry.section(QLatin1Char('|'), 1, 1).toInt() - 1;
            const QJsonObject json = QJsonDocument::fromJson(entry.section(QLatin1Char('|'), 2).toUtf8()).object();
            const LegacyTable &from = *std::find_if(
                source.tables.cbegin(), source.tables.cend(), [&](const LegacyTable &t) { return t.name == table; });
            QCOMPARE(json.size(), from.columns.size());
            for (int i = 0; i < from.columns.size(); ++i)
                QCOMPARE(MemorySource::valueText(json.value(from.columns.at(i)).toVariant()),
                    MemorySource::valueText(from.rows.at(sourceRow).at(i)));
        }
    }

    void raisesALaggingCounter_data()
    {
        QTest::addColumn<QList<QVariantList>>("settings");
        QTest::addColumn<QString>("expectedCounter");
        QTest::addColumn<QString>("expectedLine");
        const auto row
            = [](const char *name, const QList<QVariantList> &settings, const char *counter, const char *line) {
                  QTest::newRow(name) << settings << QString(counter) << QString(line);
              };
        row("below the highest order", {{"E", "V", 5}}, "9",
            "ULTIMO_PEDIDO: era 5, menor que el pedido más alto guardado (9)");
        row("already at it", {{"E", "V", 9}}, "9", "");
        row("missing value", {{"E", "V", QVariant()}}, "9",
            "ULTIMO_PEDIDO: era NULL, que no es un número de pedido; se puso 9");
        row("no settings row", {}, "9", "SETUP no tenía ninguna fila");
    }

    void raisesALaggingCounter()
    {
        QFETCH(QList<QVariantList>, settings);
        QFETCH(QString, expectedLine);
        MemorySource source;
        source.add("SETUP", setupColumns, settings).add("PEDIDOS", orderColumns, {order(3), order(9), order(7)});
        ConversionReport report;
        const QString path = convert(source, report);
        QTEST(rows(path, "SELECT ULTIMO_PEDIDO FROM SETUP").join(','), "expectedCounter");
        QCOMPARE(report.adjusted.size(), expectedLine.isEmpty() ? 0 : 1);
        QVERIFY2(report.adjusted.join("").contains(expectedLine), qPrintable(report.text()));
    }

    void findsColumnsByNameAndNamesWhatItChanged()
    {
        QVariantList late = order(5);
        late[1] = day(2004, 8, 20, QTime(17, 30));
        MemorySource source;
        source.add("Setup", {"ULTIMO_PEDIDO", "COLOR", "recorvan", "Empresa"}, {{5, "rojo", "Vendedora", "Núñez"}})
            .add("CLIENTES", {"EMAIL", "NOMBRE", "EXTRA", "CONTACTO", "TELEFONO", "RUC", "DIRECCION"},
                {{QVariant(), "Ana", 1, "", "", QVariant(), "Calle"}})
            .add("PEDIDOS", orderColumns, {late})
            .add("ARTICULOS", articleColumns, {{"A2", "P", QStringLiteral("Dos \uFFFD"), 1, 1.0, 5.0e7}})
            .add("LINEAS_PEDIDOS", lineColumns, {{5, 1, "A2", 2.5, "caro", ""}})
            .add("MSysOtra", {"X"}, {{1}});
        source.tables[3].unreadable << qMakePair(0, QStringLiteral("hay caracteres que no se pudieron leer"));
        source.tables[3].declaredRows = 3;
        source.tables[3].warnings << QStringLiteral("warning: page 34 from map doesn't match");
        ConversionReport report;
        const QString path = convert(source, report);
        for (const char *line : {"Columnas de SETUP que el programa no usa y no se copiaron: COLOR.",
                 "Columnas de CLIENTES que el programa no usa y no se copiaron: EXTRA.",
                 "Tablas que el programa no usa y no se copiaron: MSysOtra.", "PEDIDOS, fila 1, FECHA: ",
                 "2004-08-20 17:30:00", "ARTICULOS, fila 1: hay caracteres que no se pudieron leer.",
                 "ARTICULOS, fila 1, FECHA_ACT: 50000000 no es una fecha",
                 "ARTICULOS: 1 fila leída de 3 que el archivo dice tener, 1 escrita.",
                 "ARTICULOS: el archivo dice tener 3 filas y se pudieron leer 1; faltan 2.",
                 "ARTICULOS: warning: page 34 from map doesn't match",
                 "LINEAS_PEDIDOS, fila 1, CANTIDAD: 2.5 no es un número entero; se guardó tal cual",
                 "LINEAS_PEDIDOS, fila 1, P_UNITARIO: \"caro\" no es un número; se guardó tal cual"})
            QVERIFY2(report.text().contains(QString::fromUtf8(line)), line);
        QCOMPARE(report.lostRows(), qint64(2));
        QCOMPARE(rows(path, "SELECT EMPRESA, RECORVAN, ULTIMO_PEDIDO FROM SETUP"), QStringList{"Núñez|Vendedora|5"});
        QCOMPARE(rows(path, "SELECT NOMBRE, DIRECCION, RUC, TELEFONO, CONTACTO, EMAIL FROM CLIENTES"),
            QStringList{"Ana|Calle|NULL|||NULL"});
        QCOMPARE(rows(path, "SELECT FECHA FROM PEDIDOS"), QStringList{"2004-08-20"});
        QCOMPARE(rows(path, "SELECT FECHA_ACT FROM ARTICULOS"), QStringList{"50000000"});
    }

    void leavesNothingBehindOnFailureNorOverwrites()
    {
        QTemporaryDir dir;
        const QDir folder(dir.path());
        const auto fails = [&folder](LegacySource &source, const QString &file, const QString &expected) {
            ConversionReport report;
            const MaybeError error = LegacyConverter::convert(source, folder.filePath(file), report);
            return error && error->description.contains(expected)
                && folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size() <= 1;
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
        QVERIFY(folder.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

        QVERIFY(writeFile(folder.filePath("nueva.mdb"), "ya estaba"));
        QVERIFY(fails(damaged, "nueva.mdb", "ya existe"));
        QCOMPARE(contentOf(folder.filePath("nueva.mdb")), QByteArray("ya estaba"));

        // What a conversion cut short (its process killed) leaves is found by the target's name alone.
        for (const char *name : {".nueva.mdb.0a1b2c3d.tmp", ".nueva.mdb.0a1b2c3d.tmp-wal", ".otra.mdb.0a1b2c3d.tmp"})
            QVERIFY(QFile(folder.filePath(name)).open(QIODevice::WriteOnly));
        DatabaseAside::removeUnfinished(folder.filePath("nueva.mdb"));
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden), QStringList({".otra.mdb.0a1b2c3d.tmp", "nueva.mdb"}));
    }

private:
    // Converts the source into a new file and returns its path.
    QString convert(MemorySource &source, ConversionReport &report, const LegacyConverter::Progress &progress = {})
    {
        const QString path = QDir(m_dir.path()).filePath(QUuid::createUuid().toString(QUuid::Id128) + ".mdb");
        const MaybeError error = LegacyConverter::convert(source, path, report, progress);
        if (error)
            qWarning() << error->description;
        return path;
    }
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(tst_LegacyConverter)
#include "tst_legacyconverter.moc"
