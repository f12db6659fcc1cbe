#include "orderfixture.h"

#include "base/globals.h"
#include "base/regional.h"
#include "data/connection.h"
#include "report/pdfexportfilter.h"
#include "report/rptorden.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

class tst_PdfExportFilter : public QObject
{
    Q_OBJECT

private slots:
    void writesADaysOrders();
    void refusesWhatCannotBeWritten_data();
    void refusesWhatCannotBeWritten();
};

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

void tst_PdfExportFilter::writesADaysOrders()
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("poppler-utils is not installed");
    Regional::setCurrent(Regional::commaDayFirst());
    TestDatabase db;
    QVERIFY(db.isValid());
    strConexion = Connection::connectionString(db.path());
    const OrderFixture store{db};
    QVERIFY(store.article("A1", "Tornillo hexagonal"));
    const QDate day(2004, 8, 20);
    QVERIFY(store.order(21, day, "Ferretería Núñez"));
    for (int line = 1; line <= 3; ++line)
        QVERIFY(store.line(21, line, "A1", 1, 0.5));
    QVERIFY(store.order(22, day, "Casa O'Brien"));
    for (int line = 1; line <= 18; ++line)
        QVERIFY(store.line(22, line, "A1", 2, 1234.5, "sin cargo"));
    QVERIFY(store.order(23, day.addDays(1), "Otro día"));
    QVERIFY(store.line(23, 1, "A1", 1, 7));
    rptOrden report;
    report.setCaption("lblFECHA", "20/08/2004");
    QCOMPARE(report.run(), std::nullopt);
    strConexion.clear();

    QTemporaryDir out;
    const QString path = QDir(out.path()).filePath("20040820.pdf");
    PdfExportFilter filter;
    filter.setFileName(path);
    QCOMPARE(filter.exportReport(report.document()), std::nullopt);
    const QString info = run("pdfinfo", {path});
    QVERIFY2(info.contains(QRegularExpression("Pages:\\s+2\\n")), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression("Page size:\\s+612 x 792 pts")), qPrintable(info));
    const QString text = run("pdftotext", {"-layout", path, "-"});
    for (const char *expected : {"21", "22", "Ferretería Núñez", "Casa O'Brien", "Tornillo hexagonal", "1,50",
             "2.469,00", "44.442,00", "20/08/2004", "sin cargo"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    QVERIFY(!text.contains("Otro día"));
    // Each page on its own: the first ends with one order counted, the second with both.
    const QString first = run("pdftotext", {"-layout", "-f", "1", "-l", "1", path, "-"});
    const QString second = run("pdftotext", {"-layout", "-f", "2", "-l", "2", path, "-"});
    QVERIFY(first.contains(QRegularExpression("Ordenes:\\s+1\\s+Importe Total:\\s+1,50")));
    QVERIFY(second.contains(QRegularExpression("Ordenes:\\s+2\\s+Importe Total:\\s+44\\.443,50")));
}

void tst_PdfExportFilter::refusesWhatCannotBeWritten_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("why");
    QTest::newRow("missing folder") << "no/existe/20040820.pdf"
                                    << "no existe";
    QTest::newRow("path is a folder") << "carpeta"
                                      << "es una carpeta";
    QTest::newRow("folder is a file") << "archivo.txt/20040820.pdf"
                                      << "no es una carpeta";
}

void tst_PdfExportFilter::refusesWhatCannotBeWritten()
{
    QFETCH(QString, relative);
    QFETCH(QString, why);
    QTemporaryDir out;
    QVERIFY(QDir(out.path()).mkdir("carpeta"));
    QFile file(QDir(out.path()).filePath("archivo.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    ReportDocument document;
    const QString path = QDir(out.path()).filePath(relative);
    PdfExportFilter filter;
    filter.setFileName(path);
    const std::optional<QString> error = filter.exportReport(document);
    QVERIFY2(error && error->contains(QDir::toNativeSeparators(path)), qPrintable(error.value_or("")));
    QVERIFY2(error->contains(why), qPrintable(*error));
    filter.setFileName(QString());
    QVERIFY(filter.exportReport(document).has_value());
}

QTEST_MAIN(tst_PdfExportFilter)
#include "tst_pdfexportfilter.moc"
