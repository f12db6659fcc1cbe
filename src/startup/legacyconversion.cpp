#include "legacyconversion.h"

#include "base/dialogs.h"
#include "base/messagetitles.h"
#include "base/privatefiles.h"
#include "conversionwindow.h"
#include "data/connection.h"
#include "data/databaseaside.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUuid>

#include <memory>

namespace {

bool taken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

void showFailure(const QString &why)
{
    Dialogs::current().message(QStringLiteral("No se pudo convertir la base de datos del programa anterior; "
                                              "el archivo original quedó como estaba.\n\n%1")
                                   .arg(why),
        QString(), Dialogs::Critical);
}

// How the conversion process ended, with the report it wrote or what went wrong.
struct ConversionRun
{
    enum class End { Converted, LostRows, Failed };
    End end = End::Failed;
    QString report;
    QString failure;
};

// libmdb can crash on a damaged file, so the file is read by recorvan-db in a process of its own.
ConversionRun runConversion(const QString &original, const QString &converted, ConversionWindow *window)
{
    const QString tool = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("recorvan-db"));
    QProcess child;
    QByteArray pending;
    QStringList report;
    const auto takeLines = [&](bool all) {
        pending += child.readAllStandardOutput();
        if (all && !pending.isEmpty() && !pending.endsWith('\n'))
            pending += '\n';
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QString line = QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            const QStringList step = line.split(QLatin1Char('\t'));
            if (step.size() == 3 && step.first() == QLatin1String("progreso")) {
                if (window)
                    window->advance(step.at(1).toInt(), step.at(2));
            } else {
                report << line;
            }
        }
    };
    child.start(tool, {QStringLiteral("migrate"), QStringLiteral("--progreso"), original, converted});
    while (child.state() != QProcess::NotRunning) {
        child.waitForReadyRead(100);
        takeLines(false);
        if (window) // repaint only, as between the steps
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    takeLines(true);

    ConversionRun run;
    const bool normalExit = child.error() != QProcess::FailedToStart && child.exitStatus() == QProcess::NormalExit;
    if (normalExit && (child.exitCode() == 0 || child.exitCode() == 3) && QFileInfo::exists(converted)) {
        run.end = child.exitCode() == 3 ? ConversionRun::End::LostRows : ConversionRun::End::Converted;
        run.report = report.join(QLatin1Char('\n')).trimmed();
        return run;
    }
    if (child.error() == QProcess::FailedToStart)
        run.failure = QStringLiteral("No se pudo iniciar el programa de conversión '%1' (%2).")
                          .arg(QDir::toNativeSeparators(tool), child.errorString());
    else if (!normalExit)
        run.failure = QStringLiteral("La conversión se interrumpió: el programa de conversión terminó de forma "
                                     "anormal, probablemente porque el archivo está dañado.");
    else
        run.failure = QString::fromUtf8(child.readAllStandardError()).trimmed();
    if (run.failure.isEmpty())
        run.failure = QStringLiteral("El programa de conversión terminó con el código %1.").arg(child.exitCode());
    DatabaseAside::removeUnfinished(converted);
    QFile::remove(converted);
    return run;
}

// A conversion that finished: the new database under a hidden name in the target folder.
struct ConvertedFile
{
    LegacyOutcome outcome = LegacyOutcome::Failed;
    QString path;
    QString shownReport; // what the last message shows of the report, ending in a blank line
};

// Converts `original` into a hidden new file in `folder`, showing the progress window, and asks
// whether to go on when the damaged file gave up fewer rows than it holds (`afterNo` says what a
// No leads to). The original is only read.
ConvertedFile convertIntoFolder(const QString &original, const QString &folder, const QString &afterNo)
{
    // The window needs a widget application; without one the conversion runs unseen.
    std::unique_ptr<ConversionWindow> progressWindow;
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        progressWindow = std::make_unique<ConversionWindow>();
        progressWindow->show();
        progressWindow->advance(0, QStringLiteral("Abriendo la base anterior…"));
    }
    // The new file gets a hidden name first; it takes its place only once it is complete.
    ConvertedFile converted;
    converted.path = QDir(folder).filePath(
        QStringLiteral(".database-nueva-%1.mdb").arg(QUuid::createUuid().toString(QUuid::WithoutBraces).left(8)));
    const ConversionRun run = runConversion(original, converted.path, progressWindow.get());
    progressWindow.reset();
    if (run.end == ConversionRun::End::Failed) {
        showFailure(run.failure);
        return converted;
    }
    // Rows the damaged file would not give up: the user decides whether to work without them.
    if (run.end == ConversionRun::End::LostRows) {
        if (Dialogs::current().message(run.report
                    + QStringLiteral("\n\n¿Seguir con la base convertida, sin las filas que faltan?\n\nSi "
                                     "responde No, la base convertida se descarta, el archivo original queda como "
                                     "estaba y %1.")
                          .arg(afterNo),
                MessageTitles::attention(), Dialogs::Warning, Dialogs::Yes | Dialogs::No, Dialogs::No)
            != Dialogs::Yes) {
            QFile::remove(converted.path);
            converted.outcome = LegacyOutcome::Declined;
            return converted;
        }
    } else {
        // The last message shows the report, unless the question above showed it already.
        converted.shownReport = run.report + QStringLiteral("\n\n");
    }
    converted.outcome = LegacyOutcome::Converted;
    return converted;
}

} // namespace

