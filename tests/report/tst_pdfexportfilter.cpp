#include "orderfixture.h"

#include "base/globals.h"
#include "base/regional.h"
#include "report/pdfexportfilter.h"
#include "support/testchecks.h"
#include "support/testfiles.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class tst_PdfExportFilter : public QObject
{
    Q_OBJECT

private slots:
    void writesADaysOrders()
    {
        Regional::setCurrent(Regional::commaDayFirst());
        TestDatabase db;
        const OrderFixture store{db};
        const QDate day(2004, 8, 20);
        QVERIFY(store.article("A1", "Tornillo hexagonal") && store.order(21, day, "Ferretería Núñez", 3, 1, 0.5)
            && store.order(22, day, "Casa O'Brien", 18, 2, 1234.5, "sin cargo") && store.wideOrder(23, day));
        // A line whose code the catalogue does not hold is printed, and counts, all the same.
        QVERIFY(store.line(21, 4, "ZZ-9", 2, 10));
        const std::unique_ptr<rptOrden> report = store.report({}, "20/08/2004");
        QVERIFY(report);
        strConexion.clear();

        QTemporaryDir out;
        const QString path = QDir(out.path()).filePath("20040820.pdf");
        PdfExportFilter filter;
        filter.setFileName(path);
        QVERIFY_NO_ERROR(filter.exportReport(report->document()));
        const QString info = run("pdfinfo", {path});
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+3\\n")), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression("Page size:\\s+612 x 792 pts")), qPrintable(info));
        // The text layer holds what the page shows: letters as written, a cut name stops where the page does.
        const QString text = run("pdftotext", {"-layout", path, "-"});
        for (const char *expected : {"Ferretería Núñez", "Casa O'Brien", "Tornillo hexagonal", "sin cargo"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("ZZ-9 +\\(no está en el catálogo\\) +2 +10,00 +20,00\n"
                                                                "(.*\n)* +Total: +21,50\n"))));
        QVERIFY(text.contains(QString::fromUtf8("Ferretería y Bulonería")) && !text.contains("Industrial"));

        // Every figure, in the file as read back, is one word that lies inside its own box.
        const QString boxes = run("pdftotext", {"-bbox", path, "-"});
        const QStringList pages = boxes.split("<page ").mid(1);
        QCOMPARE(pages.size(), report->document().pageCount());
        const QRegularExpression word(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
        int figures = 0;
        for (int page = 0; page < pages.size(); ++page) {
            QList<QPair<QRectF, QString>> words;
            for (const QRegularExpressionMatch &m : word.globalMatch(pages.at(page))) {
                const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
                words.append(
                    {QRectF(topLeft, QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())), m.captured(5)});
            }
            for (const PlacedItem &placed : report->document().page(page).items) {
                const ReportItem &item = report->document().item(placed);
                if (!item.figure || !item.visible || placed.text.isEmpty())
                    continue;
                // Points from the twips of the page model; a line may reach a point below its box.
                const QRectF box(placed.rect.x() / 20.0, placed.rect.y() / 20.0, placed.rect.width() / 20.0,
                    placed.rect.height() / 20.0);
                const QRectF room = box.adjusted(-0.1, -0.1, 0.1, 1);
                int found = 0;
                // The order number stands against its label ("Orden #21"): one word, of which the
                // number is the end.
                for (const auto &[at, shown] : std::as_const(words))
                    found += shown.endsWith(placed.text)
                        && room.contains(shown == placed.text
                                ? at
                                : QRectF(box.left(), at.top(), at.right() - box.left(), at.height()));
                QVERIFY2(
                    found == 1, qPrintable(QStringLiteral("%1 %2 on page %3").arg(item.name, placed.text).arg(page)));
                ++figures;
            }
        }
        // At least quantity, price and amount of each of the 24 lines were looked at.
        QVERIFY(figures > 3 * 24);
    }

    void refusesWhatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("why");
        QTest::newRow("missing folder") << QString("no/existe/20040820.pdf") << QString("no existe");
        QTest::newRow("path is a folder") << QString("carpeta") << QString("es una carpeta");
        QTest::newRow("folder is a file") << QString("archivo.txt/20040820.pdf") << QString("no es una carpeta");
    }

    void refusesWhatCannotBeWritten()
    {
        QFETCH(QString, relative);
        QFETCH(QString, why);
        QTemporaryDir out;
        QVERIFY(QDir(out.path()).mkdir("carpeta") && writeFile(QDir(out.path()).filePath("archivo.txt"), {}));
        const QString path = QDir(out.path()).filePath(relative);
        PdfExportFilter filter;
        filter.setFileName(path);
        const MaybeError error = filter.exportReport(ReportDocument());
        QVERIFY_ERROR_CONTAINS(error, QDir::toNativeSeparators(path));
        QVERIFY_ERROR_CONTAINS(error, why);
        filter.setFileName(QString());
        QVERIFY(filter.exportReport(ReportDocument()).has_value());
    }
};

QTEST_MAIN(tst_PdfExportFilter)
#include "tst_pdfexportfilter.moc"
