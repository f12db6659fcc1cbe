#pragma once

#include "data/schema.h"

#include <QString>
#include <QTemporaryDir>

class DemoCatalogue;

// A program folder in a temporary directory holding a database.mdb with the real schema.
class TestDatabase
{
public:
    explicit TestDatabase(const Schema::Settings &settings
        = {QStringLiteral("Empresa de Prueba"), QStringLiteral("Vendedor de Prueba"), OrderNumber(15)});

    QString folder() const { return m_dir.path(); }
    QString path() const;
    bool isValid() const { return m_valid; }

    // Runs statements on a connection of its own, for setting up and reading back rows.
    bool exec(const QString &sql, const QVariantList &values = {}) const;
    QVariant scalar(const QString &sql, const QVariantList &values = {}) const;
    // Writes articles, customers and orders as recorvan-db demo and the benchmarks do.
    bool seed(const DemoCatalogue &rows) const;

    // The shared fixtures folder, given to the tests by the build.
    static QString sharedFolder();
    // The older program's Jet 4 database among the shared fixtures (REQUIRE_FIXTURE before reading it).
    static QString jetFixture();

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};
