#include "data/legacy/jetsource.h"
#include "data/legacy/jetvalues.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

QString fixture()
{
    return TestDatabase::sharedFolder() + QStringLiteral("/fixtures/legacy-jet4/database.mdb");
}

// Doubles compared to the last bit: 17 significant digits tell any two apart.
QString exact(const QVariant &value)
{
    return QString::number(value.toDouble(), 'g', 17);
}

QString kindOf(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    return QString::fromLatin1(value.typeName());
}

} // namespace

class tst_JetSource : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void decodesText_data();
    void decodesText();
    void decodesDateTimes_data();
    void decodesDateTimes();

    void listsTheTables();
    void readsTheSettings();
    void readsTheCustomers();
    void readsTheArticles();
    void readsTheOrders();
    void readsTheLines();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();

private:
    LegacyTable table(const QString &name);
    JetSource m_source;
};

void tst_JetSource::initTestCase()
{
    if (!QFileInfo::exists(fixture()))
        QSKIP("The shared Jet 4 fixture is not there.");
    const MaybeError error = m_source.open(fixture());
    QVERIFY2(!error, error ? qPrintable(error->description) : "");
}

LegacyTable tst_JetSource::table(const QString &name)
{
    LegacyTable result;
    const MaybeError error = m_source.readTable(name, result);
    if (error)
        qWarning() << error->description;
    return result;
}

void tst_JetSource::decodesText_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("clean");
    QTest::newRow("empty") << QByteArray() << QString() << true;
    QTest::newRow("utf-16") << QByteArray("A\0\xf1\0", 4) << QStringLiteral("Añ") << true;
    QTest::newRow("compressed latin-1") << QByteArray("\xff\xfe"
                                                      "Ca\xf1"
                                                      "a",
        6) << QStringLiteral("Caña") << true;
    QTest::newRow("compressed with a two-byte run") << QByteArray("\xff\xfe"
                                                                  "A\0\xac\x20\xa9\x03\0B",
        10) << QStringLiteral("A€ΩB") << true;
    QTest::newRow("surrogate pair kept") << QByteArray("x\0\x3d\xd8\x00\xdey\0", 8)
                                         << QStringLiteral("x") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("y")
                                         << true;
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

void tst_JetSource::decodesDateTimes_data()
{
    QTest::addColumn<double>("days");
    QTest::addColumn<QString>("expected");
    const double before1850 = -double(QDate(1850, 3, 1).daysTo(QDate(1899, 12, 30)));
    QTest::newRow("day zero") << 0.0 << "1899-12-30T00:00:00.000";
    QTest::newRow("noon of the next day") << 1.5 << "1899-12-31T12:00:00.000";
    QTest::newRow("evening the day before") << -1.75 << "1899-12-29T18:00:00.000";
    QTest::newRow("1850, six in the morning") << before1850 - 0.25 << "1850-03-01T06:00:00.000";
    QTest::newRow("2004-08-20 13:45:30") << 38219.0 + (13 * 3600 + 45 * 60 + 30) / 86400.0 << "2004-08-20T13:45:30.000";
    const double lastDay2099 = double(QDate(1899, 12, 30).daysTo(QDate(2099, 12, 31)));
    QTest::newRow("last second of 2099") << lastDay2099 + 86399.0 / 86400.0 << "2099-12-31T23:59:59.000";
}

