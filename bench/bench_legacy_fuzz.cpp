// Damaged copies of the older program's database: the shared Jet 4 fixture with one byte flipped
// (by a random mask, at an offset drawn as damagedOffset says), each run through `recorvan-db migrate` under a time
// limit. Counts how many converted, lost rows (and said so), failed with a message, crashed libmdb in the tool's
// reading process (caught), hung, or ended the tool itself by a signal; and checks every time that the damaged copy was
// left as it was and that nothing but a finished new file was left beside it.
//
//   bench_legacy_fuzz [COPIES=300] [SECONDS_PER_COPY=20] [SEED=1]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <map>

#include <unistd.h>

namespace {

constexpr int pageSize = 4096; // Jet 4

QString fixture()
{
    const QString shared = qEnvironmentVariable("RECORVAN_SHARED", QStringLiteral(RECORVAN_SHARED_DIR));
    return QDir::cleanPath(QDir(shared).filePath(QStringLiteral("fixtures/legacy-jet4/database.mdb")));
}

// A third of the flips land anywhere; a third in a page's first 64 bytes (page headers, table
// definitions), where one byte decides what libmdb reads next; a third on a table definition's
// pointers to its usage maps (bytes 55 to 62), which libmdb follows without checking them.
int damagedOffset(QRandomGenerator &random, const QByteArray &file)
{
    const int pages = int(file.size() / pageSize);
    switch (random.bounded(3)) {
    case 0:
        return int(random.bounded(quint32(file.size())));
    case 1:
        return int(random.bounded(quint32(pages))) * pageSize + int(random.bounded(64));
    default:
        QList<int> definitions;
        for (int page = 0; page < pages; ++page) {
            if (file.at(page * pageSize) == 0x02)
                definitions << page;
        }
        return definitions.at(random.bounded(int(definitions.size()))) * pageSize + 55 + int(random.bounded(8));
    }
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int copies = args.size() > 1 ? args.at(1).toInt() : 300;
    const int seconds = args.size() > 2 ? args.at(2).toInt() : 20;
    const quint32 seed = args.size() > 3 ? args.at(3).toUInt() : 1;
    const QString tool = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("recorvan-db"));
    const QByteArray original = contentOf(fixture());
    if (original.isEmpty() || copies <= 0 || seconds <= 0) {
        std::fprintf(stderr, "Fixture %s not found, or bad arguments.\n", qPrintable(fixture()));
        return 2;
    }

    QRandomGenerator random(seed);
    std::map<QString, int> outcomes;
    QStringList notable; // offset ^ mask of every crash, hang or broken promise, to reproduce them
    QElapsedTimer total;
    total.start();
    for (int copy = 0; copy < copies; ++copy) {
        const int offset = damagedOffset(random, original);
        const int mask = int(random.bounded(1u, 256u));
        QByteArray damaged = original;
        damaged[offset] = char(damaged.at(offset) ^ mask);
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("anterior.mdb"));
        const QString converted = dir.filePath(QStringLiteral("nueva.mdb"));
        if (!writeFile(old, damaged))
            return 2;

        QProcess process;
        // A group of its own, so that a hung tool is killed together with its reading process.
        process.setChildProcessModifier([] { ::setpgid(0, 0); });
        process.start(tool, {QStringLiteral("migrate"), old, converted});
        QString outcome;
        if (!process.waitForFinished(seconds * 1000)) {
            ::kill(-pid_t(process.processId()), SIGKILL);
            process.waitForFinished(-1);
            outcome = QStringLiteral("hung (killed after the time limit)");
        } else if (process.exitStatus() == QProcess::CrashExit) {
            outcome = QStringLiteral("ended the tool itself by a signal");
        } else {
            const QString out = QString::fromUtf8(process.readAllStandardOutput());
            const QString err = QString::fromUtf8(process.readAllStandardError());
            switch (process.exitCode()) {
            case 0:
                outcome = QStringLiteral("converted");
                break;
            case 3:
                outcome = out.contains(QStringLiteral("FALTAN FILAS")) ? QStringLiteral("lost rows, reported")
                                                                       : QStringLiteral("lost rows, NOT reported");
                break;
            default:
                outcome = err.contains(QStringLiteral("su lectura se interrumpió"))
                    ? QStringLiteral("crashed libmdb in the reading process, caught")
                    : QStringLiteral("failed with a message");
                break;
            }
        }
        QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        left.removeAll(QStringLiteral("anterior.mdb"));
        if (outcome.startsWith(QLatin1String("converted")) || outcome.startsWith(QLatin1String("lost")))
            left.removeAll(QStringLiteral("nueva.mdb"));
        if (contentOf(old) != damaged)
            ++outcomes[QStringLiteral("(damaged copy changed)")];
        if (!left.isEmpty() && !outcome.startsWith(QLatin1String("hung")))
            ++outcomes[QStringLiteral("(files left behind)")];
        ++outcomes[outcome];
        if (!outcome.startsWith(QLatin1String("converted")) && !outcome.startsWith(QLatin1String("lost rows, r"))
            && !outcome.startsWith(QLatin1String("failed")))
            notable << QStringLiteral("%1 ^ 0x%2 (%3)").arg(offset).arg(mask, 2, 16, QLatin1Char('0')).arg(outcome);
    }
    const double elapsed = double(total.elapsed()) / 1000.0;

    std::printf("%d damaged copies of %s (seed %u, %d s limit each), %.1f s in all, %.0f ms a copy\n"
                "(a third flipped anywhere, a third in page headers, a third in usage-map pointers):\n",
        copies, qPrintable(fixture()), seed, seconds, elapsed, 1000.0 * elapsed / copies);
    for (const auto &[outcome, count] : outcomes)
        std::printf("  %5d  %s\n", count, qPrintable(outcome));
    for (const QString &line : notable)
        std::printf("  at %s\n", qPrintable(line));
    const auto count = [&outcomes](const char *outcome) {
        const auto found = outcomes.find(QString::fromLatin1(outcome));
        return found == outcomes.end() ? 0 : found->second;
    };
    const int converted = count("converted");
    const int told = count("lost rows, reported");
    const int refused = count("failed with a message");
    const int caught = count("crashed libmdb in the reading process, caught");
    std::printf("%d damaged copies: %d converted, %d lost rows told, %d refused with a message, %d reader crashes "
                "caught; %d hung or ended otherwise, %d broke a promise (copy changed, files left)\n",
        copies, converted, told, refused, caught, copies - converted - told - refused - caught,
        count("(damaged copy changed)") + count("(files left behind)"));
    return 0;
}