QString keptOriginalName(const QString &databaseFolder)
{
    const QDir folder(databaseFolder);
    QString candidate = folder.filePath(QStringLiteral("database-anterior.mdb"));
    for (int n = 2; taken(candidate); ++n)
        candidate = folder.filePath(QStringLiteral("database-anterior-%1.mdb").arg(n));
    return candidate;
}

LegacyOutcome offerLegacyConversion(const QString &databaseFolder)
{
    const QDir folder(databaseFolder);
    const QString original = folder.filePath(QStringLiteral("database.mdb"));
    if (Connection::fileKind(original) != Connection::FileKind::Jet)
        return LegacyOutcome::NotLegacy;

    const QString shownOriginal = QDir::toNativeSeparators(original);
    const Dialogs::Button answer = Dialogs::current().message(
        QStringLiteral("La base de datos '%1' es del programa anterior (Access) y hay que convertirla para usarla "
                       "con Recorvan.\n\n¿Convertirla ahora? El archivo original no se borra ni se cambia: "
                       "queda al lado, con el nombre '%2'.")
            .arg(shownOriginal, QFileInfo(keptOriginalName(databaseFolder)).fileName()),
        MessageTitles::attention(), Dialogs::Question, Dialogs::Yes | Dialogs::No, Dialogs::Yes);
    if (answer != Dialogs::Yes) {
        Dialogs::current().message(
            QStringLiteral("La base de datos no se convirtió y Recorvan se cerrará.\n\n"
                           "Para convertirla más tarde, vuelva a abrir Recorvan y responda Sí, o conviértala con\n"
                           "recorvan-db migrate \"%1\" NUEVA.mdb\n"
                           "y ponga NUEVA.mdb en su lugar, como '%1'.")
                .arg(shownOriginal),
            MessageTitles::attention(), Dialogs::Information);
        return LegacyOutcome::Declined;
    }

    const ConvertedFile converted = convertIntoFolder(original, databaseFolder, QStringLiteral("Recorvan se cerrará"));
    if (converted.outcome != LegacyOutcome::Converted)
        return converted.outcome;
    const QString kept = keptOriginalName(databaseFolder);
    if (!QFile::rename(original, kept)) {
        QFile::remove(converted.path);
        showFailure(
            QStringLiteral("No se pudo renombrar '%1' como '%2'.").arg(shownOriginal, QDir::toNativeSeparators(kept)));
        return LegacyOutcome::Failed;
    }
    if (!QFile::rename(converted.path, original)) {
        QFile::remove(converted.path);
        if (QFile::rename(kept, original)) {
            showFailure(QStringLiteral("No se pudo dejar la base convertida como '%1'.").arg(shownOriginal));
        } else {
            // Never claim the original is in place when it is not: say where it is.
            Dialogs::current().message(QStringLiteral("No se pudo dejar la base convertida como '%1'. El archivo "
                                                      "original, sin cambios, está en '%2'.")
                                           .arg(shownOriginal, QDir::toNativeSeparators(kept)),
                QString(), Dialogs::Critical);
        }
        return LegacyOutcome::Failed;
    }
    Dialogs::current().message(converted.shownReport
            + QStringLiteral("La base anterior quedó guardada como '%1'.").arg(QDir::toNativeSeparators(kept)),
        MessageTitles::attention(), Dialogs::Information);
    return LegacyOutcome::Converted;
}

LegacyOutcome ConviertoElegida(const QString &chosen, const QString &databaseFolder)
{
    const QString target = QDir(databaseFolder).filePath(QStringLiteral("database.mdb"));
    const Connection::FileKind kind = Connection::fileKind(chosen);
    if (kind != Connection::FileKind::Jet) {
        const QString shown = QDir::toNativeSeparators(chosen);
        QString why = Connection::fileError(kind, chosen).description; // one that cannot be read, a folder...
        if (kind == Connection::FileKind::SQLite)
            why = QStringLiteral("'%1' ya es una base de datos de Recorvan: no hace falta convertirla. Para usarla, "
                                 "cópiela como '%2'.")
                      .arg(shown, QDir::toNativeSeparators(target));
        else if (kind == Connection::FileKind::Empty || kind == Connection::FileKind::Other)
            why = QStringLiteral("'%1' no es una base de datos del programa anterior (un archivo de Access), así que "
                                 "no hay nada que convertir. El archivo quedó como estaba.")
                      .arg(shown);
        Dialogs::current().message(why, MessageTitles::attention(), Dialogs::Warning);
        return LegacyOutcome::NotLegacy;
    }
    if (std::optional<QString> why = PrivateFiles::makeFolder(databaseFolder)) {
        showFailure(*why);
        return LegacyOutcome::Failed;
    }
    const ConvertedFile converted
        = convertIntoFolder(chosen, databaseFolder, QStringLiteral("podrá elegir de nuevo qué hacer"));
    if (converted.outcome != LegacyOutcome::Converted)
        return converted.outcome;
    // QFile::rename never replaces a file: a database that appeared meanwhile is kept.
    if (!QFile::rename(converted.path, target)) {
        QFile::remove(converted.path);
        showFailure(
            QStringLiteral("No se pudo dejar la base convertida como '%1'.").arg(QDir::toNativeSeparators(target)));
        return LegacyOutcome::Failed;
    }
    Dialogs::current().message(converted.shownReport
            + QStringLiteral("La base convertida quedó en '%1'; '%2' quedó como estaba.")
                  .arg(QDir::toNativeSeparators(target), QDir::toNativeSeparators(chosen)),
        MessageTitles::attention(), Dialogs::Information);
    return LegacyOutcome::Converted;
}
