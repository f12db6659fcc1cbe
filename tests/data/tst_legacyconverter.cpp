#include "data/connection.h"
#include "data/legacy/jetsource.h"
#include "data/legacy/legacyconverter.h"
#include "data/legacy/legacysource.h"
#include "data/schema.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>
#include <QtTest>

namespace {

// Hands rows over as the Jet reader would, so the rules can meet cases no file here holds.
class MemorySource : public LegacySource
{
public:
    QList<LegacyTable> tables;
    QString failOn;

    QString description() const override { return QStringLiteral("memoria"); }
    QStringList tableNames() const override
    {
        QStringList names;
        for (const LegacyTable &table : tables)
            names << table.name;
        return names;
    }
    MaybeError readTable(const QString &name, LegacyTable &table) override
    {
        if (name == failOn)
            return DbError{26, QStringLiteral("la tabla %1 está dañada").arg(name)};
        for (const LegacyTable &candidate : tables) {
            if (candidate.name == name) {
                table = candidate;
                return std::nullopt;
            }
        }
        return DbError{1, QStringLiteral("no hay tabla %1").arg(name)};
    }

    MemorySource &add(const QString &name, const QStringList &columns, const QList<QVariantList> &rows)
    {
        tables << LegacyTable{name, columns, rows, {}};
        return *this;
    }
};

const QStringList setupColumns = {"EMPRESA", "RECORVAN", "ULTIMO_PEDIDO"};
const QStringList articleColumns = {"COD_ART", "COD_PROPIO", "DESCRIPCION", "STK_ACTUAL", "P_UNITARIO", "FECHA_ACT"};
const QStringList orderColumns = {"NRO_PEDIDO", "FECHA", "CLIENTE", "DIRECCION", "RUC", "TELEFONO", "CONTACTO", "EMAIL",
    "FORMA_DE_ENVIO", "FORMA_DE_PAGO", "OBSERVACIONES"};
const QStringList lineColumns = {"NRO_PEDIDO", "NRO_LINEA", "COD_ART", "CANTIDAD", "P_UNITARIO", "DETALLES"};
const QStringList customerColumns = {"NOMBRE", "DIRECCION", "RUC", "TELEFONO", "CONTACTO", "EMAIL"};

QVariantList order(int number, const QString &customer = QStringLiteral("Cliente"))
{
    return {number, QDateTime(QDate(2004, 8, 20), QTime(0, 0), Qt::UTC), customer, "", "", "", "", "", "", "", ""};
}

QString exact(const QVariant &value)
{
    return QString::number(value.toDouble(), 'g', 17);
}

} // namespace

class tst_LegacyConverter : public QObject
{
    Q_OBJECT

private slots:
    void convertsEveryValueOfTheFixture();
    void refusesToOverwrite();
    void mergesIdenticalRepeats();
    void keepsAsideDifferingRepeats_data();
    void keepsAsideDifferingRepeats();
    void keepsAsideRowsWithoutKey();
    void raisesALaggingCounter_data();
    void raisesALaggingCounter();
    void findsColumnsByName();
    void keepsTheDayOfAnOrderAndNamesItsTime();
    void namesRowsWithUnreadableValues();
    void writesNothingWhenReadingFails();
    void writesNothingWhenWritingFails();

private:
    QString newPath() const { return QDir(m_dir.path()).filePath(QUuid::createUuid().toString(QUuid::Id128) + ".mdb"); }
    QTemporaryDir m_dir;
};

namespace {

struct Opened
{
    Connection connection{QStringLiteral("check-") + QUuid::createUuid().toString()};
    RowSet select(const QString &sql, const QVariantList &values = {})
    {
        RowSet rows;
        if (MaybeError error = connection.select(sql, values, rows))
            qWarning() << sql << error->description;
        return rows;
    }
};

} // namespace

