#include "privatefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t ownerFolder = 0700;
constexpr mode_t ownerFile = 0600;

// Why the system refused to make something in `folder`, in the user's words.
QString refusal(int error, const QString &folder)
{
    const QString shown = QDir::toNativeSeparators(folder);
    switch (error) {
    case EPERM:
    case EROFS:
        return QStringLiteral("la carpeta '%1' es de solo lectura").arg(shown);
    case EACCES:
        return QStringLiteral("la carpeta '%1' no permite crear archivos").arg(shown);
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("la carpeta '%1' no existe").arg(shown);
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("no queda espacio en el disco");
    case EEXIST:
        return QStringLiteral("ya existe");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

// Why the folder, or one above it, could not be made.
std::optional<QString> makeFolders(const QString &absolute)
{
    if (QFileInfo(absolute).isDir())
        return std::nullopt;
    const QString parent = QFileInfo(absolute).path();
    if (parent != absolute) {
        if (std::optional<QString> why = makeFolders(parent))
            return why;
    }
    const QByteArray name = QFile::encodeName(absolute);
    if (::mkdir(name.constData(), ownerFolder) != 0) {
        if (errno == EEXIST && QFileInfo(absolute).isDir())
            return std::nullopt;
        return refusal(errno, parent);
    }
    // mkdir's mode passes through the umask; the folder's own mode must not.
    ::chmod(name.constData(), ownerFolder);
    return std::nullopt;
}

} // namespace

std::optional<QString> PrivateFiles::makeFolder(const QString &path)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (std::optional<QString> why = makeFolders(absolute))
        return QStringLiteral("No se pudo crear la carpeta '%1': %2.").arg(QDir::toNativeSeparators(path), *why);
    return std::nullopt;
}

std::optional<QString> PrivateFiles::createFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int file = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, ownerFile);
    if (file < 0)
        return refusal(errno, QFileInfo(path).absolutePath());
    // open's mode passes through the umask; the file's own mode must not.
    const int failure = ::fchmod(file, ownerFile) == 0 ? 0 : errno;
    ::close(file);
    if (failure != 0) {
        ::unlink(name.constData());
        return refusal(failure, QFileInfo(path).absolutePath());
    }
    return std::nullopt;
}

bool PrivateFiles::keepToOwner(const QString &path)
{
    return ::chmod(QFile::encodeName(path).constData(), ownerFile) == 0;
}

QString PrivateFiles::looseMode(const QString &path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || (status.st_mode & 077) == 0)
        return {};
    return QString::number(status.st_mode & 0777, 8);
}
