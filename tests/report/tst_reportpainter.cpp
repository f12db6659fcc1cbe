#include "orderfixture.h"

#include "base/globals.h"
#include "base/regional.h"
#include "report/bandedreport.h"
#include "report/reportpainter.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

// The drawing of a page: the artwork comes from the library's resources, and boxes and texts
// stand where the page model puts them.
class tst_ReportPainter : public QObject
{
    Q_OBJECT

private slots:
    void drawsArtworkBoxesAndTexts();
};

namespace {

constexpr double dpi = 96;

QPoint at(int xTwips, int yTwips)
{
    return QPoint(int(xTwips * dpi / 1440), int(yTwips * dpi / 1440));
}

// Whether any pixel of the area (twips) satisfies the test.
bool anyPixel(const QImage &image, QRect twips, const std::function<bool(QColor)> &test)
{
    const QRect area(at(twips.left(), twips.top()), at(twips.right(), twips.bottom()));
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(image.pixelColor(x, y)))
                return true;
    return false;
}

} // namespace

void tst_ReportPainter::drawsArtworkBoxesAndTexts()
{
    Regional::setCurrent(Regional::commaDayFirst());
    TestDatabase db;
    const OrderFixture store{db};
    QVERIFY(store.article("A1", "Tornillo") && store.order(15, QDate(2004, 8, 20), "Cliente", 1, 1, 0.5));
    const std::unique_ptr<rptOrden> report = store.report("15");
    QVERIFY(report);

    const QPoint corner = at(BandedReport::pageWidth, BandedReport::pageHeight);
    QImage image(QSize(corner.x(), corner.y()), QImage::Format_RGB32);
    image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(image.dotsPerMeterX());
    image.fill(Qt::white);
    QPainter painter(&image);
    ReportPainter().paint(painter, report->document(), 0);
    painter.end();

    const int left = BandedReport::margin;
    const int groupTop = BandedReport::margin + 480;
    const int footerTop = BandedReport::pageHeight - BandedReport::margin - 750;
    // The dark band behind the order number, between the number and the date.
    const QColor band = image.pixelColor(at(left + 3500, groupTop + 340));
    QVERIFY2(band.lightness() < 80, qPrintable(band.name()));
    // The order number is written in white on it.
    QVERIFY(
        anyPixel(image, QRect(left + 1228, groupTop + 220, 600, 283), [](QColor c) { return c.lightness() > 200; }));
    // The light-grey box of the page footer, between the date and "Ordenes:".
    QCOMPARE(image.pixelColor(at(left + 2600, footerTop + 120)), QColor(224, 224, 224));
    // Nothing is drawn beyond the report's width.
    QVERIFY(!anyPixel(
        image, QRect(left + 7700, BandedReport::margin, 1000, 12000), [](QColor c) { return c != QColor(Qt::white); }));
    strConexion.clear();
}

QTEST_MAIN(tst_ReportPainter)
#include "tst_reportpainter.moc"
