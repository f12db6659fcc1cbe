// Importing a 100,000-record article list into a catalogue that already holds half of its
// codes, against the sqlite3 tool's .import of the same file into an equivalent empty table:
// the import routine alone, and the transfer window from Accept to the success question.
//
//   bench_import [RUNS=5] [ARTICLES_PER_TRANSACTION]

#include "base/dialogs.h"
#include "base/regional.h"
#include "benchcatalogue.h"
#include "data/connection.h"
#include "startup/startup.h"
#include "transfer/articleimport.h"
#include "transfer/frmtransferencia.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int records = 100000;

// Declines the deletion offer, noting when the success question came, and counts every other
// box, which a clean run never shows.
class BenchDialogs : public Dialogs
{
public:
    int unexpected = 0;
    QElapsedTimer *clock = nullptr;
    qint64 askedAtNs = -1;

protected:
    Dialogs::Button showMessage(const Message &box) override
    {
        if (box.title == QStringLiteral("Importación")) {
            if (clock)
                askedAtNs = clock->nsecsElapsed();
            return Dialogs::No;
        }
        ++unexpected;
        std::fprintf(stderr, "box: %s\n", qPrintable(box.text));
        return Dialogs::Cancel;
    }
    QString showInput(const Input &) override { return {}; }
    QString showOpenFile(const OpenFile &) override { return {}; }
    QString showSaveFile(const SaveFile &) override { return {}; }
    int showChoice(const Choice &box) override { return box.escapeOption; }
    std::optional<QStringList> showForm(const Form &) override { return std::nullopt; }
};

