// Conversion of an older database of 100,000 articles, 10,000 customers, 20,000 orders and
// 100,000 order lines, handed over in memory so that only the rules and the writing are timed.

#include "benchcatalogue.h"
#include "legacy/legacyconverter.h"
#include "support/memorysource.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

MemorySource makeSource()
{
    MemorySource source;
    const QDateTime day(QDate(2004, 8, 20), QTime(0, 0), Qt::UTC);
    LegacyTable setup{"SETUP", {"EMPRESA", "RECORVAN", "ULTIMO_PEDIDO"}, {{"Núñez S.A.", "Ana", 19000}}, {}};
    LegacyTable customers{"CLIENTES", {"NOMBRE", "DIRECCION", "RUC", "TELEFONO", "CONTACTO", "EMAIL"}, {}, {}};
    for (int i = 0; i < 10000; ++i)
        customers.rows << QVariantList{QStringLiteral("Cliente %1").arg(i), "Calle 1", "800-1", "021 555", "Ana", ""};
    LegacyTable articles{
        "ARTICULOS", {"COD_ART", "COD_PROPIO", "DESCRIPCION", "STK_ACTUAL", "P_UNITARIO", "FECHA_ACT"}, {}, {}};
    for (int i = 0; i < 100000; ++i)
        articles.rows << QVariantList{
            QStringLiteral("A%1").arg(i, 6, 10, QLatin1Char('0')), "P", "Cañería de ½\"", i % 50, 12.5 + i, day};
    LegacyTable orders{"PEDIDOS",
        {"NRO_PEDIDO", "FECHA", "CLIENTE", "DIRECCION", "RUC", "TELEFONO", "CONTACTO", "EMAIL", "FORMA_DE_ENVIO",
            "FORMA_DE_PAGO", "OBSERVACIONES"},
        {}, {}};
    LegacyTable lines{
        "LINEAS_PEDIDOS", {"NRO_PEDIDO", "NRO_LINEA", "COD_ART", "CANTIDAD", "P_UNITARIO", "DETALLES"}, {}, {}};
    for (int i = 1; i <= 20000; ++i) {
        orders.rows << QVariantList{i, day, "Cliente", "Calle", "", "", "", "", "Camión", "Contado", QVariant()};
        for (int line = 1; line <= 5; ++line)
            lines.rows << QVariantList{i, line, "A000001", 2, 0.1 + 0.2, QVariant()};
    }
    source.tables = {setup, customers, articles, orders, lines};
    return source;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    MemorySource source = makeSource();
    QTemporaryDir dir;
    int run = 0;
    const double ms = measureMs("conversion (100k articles, 10k customers, 20k orders, 100k lines)", 5, [&] {
        const QString path = QDir(dir.path()).filePath(QStringLiteral("nueva-%1.mdb").arg(++run));
        ConversionReport report;
        if (MaybeError error = LegacyConverter::convert(source, path, report))
            std::fprintf(stderr, "%s\n", qPrintable(error->description));
        QFile::remove(path);
    });
    std::printf("converting an older database of 100,000 articles and 100,000 order lines: %.0f ms\n", ms);
    return 0;
}