void tst_LegacyConverter::convertsEveryValueOfTheFixture()
{
    const QString jet = TestDatabase::sharedFolder() + QStringLiteral("/fixtures/legacy-jet4/database.mdb");
    if (!QFileInfo::exists(jet))
        QSKIP("The shared Jet 4 fixture is not there.");
    JetSource source;
    QVERIFY(!source.open(jet));
    const QString path = newPath();
    ConversionReport report;
    QList<int> steps;
    const MaybeError error
        = LegacyConverter::convert(source, path, report, [&steps](int percent, const QString &) { steps << percent; });
    QVERIFY2(!error, error ? qPrintable(error->description) : "");
    QVERIFY2(report.clean(), qPrintable(report.text()));
    QCOMPARE(report.writtenRows("SETUP"), 1);
    QCOMPARE(report.writtenRows("CLIENTES"), 4);
    QCOMPARE(report.writtenRows("ARTICULOS"), 7);
    QCOMPARE(report.writtenRows("PEDIDOS"), 2);
    QCOMPARE(report.writtenRows("LINEAS_PEDIDOS"), 3);
    QVERIFY(report.text().contains(QStringLiteral("ARTICULOS: 7 filas leídas, 7 escritas.")));
    QVERIFY(!steps.isEmpty());
    QCOMPARE(steps.last(), 100);
    QVERIFY(std::is_sorted(steps.begin(), steps.end()));
    // Nothing but the new file is left beside it.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter(".tmp").size(), 0);

    Opened db;
    QVERIFY(!db.connection.open(path, Connection::Mode::ReadOnly));
    QVERIFY(!Schema::check(db.connection));
    RowSet setup = db.select("SELECT EMPRESA, RECORVAN, ULTIMO_PEDIDO, typeof(ULTIMO_PEDIDO) AS T FROM SETUP");
    QCOMPARE(setup.count(), 1);
    QCOMPARE(setup.text(0, "EMPRESA"), QStringLiteral("Distribuidora Núñez S.A."));
    QCOMPARE(setup.text(0, "RECORVAN"), QStringLiteral("Añadir ñandú €"));
    QCOMPARE(setup.text(0, "ULTIMO_PEDIDO"), QStringLiteral("1042"));
    QCOMPARE(setup.text(0, "T"), QStringLiteral("integer"));

    RowSet customers = db.select("SELECT NOMBRE, DIRECCION, RUC IS NULL AS RUC_NULL, TELEFONO, TELEFONO IS NULL AS "
                                 "TEL_NULL, CONTACTO, EMAIL IS NULL AS EMAIL_NULL FROM CLIENTES ORDER BY ID");
    QCOMPARE(customers.count(), 4);
    QCOMPARE(customers.text(0, "DIRECCION"), QStringLiteral("Av. España 123, Asunción"));
    QCOMPARE(customers.text(1, "NOMBRE"), QStringLiteral("Comercial \"El Ñandú\""));
    QCOMPARE(customers.text(1, "DIRECCION"), QStringLiteral("Calle 1;2,3\ttab"));
    QCOMPARE(customers.text(1, "RUC_NULL"), QStringLiteral("1"));
    QCOMPARE(customers.text(1, "TEL_NULL"), QStringLiteral("0"));
    QCOMPARE(customers.text(1, "TELEFONO"), QString());
    QCOMPARE(customers.text(1, "CONTACTO"), QStringLiteral("Ölçüm Ærø ŁÓDŹ Ωμέγα"));
    QCOMPARE(customers.text(1, "EMAIL_NULL"), QStringLiteral("1"));
    QCOMPARE(customers.text(2, "NOMBRE"),
        QStringLiteral("Emoji ") + QString::fromUcs4(U"\U0001F600") + QStringLiteral(" fuera del BMP"));
    QCOMPARE(customers.text(2, "TEL_NULL"), QStringLiteral("0"));
    QCOMPARE(customers.text(3, "DIRECCION"), QStringLiteral("Line1\r\nLine2"));

    RowSet articles = db.select("SELECT COD_ART, COD_PROPIO IS NULL AS OWN_NULL, DESCRIPCION, STK_ACTUAL, "
                                "typeof(STK_ACTUAL) AS STK_T, P_UNITARIO, typeof(P_UNITARIO) AS P_T, FECHA_ACT "
                                "FROM ARTICULOS ORDER BY rowid");
    QCOMPARE(articles.count(), 7);
    const QStringList codes = {"A001", "A002", "A003", "A004", "A005", "A007", "A006"};
    const QStringList stocks = {"10", "-5", "2147483647", "-2147483648", "", "1", "0"};
    const QList<double> prices = {12.5, 0.1, 1234567.891, -0.000123456789, 0, 0.1 + 0.2, 1.0 / 3.0};
    const QStringList dates = {"2004-08-20", "2004-08-20 13:45:30", "1899-12-30", "1850-03-01 06:00:00", "",
        "1899-12-29 18:00:00", "2099-12-31 23:59:59"};
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(articles.text(i, "COD_ART"), codes.at(i));
        QCOMPARE(articles.text(i, "STK_ACTUAL"), stocks.at(i));
        QCOMPARE(articles.text(i, "FECHA_ACT"), dates.at(i));
        if (i != 4) {
            QCOMPARE(exact(articles.value(i, "P_UNITARIO")), exact(prices.at(i)));
            QCOMPARE(articles.text(i, "P_T"), QStringLiteral("real"));
            QCOMPARE(articles.text(i, "STK_T"), QStringLiteral("integer"));
        }
    }
    QCOMPARE(articles.text(0, "DESCRIPCION"), QStringLiteral("Descripción: cañería de ½\" con válvula"));
    QCOMPARE(articles.text(4, "OWN_NULL"), QStringLiteral("1"));
    QCOMPARE(articles.text(4, "P_T"), QStringLiteral("null"));
    QCOMPARE(articles.text(4, "STK_T"), QStringLiteral("null"));

    RowSet orders = db.select("SELECT * FROM PEDIDOS ORDER BY NRO_PEDIDO");
    QCOMPARE(orders.count(), 2);
    QStringList first;
    for (const QString &column : orders.columns())
        first << orders.text(0, column);
    QCOMPARE(first,
        QStringList({"1041", "2004-08-20", "José Núñez", "Av. España 123, Asunción", "80012345-6", "(021) 555-1234",
            "María Peña", "jose@example.com", "Envío por camión", "Crédito 30 días", "Entregar por la mañana"}));
    QCOMPARE(orders.text(0, "FECHA"), QStringLiteral("2004-08-20"));
    QCOMPARE(orders.text(1, "FECHA"), QStringLiteral("2004-08-21"));
    QCOMPARE(orders.text(1, "OBSERVACIONES").toUtf8().size(), 2510);
    QVERIFY(
        orders.text(1, "OBSERVACIONES").startsWith(QStringLiteral("Observación nº 0 — acentuación áéíóú ÁÉÍÓÚ ü. ")));
    QVERIFY(
        orders.text(1, "OBSERVACIONES").endsWith(QStringLiteral("Observación nº 39 — acentuación áéíóú ÁÉÍÓÚ ü. ")));

    RowSet lines
        = db.select("SELECT NRO_PEDIDO, NRO_LINEA, COD_ART, CANTIDAD, P_UNITARIO, DETALLES, DETALLES IS NULL AS D_NULL "
                    "FROM LINEAS_PEDIDOS ORDER BY NRO_PEDIDO, NRO_LINEA");
    QCOMPARE(lines.count(), 3);
    QCOMPARE(lines.text(1, "D_NULL"), QStringLiteral("1"));
    QCOMPARE(exact(lines.value(2, "P_UNITARIO")), exact(1234567.891));
    QCOMPARE(lines.text(2, "DETALLES"), QStringLiteral("ñ"));

    RowSet stored = db.select("SELECT ORIGEN, INFORME FROM CONVERSION");
    QCOMPARE(stored.count(), 1);
    QCOMPARE(stored.text(0, "INFORME"), report.text());
    QCOMPARE(db.select("SELECT COUNT(*) AS N FROM APARTADOS").text(0, "N"), QStringLiteral("0"));
}

