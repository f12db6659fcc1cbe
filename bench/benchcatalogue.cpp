#include "benchcatalogue.h"

#include "data/connection.h"
#include "data/schema.h"
#include "data/tables.h"
#include "data/transaction.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char *const words[] = {"caño", "codo", "válvula", "llave", "tornillo", "tarugo", "cinta", "cable", "lámpara",
    "pintura", "broca", "manguera", "silicona", "cerradura", "bisagra", "adhesivo", "ÑANDÚ", "grifería", "DESCRIPCIÓN",
    "acero", "bronce", "PVC"};
constexpr int wordCount = int(sizeof(words) / sizeof(words[0]));

} // namespace

MaybeError writeBenchDatabase(const QString &path, int articles, int customers)
{
    Connection connection(QStringLiteral("bench-writer"));
    if (MaybeError error = connection.create(path))
        return error;
    if (MaybeError error
        = Schema::createWithSettings(connection, {QStringLiteral("Bench S.A."), QStringLiteral("Bench"), 15}))
        return error;
    Transaction transaction(connection);
    if (MaybeError error = transaction.begin())
        return error;
    const QString insertArticle = Tables::articulos().insertStatement();
    for (int i = 0; i < articles; ++i) {
        const QString description
            = QStringLiteral("%1 %2 %3 modelo %4")
                  .arg(QString::fromUtf8(words[i % wordCount]), QString::fromUtf8(words[(i / wordCount) % wordCount]),
                      QString::fromUtf8(words[(i / 7) % wordCount]))
                  .arg(i);
        if (MaybeError error = connection.execute(insertArticle,
                {QStringLiteral("A%1").arg(i, 6, 10, QLatin1Char('0')), QStringLiteral("F-%1").arg(i * 3), description,
                    i % 300, 1.5 + (i % 997) * 0.25, QStringLiteral("2026-11-01")}))
            return error;
    }
    const QString insertCustomer = Tables::clientes().insertStatement();
    for (int i = 0; i < customers; ++i) {
        if (MaybeError error = connection.execute(insertCustomer,
                {QStringLiteral("Cliente %1").arg(i), QStringLiteral("Calle %1").arg(i), QStringLiteral("800%1").arg(i),
                    QStringLiteral("021-%1").arg(i), QStringLiteral("Contacto %1").arg(i),
                    QStringLiteral("c%1@example.com").arg(i)}))
            return error;
    }
    return transaction.commit();
}

double measureMs(const char *label, int runs, const std::function<void()> &fn)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        fn();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("%-55s median %9.2f ms   best %9.2f ms   (%d runs)\n", label, median, times.front(), runs);
    std::fflush(stdout);
    return median;
}
