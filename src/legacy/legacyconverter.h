#pragma once

#include "conversionreport.h"
#include "data/dberror.h"

#include <QString>

#include <functional>

class LegacySource;

// Turns the older program's five tables into a new Recorvan database. Columns are found by
// name, whatever their order; other columns and tables are left out (and named in the report).
// Nothing is dropped silently: a repeated key whose row is identical is written once
// (merged), a repeated key with other data, or a missing key, is kept aside in APARTADOS
// (TABLA, FILA_ORIGEN, MOTIVO, DATOS as a JSON object of the whole source row), and a
// counter below the highest order number is raised to it. The report lists every case and is
// also stored in the new file's CONVERSION table.
//
// Dates become ISO text: FECHA_ACT keeps a time of day when it has one
// ('yyyy-MM-dd HH:mm:ss', with '.zzz' for milliseconds); an order's FECHA is the order's day
// ('yyyy-MM-dd', so that choosing orders by date finds it) and a time it carried is named in
// the report with the full original value.
class LegacyConverter
{
public:
    // The share done, 0 to 100, and what is being done.
    using Progress = std::function<void(int percent, const QString &step)>;

    // Writes the whole new database or nothing: the rows go in one transaction into a
    // temporary file beside newPath (DatabaseAside), renamed to newPath at the end. Refuses an
    // existing newPath.
    static MaybeError convert(
        LegacySource &source, const QString &newPath, ConversionReport &report, const Progress &progress = {});
};
