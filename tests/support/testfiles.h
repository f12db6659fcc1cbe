#pragma once

#include <QFile>
#include <QFileInfo>

// Whole files, for setting up and reading back. Reading gives nothing for anything but a
// file: a pipe is never opened.
inline QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
