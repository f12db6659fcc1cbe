#include "about/frmacerca.h"
#include "app/globals.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class tst_frmAcerca : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { strEMPRESA.clear(); }

    void showsProductAndCompany_data();
    void showsProductAndCompany();
    void aceptarCloses_data();
    void aceptarCloses();
    void showsItsPictures();

private:
    static QString labelText(const QDialog &window, const char *name);
};

QString tst_frmAcerca::labelText(const QDialog &window, const char *name)
{
    const QLabel *label = window.findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<missing>");
}

void tst_frmAcerca::showsProductAndCompany_data()
{
    QTest::addColumn<QString>("empresa");
    QTest::newRow("company") << "Distribuidora Núñez S.A.";
    QTest::newRow("empty company") << "";
    QTest::newRow("markup is shown as text") << "<b>Peña & Hijos</b>";
}

void tst_frmAcerca::showsProductAndCompany()
{
    QFETCH(QString, empresa);
    strEMPRESA = empresa;
    frmAcerca window;
    QCOMPARE(window.objectName(), QStringLiteral("frmAcerca"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Acerca de Recorvan"));
    QVERIFY(window.isModal());
    QCOMPARE(labelText(window, "lblProducto"), QStringLiteral("Recorvan v1.0.0"));
    QCOMPARE(labelText(window, "lblSistema"), QStringLiteral("v1.0.0"));
    QCOMPARE(labelText(window, "lblEmpresa"), empresa);
    QCOMPARE(labelText(window, "lblLicencia"), QStringLiteral("Este producto está autorizado para:"));
    const QLabel *company = window.findChild<QLabel *>("lblEmpresa");
    QVERIFY(company);
    // A company name is a name, not markup.
    QCOMPARE(company->textFormat(), Qt::PlainText);
}

void tst_frmAcerca::aceptarCloses_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("click") << false;
    QTest::newRow("enter") << true;
}

void tst_frmAcerca::aceptarCloses()
{
    QFETCH(bool, byKey);
    frmAcerca window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QPushButton *aceptar = window.findChild<QPushButton *>("cmdAceptar");
    QVERIFY(aceptar);
    QCOMPARE(aceptar->text(), QStringLiteral("Aceptar"));
    if (byKey)
        QTest::keyClick(&window, Qt::Key_Return);
    else
        QTest::mouseClick(aceptar, Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Accepted));
}

void tst_frmAcerca::showsItsPictures()
{
    frmAcerca window;
    for (const char *name : {"imgKelvax", "Image1"}) {
        const QLabel *picture = window.findChild<QLabel *>(QLatin1String(name));
        QVERIFY2(picture, name);
        const QImage image = picture->pixmap().toImage();
        QVERIFY2(!image.isNull(), name);
        // Something was drawn: the picture is not all transparent.
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; ++y) {
            for (int x = 0; x < image.width() && !drawn; ++x)
                drawn = qAlpha(image.pixel(x, y)) != 0;
        }
        QVERIFY2(drawn, name);
    }
}

QTEST_MAIN(tst_frmAcerca)
#include "tst_frmacerca.moc"
