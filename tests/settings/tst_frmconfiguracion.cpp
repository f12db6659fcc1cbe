#include "base/globals.h"
#include "data/connection.h"
#include "settings/frmconfiguracion.h"
#include "support/scripteddialogs.h"
#include "support/testchecks.h"
#include "support/testdatabase.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class tst_frmConfiguracion : public QObject
{
    Q_OBJECT

private slots:
    // Refused below the highest stored order, changing nothing; the highest order itself is
    // stored, in the file and in the run. (Trying the server is the server client's test.)
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

    void cleanup() { acnDataBase().close(); }
};

QTEST_MAIN(tst_frmConfiguracion)
#include "tst_frmconfiguracion.moc"
