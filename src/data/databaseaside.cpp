#include "databaseaside.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

QString DatabaseAside::temporaryFor(const QString &target)
{
    const QFileInfo info(target);
    return info.dir().filePath(
        QStringLiteral(".%1.%2.tmp").arg(info.fileName(), QUuid::createUuid().toString(QUuid::WithoutBraces).left(8)));
}

void DatabaseAside::remove(const QString &temporary)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(temporary + QString::fromLatin1(suffix));
}

void DatabaseAside::removeUnfinished(const QString &target)
{
    const QFileInfo info(target);
    const QDir folder = info.dir();
    const QStringList temporaries
        = folder.entryList({QStringLiteral(".%1.*.tmp*").arg(info.fileName())}, QDir::Files | QDir::Hidden);
    for (const QString &name : temporaries)
        QFile::remove(folder.filePath(name));
}
