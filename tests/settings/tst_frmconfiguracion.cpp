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

#include <memory>

class tst_frmConfiguracion : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        QVERIFY(m_db->isValid());
        QVERIFY_NO_ERROR(acnDataBase().open(m_db->path()));
        strEMPRESA = QStringLiteral("Empresa de Prueba");
        strULTIMO_PEDIDO = QStringLiteral("15");
    }

    void cleanup()
    {
        acnDataBase().close();
        m_db.reset();
    }

    void counterNeverBelowTheHighestOrder_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("stored");
        QTest::newRow("below the highest order") << "11" << false;
        QTest::newRow("the highest order itself") << "12" << true;
    }

    void counterNeverBelowTheHighestOrder()
    {
        QFETCH(QString, typed);
        QFETCH(bool, stored);
        for (int order : {10, 12})
            QVERIFY(m_db->exec(QStringLiteral("INSERT INTO PEDIDOS (NRO_PEDIDO) VALUES (?)"), {order}));
        ScriptedDialogs dialogs;
        if (!stored)
            dialogs.answerMessage(Dialogs::Ok);

        frmConfiguracion window;
        window.show();
        QCOMPARE(text(window, "txtUltimoPedido"), QStringLiteral("15"));
        setText(window, "txtEmpresa", QStringLiteral("Distribuidora Núñez"));
        setText(window, "txtUltimoPedido", typed);
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("cmdAceptar")), Qt::LeftButton);

        QCOMPARE(window.result() == QDialog::Accepted, stored);
        const QString counter = m_db->scalar(QStringLiteral("SELECT ULTIMO_PEDIDO FROM SETUP")).toString();
        QCOMPARE(counter, stored ? typed : QStringLiteral("15"));
        QCOMPARE(strULTIMO_PEDIDO, counter);
        QCOMPARE(strEMPRESA, stored ? QStringLiteral("Distribuidora Núñez") : QStringLiteral("Empresa de Prueba"));
        if (!stored)
            QVERIFY(dialogs.messages().first().text.contains(QStringLiteral("no puede ser menor que 12")));
        QCOMPARE(dialogs.pendingAnswers(), 0);
    }

    // A server that takes the connection and never answers: the window says so once the
    // connection's time-out has passed, not later.
    void badAddressToldWithinTheTimeOut()
    {
        FakeServer silent(FakeServer::Kind::Silent);
        QVERIFY(silent.port() > 0);
        ScriptedDialogs dialogs;
        dialogs.answerMessage(Dialogs::Ok);
        frmConfiguracion window;
        window.show();
        setText(window, "txtServidor", QStringLiteral("127.0.0.1"));
        setText(window, "txtPuerto", QString::number(silent.port()));
        setText(window, "txtBaseDeDatos", QStringLiteral("empresa"));
        setText(window, "txtCodigoVendedor", QStringLiteral("V1"));

        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("cmdProbar")), Qt::LeftButton);
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(dialogs.messages().size(), 1);
        QVERIFY2(dialogs.messages().first().text.contains(QStringLiteral("no respondió en 5 segundos")),
            qPrintable(dialogs.messages().first().text));
        // Trying changes nothing stored.
        QVERIFY(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM SERVIDOR")).toInt() == 0);
    }

private:
    static QString text(const QWidget &window, const char *name)
    {
        return window.findChild<QLineEdit *>(QString::fromLatin1(name))->text();
    }
    static void setText(const QWidget &window, const char *name, const QString &value)
    {
        window.findChild<QLineEdit *>(QString::fromLatin1(name))->setText(value);
    }

    std::unique_ptr<TestDatabase> m_db;
};

QTEST_MAIN(tst_frmConfiguracion)
#include "tst_frmconfiguracion.moc"
