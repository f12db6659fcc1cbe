#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

// Whether the program has a graphic session to show its window in. It is looked at before the
// application object is made: without a display, Qt ends the process itself (an English message
// and an abort), and the user should instead be told, in Spanish, with status 1.
class GraphicSession
{
public:
    // What to tell the user when the platform Qt would start (from -platform, QT_QPA_PLATFORM or
    // the default, X11) surely needs a display that is not there; nullopt when it may be tried.
    static std::optional<QString> missing(const QStringList &arguments, const QProcessEnvironment &environment);

    // While one lives, a platform that still cannot start (a display named but not answering)
    // ends the process with the Spanish text and status 1 instead of Qt's abort.
    GraphicSession();
    ~GraphicSession();
    GraphicSession(const GraphicSession &) = delete;
    GraphicSession &operator=(const GraphicSession &) = delete;

    static QString unavailableText(const QString &detail);
};
