#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include <sys/stat.h>

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
        const QStringList pages{"/usr/share/man/man1/recorvan.1.gz", "/usr/share/man/man1/recorvan-db.1.gz"};
        const QString metainfo = QStringLiteral("/usr/share/metainfo/ar.com.recorvan.pedidos.metainfo.xml");
        for (const QString &path : pages
                + QStringList{"/usr/bin/recorvan", "/usr/bin/recorvan-db", "/usr/share/applications/recorvan.desktop",
                    "/usr/share/icons/hicolor/scalable/apps/recorvan.svg", metainfo,
                    "/usr/share/doc/recorvan/copyright", "/usr/share/doc/recorvan/changelog.gz"})
            QVERIFY2(listing.second.contains(QStringLiteral(" .%1\n").arg(path)), qPrintable(path));

        // Debian's checks (man --warnings on each manual page among them): no error or warning, and
        // in a hardened build none of the hardening missing. (A program whose every checkable call
        // the compiler proved safe has no checked call left, and is told as missing fortification.)
        const auto lintian = run(QStringLiteral("lintian"), {"--display-info", "--tag-display-limit", "0", package});
        const QString refused = RECORVAN_HARDENED ? QStringLiteral("^[EW]: |hardening-no-(?!fortify)|unneeded-section")
                                                  : QStringLiteral("^[EW]: |unneeded-section");
        QVERIFY2(!lintian.second.contains(QRegularExpression(refused, QRegularExpression::MultilineOption)),
            qPrintable(lintian.second));
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
        const auto desktopCheck
            = run(QStringLiteral("desktop-file-validate"), {root + "/usr/share/applications/recorvan.desktop"});
        QVERIFY2(desktopCheck.first == 0 && desktopCheck.second.isEmpty(), qPrintable(desktopCheck.second));
        const auto appstream = run(QStringLiteral("appstreamcli"), {"validate", "--no-net", root + metainfo});
        QVERIFY2(appstream.first == 0, qPrintable(appstream.second));
        const auto changelog = run(QStringLiteral("gzip"), {"-dc", root + "/usr/share/doc/recorvan/changelog.gz"});
        QVERIFY2(changelog.second.startsWith(QStringLiteral("recorvan (" RECORVAN_VERSION_TEXT ") ")),
            qPrintable(changelog.second.left(80)));

        // The unpacked tool says which version it is, and its manual page names every command it lists.
        const QString tool = root + QStringLiteral("/usr/bin/recorvan-db");
        const auto version = run(tool, {"--version"});
        QCOMPARE(version.first, 0);
        QCOMPARE(version.second.trimmed(), QStringLiteral("recorvan-db (Recorvan) " RECORVAN_VERSION_TEXT));
        const auto help = run(tool, {"--help"});
        QCOMPARE(help.first, 0);
        const auto manual = run(QStringLiteral("man"), {"-E", "UTF-8", "-l", root + pages.last()});
        const QRegularExpression command(QStringLiteral("^  recorvan-db (\\S+)"), QRegularExpression::MultilineOption);
        QVERIFY(command.globalMatch(help.second).hasNext());
        for (const QRegularExpressionMatch &listed : command.globalMatch(help.second))
            QVERIFY2(manual.second.contains("recorvan-db " + listed.captured(1)), qPrintable(listed.captured(1)));

        // It makes a database only its owner may open, whatever the umask; a looser one is left
        // as it is, and told.
        const QString database = work.filePath(QStringLiteral("database.mdb"));
        const mode_t umask = ::umask(0);
        const auto init = run(tool, {"init", database, "--empresa", "Núñez S.A.", "--vendedor", "Ana Peña"});
        ::umask(umask);
        QVERIFY2(init.first == 0, qPrintable(init.second));
        struct stat status = {};
        QCOMPARE(::stat(QFile::encodeName(database).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t(0600));
        QCOMPARE(::chmod(QFile::encodeName(database).constData(), 0604), 0);
        const auto check = run(tool, {"check", database});
        QVERIFY2(check.first == 0 && check.second.contains(QStringLiteral("Empresa: Núñez S.A."))
                && check.second.contains(QStringLiteral("(permisos 604)")),
            qPrintable(check.second));
    }
};

QTEST_GUILESS_MAIN(tst_Package)
#include "tst_package.moc"
