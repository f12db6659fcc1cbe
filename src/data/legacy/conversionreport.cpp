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

QString ConversionReport::text() const
{
    QStringList lines;
    lines << QStringLiteral("Conversión de la base de datos anterior");
    if (!source.isEmpty())
        lines << QStringLiteral("Origen: %1").arg(source);
    for (const TableCounts &line : tables) {
        QString text
            = QStringLiteral("%1: %2 filas leídas, %3 escritas").arg(line.table).arg(line.read).arg(line.written);
        if (line.merged > 0)
            text += QStringLiteral(", %1 repetidas unidas").arg(line.merged);
        if (line.keptAside > 0)
            text += QStringLiteral(", %1 apartadas").arg(line.keptAside);
        lines << text + QLatin1Char('.');
    }
    const auto section = [&lines](const QString &title, const QStringList &items) {
        if (items.isEmpty())
            return;
        lines << QString() << QStringLiteral("%1 (%2):").arg(title).arg(items.size());
        for (const QString &item : items)
            lines << QStringLiteral("  - ") + item;
    };
    section(QStringLiteral("Filas repetidas idénticas, guardadas una sola vez"), merged);
    section(QStringLiteral("Filas apartadas en la tabla APARTADOS (no se perdió nada)"), keptAside);
    section(QStringLiteral("Valores ajustados"), adjusted);
    section(QStringLiteral("Observaciones"), notes);
    if (clean())
        lines << QString() << QStringLiteral("Todas las filas se copiaron tal cual.");
    return lines.join(QLatin1Char('\n'));
}
