#include "legacyconverter.h"

#include "data/connection.h"
#include "data/databaseaside.h"
#include "data/schema.h"
#include "data/tables.h"
#include "data/transaction.h"
#include "legacysource.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>

#include <bit>
#include <cmath>
#include <limits>

namespace {

enum class Kind { Text, Whole, Decimal, DateTime, Day };

struct TargetColumn
{
    QString name;
    Kind kind;
};

// A table of the new database as the conversion fills it: the columns it copies (every one
// but a row key the engine numbers), how each value is turned, and the unique key.
struct TargetTable
{
    QString name;
    QList<TargetColumn> columns;
    QList<int> key; // indexes into columns of the unique key; empty when the table has none
    QString insert; // the columns above, in their order
};

// An order's date stays a day, so that choosing orders by date finds it; the catalogue's date
// of change keeps its time.
Kind kindOf(const TableDefinition &table, const TableDefinition::Column &column)
{
    switch (column.type) {
    case TableDefinition::Type::Text:
        return Kind::Text;
    case TableDefinition::Type::Integer:
    case TableDefinition::Type::BigInteger:
    case TableDefinition::Type::Boolean:
        return Kind::Whole;
    case TableDefinition::Type::Timestamp:
        return Kind::DateTime;
    case TableDefinition::Type::Double:
        return Kind::Decimal;
    case TableDefinition::Type::Date:
        return &table == &Tables::pedidos() ? Kind::Day : Kind::DateTime;
    }
    return Kind::Text;
}

TargetTable targetOf(const TableDefinition &table)
{
    TargetTable target{table.name(), {}, {}, {}};
    for (const TableDefinition::Column &column : table.columns()) {
        if (!column.rowKey)
            target.columns.append({column.name, kindOf(table, column)});
    }
    if (!table.uniqueKeys().isEmpty()) {
        for (const QString &keyColumn : table.uniqueKeys().first().columns) {
            for (qsizetype i = 0; i < target.columns.size(); ++i) {
                if (target.columns.at(i).name == keyColumn)
                    target.key.append(int(i));
            }
        }
    }
    target.insert = table.insertStatement(table.columnNames(false));
    return target;
}

// The five tables of the older program, in the order they are read (SETUP first, PEDIDOS fourth).
const QList<TargetTable> &targetTables()
{
    static const QList<TargetTable> tables = {targetOf(Tables::setup()), targetOf(Tables::clientes()),
        targetOf(Tables::articulos()), targetOf(Tables::pedidos()), targetOf(Tables::lineasPedidos())};
    return tables;
}

QString emptyText()
{
    return QLatin1String(""); // an empty text, which binds as '' and never as NULL
}

QString isoText(const QDateTime &when)
{
    const QTime time = when.time();
    if (time == QTime(0, 0))
        return when.date().toString(Qt::ISODate);
    const QString format
        = time.msec() == 0 ? QStringLiteral("yyyy-MM-dd HH:mm:ss") : QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz");
    return when.toString(format);
}

// How a value is shown in the report: texts in quotes, NULL by name.
QString shown(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    switch (value.typeId()) {
    case QMetaType::QString: {
        QString text = value.toString();
        if (text.size() > 40)
            text = text.left(40) + QStringLiteral("…");
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    case QMetaType::QDateTime:
        return isoText(value.toDateTime());
    default:
        return value.toString();
    }
}

// The value in the form the new column stores. `note` tells what changed, when anything did.
QVariant converted(const QVariant &value, Kind kind, QString &note)
{
    if (!value.isValid() || value.isNull())
        return {};
    const int type = value.typeId();
    const bool isDouble = type == QMetaType::Double || type == QMetaType::Float;
    const bool isWhole = type == QMetaType::Int || type == QMetaType::LongLong || type == QMetaType::UInt
        || type == QMetaType::Bool || type == QMetaType::Short || type == QMetaType::UChar;
    switch (kind) {
    case Kind::Text:
        if (type == QMetaType::QString)
            return value.toString().isNull() ? QVariant(emptyText()) : value;
        if (type == QMetaType::QDateTime)
            return isoText(value.toDateTime());
        if (isDouble)
            return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        return value.toString();
    case Kind::Whole:
        if (isWhole)
            return value.toLongLong();
        if (isDouble) {
            const double number = value.toDouble();
            if (std::isfinite(number) && number == std::trunc(number) && std::fabs(number) < 9.0e15)
                return qint64(number);
            // Kept as it is (the column takes a decimal too), and said: the program counts whole units.
            note = QStringLiteral("%1 no es un número entero; se guardó tal cual").arg(shown(value));
            return number;
        }
        if (type == QMetaType::QString) {
            bool ok = false;
            const qint64 number = value.toString().trimmed().toLongLong(&ok);
            if (ok)
                return number;
        }
        note = QStringLiteral("%1 no es un número entero; se guardó tal cual").arg(shown(value));
        return value;
    case Kind::Decimal:
        if (isDouble || isWhole)
            return value.toDouble();
        if (type == QMetaType::QString) {
            bool ok = false;
            const double number = value.toString().trimmed().toDouble(&ok);
            if (ok)
                return number;
        }
        note = QStringLiteral("%1 no es un número; se guardó tal cual").arg(shown(value));
        return value;
    case Kind::DateTime:
        if (type == QMetaType::QDateTime)
            return isoText(value.toDateTime());
        if (type == QMetaType::QDate)
            return value.toDate().toString(Qt::ISODate);
        if (isDouble)
            note = QStringLiteral("%1 no es una fecha que un calendario tenga; se guardó el número tal cual")
                       .arg(shown(value));
        return value;
    case Kind::Day:
        if (type == QMetaType::QDateTime) {
            const QDateTime when = value.toDateTime();
            if (when.time() != QTime(0, 0))
                note = QStringLiteral("la hora del día (%1) no se guarda; queda el día %2")
                           .arg(isoText(when), when.date().toString(Qt::ISODate));
            return when.date().toString(Qt::ISODate);
        }
        if (type == QMetaType::QDate)
            return value.toDate().toString(Qt::ISODate);
        if (isDouble)
            note = QStringLiteral("%1 no es una fecha que un calendario tenga; se guardó el número tal cual")
                       .arg(shown(value));
        return value;
    }
    return value;
}

// Exact sameness: NULL is not "", 0.1 + 0.2 is not 0.3.
bool sameValue(const QVariant &a, const QVariant &b)
{
    const bool aNull = !a.isValid() || a.isNull();
    const bool bNull = !b.isValid() || b.isNull();
    if (aNull || bNull)
        return aNull == bNull;
    if (a.typeId() != b.typeId())
        return false;
    if (a.typeId() == QMetaType::Double) {
        return std::bit_cast<quint64>(a.toDouble()) == std::bit_cast<quint64>(b.toDouble());
    }
    if (a.typeId() == QMetaType::LongLong)
        return a.toLongLong() == b.toLongLong();
    return a.toString() == b.toString();
}

QString keyText(const QVariantList &values, const QList<int> &key)
{
    QStringList parts;
    for (int index : key) {
        const QVariant &value = values.at(index);
        parts << QString::number(value.typeId()) + QLatin1Char(':') + shown(value);
    }
    return parts.join(QChar(0x1f));
}

QJsonObject rowAsJson(const LegacyTable &table, int row)
{
    QJsonObject object;
    const QVariantList &values = table.rows.at(row);
    for (qsizetype i = 0; i < table.columns.size() && i < values.size(); ++i) {
        const QVariant &value = values.at(i);
        QJsonValue json;
        if (!value.isValid() || value.isNull())
            json = QJsonValue(QJsonValue::Null);
        else if (value.typeId() == QMetaType::QDateTime)
            json = value.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
        else if (value.typeId() == QMetaType::QByteArray)
            json = QString::fromLatin1(value.toByteArray().toBase64());
        else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong)
            json = value.toLongLong();
        else
            json = QJsonValue::fromVariant(value);
        object.insert(table.columns.at(i), json);
    }
    return object;
}

struct KeptAside
{
    int row; // 0-based in the source table
    QString reason;
};

// One table's rows as they will be written, and those kept aside.
struct Plan
{
    const TargetTable *target = nullptr;
    LegacyTable source;
    bool present = false;
    QList<QVariantList> rows;
    QList<KeptAside> keptAside;
};

QString rowName(const QString &table, int row)
{
    return QStringLiteral("%1, fila %2").arg(table).arg(row + 1);
}

// Maps the source's columns onto the target's and applies the keys.
void planTable(Plan &plan, ConversionReport &report)
{
    const TargetTable &target = *plan.target;
    const QString name = target.name;
    ConversionReport::TableCounts &counts = report.counts(name);
    counts.read = int(plan.source.rows.size());
    counts.declared = plan.source.declaredRows;
    if (counts.declared >= 0 && counts.declared < counts.read)
        report.notes << QStringLiteral("El archivo dice que %1 tiene %2 filas y se leyeron %3.")
                            .arg(name)
                            .arg(counts.declared)
                            .arg(counts.read);
    for (const QString &warning : plan.source.warnings)
        report.warnings << QStringLiteral("%1: %2").arg(name, warning);
    if (!plan.present) {
        report.notes << QStringLiteral("La base anterior no tiene la tabla %1; queda vacía.").arg(name);
        return;
    }
    QList<int> sourceIndex;
    for (const TargetColumn &column : target.columns) {
        const int index = plan.source.columnIndex(column.name);
        sourceIndex << index;
        if (index < 0)
            report.notes << QStringLiteral("La tabla %1 no tiene la columna %2; queda vacía.").arg(name, column.name);
    }
    QStringList leftOut;
    for (const QString &column : plan.source.columns) {
        bool known = false;
        for (const TargetColumn &wanted : target.columns)
            known = known || column.compare(wanted.name, Qt::CaseInsensitive) == 0;
        if (!known)
            leftOut << column;
    }
    if (!leftOut.isEmpty())
        report.notes << QStringLiteral("Columnas de %1 que el programa no usa y no se copiaron: %2.")
                            .arg(name, leftOut.join(QStringLiteral(", ")));
    for (const auto &[row, why] : plan.source.unreadable)
        report.adjusted << QStringLiteral("%1: %2.").arg(rowName(name, row), why);

    QHash<QString, int> firstWithKey; // key text -> index into plan.rows
    QList<int> sourceRowOf;
    for (int row = 0; row < plan.source.rows.size(); ++row) {
        const QVariantList &sourceValues = plan.source.rows.at(row);
        QVariantList values;
        for (qsizetype i = 0; i < target.columns.size(); ++i) {
            const int index = sourceIndex.at(i);
            QString note;
            values << converted(index >= 0 && index < sourceValues.size() ? sourceValues.at(index) : QVariant(),
                target.columns.at(i).kind, note);
            if (!note.isEmpty())
                report.adjusted
                    << QStringLiteral("%1, %2: %3.").arg(rowName(name, row), target.columns.at(i).name, note);
        }
        // The settings: the program reads the first row only, so any other is set apart.
        const bool settings = name == QLatin1String("SETUP");
        if (target.key.isEmpty() && !(settings && !plan.rows.isEmpty())) {
            plan.rows << values;
            sourceRowOf << row;
            continue;
        }
        QString missing;
        for (int index : target.key) {
            if (!values.at(index).isValid() || values.at(index).isNull())
                missing = target.columns.at(index).name;
        }
        if (!missing.isEmpty()) {
            plan.keptAside << KeptAside{
                row, QStringLiteral("%1 vacío (NULL): la fila no se puede identificar").arg(missing)};
            report.keptAside << QStringLiteral("%1: %2 vacío (NULL).").arg(rowName(name, row), missing);
            ++counts.keptAside;
            continue;
        }
        const QString key = settings ? QString() : keyText(values, target.key);
        const auto first = settings ? firstWithKey.constEnd() : firstWithKey.constFind(key);
        const int earlier = settings ? 0 : (first == firstWithKey.constEnd() ? -1 : first.value());
        if (earlier < 0) {
            firstWithKey.insert(key, int(plan.rows.size()));
            plan.rows << values;
            sourceRowOf << row;
            continue;
        }
        bool identical = true;
        for (qsizetype i = 0; i < values.size(); ++i)
            identical = identical && sameValue(values.at(i), plan.rows.at(earlier).at(i));
        QStringList keyShown;
        for (int index : target.key)
            keyShown << QStringLiteral("%1 %2").arg(target.columns.at(index).name, shown(values.at(index)));
        const QString what = settings ? QStringLiteral("otra fila de SETUP") : keyShown.join(QStringLiteral(", "));
        const QString firstRow = QString::number(sourceRowOf.at(earlier) + 1);
        if (identical) {
            report.merged << QStringLiteral("%1: %2 repite la fila %3 con los mismos datos; se guardó una vez.")
                                 .arg(rowName(name, row), what, firstRow);
            ++counts.merged;
        } else {
            const QString reason = settings
                ? QStringLiteral("el programa usa solo la primera fila de SETUP (fila %1)").arg(firstRow)
                : QStringLiteral("%1 repetido con otros datos; quedó la fila %2").arg(what, firstRow);
            plan.keptAside << KeptAside{row, reason};
            report.keptAside << QStringLiteral("%1: %2.").arg(rowName(name, row), reason);
            ++counts.keptAside;
        }
    }
    counts.written = int(plan.rows.size());
}

// The counter must never hand out a number that is already stored.
void planCounter(Plan &setup, const Plan &orders, ConversionReport &report)
{
    std::optional<qint64> highest;
    for (const QVariantList &order : orders.rows) {
        if (order.at(0).typeId() == QMetaType::LongLong)
            highest = qMax(highest.value_or(std::numeric_limits<qint64>::min()), order.at(0).toLongLong());
    }
    const qint64 lowest = qMax<qint64>(highest.value_or(0), 0);
    if (setup.rows.isEmpty()) {
        setup.rows << QVariantList{emptyText(), emptyText(), lowest};
        report.counts(QStringLiteral("SETUP")).written = 1;
        report.adjusted << QStringLiteral("SETUP no tenía ninguna fila; se creó una con la empresa y el vendedor "
                                          "vacíos y ULTIMO_PEDIDO %1.")
                               .arg(lowest);
        return;
    }
    QVariant &counter = setup.rows.first()[2];
    if (counter.typeId() != QMetaType::LongLong) {
        report.adjusted << QStringLiteral("SETUP, ULTIMO_PEDIDO: era %1, que no es un número de pedido; se puso %2.")
                               .arg(shown(counter), QString::number(lowest));
        counter = lowest;
    } else if (highest && counter.toLongLong() < *highest) {
        report.adjusted << QStringLiteral("SETUP, ULTIMO_PEDIDO: era %1, menor que el pedido más alto guardado (%2); "
                                          "se subió a %2 para que no se repita ningún número.")
                               .arg(counter.toLongLong())
                               .arg(*highest);
        counter = *highest;
    }
}

// Writes the table's rows and those kept aside; `written` hears every thousand rows.
MaybeError writeTable(Connection &connection, const Plan &plan, const std::function<void(int)> &written)
{
    const QString &insert = plan.target->insert;
    int count = 0;
    for (const QVariantList &row : plan.rows) {
        if (MaybeError error = connection.execute(insert, row))
            return error;
        if (++count % 1000 == 0)
            written(1000);
    }
    written(count % 1000);
    if (plan.keptAside.isEmpty())
        return std::nullopt;
    for (const KeptAside &kept : plan.keptAside) {
        const QString json
            = QString::fromUtf8(QJsonDocument(rowAsJson(plan.source, kept.row)).toJson(QJsonDocument::Compact));
        if (MaybeError error = connection.execute(
                Tables::apartados().insertStatement(), {plan.target->name, kept.row + 1, kept.reason, json}))
            return error;
    }
    return std::nullopt;
}

} // namespace

