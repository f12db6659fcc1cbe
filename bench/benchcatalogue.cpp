#include "benchcatalogue.h"

#include "tools/democatalogue.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

Schema::Settings benchCompany()
{
    return {QStringLiteral("Bench S.A."), QStringLiteral("Bench"), OrderNumber(15)};
}

MaybeError writeBenchDatabase(const QString &path, int articles, int customers)
{
    return DemoCatalogue::synthetic(articles, customers).createDatabase(path, benchCompany());
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
