#include "conversionreport.h"

ConversionReport::TableCounts &ConversionReport::counts(const QString &table)
{
    for (TableCounts &line : tables) {
        if (line.table == table)
            return line;
    }
    tables.append(TableCounts{table});
    return tables.last();
}

int ConversionReport::writtenRows(const QString &table) const
{
    for (const TableCounts &line : tables) {
        if (line.table == table)
            return line.written;
    }
    return 0;
}

qint64 ConversionReport::lostRows() const
{
    qint64 lost = 0;
    for (const TableCounts &line : tables)
        lost += line.lost();
    return lost;
}

namespace {

QString rows(qint64 count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf8(count == 1 ? one : many));
}

} // namespace

QString ConversionReport::text() const
{
    QStringList lines;
    lines << QStringLiteral("Conversión de la base de datos anterior");
    if (!source.isEmpty())
        lines << QStringLiteral("Origen: %1").arg(source);
    QStringList lost;
    for (const TableCounts &line : tables) {
        QString text = QStringLiteral("%1: %2").arg(line.table, rows(line.read, "fila leída", "filas leídas"));
        if (line.lost() > 0) {
            text += QStringLiteral(" de %1 que el archivo dice tener").arg(line.declared);
            lost << QStringLiteral("%1: el archivo dice tener %2 y se pudieron leer %3; faltan %4.")
                        .arg(line.table, rows(line.declared, "fila", "filas"), QString::number(line.read),
                            QString::number(line.lost()));
        }
        text += QStringLiteral(", ") + rows(line.written, "escrita", "escritas");
        if (line.merged > 0)
            text += QStringLiteral(", ") + rows(line.merged, "repetida unida", "repetidas unidas");
        if (line.keptAside > 0)
            text += QStringLiteral(", ") + rows(line.keptAside, "apartada", "apartadas");
        lines << text + QLatin1Char('.');
    }
    const auto section = [&lines](const QString &title, const QStringList &items) {
        if (items.isEmpty())
            return;
        lines << QString() << QStringLiteral("%1 (%2):").arg(title).arg(items.size());
        for (const QString &item : items)
            lines << QStringLiteral("  - ") + item;
    };
    if (!lost.isEmpty()) {
        lines << QString()
              << QStringLiteral("FALTAN FILAS (%1 en total): el archivo anterior está dañado y no todas sus filas se "
                                "pudieron leer; las que faltan no están en la base nueva:")
                     .arg(lostRows());
        for (const QString &item : lost)
            lines << QStringLiteral("  - ") + item;
    }
    section(QStringLiteral("Filas repetidas idénticas, guardadas una sola vez"), merged);
    section(QStringLiteral("Filas apartadas en la tabla APARTADOS (no se perdió nada)"), keptAside);
    section(QStringLiteral("Valores ajustados"), adjusted);
    section(QStringLiteral("Observaciones"), notes);
    section(QStringLiteral("Avisos de libmdb al leer el archivo"), warnings);
    if (clean())
        lines << QString() << QStringLiteral("Todas las filas se copiaron tal cual.");
    return lines.join(QLatin1Char('\n'));
}
