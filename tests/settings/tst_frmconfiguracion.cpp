#include "base/globals.h"
#include "data/connection.h"
#include "server/fakeserver.h"
#include "settings/frmconfiguracion.h"
#include "support/scripteddialogs.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <optional>

// The settings window shown over a database of its own, its boxes answered from a script.
class tst_frmConfiguracion : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_db.emplace();
        QVERIFY_NO_ERROR(acnDataBase().open(m_db->path()));
        strEMPRESA = QStringLiteral("Empresa de Prueba");
        strULTIMO_PEDIDO = QStringLiteral("15");
        m_window.emplace();
        m_window->show();
    }

    void cleanup()
    {
        QCOMPARE(m_dialogs.pendingAnswers(), 0);
        m_dialogs.clear();
        m_window.reset();
        acnDataBase().close();
        m_db.reset();
    }

    // Refused below the highest stored order, changing nothing; the highest order itself is
    // stored, in the file and in the run.
    void counterNeverBelowTheHighestOrder()
    {
        QVERIFY(m_db->exec(QStringLiteral("INSERT INTO PEDIDOS (NRO_PEDIDO) VALUES (10), (12)")));
        const auto stored = [this] {
            return QStringList{m_db->scalar(QStringLiteral("SELECT ULTIMO_PEDIDO FROM SETUP")).toString(),
                strULTIMO_PEDIDO, strEMPRESA};
        };
        QCOMPARE(box("txtUltimoPedido")->text(), QStringLiteral("15"));
        box("txtEmpresa")->setText(QStringLiteral("Distribuidora Núñez"));
        box("txtUltimoPedido")->setText(QStringLiteral("11"));
        m_dialogs.answerMessage(Dialogs::Ok);
        click("cmdAceptar");
        QVERIFY(m_dialogs.messages().first().text.contains(QStringLiteral("no puede ser menor que 12")));
        QCOMPARE(m_window->result(), int(QDialog::Rejected));
        QCOMPARE(stored(), (QStringList{"15", "15", "Empresa de Prueba"}));
        box("txtUltimoPedido")->setText(QStringLiteral("12"));
        click("cmdAceptar");
        QCOMPARE(m_window->result(), int(QDialog::Accepted));
        QCOMPARE(stored(), (QStringList{"12", "12", "Distribuidora Núñez"}));
    }

    // A server that takes the connection and never answers (how the time-out is told is the
    // server client's test): the window gives up after its own five seconds and stores nothing.
    void silentServerToldWithinTheTimeOut()
    {
        FakeServer silent(FakeServer::Kind::Silent);
        QVERIFY(silent.port() > 0);
        box("txtServidor")->setText(QStringLiteral("127.0.0.1"));
        box("txtPuerto")->setText(QString::number(silent.port()));
        box("txtBaseDeDatos")->setText(QStringLiteral("empresa"));
        box("txtCodigoVendedor")->setText(QStringLiteral("V1"));
        m_dialogs.answerMessage(Dialogs::Ok);
        QElapsedTimer clock;
        clock.start();
        click("cmdProbar");
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(m_dialogs.messages().size(), 1);
        QVERIFY2(m_dialogs.messages().first().text.contains(QStringLiteral("no respondió en 5 segundos")),
            qPrintable(m_dialogs.messages().first().text));
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM SERVIDOR")).toInt(), 0);
    }

private:
    QLineEdit *box(const char *name) const { return m_window->findChild<QLineEdit *>(QString::fromLatin1(name)); }
    void click(const char *name) const
    {
        QTest::mouseClick(m_window->findChild<QPushButton *>(QString::fromLatin1(name)), Qt::LeftButton);
    }

    ScriptedDialogs m_dialogs;
    std::optional<TestDatabase> m_db;
    std::optional<frmConfiguracion> m_window;
};

QTEST_MAIN(tst_frmConfiguracion)
#include "tst_frmconfiguracion.moc"
