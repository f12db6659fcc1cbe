// Start-up up to the settings read on a database of 100,000 articles and 10,000 customers.

#include "benchcatalogue.h"
#include "startup/startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (MaybeError error
        = writeBenchDatabase(QDir(dir.path()).filePath(QStringLiteral("database.mdb")), 100000, 10000)) {
        std::fprintf(stderr, "%s\n", qPrintable(error->description));
        return 1;
    }
    const double ms = measureMs("AbroConexion + LeoSetup (100k articles, 10k customers)", 25, [&] {
        if (MaybeError error = AbroConexion(dir.path()))
            std::fprintf(stderr, "%s\n", qPrintable(error->description));
        CierroConexion();
    });
    std::printf("start-up to the settings read: %.1f ms (target: under 100 ms)\n", ms);
    return 0;
}