// Codes A000000.. as the bench catalogue writes them, so that the first half already exist.
QByteArray articleList()
{
    QByteArray list;
    list.reserve(records * 80);
    for (int i = 0; i < records; ++i) {
        list += QStringLiteral("\"A%1\",\"F-%2\",\"Válvula de paso ñandú modelo %1\",%3,\"%4,%5\",20/08/2004\r\n")
                    .arg(i, 6, 10, QLatin1Char('0'))
                    .arg(i * 7)
                    .arg(i % 500)
                    .arg(10 + i % 90)
                    .arg(i % 100, 2, 10, QLatin1Char('0'))
                    .toUtf8();
    }
    return list;
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double best(const std::vector<double> &times)
{
    return *std::min_element(times.begin(), times.end());
}

bool copyFresh(const QString &from, const QString &to)
{
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(to + suffix);
    return QFile::copy(from, to);
}

bool fail(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    return false;
}

// The import routine on the run's connection, opened as the program opens it.
bool importAlone(const QString &folder, const QString &listPath, BenchDialogs &dialogs, int batchSize, double &ms)
{
    if (AbroConexion(folder))
        return fail("the database did not open");
    QElapsedTimer timer;
    timer.start();
    ArticleImport import(listPath, acnDataBase(), dialogs);
    if (batchSize > 0)
        import.setBatchSize(batchSize);
    const ArticleImport::Outcome outcome = import.run();
    ms = double(timer.nsecsElapsed()) / 1e6;
    CierroConexion();
    if (outcome.records != records || !outcome.succeeded || dialogs.unexpected)
        return fail("the import did not complete");
    return true;
}

// The transfer window in import mode, shown as the main window shows it, from the click on
// Accept to the success question.
bool importAtTheWindow(const QString &folder, BenchDialogs &dialogs, double &ms)
{
    if (AbroConexion(folder))
        return fail("the database did not open");
    frmTransferencia::setTransferFolder(folder);
    frmTransferencia window;
    window.setMode(QStringLiteral("I"));
    window.show();
    QCoreApplication::processEvents();
    auto *accept = window.findChild<QPushButton *>(QStringLiteral("cmdAceptar"));
    QElapsedTimer timer;
    dialogs.clock = &timer;
    dialogs.askedAtNs = -1;
    timer.start();
    accept->click();
    dialogs.clock = nullptr;
    ms = double(dialogs.askedAtNs) / 1e6;
    window.close();
    QCoreApplication::processEvents();
    CierroConexion();
    if (dialogs.askedAtNs < 0 || dialogs.unexpected)
        return fail("the window's import did not succeed");
    return true;
}

bool toolImport(const QString &toolDatabase, const QString &listPath, double &ms)
{
    QFile::remove(toolDatabase);
    QProcess create;
    create.start(QStringLiteral("sqlite3"),
        {toolDatabase,
            QStringLiteral("CREATE TABLE ARTICULOS (COD_ART TEXT NOT NULL, COD_PROPIO TEXT, DESCRIPCION TEXT, "
                           "STK_ACTUAL INTEGER, P_UNITARIO DOUBLE PRECISION, FECHA_ACT DATE, "
                           "CONSTRAINT ARTICULOS_COD_ART UNIQUE (COD_ART));")});
    if (!create.waitForFinished() || create.exitCode() != 0)
        return fail("sqlite3 is not available");
    QProcess tool;
    QElapsedTimer timer;
    timer.start();
    tool.start(QStringLiteral("sqlite3"),
        {toolDatabase, QStringLiteral(".mode csv"), QStringLiteral(".import '%1' ARTICULOS").arg(listPath)});
    tool.waitForFinished(-1);
    ms = double(timer.nsecsElapsed()) / 1e6;
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return fail("sqlite3 .import failed");
    return true;
}

void printLine(const char *label, const std::vector<double> &times)
{
    std::printf("%-62s median %8.1f ms  best %8.1f ms  (%zu runs)\n", label, median(times), best(times), times.size());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 5;
    // An optional second argument tries another number of articles a transaction.
    const int batchSize = argc > 2 ? QByteArray(argv[2]).toInt() : 0;
    Regional::setCurrent(Regional::commaDayFirst());
    BenchDialogs dialogs;
    Dialogs::setCurrent(&dialogs);

    QTemporaryDir dir;
    const QDir folder(dir.path());
    const QString catalogue = folder.filePath(QStringLiteral("catalogue.mdb"));
    if (MaybeError error = writeBenchDatabase(catalogue, records / 2, 0)) {
        std::fprintf(stderr, "%s\n", qPrintable(error->description));
        return 1;
    }
    const QString listPath = folder.filePath(QStringLiteral("entrada.dat"));
    QFile list(listPath);
    if (!list.open(QIODevice::WriteOnly) || list.write(articleList()) < 0)
        return 1;
    list.close();

    // The share of reading, decoding and converting, without the store.
    std::vector<double> reading;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        QFile file(listPath);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        ArticleListReader reader(ArticleListReader::decode(file.readAll()).text);
        ArticleListRecord record;
        int converted = 0;
        while (reader.next(record) == ArticleListReader::Status::Record)
            converted += ArticleList::convert(record, ListFormat::es()).has_value();
        reading.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (converted != records)
            return 1;
    }

    // The three take turns, so that all meet the same load on a shared machine.
    std::vector<double> alone;
    std::vector<double> window;
    std::vector<double> tool;
    const QString database = folder.filePath(QStringLiteral("database.mdb"));
    const QString toolDatabase = folder.filePath(QStringLiteral("tool.db"));
    for (int run = 0; run < runs; ++run) {
        double ms = 0;
        if (!copyFresh(catalogue, database) || !importAlone(folder.path(), listPath, dialogs, batchSize, ms))
            return 1;
        alone.push_back(ms);
        if (!copyFresh(catalogue, database) || !importAtTheWindow(folder.path(), dialogs, ms))
            return 1;
        window.push_back(ms);
        if (!toolImport(toolDatabase, listPath, ms))
            return 1;
        tool.push_back(ms);
    }

    printLine("ArticleImport alone, 100,000 records, 50,000 already stored", alone);
    printLine("frmTransferencia, Accept to the success question", window);
    printLine("sqlite3 .import of the same file, empty table", tool);
    std::printf("%-62s median %8.1f ms\n", "  of which reading, decoding and converting", median(reading));
    std::printf("at the window %.2fx sqlite3 .import (target: within 2.5x), the routine alone %.2fx\n",
        median(window) / median(tool), median(alone) / median(tool));
    return 0;
}
