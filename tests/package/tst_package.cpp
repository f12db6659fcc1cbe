#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QtTest>

namespace {

// The exit status and the output of a program; -1 when it crashed or did not end.
QPair<int, QString> run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(240000);
    if (!ended)
        process.kill();
    return {ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAll())};
}

} // namespace

// The Debian package as made from this build: built with cpack, listed, unpacked into a
// temporary root, and its recorvan-db run from there.
class tst_Package : public QObject
{
    Q_OBJECT

private slots:
    void builtListedAndUnpacked()
    {
        QTemporaryDir work;
        const auto cpack = run(QStringLiteral(RECORVAN_CPACK),
            {"-G", "DEB", "--config", QStringLiteral(RECORVAN_BUILD_DIR "/CPackConfig.cmake"), "-B", work.path()});
        QVERIFY2(cpack.first == 0, qPrintable(cpack.second));
        const QStringList packages = QDir(work.path()).entryList({QStringLiteral("recorvan_*.deb")}, QDir::Files);
        QCOMPARE(packages.size(), 1);
        const QString package = work.filePath(packages.first());

        const auto listing = run(QStringLiteral("dpkg-deb"), {"-c", package});
        QCOMPARE(listing.first, 0);
        for (const char *path :
            {"/usr/bin/recorvan", "/usr/bin/recorvan-db", "/usr/share/applications/recorvan.desktop",
                "/usr/share/icons/hicolor/scalable/apps/recorvan.svg", "/usr/share/man/man1/recorvan-db.1.gz"})
            QVERIFY2(listing.second.contains(QStringLiteral(" .%1\n").arg(QLatin1String(path))), path);
        // The libraries the programs link, and the SQLite driver Qt loads at run time; nothing to build with.
        const auto depends = run(QStringLiteral("dpkg-deb"), {"-f", package, "Depends"});
        QCOMPARE(depends.first, 0);
        for (const char *needed : {"libqt6widgets6", "libqt6sql6-sqlite", "libsqlite3-0"})
            QVERIFY2(depends.second.contains(QLatin1String(needed)), qPrintable(depends.second));
        QVERIFY2(!depends.second.contains(QLatin1String("-dev")), qPrintable(depends.second));

        const QString root = work.filePath(QStringLiteral("root"));
        QCOMPARE(run(QStringLiteral("dpkg"), {"-x", package, root}).first, 0);
        QSettings entry(root + QStringLiteral("/usr/share/applications/recorvan.desktop"), QSettings::IniFormat);
        entry.beginGroup(QStringLiteral("Desktop Entry"));
        QVERIFY(QFileInfo(root + "/usr/bin/" + entry.value(QStringLiteral("Exec")).toString()).isExecutable());
        QVERIFY(QFileInfo::exists(root + "/usr/share/icons/hicolor/scalable/apps/"
            + entry.value(QStringLiteral("Icon")).toString() + ".svg"));

        // The unpacked tool says which version it is, makes a database and reads it back.
        const QString tool = root + QStringLiteral("/usr/bin/recorvan-db");
        const auto version = run(tool, {"--version"});
        QCOMPARE(version.first, 0);
        QCOMPARE(version.second.trimmed(), QStringLiteral("recorvan-db (Recorvan) " RECORVAN_VERSION_TEXT));
        const QString database = work.filePath(QStringLiteral("database.mdb"));
        const auto init = run(tool, {"init", database, "--empresa", "Núñez S.A.", "--vendedor", "Ana Peña"});
        QVERIFY2(init.first == 0, qPrintable(init.second));
        const auto check = run(tool, {"check", database});
        QVERIFY2(
            check.first == 0 && check.second.contains(QStringLiteral("Empresa: Núñez S.A.")), qPrintable(check.second));
    }
};

QTEST_GUILESS_MAIN(tst_Package)
#include "tst_package.moc"
