#include "base/globals.h"
#include "data/connection.h"
#include "settings/settingseditor.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"

#include <QtTest>

// The company and the server as typed in the settings window: both are stored, and read back as
// stored, or neither is.
class tst_SettingsEditor : public QObject
{
    Q_OBJECT

private slots:
    void storedWholeOrNotAtAll_data()
    {
        QTest::addColumn<QStringList>("server"); // host, port, database, salesperson, login, TLS mode
        QTest::addColumn<QString>("loaded"); // the server as read back, or the refusal
        const auto row = [](const char *name, const char *server, const char *loaded) {
            QTest::newRow(name) << QString::fromUtf8(server).split('|') << QString::fromUtf8(loaded);
        };
        row("blanks trimmed", " srv | 5433 | empresa | V1 || require ", "srv|5433|empresa|V1||require");
        row("nothing typed: no server", "|||||", "|||||");
        row("server without its database", "srv|||||", "Falta el nombre de la base de datos del servidor.");
        row("no salesperson", "|| empresa |||", "Falta el código del vendedor en el servidor.");
        row("port out of range", "|70000|empresa|V1||", "El puerto debe ser un número entre 1 y 65535, no '70000'.");
        row("unknown TLS mode", "||empresa|V1||siempre", "El modo TLS 'siempre' no existe.");
    }

    void storedWholeOrNotAtAll()
    {
        QFETCH(QStringList, server);
        TestDatabase db;
        Connection connection(QStringLiteral("settings"));
        QVERIFY_NO_ERROR(connection.open(db.path()));
        strEMPRESA = QStringLiteral("Empresa de Prueba");
        SettingsEditor::Typed typed;
        typed.company = {QStringLiteral("Núñez S.A."), QStringLiteral("Ana"), QStringLiteral("20")};
        typed.server = {server.at(0), server.at(1), server.at(2), server.at(3), server.at(4), server.at(5)};
        const std::optional<QString> refusal = SettingsEditor::save(connection, typed);
        SettingsEditor::Typed loaded;
        QVERIFY_NO_ERROR(SettingsEditor::load(connection, loaded));
        const ServerSettings::Typed &read = loaded.server;
        QTEST(
            refusal.value_or(
                QStringList{read.host, read.port, read.database, read.vendedor, read.usuario, read.modoTls}.join('|')),
            "loaded");
        QCOMPARE((QStringList{loaded.company.empresa, loaded.company.ultimoPedido, strEMPRESA}),
            refusal ? QStringList({"Empresa de Prueba", "15", "Empresa de Prueba"})
                    : QStringList({"Núñez S.A.", "20", "Núñez S.A."}));
    }
};

QTEST_GUILESS_MAIN(tst_SettingsEditor)
#include "tst_settingseditor.moc"
