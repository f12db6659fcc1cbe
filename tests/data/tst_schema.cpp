#include "data/connection.h"
#include "data/schema.h"
#include "support/testdatabase.h"

#include <QtTest>

// The stored format's version: numbered steps bring an older file forward, a newer one is
// refused as it is.
class tst_Schema : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_db.emplace().isValid());
        QVERIFY(!m_connection.open(m_db->path()));
    }
    void cleanup() { m_connection.close(); }

    void olderFileIsBroughtForwardStepByStep()
    {
        QVERIFY(!m_connection.execute(QStringLiteral("UPDATE SCHEMA_VERSION SET VERSION = 1")));
        QStringList applied;
        const QList<Schema::MigrationStep> steps = {
            {3,
                [&](Connection &c) {
                    applied << "3";
                    return c.execute(QStringLiteral("ALTER TABLE NOTAS ADD COLUMN AUTOR TEXT"));
                }},
            {2,
                [&](Connection &c) {
                    applied << "2";
                    return c.execute(QStringLiteral("CREATE TABLE NOTAS (TEXTO TEXT)"));
                }},
        };
        QCOMPARE(Schema::upgrade(m_connection, 3, steps), std::nullopt);
        QCOMPARE(applied, QStringList({"2", "3"}));
        QCOMPARE(version(), 3);
        QVERIFY(!m_connection.execute(QStringLiteral("INSERT INTO NOTAS (TEXTO, AUTOR) VALUES ('a', 'b')")));
        // Up to date: nothing runs again.
        QCOMPARE(Schema::upgrade(m_connection, 3, steps), std::nullopt);
        QCOMPARE(applied.size(), 2);
    }

    void failedStepLeavesTheFileAsItWas()
    {
        QVERIFY(!m_connection.execute(QStringLiteral("UPDATE SCHEMA_VERSION SET VERSION = 1")));
        const QList<Schema::MigrationStep> steps = {
            {2, [](Connection &c) { return c.execute(QStringLiteral("CREATE TABLE NOTAS (TEXTO TEXT)")); }},
            {3, [](Connection &c) { return c.execute(QStringLiteral("ALTER TABLE NO_EXISTE ADD COLUMN X TEXT")); }},
        };
        QVERIFY(Schema::upgrade(m_connection, 3, steps).has_value());
        QCOMPARE(version(), 1);
        QVERIFY(m_connection.execute(QStringLiteral("SELECT * FROM NOTAS")).has_value());
        // A missing step is a refusal too, never a silent jump.
        QVERIFY(Schema::upgrade(m_connection, 4, steps.mid(0, 1)).has_value());
        QCOMPARE(version(), 1);
    }

    void newerFileIsRefused()
    {
        QVERIFY(!m_connection.execute(QStringLiteral("UPDATE SCHEMA_VERSION SET VERSION = ?"), {Schema::version + 1}));
        const MaybeError error = Schema::upgrade(m_connection);
        QVERIFY(error.has_value());
        QVERIFY2(error->description.contains(QStringLiteral("más nueva")), qPrintable(error->description));
        QCOMPARE(version(), Schema::version + 1);
    }

private:
    int version()
    {
        int stored = -1;
        return Schema::readVersion(m_connection, stored) ? -1 : stored;
    }

    std::optional<TestDatabase> m_db;
    Connection m_connection{QStringLiteral("tst-schema")};
};

QTEST_GUILESS_MAIN(tst_Schema)
#include "tst_schema.moc"
