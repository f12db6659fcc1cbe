#include "base/filelocations.h"

#include <QtTest>

class tst_FileLocations : public QObject
{
    Q_OBJECT

private slots:
    void decide_data();
    void decide();
};

void tst_FileLocations::decide_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("documents");
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("transfers");
    const QString documents = QStringLiteral("/home/ana/Documentos");
    const QString data = QStringLiteral("/home/ana/.local/share/Recorvan");
    QTest::newRow("build folder") << "/home/ana/recorvan/build" << true << documents << "/home/ana/recorvan/build"
                                  << "/home/ana/recorvan/build";
    QTest::newRow("read-only portable folder") << "/media/cdrom/Recorvan" << false << documents << data << documents;
    QTest::newRow("installed, a user") << "/usr/bin" << false << documents << data << documents;
    QTest::newRow("installed, root may write there") << "/usr/bin/" << true << documents << data << documents;
    QTest::newRow("installed, no documents folder") << "/usr/bin" << false << "" << data << "/home/ana";
}

void tst_FileLocations::decide()
{
    QFETCH(QString, programFolder);
    QFETCH(bool, writable);
    QFETCH(QString, documents);
    const FileLocations::Places places = FileLocations::decide({programFolder, writable, QStringLiteral("/usr/bin"),
        QStringLiteral("/home/ana/.local/share/Recorvan"), documents, QStringLiteral("/home/ana")});
    QTEST(places.database, "database");
    QTEST(places.transfers, "transfers");
}

QTEST_GUILESS_MAIN(tst_FileLocations)
#include "tst_filelocations.moc"
