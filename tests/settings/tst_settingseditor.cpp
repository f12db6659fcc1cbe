#include "base/globals.h"
#include "data/connection.h"
#include "data/sentorders.h"
#include "settings/settingseditor.h"
#include "support/scripteddialogs.h"
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
        // A socket folder that is not there: the comparison of the counters fails at once.
        row("blanks trimmed, code in capitals", " /no-hay | 5433 | empresa | v1 || require ",
            "/no-hay|5433|empresa|V1||require");
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
        ScriptedDialogs dialogs;
        dialogs.answerMessage(Dialogs::Ok);
        const MaybeError refused = SettingsEditor::save(connection, typed, dialogs);
        const std::optional<QString> refusal = refused ? std::optional(refused->description) : std::nullopt;
        SettingsEditor::Typed loaded;
        QVERIFY_NO_ERROR(SettingsEditor::load(connection, loaded));
        const ServerSettings::Typed &read = loaded.server;
        QTEST(
            refusal.value_or(
                QStringList{read.host, read.port, read.database, read.salesperson, read.login, read.tlsMode}.join('|')),
            "loaded");
        QCOMPARE((QStringList{loaded.company.empresa, loaded.company.ultimoPedido, strEMPRESA}),
            refusal ? QStringList({"Empresa de Prueba", "15", "Empresa de Prueba"})
                    : QStringList({"Núñez S.A.", "20", "Núñez S.A."}));
        // A server stored is compared with the server's own order numbers; one that cannot be
        // reached is told, and the settings stay stored.
        QCOMPARE(dialogs.messages().size(), !refusal && !read.database.isEmpty() ? 1 : 0);
        if (!dialogs.messages().isEmpty())
            QVERIFY(dialogs.messages().first().text.startsWith(QStringLiteral("La configuración se guardó, pero")));
    }

    // A server configured for the first time on a laptop with orders: only the orders confirmed
    // from now on, all of them, or nothing stored at all.
    void firstServerAsksWhichOrdersToSend_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<QVariant>("unsent"); // what the desk shows afterwards
        QTest::newRow("only new ones") << 0 << QVariant(0);
        QTest::newRow("all of them") << 1 << QVariant(2);
        QTest::newRow("cancelled") << 2 << QVariant();
    }

    void firstServerAsksWhichOrdersToSend()
    {
        QFETCH(int, option);
        TestDatabase db;
        QVERIFY(db.exec(QStringLiteral("INSERT INTO PEDIDOS (NRO_PEDIDO) VALUES (14), (15)")));
        Connection connection(QStringLiteral("settings"));
        QVERIFY_NO_ERROR(connection.open(db.path()));
        SettingsEditor::Typed typed;
        QVERIFY_NO_ERROR(SettingsEditor::load(connection, typed));
        typed.server = {QStringLiteral("/no-hay"), {}, QStringLiteral("empresa"), QStringLiteral("V1"), {}, {}};
        ScriptedDialogs dialogs;
        dialogs.answerChoice(option);
        if (option != 2)
            dialogs.answerMessage(Dialogs::Ok);
        const MaybeError saved = SettingsEditor::save(connection, typed, dialogs);
        QCOMPARE(saved ? saved->number : 0, option == 2 ? DbErrorNumber::Cancelled : 0);
        QVERIFY(dialogs.shown().first().choice.text.startsWith(
            QStringLiteral("Este equipo tiene 2 órdenes guardadas que el servidor no recibió.")));
        std::optional<int> unsent;
        QVERIFY_NO_ERROR(SentOrders::unsentWhenConfigured(connection, unsent));
        QTEST(unsent ? QVariant(*unsent) : QVariant(), "unsent");
        // Stored again, the server is no longer new: nothing is asked.
        if (option != 2) {
            dialogs.clear();
            typed.company.empresa = QStringLiteral("Otra");
            QVERIFY_NO_ERROR(SettingsEditor::save(connection, typed, dialogs));
            QCOMPARE(dialogs.shown().size(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(tst_SettingsEditor)
#include "tst_settingseditor.moc"