void tst_LegacyConverter::refusesToOverwrite()
{
    const QString path = newPath();
    QFile existing(path);
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("ya estaba");
    existing.close();
    MemorySource source;
    source.add("SETUP", setupColumns, {{"E", "V", 3}});
    ConversionReport report;
    const MaybeError error = LegacyConverter::convert(source, path, report);
    QVERIFY(error);
    QVERIFY(error->description.contains(QStringLiteral("ya existe")));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("ya estaba"));
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
    QCOMPARE(report.counts("ARTICULOS").merged, 1);
    QCOMPARE(report.counts("ARTICULOS").written, 2);
    QCOMPARE(report.counts("PEDIDOS").merged, 1);
    QCOMPARE(report.counts("LINEAS_PEDIDOS").merged, 1);
    QCOMPARE(report.counts("SETUP").merged, 1);
    QVERIFY2(report.text().contains(QStringLiteral("ARTICULOS, fila 3: COD_ART \"A1\" repite la fila 1")),
        qPrintable(report.text()));

    Opened db;
    QVERIFY(!db.connection.open(path, Connection::Mode::ReadOnly));
    QCOMPARE(db.select("SELECT COUNT(*) AS N FROM ARTICULOS").text(0, "N"), QStringLiteral("2"));
    QCOMPARE(db.select("SELECT COUNT(*) AS N FROM PEDIDOS").text(0, "N"), QStringLiteral("2"));
    QCOMPARE(db.select("SELECT COUNT(*) AS N FROM LINEAS_PEDIDOS").text(0, "N"), QStringLiteral("2"));
    QCOMPARE(db.select("SELECT COUNT(*) AS N FROM SETUP").text(0, "N"), QStringLiteral("1"));
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
        .add("PEDIDOS", orderColumns,
            {order(1), order(2),
                [] {
                    QVariantList changed = order(2);
                    changed[4] = QVariant();
                    return changed;
                }()})
        .add("LINEAS_PEDIDOS", lineColumns, {{1, 1, "A1", 2, 0.5, QVariant()}, {1, 1, "A1", 2, 0.5, ""}});
    const QString path = newPath();
    ConversionReport report;
    QVERIFY(!LegacyConverter::convert(source, path, report));
    QCOMPARE(report.counts(table).keptAside, 1);
    QCOMPARE(report.counts(table).merged, 0);
    QCOMPARE(report.keptAside.size(), 4);
    QVERIFY2(report.text().contains(expectedLine), qPrintable(report.text()));

    Opened db;
    QVERIFY(!db.connection.open(path, Connection::Mode::ReadOnly));
    RowSet kept = db.select("SELECT FILA_ORIGEN, MOTIVO, DATOS FROM APARTADOS WHERE TABLA = ?", {table});
    QCOMPARE(kept.count(), 1);
    // The whole source row can be recovered from the JSON, value for value.
    const QJsonObject row = QJsonDocument::fromJson(kept.text(0, "DATOS").toUtf8()).object();
    const LegacyTable *source_table = nullptr;
    for (const LegacyTable &candidate : source.tables) {
        if (candidate.name == table)
            source_table = &candidate;
    }
    QVERIFY(source_table);
    const int sourceRow = kept.value(0, "FILA_ORIGEN").toInt() - 1;
    const QVariantList &original = source_table->rows.at(sourceRow);
    QCOMPARE(row.size(), source_table->columns.size());
    for (int i = 0; i < source_table->columns.size(); ++i) {
        const QJsonValue value = row.value(source_table->columns.at(i));
        const QVariant &want = original.at(i);
        if (want.isNull())
            QVERIFY(value.isNull());
        else if (want.typeId() == QMetaType::Double)
            QCOMPARE(exact(value.toDouble()), exact(want));
        else if (want.typeId() == QMetaType::QDateTime)
            QCOMPARE(value.toString(), want.toDateTime().toString("yyyy-MM-ddTHH:mm:ss.zzz"));
        else
            QCOMPARE(value.toVariant().toString(), want.toString());
    }
    // The first row with the key stays in the table.
    if (table == QLatin1String("ARTICULOS"))
        QCOMPARE(exact(db.select("SELECT P_UNITARIO FROM ARTICULOS WHERE COD_ART = 'A1'").value(0, "P_UNITARIO")),
            exact(0.1 + 0.2));
}

