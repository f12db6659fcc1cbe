#pragma once

#include <QString>

#include <optional>

// The user's data is the user's: the folders and files made for a database (the folder, the
// file, its log and its lock) are readable by their owner alone, whatever the umask says. What
// exists already keeps its mode: a user may share a database on purpose.
class PrivateFiles
{
public:
    // Makes the folder and every missing folder above it with mode 700; a folder already there is
    // left as it is. Returns the sentence that says it could not, and why, or nullopt.
    static std::optional<QString> makeFolder(const QString &path);
    // Creates an empty file with mode 600; never opens or replaces an existing one (nor what a
    // link points to). Returns why it could not, or nullopt.
    static std::optional<QString> createFile(const QString &path);
    // Gives a file this process made mode 600.
    static bool keepToOwner(const QString &path);
    // The mode of a file that other users may read or change, as "644"; empty when only its owner may.
    static QString looseMode(const QString &path);
};
