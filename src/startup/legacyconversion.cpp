#include "legacyconversion.h"

#include "base/dialogs.h"
#include "data/connection.h"
#include "data/legacy/jetsource.h"
#include "data/legacy/legacyconverter.h"
#include "frmconversion.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <memory>

namespace {

bool taken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

void showFailure(const DbError &error)
{
    Dialogs::current().message(QStringLiteral("No se pudo convertir la base de datos del programa anterior; "
                                              "el archivo original quedó como estaba.\n\nError %1: %2")
                                   .arg(error.number)
                                   .arg(error.description),
        QString(), Dialogs::Critical);
}

} // namespace

QString NombreAnterior(const QString &programFolder)
{
    const QDir folder(programFolder);
    QString candidate = folder.filePath(QStringLiteral("database-anterior.mdb"));
    for (int n = 2; taken(candidate); ++n)
        candidate = folder.filePath(QStringLiteral("database-anterior-%1.mdb").arg(n));
    return candidate;
}

LegacyOutcome OfrezcoConversion(const QString &programFolder)
{
    const QDir folder(programFolder);
    const QString original = folder.filePath(QStringLiteral("database.mdb"));
    if (Connection::fileKind(original) != Connection::FileKind::Jet)
        return LegacyOutcome::NotLegacy;

    const QString shownOriginal = QDir::toNativeSeparators(original);
    const Dialogs::Button answer = Dialogs::current().message(
        QStringLiteral("La base de datos '%1' es del programa anterior (Access) y hay que convertirla para usarla "
                       "con Recorvan.\n\n¿Convertirla ahora? El archivo original no se borra ni se cambia: "
                       "queda al lado, con el nombre '%2'.")
            .arg(shownOriginal, QFileInfo(NombreAnterior(programFolder)).fileName()),
        QStringLiteral("Atención"), Dialogs::Question, Dialogs::Yes | Dialogs::No, Dialogs::Yes);
    if (answer != Dialogs::Yes) {
        Dialogs::current().message(
            QStringLiteral("La base de datos no se convirtió y Recorvan se cerrará.\n\n"
                           "Para convertirla más tarde, vuelva a abrir Recorvan y responda Sí, o conviértala con\n"
                           "recorvan-db migrate \"%1\" NUEVA.mdb\n"
                           "y deje NUEVA.mdb como database.mdb junto al programa.")
                .arg(shownOriginal),
            QStringLiteral("Atención"), Dialogs::Information);
        return LegacyOutcome::Declined;
    }

    // The window needs a widget application; without one the conversion runs unseen.
    std::unique_ptr<frmConversion> progressWindow;
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
        progressWindow = std::make_unique<frmConversion>();
        progressWindow->show();
        progressWindow->avanzo(0, QStringLiteral("Abriendo la base anterior…"));
    }
    // The new file gets a hidden name first; the original is renamed only once it is complete.
    const QString converted = folder.filePath(
        QStringLiteral(".database-nueva-%1.mdb").arg(QUuid::createUuid().toString(QUuid::WithoutBraces).left(8)));
    ConversionReport report;
    MaybeError error;
    {
        JetSource source;
        error = source.open(original);
        if (!error)
            error = LegacyConverter::convert(
                source, converted, report, [&progressWindow](int percent, const QString &step) {
                    if (progressWindow)
                        progressWindow->avanzo(percent, step);
                });
    }
    progressWindow.reset();
    if (error) {
        showFailure(*error);
        return LegacyOutcome::Failed;
    }

    const QString kept = NombreAnterior(programFolder);
    if (!QFile::rename(original, kept)) {
        QFile::remove(converted);
        showFailure({DbErrorNumber::CantOpen,
            QStringLiteral("no se pudo renombrar '%1' como '%2'.").arg(shownOriginal, QDir::toNativeSeparators(kept))});
        return LegacyOutcome::Failed;
    }
    if (!QFile::rename(converted, original)) {
        QFile::remove(converted);
        if (QFile::rename(kept, original)) {
            showFailure({DbErrorNumber::CantOpen,
                QStringLiteral("no se pudo dejar la base convertida como '%1'.").arg(shownOriginal)});
        } else {
            // Never claim the original is in place when it is not: say where it is.
            Dialogs::current().message(QStringLiteral("No se pudo dejar la base convertida como '%1'. El archivo "
                                                      "original, sin cambios, está en '%2'.")
                                           .arg(shownOriginal, QDir::toNativeSeparators(kept)),
                QString(), Dialogs::Critical);
        }
        return LegacyOutcome::Failed;
    }
    Dialogs::current().message(report.text()
            + QStringLiteral("\n\nLa base anterior quedó guardada como '%1'.").arg(QDir::toNativeSeparators(kept)),
        QStringLiteral("Atención"), Dialogs::Information);
    return LegacyOutcome::Converted;
}
