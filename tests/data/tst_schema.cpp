#include "data/connection.h"
#include "data/schema.h"
#include "data/sentorders.h"
#include "data/serversettings.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"
#include "tools/democatalogue.h"

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
        QVERIFY_NO_ERROR(m_connection.open(m_db->path()));
        QVERIFY_NO_ERROR(m_connection.execute(QStringLiteral("UPDATE SCHEMA_VERSION SET VERSION = 1")));
        m_applied.clear();
    }
    void cleanup() { m_connection.close(); }

    void olderFileIsBroughtForwardStepByStep()
    {
        const QList<Schema::MigrationStep> steps
            = {step(3, "ALTER TABLE NOTAS ADD COLUMN AUTOR TEXT"), step(2, "CREATE TABLE NOTAS (TEXTO TEXT)")};
        QVERIFY_NO_ERROR(Schema::upgrade(m_connection, 3, steps));
        QCOMPARE(m_applied, QList<int>({2, 3}));
        QCOMPARE(version(), 3);
        QVERIFY_NO_ERROR(m_connection.execute(QStringLiteral("INSERT INTO NOTAS (TEXTO, AUTOR) VALUES ('a', 'b')")));
        // Up to date: nothing runs again.
        QVERIFY_NO_ERROR(Schema::upgrade(m_connection, 3, steps));
        QCOMPARE(m_applied.size(), 2);
    }

    void failedStepLeavesTheFileAsItWas()
    {
        const QList<Schema::MigrationStep> steps
            = {step(2, "CREATE TABLE NOTAS (TEXTO TEXT)"), step(3, "ALTER TABLE NO_EXISTE ADD COLUMN X TEXT")};
        QVERIFY(Schema::upgrade(m_connection, 3, steps).has_value());
        QCOMPARE(version(), 1);
        QVERIFY(m_connection.execute(QStringLiteral("SELECT * FROM NOTAS")).has_value());
        // A missing step is a refusal too, never a silent jump.
        QVERIFY(Schema::upgrade(m_connection, 4, steps.mid(0, 1)).has_value());
        QCOMPARE(version(), 1);
    }

    // Format 2 adds the company server's bookkeeping to a file of format 1, format 3 the article
    // list's format: today's tables but the ones those steps add.
    void versionOneIsBroughtForward()
    {
        QVERIFY(m_db->seed(DemoCatalogue().addOrder(7, QDate(2024, 3, 1), "Cliente", {{"A1", 2}})));
        for (const char *table : {"SERVIDOR", "ENVIOS", "FORMATO_LISTA"})
            QVERIFY_NO_ERROR(m_connection.execute(QStringLiteral("DROP TABLE ") + table));
        QVERIFY(Schema::check(m_connection).has_value());
        QVERIFY_NO_ERROR(Schema::upgrade(m_connection));
        QCOMPARE(version(), Schema::version);
        QVERIFY_NO_ERROR(Schema::check(m_connection));

        // No server yet: the order stored before waits to be sent once there is one.
        ServerSettings settings;
        QVERIFY_NO_ERROR(ServerSettings::read(m_connection, settings));
        QVERIFY(!settings.isConfigured());
        std::optional<int> shown = 0;
        QVERIFY_NO_ERROR(SentOrders::unsentWhenConfigured(m_connection, shown));
        QVERIFY(!shown);
        QList<ServerOrder> orders;
        QVERIFY_NO_ERROR(SentOrders::unsent(m_connection, std::nullopt, 10, orders));
        QCOMPARE(orders.size(), 1);
        QCOMPARE(orders.first().header.value(QStringLiteral("CLIENTE")).toString(), QStringLiteral("Cliente"));
        QCOMPARE(orders.first().lines.size(), 1);
    }

    void newerFileIsRefused()
    {
        QVERIFY_NO_ERROR(
            m_connection.execute(QStringLiteral("UPDATE SCHEMA_VERSION SET VERSION = ?"), {Schema::version + 1}));
        QVERIFY_ERROR_CONTAINS(Schema::upgrade(m_connection), QStringLiteral("más nueva"));
        QCOMPARE(version(), Schema::version + 1);
    }

private:
    // A step that runs one statement and notes that it ran.
    Schema::MigrationStep step(int number, const char *sql)
    {
        return {number, [this, number, sql](Connection &c) {
                    m_applied << number;
                    return c.execute(QString::fromUtf8(sql));
                }};
    }
    int version()
    {
        int stored = -1;
        return Schema::readVersion(m_connection, stored) ? -1 : stored;
    }

    std::optional<TestDatabase> m_db;
    Connection m_connection{QStringLiteral("tst-schema")};
    QList<int> m_applied;
};

QTEST_GUILESS_MAIN(tst_Schema)
#include "tst_schema.moc"