void tst_LegacyConverter::keepsAsideRowsWithoutKey()
{
    MemorySource source;
    source.add("SETUP", setupColumns, {{"E", "V", 1}})
        .add("ARTICULOS", articleColumns, {{QVariant(), "P", "Sin código", 1, 1.0, QVariant()}})
        .add("PEDIDOS", orderColumns, {order(1), [] {
                                           QVariantList changed = order(0);
                                           changed[0] = QVariant();
                                           return changed;
                                       }()});
    const QString path = newPath();
    ConversionReport report;
    QVERIFY(!LegacyConverter::convert(source, path, report));
    QCOMPARE(report.keptAside.size(), 2);
    QVERIFY(report.text().contains(QStringLiteral("ARTICULOS, fila 1: COD_ART vacío (NULL).")));
    QVERIFY(report.text().contains(QStringLiteral("PEDIDOS, fila 2: NRO_PEDIDO vacío (NULL).")));
    QVERIFY(report.text().contains(QStringLiteral("La base anterior no tiene la tabla CLIENTES; queda vacía.")));

    Opened db;
    QVERIFY(!db.connection.open(path, Connection::Mode::ReadOnly));
    QCOMPARE(db.select("SELECT COUNT(*) AS N FROM APARTADOS").text(0, "N"), QStringLiteral("2"));
    QCOMPARE(db.select("SELECT COUNT(*) AS N FROM ARTICULOS").text(0, "N"), QStringLiteral("0"));
}

