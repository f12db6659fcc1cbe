#pragma once

#include "legacysource.h"

#include <memory>

// Reads the tables of an Access (Jet 4) file with libmdb. Values are taken from the row's
// raw bytes, never from libmdb's text conversions. libmdb stays behind this class: nothing
// else in the program includes its headers. libmdb trusts the file's layout and can crash on a
// damaged one: the program reads these files only in a process of its own (recorvan-db migrate).
class JetSource : public LegacySource
{
public:
    JetSource();
    ~JetSource() override;
    JetSource(const JetSource &) = delete;
    JetSource &operator=(const JetSource &) = delete;

    // Opens the file read-only; an error, in words for the user, when it is not a Jet 4
    // database that can be read.
    MaybeError open(const QString &path);
    void close();

    QString description() const override { return m_path; }
    QStringList tableNames() const override;
    MaybeError readTable(const QString &name, LegacyTable &table) override;
    QStringList warnings() const override { return m_warnings; }

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
    QString m_path;
    qint64 m_fileSize = 0;
    QStringList m_warnings;
};