MaybeError LegacyConverter::convert(
    LegacySource &source, const QString &newPath, ConversionReport &report, const Progress &progress)
{
    const auto tell = [&progress](int percent, const QString &step) {
        if (progress)
            progress(percent, step);
    };
    report = ConversionReport();
    report.source = source.description();
    if (QFileInfo::exists(newPath))
        return DbError::notOverwritten(newPath);

    tell(0, QStringLiteral("Leyendo la base anterior…"));
    const QStringList available = source.tableNames();
    QList<Plan> plans;
    bool any = false;
    for (const TargetTable &target : targetTables()) {
        Plan plan;
        plan.target = &target;
        for (const QString &table : available) {
            if (table.compare(target.name, Qt::CaseInsensitive) == 0) {
                if (MaybeError error = source.readTable(table, plan.source))
                    return error;
                plan.present = true;
                any = true;
            }
        }
        plans << plan;
        tell(int(plans.size()) * 8, QStringLiteral("Leyendo la base anterior…"));
    }
    if (!any)
        return DbError{DbErrorNumber::NotADatabase,
            QStringLiteral("'%1' no tiene ninguna de las tablas del programa anterior (SETUP, CLIENTES, ARTICULOS, "
                           "PEDIDOS, LINEAS_PEDIDOS).")
                .arg(source.description())};
    QStringList leftOutTables;
    for (const QString &table : available) {
        bool known = false;
        for (const TargetTable &target : targetTables())
            known = known || table.compare(target.name, Qt::CaseInsensitive) == 0;
        if (!known)
            leftOutTables << table;
    }
    for (const QString &warning : source.warnings())
        report.warnings << warning;
    for (Plan &plan : plans)
        planTable(plan, report);
    planCounter(plans[0], plans[3], report);
    if (!leftOutTables.isEmpty())
        report.notes << QStringLiteral("Tablas que el programa no usa y no se copiaron: %1.")
                            .arg(leftOutTables.join(QStringLiteral(", ")));
    if (!report.keptAside.isEmpty())
        report.notes << QStringLiteral("Las filas apartadas están completas en la tabla APARTADOS del archivo nuevo "
                                       "(columna DATOS, en formato JSON).");

    const QFileInfo target(newPath);
    const QString temporary = DatabaseAside::temporaryFor(newPath);
    MaybeError failure;
    {
        Connection connection(QStringLiteral("conversion-") + QUuid::createUuid().toString());
        failure = connection.create(temporary);
        if (failure)
            failure->description = QStringLiteral("No se puede crear la base nueva en la carpeta '%1' "
                                                  "(¿carpeta de solo lectura o sin espacio?): %2")
                                       .arg(QDir::toNativeSeparators(target.absolutePath()), failure->description);
        if (!failure) {
            Transaction transaction(connection);
            failure = transaction.begin();
            if (!failure)
                failure = Schema::create(connection);
            for (const TableDefinition *table : {&Tables::apartados(), &Tables::conversion()}) {
                for (const QString &statement : table->createStatements()) {
                    if (!failure)
                        failure = connection.execute(statement);
                }
            }
            qint64 total = 0;
            for (const Plan &plan : plans)
                total += plan.rows.size();
            qint64 done = 0;
            for (qsizetype i = 0; i < plans.size() && !failure; ++i) {
                const QString step = QStringLiteral("Escribiendo %1…").arg(plans.at(i).target->name);
                tell(45 + int(50 * done / qMax<qint64>(total, 1)), step);
                failure = writeTable(connection, plans.at(i), [&](int rows) {
                    done += rows;
                    tell(45 + int(50 * done / qMax<qint64>(total, 1)), step);
                });
            }
            if (!failure)
                failure = connection.execute(Tables::conversion().insertStatement(),
                    {QDateTime::currentDateTime().toString(Qt::ISODate), report.source, report.text()});
            if (!failure) {
                tell(95, QStringLiteral("Guardando…"));
                failure = transaction.commit();
            }
            // One self-contained file, with no journal beside it, before it is renamed.
            if (!failure)
                failure = connection.execute(QStringLiteral("PRAGMA journal_mode=DELETE"));
        }
        connection.close();
    }
    if (!failure && !QFile::rename(temporary, newPath))
        failure = DbError{DbErrorNumber::CantOpen,
            QStringLiteral("No se pudo dejar la base convertida en '%1'.").arg(QDir::toNativeSeparators(newPath))};
    if (failure) {
        DatabaseAside::remove(temporary);
        return failure;
    }
    tell(100, QStringLiteral("Conversión terminada."));
    return std::nullopt;
}
