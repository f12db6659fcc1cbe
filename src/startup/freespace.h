#pragma once

#include <QString>

#include <optional>

// Below this, the folder of the database cannot take an order: the engine's log and shared
// memory beside the file need room before the first line is written.
constexpr qint64 minimumFreeBytes = qint64(1024) * 1024;

// Why the run cannot start with so little free space in the database's folder; nullopt when
// there is room.
std::optional<QString> freeSpaceRefusal(const QString &folder, qint64 bytesAvailable);