void tst_LegacyConverter::raisesALaggingCounter_data()
{
    QTest::addColumn<QList<QVariantList>>("settings");
    QTest::addColumn<qint64>("expectedCounter");
    QTest::addColumn<QString>("expectedLine");
    QTest::newRow("below the highest order") << QList<QVariantList>{{"E", "V", 5}} << qint64(9)
                                             << "ULTIMO_PEDIDO: era 5, menor que el pedido más alto guardado (9)";
    QTest::newRow("already at it") << QList<QVariantList>{{"E", "V", 9}} << qint64(9) << "";
    QTest::newRow("ahead of it") << QList<QVariantList>{{"E", "V", 40}} << qint64(40) << "";
    QTest::newRow("missing value") << QList<QVariantList>{{"E", "V", QVariant()}} << qint64(9)
                                   << "ULTIMO_PEDIDO: era NULL, que no es un número de pedido; se puso 9";
    QTest::newRow("no settings row") << QList<QVariantList>{} << qint64(9) << "SETUP no tenía ninguna fila";
}

void tst_LegacyConverter::raisesALaggingCounter()
{
    QFETCH(QList<QVariantList>, settings);
    QFETCH(qint64, expectedCounter);
    QFETCH(QString, expectedLine);
    MemorySource source;
    source.add("SETUP", setupColumns, settings).add("PEDIDOS", orderColumns, {order(3), order(9), order(7)});
    const QString path = newPath();
    ConversionReport report;
    QVERIFY(!LegacyConverter::convert(source, path, report));
    Opened db;
    QVERIFY(!db.connection.open(path, Connection::Mode::ReadOnly));
    RowSet setup = db.select("SELECT ULTIMO_PEDIDO FROM SETUP");
    QCOMPARE(setup.count(), 1);
    QCOMPARE(setup.value(0, "ULTIMO_PEDIDO").toLongLong(), expectedCounter);
    if (expectedLine.isEmpty()) {
        QCOMPARE(report.adjusted.size(), 0);
    } else {
        QCOMPARE(report.adjusted.size(), 1);
        QVERIFY2(report.adjusted.first().contains(expectedLine), qPrintable(report.adjusted.first()));
    }
}

void tst_LegacyConverter::findsColumnsByName()
{
    MemorySource source;
    source.add("Setup", {"ULTIMO_PEDIDO", "COLOR", "recorvan", "Empresa"}, {{4, "rojo", "Vendedora", "Núñez"}})
        .add("CLIENTES", {"EMAIL", "NOMBRE", "EXTRA", "CONTACTO", "TELEFONO", "RUC", "DIRECCION"},
            {{QVariant(), "Ana", 1, "", "", QVariant(), "Calle"}})
        .add("MSysOtra", {"X"}, {{1}});
    const QString path = newPath();
    ConversionReport report;
    QVERIFY(!LegacyConverter::convert(source, path, report));
    QVERIFY2(
        report.text().contains(QStringLiteral("Columnas de SETUP que el programa no usa y no se copiaron: COLOR.")),
        qPrintable(report.text()));
    QVERIFY(
        report.text().contains(QStringLiteral("Columnas de CLIENTES que el programa no usa y no se copiaron: EXTRA.")));
    QVERIFY(report.text().contains(QStringLiteral("Tablas que el programa no usa y no se copiaron: MSysOtra.")));
    Opened db;
    QVERIFY(!db.connection.open(path, Connection::Mode::ReadOnly));
    RowSet setup = db.select("SELECT EMPRESA, RECORVAN, ULTIMO_PEDIDO FROM SETUP");
    QCOMPARE(setup.text(0, "EMPRESA"), QStringLiteral("Núñez"));
    QCOMPARE(setup.text(0, "RECORVAN"), QStringLiteral("Vendedora"));
    QCOMPARE(setup.text(0, "ULTIMO_PEDIDO"), QStringLiteral("4"));
    RowSet customer = db.select("SELECT NOMBRE, DIRECCION, EMAIL IS NULL AS E_NULL, RUC IS NULL AS R_NULL, "
                                "CONTACTO IS NULL AS C_NULL FROM CLIENTES");
    QCOMPARE(customer.text(0, "NOMBRE"), QStringLiteral("Ana"));
    QCOMPARE(customer.text(0, "DIRECCION"), QStringLiteral("Calle"));
    QCOMPARE(customer.text(0, "E_NULL"), QStringLiteral("1"));
    QCOMPARE(customer.text(0, "R_NULL"), QStringLiteral("1"));
    QCOMPARE(customer.text(0, "C_NULL"), QStringLiteral("0"));
}

