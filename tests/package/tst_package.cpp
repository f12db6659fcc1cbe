#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QtTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString output;
};

Run run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(240000))
        process.kill();
    return {
        process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, QString::fromUtf8(process.readAll())};
}

} // namespace

// The Debian package as made from this build: built with cpack, listed, unpacked into a
// temporary root, and its recorvan-db run from there.
class tst_Package : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void holdsItsFiles_data();
    void holdsItsFiles();
    void dependsOnRuntimePackagesOnly();
    void desktopEntryStartsTheProgramWithItsIcon();
    void installedToolRuns();

private:
    QTemporaryDir m_work;
    QString m_package;
    QString m_listing;
    QString m_root;
};

void tst_Package::initTestCase()
{
    const Run cpack = run(QStringLiteral(RECORVAN_CPACK),
        {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
            QStringLiteral(RECORVAN_BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"), m_work.path()});
    QVERIFY2(cpack.exitCode == 0, qPrintable(cpack.output));
    const QStringList packages = QDir(m_work.path()).entryList({QStringLiteral("recorvan_*.deb")}, QDir::Files);
    QCOMPARE(packages.size(), 1);
    m_package = QDir(m_work.path()).filePath(packages.first());
    const Run listing = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), m_package});
    QVERIFY2(listing.exitCode == 0, qPrintable(listing.output));
    m_listing = listing.output;
    m_root = QDir(m_work.path()).filePath(QStringLiteral("root"));
    const Run unpack = run(QStringLiteral("dpkg"), {QStringLiteral("-x"), m_package, m_root});
    QVERIFY2(unpack.exitCode == 0, qPrintable(unpack.output));
}

void tst_Package::holdsItsFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("program") << "./usr/bin/recorvan";
    QTest::newRow("database tool") << "./usr/bin/recorvan-db";
    QTest::newRow("desktop entry") << "./usr/share/applications/recorvan.desktop";
    QTest::newRow("icon") << "./usr/share/icons/hicolor/scalable/apps/recorvan.svg";
    QTest::newRow("manual page") << "./usr/share/man/man1/recorvan-db.1.gz";
}

void tst_Package::holdsItsFiles()
{
    QFETCH(QString, path);
    QVERIFY2(m_listing.contains(QLatin1Char(' ') + path + QLatin1Char('\n')), qPrintable(m_listing));
}

void tst_Package::dependsOnRuntimePackagesOnly()
{
    const Run depends = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_package, QStringLiteral("Depends")});
    QCOMPARE(depends.exitCode, 0);
    // The libraries the programs link, and the SQLite driver Qt loads at run time.
    for (const char *needed : {"libqt6widgets6", "libqt6sql6-sqlite", "libsqlite3-0"})
        QVERIFY2(depends.output.contains(QLatin1String(needed)), qPrintable(depends.output));
    QVERIFY2(!depends.output.contains(QLatin1String("-dev")), qPrintable(depends.output));
}

void tst_Package::desktopEntryStartsTheProgramWithItsIcon()
{
    QSettings entry(m_root + QStringLiteral("/usr/share/applications/recorvan.desktop"), QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    QVERIFY(QFileInfo(m_root + QStringLiteral("/usr/bin/") + entry.value(QStringLiteral("Exec")).toString())
                .isExecutable());
    QVERIFY(QFileInfo::exists(m_root + QStringLiteral("/usr/share/icons/hicolor/scalable/apps/")
        + entry.value(QStringLiteral("Icon")).toString() + QStringLiteral(".svg")));
}

void tst_Package::installedToolRuns()
{
    const QString tool = m_root + QStringLiteral("/usr/bin/recorvan-db");
    const Run version = run(tool, {QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.output.trimmed(), QStringLiteral("recorvan-db (Recorvan) " RECORVAN_VERSION_TEXT));

    const QString database = QDir(m_work.path()).filePath(QStringLiteral("prueba/database.mdb"));
    QVERIFY(QDir().mkpath(QFileInfo(database).path()));
    const Run init = run(tool,
        {QStringLiteral("init"), database, QStringLiteral("--empresa"), QStringLiteral("Núñez S.A."),
            QStringLiteral("--vendedor"), QStringLiteral("Ana Peña")});
    QVERIFY2(init.exitCode == 0, qPrintable(init.output));
    const Run check = run(tool, {QStringLiteral("check"), database});
    QVERIFY2(
        check.exitCode == 0 && check.output.contains(QStringLiteral("Empresa: Núñez S.A.")), qPrintable(check.output));
}

QTEST_GUILESS_MAIN(tst_Package)
#include "tst_package.moc"
