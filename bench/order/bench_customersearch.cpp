// The customer search window over 10,000 and 100,000 customers: the list updated after each
// key typed (one word, and three words), and the window opened with its first screenful.
// Runs offscreen unless a platform is given.

#include "benchcatalogue.h"
#include "data/connection.h"
#include "order/frmbuscarcliente.h"
#include "startup/startup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <vector>

namespace {

struct Figures
{
    double oneWord = 0;
    double threeWords = 0;
    double opening = 0;
};

// The processor time this thread has used, in milliseconds: on a machine shared with other work
// it says what the search costs when the wall clock says how long the salesperson waited.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Types the text key by key into a fresh window, timing each key from its press to the list
// drawn again; gives the median key and prints the slowest and the median processor time.
double typeKeys(const QString &text, int runs)
{
    std::vector<double> times;
    std::vector<double> cpuTimes;
    int listed = 0;
    for (int run = 0; run < runs; ++run) {
        frmBuscarCliente window(acnDataBase());
        window.show();
        QApplication::processEvents();
        auto *box = window.findChild<QLineEdit *>(QStringLiteral("txtBuscar"));
        for (const QChar ch : text) {
            QElapsedTimer timer;
            timer.start();
            const double cpuStart = threadCpuMs();
            QKeyEvent key(QEvent::KeyPress, ch == QLatin1Char(' ') ? Qt::Key_Space : Qt::Key_unknown, Qt::NoModifier,
                QString(ch));
            QApplication::sendEvent(box, &key);
            window.repaint();
            times.push_back(timer.nsecsElapsed() / 1e6);
            cpuTimes.push_back(threadCpuMs() - cpuStart);
        }
        listed = window.findChild<QTreeWidget *>(QStringLiteral("lstClientes"))->topLevelItemCount();
    }
    std::sort(times.begin(), times.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    const double median = times[times.size() / 2];
    std::printf("  typing \"%s\": median key %.2f ms (processor %.2f ms), slowest %.2f ms, %d listed at the end\n",
        qPrintable(text), median, cpuTimes[cpuTimes.size() / 2], times.back(), listed);
    return median;
}

std::optional<Figures> measure(int customers)
{
    QTemporaryDir dir;
    if (MaybeError error
        = writeBenchDatabase(QDir(dir.path()).filePath(QStringLiteral("database.mdb")), 1000, customers)) {
        std::fprintf(stderr, "%s\n", qPrintable(error->description));
        return std::nullopt;
    }
    if (MaybeError error = AbroConexion(dir.path())) {
        std::fprintf(stderr, "%s\n", qPrintable(error->description));
        return std::nullopt;
    }
    std::printf("%d customers\n", customers);
    Figures figures;
    figures.opening = measureMs("  opening the window with its first screenful", 11, [] {
        frmBuscarCliente window(acnDataBase());
        window.show();
        window.repaint();
    });
    figures.oneWord = typeKeys(QStringLiteral("núñez"), 5);
    figures.threeWords = typeKeys(QStringLiteral("ferr núñ luque"), 5);
    CierroConexion();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::optional<Figures> small = measure(10000);
    const std::optional<Figures> large = small ? measure(100000) : std::nullopt;
    if (!large)
        return 1;
    std::printf("customer search: a key at 10,000 %.1f / %.1f ms (one / three words, under 50), at 100,000 %.1f / %.1f "
                "ms (under 150); opening %.1f ms at 10,000, %.1f at 100,000 (under 100)\n",
        small->oneWord, small->threeWords, large->oneWord, large->threeWords, small->opening, large->opening);
    return 0;
}