void tst_LegacyConverter::keepsTheDayOfAnOrderAndNamesItsTime()
{
    QVariantList late = order(5);
    late[1] = QDateTime(QDate(2004, 8, 20), QTime(17, 30), Qt::UTC);
    MemorySource source;
    source.add("SETUP", setupColumns, {{"E", "V", 5}}).add("PEDIDOS", orderColumns, {late});
    const QString path = newPath();
    ConversionReport report;
    QVERIFY(!LegacyConverter::convert(source, path, report));
    QCOMPARE(report.adjusted.size(), 1);
    QVERIFY2(report.adjusted.first().contains(QStringLiteral("PEDIDOS, fila 1, FECHA")), qPrintable(report.text()));
    QVERIFY(report.adjusted.first().contains(QStringLiteral("2004-08-20 17:30:00")));
    Opened db;
    QVERIFY(!db.connection.open(path, Connection::Mode::ReadOnly));
    QCOMPARE(db.select("SELECT FECHA FROM PEDIDOS").text(0, "FECHA"), QStringLiteral("2004-08-20"));
}

void tst_LegacyConverter::namesRowsWithUnreadableValues()
{
    MemorySource source;
    source.add("SETUP", setupColumns, {{"E", "V", 0}})
        .add("ARTICULOS", articleColumns,
            {{"A1", "P", "Uno", 1, 1.0, QVariant()}, {"A2", "P", QStringLiteral("Dos \uFFFD"), 1, 1.0, 5.0e7}});
    source.tables.last().unreadable << qMakePair(1, QStringLiteral("hay caracteres que no se pudieron leer"));
    const QString path = newPath();
    ConversionReport report;
    QVERIFY(!LegacyConverter::convert(source, path, report));
    QCOMPARE(report.adjusted.size(), 2);
    QVERIFY2(report.text().contains(QStringLiteral("ARTICULOS, fila 2: hay caracteres que no se pudieron leer.")),
        qPrintable(report.text()));
    QVERIFY(report.text().contains(QStringLiteral("ARTICULOS, fila 2, FECHA_ACT: 50000000 no es una fecha")));
    Opened db;
    QVERIFY(!db.connection.open(path, Connection::Mode::ReadOnly));
    QCOMPARE(exact(db.select("SELECT FECHA_ACT FROM ARTICULOS WHERE COD_ART = 'A2'").value(0, "FECHA_ACT")),
        QStringLiteral("50000000"));
}

void tst_LegacyConverter::writesNothingWhenReadingFails()
{
    MemorySource source;
    source.add("SETUP", setupColumns, {{"E", "V", 1}}).add("PEDIDOS", orderColumns, {order(1)});
    source.failOn = QStringLiteral("PEDIDOS");
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("nueva.mdb");
    ConversionReport report;
    const MaybeError error = LegacyConverter::convert(source, path, report);
    QVERIFY(error);
    QVERIFY(error->description.contains(QStringLiteral("dañada")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);

    MemorySource unrelated;
    unrelated.add("Facturas", {"X"}, {{1}});
    const MaybeError none = LegacyConverter::convert(unrelated, path, report);
    QVERIFY(none);
    QVERIFY(none->description.contains(QStringLiteral("ninguna de las tablas")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

void tst_LegacyConverter::writesNothingWhenWritingFails()
{
    MemorySource source;
    source.add("SETUP", setupColumns, {{"E", "V", 1}});
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("no-existe/nueva.mdb");
    ConversionReport report;
    QVERIFY(LegacyConverter::convert(source, path, report));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 0);
}

QTEST_GUILESS_MAIN(tst_LegacyConverter)
#include "tst_legacyconverter.moc"
