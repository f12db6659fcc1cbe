#include "about/frmacerca.h"
#include "base/globals.h"

#include <QLabel>
#include <QtTest>

class tst_frmAcerca : public QObject
{
    Q_OBJECT

private slots:
    void showsProductCompanyDatabaseAndPictures();
    void enterCloses();
};

void tst_frmAcerca::showsProductCompanyDatabaseAndPictures()
{
    strEMPRESA = QStringLiteral("<b>Peña & Hijos</b>");
    strRutaBase = QStringLiteral("/home/ana/.local/share/Recorvan/database.mdb");
    frmAcerca window;
    strEMPRESA.clear();
    strRutaBase.clear();
    QCOMPARE(window.findChild<QLabel *>("lblProducto")->text(), QStringLiteral("Recorvan v1.0.0"));
    const QLabel *company = window.findChild<QLabel *>("lblEmpresa");
    QCOMPARE(company->text(), QStringLiteral("<b>Peña & Hijos</b>"));
    // A company name is a name, not markup.
    QCOMPARE(company->textFormat(), Qt::PlainText);
    QCOMPARE(window.findChild<QLabel *>("lblBaseDatos")->text(),
        QStringLiteral("Base de datos: /home/ana/.local/share/Recorvan/database.mdb"));
    for (const char *name : {"imgKelvax", "Image1"}) {
        const QLabel *picture = window.findChild<QLabel *>(QLatin1String(name));
        QVERIFY2(picture && !picture->pixmap().isNull(), name);
    }
}

void tst_frmAcerca::enterCloses()
{
    frmAcerca window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(&window, Qt::Key_Return);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Accepted));
}

QTEST_MAIN(tst_frmAcerca)
#include "tst_frmacerca.moc"
