#include "about/frmacerca.h"
#include "base/globals.h"

#include <QLabel>
#include <QtTest>

class tst_frmAcerca : public QObject
{
    Q_OBJECT

private slots:
    // The company as a name, never as markup; where the database lives; Enter closes.
    void showsCompanyDatabaseAndPictures()
    {
        strEMPRESA = QStringLiteral("<b>Peña & Hijos</b>");
        strRutaBase = QStringLiteral("/home/ana/.local/share/Recorvan/database.mdb");
        frmAcerca window;
        const QLabel *company = window.findChild<QLabel *>("lblEmpresa");
        QCOMPARE(company->text(), strEMPRESA);
        QCOMPARE(company->textFormat(), Qt::PlainText);
        QCOMPARE(window.findChild<QLabel *>("lblBaseDatos")->text(), "Base de datos: " + strRutaBase);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(&window, Qt::Key_Return);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(tst_frmAcerca)
#include "tst_frmacerca.moc"
