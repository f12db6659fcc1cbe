#include "graphicsession.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace {

QtMessageHandler previousHandler = nullptr;

// Qt reports a platform that cannot start as a fatal message and aborts right after it.
void endOnFatal(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        if (previousHandler)
            previousHandler(type, context, message);
        else
            std::fputs(qPrintable(qFormatLogMessage(type, context, message) + QLatin1Char('\n')), stderr);
        return;
    }
    const QString display = qEnvironmentVariable("DISPLAY");
    std::fputs(GraphicSession::unavailableText(display.isEmpty()
                       ? QStringLiteral("no se pudo abrir la pantalla")
                       : QStringLiteral("no se pudo abrir la pantalla '%1'").arg(display))
                   .toUtf8()
                   .constData(),
        stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

// The value of a Qt option given as "-name value" or "--name value" (Qt takes both).
QString option(const QStringList &arguments, const QString &name)
{
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1Char('-') + name || arguments.at(i) == QStringLiteral("--") + name)
            return arguments.at(i + 1);
    }
    return {};
}

} // namespace

std::optional<QString> GraphicSession::missing(const QStringList &arguments, const QProcessEnvironment &environment)
{
    const bool x11Display = !environment.value(QStringLiteral("DISPLAY")).isEmpty()
        || !option(arguments, QStringLiteral("display")).isEmpty();
    QString platforms = option(arguments, QStringLiteral("platform"));
    if (platforms.isEmpty())
        platforms = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    if (platforms.isEmpty()) {
        // Qt's own choice follows the session: X11, or Wayland where the compositor says so.
        if (x11Display || !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty())
            return std::nullopt;
        return unavailableText(QStringLiteral("no hay ninguna pantalla (DISPLAY y WAYLAND_DISPLAY están vacías)"));
    }
    // A list such as "wayland;xcb" is tried in order; only X11 is sure to fail without DISPLAY.
    for (const QString &platform : platforms.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (platform.section(QLatin1Char(':'), 0, 0) != QLatin1String("xcb") || x11Display)
            return std::nullopt;
    }
    return unavailableText(
        QStringLiteral("la plataforma '%1' necesita una pantalla X11 y DISPLAY está vacía").arg(platforms));
}

GraphicSession::GraphicSession()
{
    previousHandler = qInstallMessageHandler(endOnFatal);
}

GraphicSession::~GraphicSession()
{
    qInstallMessageHandler(previousHandler);
    previousHandler = nullptr;
}

QString GraphicSession::unavailableText(const QString &detail)
{
    return QStringLiteral("Recorvan necesita una sesión gráfica para mostrar su ventana, y no la encontró: %1.\n"
                          "Ábralo desde el escritorio, o desde una terminal de la sesión gráfica.\n")
        .arg(detail);
}