void tst_JetSource::decodesDateTimes()
{
    QFETCH(double, days);
    QTEST(JetValues::dateTime(days).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")), "expected");
}

void tst_JetSource::listsTheTables()
{
    QCOMPARE(m_source.tableNames(), QStringList({"SETUP", "CLIENTES", "ARTICULOS", "PEDIDOS", "LINEAS_PEDIDOS"}));
}

void tst_JetSource::readsTheSettings()
{
    const LegacyTable setup = table(QStringLiteral("setup"));
    QCOMPARE(setup.rows.size(), 1);
    const QVariantList row = setup.rows.first();
    QCOMPARE(row.at(setup.columnIndex("EMPRESA")).toString(), QStringLiteral("Distribuidora Núñez S.A."));
    QCOMPARE(row.at(setup.columnIndex("RECORVAN")).toString(), QStringLiteral("Añadir ñandú €"));
    QCOMPARE(row.at(setup.columnIndex("ULTIMO_PEDIDO")).toInt(), 1042);
}

void tst_JetSource::readsTheCustomers()
{
    const LegacyTable customers = table(QStringLiteral("CLIENTES"));
    QCOMPARE(customers.rows.size(), 4);
    QCOMPARE(customers.unreadable.size(), 0);
    const QStringList names = {"NOMBRE", "DIRECCION", "RUC", "TELEFONO", "CONTACTO", "EMAIL"};
    const auto row = [&](int index) {
        QVariantList values;
        for (const QString &name : names)
            values << customers.rows.at(index).at(customers.columnIndex(name));
        return values;
    };
    const QString emoji
        = QStringLiteral("Emoji ") + QString::fromUcs4(U"\U0001F600") + QStringLiteral(" fuera del BMP");
    const QList<QVariantList> expected = {
        {"José Núñez", "Av. España 123, Asunción", "80012345-6", "(021) 555-1234", "María Peña", "jose@example.com"},
        {"Comercial \"El Ñandú\"", "Calle 1;2,3\ttab", QVariant(), "", "Ölçüm Ærø ŁÓDŹ Ωμέγα", QVariant()},
        {emoji, "", "", "", "", ""},
        {"Ascii Only Ltd", "Line1\r\nLine2", "1", "2", "3", "a@b.c"},
    };
    for (int i = 0; i < 4; ++i) {
        const QVariantList values = row(i);
        for (int column = 0; column < names.size(); ++column) {
            const QVariant &want = expected.at(i).at(column);
            const QString where = QStringLiteral("row %1 %2").arg(i + 1).arg(names.at(column));
            QCOMPARE(kindOf(values.at(column)) + where, kindOf(want) + where);
            QCOMPARE(values.at(column).toString() + where, want.toString() + where);
        }
    }
}

void tst_JetSource::readsTheArticles()
{
    const LegacyTable articles = table(QStringLiteral("ARTICULOS"));
    QCOMPARE(articles.rows.size(), 7);
    struct Expected
    {
        QString code;
        QVariant own;
        QString description;
        QVariant stock;
        QVariant price;
        QString when;
    };
    const QList<Expected> expected = {
        {"A001", "P-01", "Descripción: cañería de ½\" con válvula", 10, 12.5, "2004-08-20T00:00:00.000"},
        {"A002", "P-02", "Precisión 0.1", -5, 0.1, "2004-08-20T13:45:30.000"},
        {"A003", "P-03", "Grande", 2147483647, 1234567.891, "1899-12-30T00:00:00.000"},
        {"A004", "P-04", "Antigua", qint32(-2147483648LL), -0.000123456789, "1850-03-01T06:00:00.000"},
        {"A005", QVariant(), "Nulos", QVariant(), QVariant(), QString()},
        {"A007", "P-07", "0.1+0.2 needs 17 digits", 1, 0.1 + 0.2, "1899-12-29T18:00:00.000"},
        {"A006", "P-06", "Un tercio", 0, 1.0 / 3.0, "2099-12-31T23:59:59.000"},
    };
    const int code = articles.columnIndex("COD_ART");
    const int own = articles.columnIndex("COD_PROPIO");
    const int description = articles.columnIndex("DESCRIPCION");
    const int stock = articles.columnIndex("STK_ACTUAL");
    const int price = articles.columnIndex("P_UNITARIO");
    const int when = articles.columnIndex("FECHA_ACT");
    for (int i = 0; i < expected.size(); ++i) {
        const QVariantList &row = articles.rows.at(i);
        const Expected &want = expected.at(i);
        QCOMPARE(row.at(code).toString(), want.code);
        QCOMPARE(kindOf(row.at(own)), kindOf(want.own));
        QCOMPARE(row.at(own).toString(), want.own.toString());
        QCOMPARE(row.at(description).toString(), want.description);
        QCOMPARE(kindOf(row.at(stock)), want.stock.isNull() ? QStringLiteral("NULL") : QStringLiteral("int"));
        QCOMPARE(row.at(stock).toInt(), want.stock.toInt());
        QCOMPARE(kindOf(row.at(price)), want.price.isNull() ? QStringLiteral("NULL") : QStringLiteral("double"));
        QCOMPARE(exact(row.at(price)), exact(want.price));
        QCOMPARE(row.at(when).toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")), want.when);
    }
    QCOMPARE(exact(articles.rows.at(5).at(price)), QStringLiteral("0.30000000000000004"));
}

void tst_JetSource::readsTheOrders()
{
    const LegacyTable orders = table(QStringLiteral("PEDIDOS"));
    QCOMPARE(orders.rows.size(), 2);
    const auto value = [&](int row, const char *column) { return orders.rows.at(row).at(orders.columnIndex(column)); };
    QCOMPARE(value(0, "NRO_PEDIDO").toInt(), 1041);
    QCOMPARE(value(0, "FECHA").toDateTime().toString(Qt::ISODate), QStringLiteral("2004-08-20T00:00:00Z"));
    QCOMPARE(value(0, "CLIENTE").toString(), QStringLiteral("José Núñez"));
    QCOMPARE(value(0, "FORMA_DE_ENVIO").toString(), QStringLiteral("Envío por camión"));
    QCOMPARE(value(0, "FORMA_DE_PAGO").toString(), QStringLiteral("Crédito 30 días"));
    QCOMPARE(value(0, "OBSERVACIONES").toString(), QStringLiteral("Entregar por la mañana"));
    QCOMPARE(value(1, "NRO_PEDIDO").toInt(), 1042);
    QCOMPARE(value(1, "FECHA").toDateTime().date(), QDate(2004, 8, 21));
    QString memo;
    for (int n = 0; n < 40; ++n)
        memo += QStringLiteral("Observación nº %1 — acentuación áéíóú ÁÉÍÓÚ ü. ").arg(n);
    QCOMPARE(memo.toUtf8().size(), 2510);
    QCOMPARE(value(1, "OBSERVACIONES").toString(), memo);
    QCOMPARE(value(1, "DIRECCION").toString(), QStringLiteral("x"));
}

void tst_JetSource::readsTheLines()
{
    const LegacyTable lines = table(QStringLiteral("LINEAS_PEDIDOS"));
    QCOMPARE(lines.rows.size(), 3);
    const auto value = [&](int row, const char *column) { return lines.rows.at(row).at(lines.columnIndex(column)); };
    QCOMPARE(value(0, "NRO_PEDIDO").toInt(), 1041);
    QCOMPARE(value(0, "NRO_LINEA").toInt(), 1);
    QCOMPARE(value(0, "COD_ART").toString(), QStringLiteral("A001"));
    QCOMPARE(value(0, "CANTIDAD").toInt(), 3);
    QCOMPARE(exact(value(0, "P_UNITARIO")), QStringLiteral("12.5"));
    QCOMPARE(value(0, "DETALLES").toString(), QStringLiteral("Descripción extra"));
    QCOMPARE(kindOf(value(1, "DETALLES")), QStringLiteral("NULL"));
    QCOMPARE(exact(value(1, "P_UNITARIO")), exact(0.1));
    QCOMPARE(value(2, "NRO_PEDIDO").toInt(), 1042);
    QCOMPARE(exact(value(2, "P_UNITARIO")), exact(1234567.891));
    QCOMPARE(value(2, "DETALLES").toString(), QStringLiteral("ñ"));
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
    if (!error) {
        // A file libmdb opens may still hold nothing readable; reading then fails as a value.
        LegacyTable table;
        for (const QString &name : source.tableNames()) {
            if ((error = source.readTable(name, table)))
                break;
        }
        if (!error)
            error = source.tableNames().isEmpty() ? MaybeError(DbError{1, "sin tablas"}) : std::nullopt;
    }
    QVERIFY(error);
    QVERIFY2(error->description.contains(expectedText), qPrintable(error->description));
}

QTEST_GUILESS_MAIN(tst_JetSource)
#include "tst_jetsource.moc"
