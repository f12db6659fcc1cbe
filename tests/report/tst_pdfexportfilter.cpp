#include "orderfixture.h"

#include "app/globals.h"
#include "app/regional.h"
#include "data/connection.h"
#include "report/pdfexportfilter.h"
#include "report/rptorden.h"
#include "support/testdatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

#include <unistd.h>

class tst_PdfExportFilter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void writesADaysOrders();
    void replacesAnExistingFile();
    void emptyDayGivesOnePage();
    void refusesWhatCannotBeWritten_data();
    void refusesWhatCannotBeWritten();
    void reportsAFolderWithoutPermission();

private:
    static QString run(const QString &program, const QStringList &arguments);
    void storeADay();

    std::unique_ptr<TestDatabase> m_db;
};

void tst_PdfExportFilter::init()
{
    Regional::setCurrent(Regional::commaDayFirst());
    m_db = std::make_unique<TestDatabase>();
    QVERIFY(m_db->isValid());
    strConexion = Connection::connectionString(m_db->path());
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("poppler-utils is not installed");
}

void tst_PdfExportFilter::cleanup()
{
    m_db.reset();
    strConexion.clear();
}

QString tst_PdfExportFilter::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

void tst_PdfExportFilter::storeADay()
{
    const OrderFixture store{*m_db};
    QVERIFY(store.article("A1", "Tornillo hexagonal"));
    QVERIFY(store.article("B2", "Arandela plana"));
    const QDate day(2004, 8, 20);
    QVERIFY(store.order(21, day, "Ferretería Núñez"));
    for (int line = 1; line <= 3; ++line)
        QVERIFY(store.line(21, line, "A1", 1, 0.5));
    QVERIFY(store.order(22, day, "Casa O'Brien"));
    for (int line = 1; line <= 18; ++line)
        QVERIFY(store.line(22, line, line % 2 ? "A1" : "B2", 2, 1234.5, "sin cargo"));
    QVERIFY(store.order(23, day.addDays(1), "Otro día"));
    QVERIFY(store.line(23, 1, "A1", 1, 7));
}

void tst_PdfExportFilter::writesADaysOrders()
{
    storeADay();
    rptOrden report;
    report.setCaption("lblFECHA", "20/08/2004");
    QCOMPARE(report.run(), std::nullopt);
    QCOMPARE(report.document().pageCount(), 2);

    QTemporaryDir out;
    const QString path = QDir(out.path()).filePath("20040820.pdf");
    PdfExportFilter filter;
    filter.setFileName(path);
    QCOMPARE(filter.fileName(), path);
    QCOMPARE(filter.exportReport(report.document()), std::nullopt);

    const QString info = run("pdfinfo", {path});
    QVERIFY2(info.contains(QRegularExpression("Pages:\\s+2\\n")), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression("Page size:\\s+612 x 792 pts")), qPrintable(info));

    const QString text = run("pdftotext", {"-layout", path, "-"});
    for (const char *expected : {"Orden #", "21", "22", "Ferretería Núñez", "Casa O'Brien", "Tornillo hexagonal",
             "Arandela plana", "0,50", "Total:", "1,50", "2.469,00", "44.442,00", "Fecha:", "20/08/2004", "Ordenes:",
             "Importe Total:", "44.443,50", "Software: Recorvan", "Forma de Envío:", "Envío 22", "sin cargo"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    QVERIFY(!text.contains("Otro día"));

    // Each page on its own: the first ends with one order counted, the second with both.
    const QString first = run("pdftotext", {"-layout", "-f", "1", "-l", "1", path, "-"});
    const QString second = run("pdftotext", {"-layout", "-f", "2", "-l", "2", path, "-"});
    QVERIFY(first.contains(QRegularExpression("Ordenes:\\s+1\\s+Importe Total:\\s+1,50")));
    QVERIFY(second.contains(QRegularExpression("Ordenes:\\s+2\\s+Importe Total:\\s+44\\.443,50")));
}

void tst_PdfExportFilter::replacesAnExistingFile()
{
    storeADay();
    rptOrden report;
    report.setCaption("lblView_NRO_PEDIDO", "21");
    QCOMPARE(report.run(), std::nullopt);
    QTemporaryDir out;
    const QString path = QDir(out.path()).filePath("orden.pdf");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();

    PdfExportFilter filter;
    filter.setFileName(path);
    QCOMPARE(filter.exportReport(report.document()), std::nullopt);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.read(5) == "%PDF-");
    QVERIFY(run("pdftotext", {path, "-"}).contains("Ferretería Núñez"));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{"orden.pdf"});
}

void tst_PdfExportFilter::emptyDayGivesOnePage()
{
    rptOrden report;
    report.setCaption("lblFECHA", "01/01/2030");
    QCOMPARE(report.run(), std::nullopt);
    QTemporaryDir out;
    const QString path = QDir(out.path()).filePath("vacio.pdf");
    PdfExportFilter filter;
    filter.setFileName(path);
    QCOMPARE(filter.exportReport(report.document()), std::nullopt);
    QVERIFY(run("pdfinfo", {path}).contains(QRegularExpression("Pages:\\s+1\\n")));
    const QString text = run("pdftotext", {"-layout", path, "-"});
    QVERIFY(text.contains(QRegularExpression("Ordenes:\\s+0\\s+Importe Total:\\s+0,00")));
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

    rptOrden report;
    QCOMPARE(report.run(), std::nullopt);
    const QString path = QDir(out.path()).filePath(relative);
    PdfExportFilter filter;
    filter.setFileName(path);
    const std::optional<QString> error = filter.exportReport(report.document());
    QVERIFY(error.has_value());
    QVERIFY2(error->contains(QDir::toNativeSeparators(path)), qPrintable(*error));
    QVERIFY2(error->contains(why), qPrintable(*error));

    filter.setFileName(QString());
    QVERIFY(filter.exportReport(report.document()).has_value());
}

void tst_PdfExportFilter::reportsAFolderWithoutPermission()
{
    if (::geteuid() == 0)
        QSKIP("file permissions do not bind the superuser");
    QTemporaryDir out;
    const QString folder = QDir(out.path()).filePath("cerrada");
    QVERIFY(QDir(out.path()).mkdir("cerrada"));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    rptOrden report;
    QCOMPARE(report.run(), std::nullopt);
    PdfExportFilter filter;
    filter.setFileName(QDir(folder).filePath("x.pdf"));
    const std::optional<QString> error = filter.exportReport(report.document());
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(error.has_value());
    QVERIFY2(error->contains("permiso"), qPrintable(*error));
}

QTEST_MAIN(tst_PdfExportFilter)
#include "tst_pdfexportfilter.moc"
