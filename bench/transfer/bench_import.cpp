// Importing a 100,000-record article list into a catalogue that already holds half of its
// codes, against the sqlite3 tool's .import of the same file into an equivalent empty table.

#include "base/dialogs.h"
#include "base/regional.h"
#include "benchcatalogue.h"
#include "data/connection.h"
#include "transfer/articleimport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int records = 100000;
constexpr int runs = 7;

// Declines the deletion offer and counts every other box, which a clean run never shows.
class BenchDialogs : public Dialogs
{
public:
    int unexpected = 0;

protected:
    Dialogs::Button showMessage(const Message &box) override
    {
        if (box.title == QStringLiteral("Importación"))
            return Dialogs::No;
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

bool copyFresh(const QString &from, const QString &to)
{
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(to + suffix);
    return QFile::copy(from, to);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // An optional first argument tries another number of articles a transaction.
    const int batchSize = argc > 1 ? QByteArray(argv[1]).toInt() : 0;
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
        file.open(QIODevice::ReadOnly);
        ArticleListReader reader(ArticleListReader::decode(file.readAll()));
        ArticleListRecord record;
        int converted = 0;
        while (reader.next(record) == ArticleListReader::Status::Record)
            converted += ArticleList::convert(record).has_value();
        reading.push_back(timer.nsecsElapsed() / 1e6);
        if (converted != records)
            return 1;
    }

    // The two sides take turns, so that both meet the same load on a shared machine.
    std::vector<double> ours;
    std::vector<double> tool;
    const QString database = folder.filePath(QStringLiteral("database.mdb"));
    const QString toolDatabase = folder.filePath(QStringLiteral("tool.db"));
    for (int run = 0; run < runs; ++run) {
        if (!copyFresh(catalogue, database) || acnDataBase().open(database))
            return 1;
        QElapsedTimer timer;
        timer.start();
        ArticleImport import(listPath, acnDataBase(), Dialogs::current());
        if (batchSize > 0)
            import.setBatchSize(batchSize);
        const ArticleImport::Outcome outcome = import.run();
        ours.push_back(timer.nsecsElapsed() / 1e6);
        acnDataBase().close();
        if (outcome.records != records || !outcome.succeeded || dialogs.unexpected) {
            std::fprintf(stderr, "import did not complete: %d records\n", outcome.records);
            return 1;
        }

        QFile::remove(toolDatabase);
        QProcess create;
        create.start(QStringLiteral("sqlite3"),
            {toolDatabase,
                QStringLiteral("CREATE TABLE ARTICULOS (COD_ART TEXT NOT NULL, COD_PROPIO TEXT, DESCRIPCION TEXT, "
                               "STK_ACTUAL INTEGER, P_UNITARIO DOUBLE PRECISION, FECHA_ACT DATE, "
                               "CONSTRAINT ARTICULOS_COD_ART UNIQUE (COD_ART));")});
        if (!create.waitForFinished() || create.exitCode() != 0) {
            std::fprintf(stderr, "sqlite3 is not available\n");
            return 1;
        }
        QProcess toolImport;
        timer.restart();
        toolImport.start(QStringLiteral("sqlite3"),
            {toolDatabase, QStringLiteral(".mode csv"), QStringLiteral(".import '%1' ARTICULOS").arg(listPath)});
        toolImport.waitForFinished(-1);
        tool.push_back(timer.nsecsElapsed() / 1e6);
        if (toolImport.exitCode() != 0) {
            std::fprintf(stderr, "sqlite3 .import failed: %s\n", toolImport.readAllStandardError().constData());
            return 1;
        }
    }

    const double oursMs = median(ours);
    const double toolMs = median(tool);
    std::printf("%-60s median %8.1f ms  best %8.1f ms  (%d runs)\n",
        "ArticleImport, 100,000 records, 50,000 codes already stored", oursMs,
        *std::min_element(ours.begin(), ours.end()), runs);
    std::printf("%-60s median %8.1f ms  best %8.1f ms  (%d runs)\n", "sqlite3 .import of the same file, empty table",
        toolMs, *std::min_element(tool.begin(), tool.end()), runs);
    std::printf("%-60s median %8.1f ms\n", "  of which reading, decoding and converting", median(reading));
    std::printf("  ratio %.2fx (target: under 3x), absolute target: under 3000 ms\n", oursMs / toolMs);
    return 0;
}
