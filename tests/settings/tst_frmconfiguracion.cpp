#include "base/globals.h"
#include "data/connection.h"
#include "data/listformat.h"
#include "settings/frmconfiguracion.h"
#include "support/scripteddialogs.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QtTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

class tst_frmConfiguracion : public QObject
{
    Q_OBJECT

private slots:
    // Refused below the highest stored order, changing nothing; the highest order itself is
    // stored, in the file and in the run.
    void counterNeverBelowTheHighestOrder()
    {
        TestDatabase db;
        QVERIFY(db.exec(QStringLiteral("INSERT INTO PEDIDOS (NRO_PEDIDO) VALUES (10), (12)")));
        QVERIFY_NO_ERROR(acnDataBase().open(db.path()));
        strEMPRESA = QStringLiteral("Empresa de Prueba");
        strULTIMO_PEDIDO = QStringLiteral("15");
        ScriptedDialogs dialogs;
        frmConfiguracion window;
        window.show();
        const auto box = [&window](const char *name) { return window.findChild<QLineEdit *>(QLatin1String(name)); };
        auto *aceptar = window.findChild<QPushButton *>(QStringLiteral("cmdAceptar"));
        const auto stored = [&db] {
            return QStringList{
                db.scalar(QStringLiteral("SELECT ULTIMO_PEDIDO FROM SETUP")).toString(), strULTIMO_PEDIDO, strEMPRESA};
        };
        QCOMPARE(box("txtUltimoPedido")->text(), QStringLiteral("15"));
        box("txtEmpresa")->setText(QStringLiteral("Distribuidora Núñez"));
        box("txtUltimoPedido")->setText(QStringLiteral("11"));
        dialogs.answerMessage(Dialogs::Ok);
        QTest::mouseClick(aceptar, Qt::LeftButton);
        QVERIFY(dialogs.messages().first().text.contains(QStringLiteral("no puede ser menor que 12")));
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QCOMPARE(stored(), (QStringList{"15", "15", "Empresa de Prueba"}));
        box("txtUltimoPedido")->setText(QStringLiteral("12"));
        QTest::mouseClick(aceptar, Qt::LeftButton);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(stored(), (QStringList{"12", "12", "Distribuidora Núñez"}));
        QCOMPARE(dialogs.pendingAnswers(), 0);
    }

    // A server that takes the connection and never answers: the kernel completes the handshake
    // for a port that listens and is never read. "Probar conexión" gives up with the time-out's
    // message, stores nothing and keeps the focus.
    void silentServerToldByTheTimeOut()
    {
        TestDatabase db;
        QVERIFY_NO_ERROR(acnDataBase().open(db.path()));
        const int silent = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        QVERIFY(bind(silent, reinterpret_cast<sockaddr *>(&address), size) == 0 && listen(silent, 4) == 0
            && getsockname(silent, reinterpret_cast<sockaddr *>(&address), &size) == 0);
        const auto closeSilent = qScopeGuard([silent] { close(silent); });
        ScriptedDialogs dialogs;
        frmConfiguracion window;
        window.show();
        const auto type = [&window](const char *name, const QString &text) {
            window.findChild<QLineEdit *>(QLatin1String(name))->setText(text);
        };
        type("txtServidor", QStringLiteral("127.0.0.1"));
        type("txtPuerto", QString::number(ntohs(address.sin_port)));
        type("txtBaseDeDatos", QStringLiteral("empresa"));
        type("txtCodigoVendedor", QStringLiteral("V1"));
        dialogs.answerMessage(Dialogs::Ok);
        // Pressed from the keyboard, it keeps the focus: a second Space tries again, never saves.
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *probar = window.findChild<QPushButton *>(QStringLiteral("cmdProbar"));
        probar->setFocus();
        QTest::keyClick(probar, Qt::Key_Space);
        QCOMPARE(window.focusWidget(), probar);
        QCOMPARE(dialogs.messages().size(), 1);
        QVERIFY2(dialogs.messages().first().text.contains(QStringLiteral("no respondió en 5 segundos")),
            qPrintable(dialogs.messages().first().text));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM SERVIDOR")).toInt(), 0);
    }

    // The article list's format: the company's own writing until another is chosen and stored.
    void listFormatChosen()
    {
        TestDatabase db;
        QVERIFY_NO_ERROR(acnDataBase().open(db.path()));
        ScriptedDialogs dialogs;
        frmConfiguracion window;
        auto *format = window.findChild<QComboBox *>(QStringLiteral("cboFormatoLista"));
        QCOMPARE(format->currentText(), ListFormat::es().description());
        format->setCurrentIndex(format->findData(QStringLiteral("en")));
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("cmdAceptar")), Qt::LeftButton);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(db.scalar(QStringLiteral("SELECT FORMATO FROM FORMATO_LISTA")).toString(), QStringLiteral("en"));
    }

    void cleanup() { acnDataBase().close(); }
};

QTEST_MAIN(tst_frmConfiguracion)
#include "tst_frmconfiguracion.moc"
