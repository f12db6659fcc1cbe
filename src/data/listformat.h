#pragma once

#include "base/regional.h"
#include "dberror.h"

#include <QList>
#include <QString>

#include <optional>

class Connection;

// How the company's system writes the figures and dates of the article list. The list is read
// by this, never by the regional settings of the machine that reads it (an office server set to
// C, an English laptop); the desk and the report go on following the machine's own settings.
// The company's choice is kept in FORMATO_LISTA (no row: the target machines' own writing).
class ListFormat
{
public:
    // 1.234,50 and 20/08/2004: what the target machines write, and the choice when none is made.
    static ListFormat es();
    // 1,234.50 and 08/20/2004.
    static ListFormat en();
    static QList<ListFormat> all();
    // By its code ("es", "en"), as the tool's option and the stored setting give it.
    static std::optional<ListFormat> fromCode(const QString &code);

    const QString &code() const { return m_code; }
    const Regional::Settings &settings() const { return m_settings; }
    // As the user reads it: "coma decimal, punto de miles y fechas día/mes/año (1.234,50 y 20/08/2004)".
    QString description() const;

    static MaybeError read(Connection &connection, ListFormat &format);
    static MaybeError write(Connection &connection, const ListFormat &format);

    bool operator==(const ListFormat &other) const { return m_code == other.m_code; }

private:
    ListFormat(QString code, Regional::Settings settings);

    QString m_code;
    Regional::Settings m_settings;
};
