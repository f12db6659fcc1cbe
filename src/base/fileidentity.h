#pragma once

#include <QString>

#include <optional>

// A file as the system knows it: which file it is (device and inode) and how it stands (size and
// last change). Two looks at one path tell whether the file there was replaced, moved or changed.
struct FileIdentity
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;

    // nullopt when there is nothing under the path (or it cannot be looked at).
    static std::optional<FileIdentity> of(const QString &path);

    bool sameFile(const FileIdentity &other) const { return device == other.device && inode == other.inode; }
    bool operator==(const FileIdentity &) const = default;
};
