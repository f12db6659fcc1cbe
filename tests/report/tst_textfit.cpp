#include "report/textfit.h"

#include <QFontMetricsF>
#include <QtTest>

// The rule every report text is fitted by, with boxes and sizes of the order report.
class tst_TextFit : public QObject
{
    Q_OBJECT

private slots:
    void fitsTheBox_data();
    void fitsTheBox();
};

namespace {

// The characters a text shows, whatever its line breaks and blanks.
QString inkOf(QString text)
{
    return text.remove(QLatin1Char('\n')).remove(QLatin1Char(' '));
}

} // namespace

void tst_TextFit::fitsTheBox_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QSize>("box"); // twips
    QTest::addColumn<double>("size");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("figure");
    QTest::addColumn<QString>("outcome"); // kept, smaller or cut
    QTest::addColumn<int>("lines");

    const QSize amount(945, 189);
    const QSize quantity(472, 189);
    const QSize name(3968, 283);
    const QSize description(3874, 378);
    const QSize email(1984, 472);
    QTest::newRow("amount that fits") << "2.469,00" << amount << 8.5 << false << true << "kept" << 1;
    QTest::newRow("amount of 12.345.670,00") << "12.345.670,00" << amount << 8.5 << false << true << "smaller" << 1;
    QTest::newRow("quantity 123456") << "123456" << quantity << 8.5 << false << true << "smaller" << 1;
    QTest::newRow("total of 10.000.000,00")
        << "10.000.000,00" << QSize(1040, 284) << 8.5 << true << true << "smaller" << 1;
    QTest::newRow("name a little long") << "Sr. Contacto con un nombre largo de verdad" << QSize(3212, 283) << 9.0
                                        << true << false << "smaller" << 1;
    QTest::newRow("name cut at the floor")
        << "Ferretería y Bulonería Hermanos Núñez de la Santísima Trinidad Sociedad Anónima Comercial e Industrial"
        << name << 9.0 << true << false << "cut" << 1;
    QTest::newRow("line breaks in a one-line box") << "Calle 1\nPiso 2" << name << 9.0 << true << false << "kept" << 1;
    QTest::newRow("cut between whole characters")
        << QString("Ñandú 😀").repeated(20) << name << 9.0 << true << false << "cut" << 1;
    QTest::newRow("description on two lines") << "Tornillo hexagonal de acero inoxidable para madera dura, rosca fina"
                                              << description << 8.5 << false << false << "kept" << 2;
    QTest::newRow("description smaller on two lines")
        << "Tornillo hexagonal de acero inoxidable para madera dura, rosca fina, con arandela y tuerca de seguridad"
        << description << 8.5 << false << false << "smaller" << 2;
    QTest::newRow("e-mail breaks anywhere")
        << "compras123@cliente.com.py" << email << 9.0 << true << false << "kept" << 2;
    QTest::newRow("e-mail cut on its second line")
        << "departamento.de.compras.y.abastecimiento@ferreteriahermanosnunez.com.py" << email << 9.0 << true << false
        << "cut" << 2;
}

void tst_TextFit::fitsTheBox()
{
    QFETCH(QString, text);
    QFETCH(QSize, box);
    QFETCH(double, size);
    QFETCH(bool, bold);
    QFETCH(bool, figure);
    QFETCH(QString, outcome);
    QFETCH(int, lines);
    const TextFit::Style style{size, bold, figure ? TextFit::Overflow::Shrink : TextFit::Overflow::ShrinkThenCut};
    TextFit fit;
    const FittedText fitted = fit.fit(text, box, style);
    const QStringList shown = fitted.text.split(QLatin1Char('\n'));
    QCOMPARE(shown.size(), lines);
    QVERIFY(lines <= fit.lineCapacity(box.height(), style));

    if (outcome == QLatin1String("kept")) {
        QCOMPARE(fitted.fontSize, size);
        QCOMPARE(inkOf(fitted.text), inkOf(text));
    } else if (outcome == QLatin1String("smaller")) {
        QVERIFY(fitted.fontSize < size);
        QVERIFY(figure || fitted.fontSize >= TextFit::readableFloor);
        QCOMPARE(inkOf(fitted.text), inkOf(text));
    } else {
        QCOMPARE(fitted.fontSize, TextFit::readableFloor);
        QVERIFY2(fitted.text.endsWith(QChar(0x2026)), qPrintable(fitted.text));
        const QString kept = inkOf(fitted.text).chopped(1);
        QVERIFY2(inkOf(text).startsWith(kept), qPrintable(fitted.text));
        QVERIFY(!kept.back().isHighSurrogate());
    }

    // Every line stands inside the box, clear of its sides; a single line keeps the baseline
    // it has at the box's own size.
    const QRect place(QPoint(1000, 2000), box);
    const QFontMetricsF metrics(TextFit::font(fitted.fontSize, bold));
    const QList<TextFit::SetLine> set = fit.setLines(fitted, place, style, Qt::AlignHCenter);
    QCOMPARE(set.size(), lines);
    for (const TextFit::SetLine &line : set) {
        const double width = metrics.horizontalAdvance(line.text);
        QVERIFY2(width <= box.width() - 2 * TextFit::sideClearance, qPrintable(line.text));
        QVERIFY(line.origin.x() >= place.left() + TextFit::sideClearance - 0.01);
    }
    if (lines == 1)
        QCOMPARE(set.first().origin.y(), place.top() + QFontMetricsF(TextFit::font(size, bold)).ascent());
    else
        QVERIFY(set.last().origin.y() + metrics.descent() <= place.bottom() + metrics.lineSpacing() / 5);
}

QTEST_MAIN(tst_TextFit)
#include "tst_textfit.moc"
