#include "firststart.h"

#include "base/dialogs.h"
#include "base/messagetitles.h"
#include "base/privatefiles.h"
#include "data/companysettings.h"
#include "data/connection.h"
#include "data/schema.h"
#include "legacyconversion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

enum Way { Create, Convert, End };

QString databasePath(const QString &databaseFolder)
{
    return QDir(databaseFolder).filePath(QStringLiteral("database.mdb"));
}

// The settings typed in the form, asked again with what was typed until they pass; nullopt on Cancel.
std::optional<Schema::Settings> askSettings()
{
    Dialogs::Form form{QStringLiteral("Datos de la nueva base de datos:"), QStringLiteral("Nueva base de datos"),
        {{QStringLiteral("Empresa:"), QString()}, {QStringLiteral("Vendedor:"), QString()},
            {QStringLiteral("Primer número de pedido:"), QStringLiteral("1")}}};
    for (;;) {
        const std::optional<QStringList> typed = Dialogs::current().fill(form);
        if (!typed)
            return std::nullopt;
        QString refusal;
        if (std::optional<Schema::Settings> settings
            = CompanySettings::validateWithFirstOrder(typed->value(0), typed->value(1), typed->value(2), &refusal))
            return settings;
        Dialogs::current().message(refusal, MessageTitles::attention(), Dialogs::Warning);
        for (qsizetype i = 0; i < form.fields.size(); ++i)
            form.fields[i].value = typed->value(i);
    }
}

// A file that fails half-made is removed again, so the next start asks anew.
MaybeError createDatabase(const QString &databaseFolder, const Schema::Settings &settings)
{
    if (std::optional<QString> why = PrivateFiles::makeFolder(databaseFolder))
        return DbError{DbErrorNumber::CantOpen, *why};
    const QString path = databasePath(databaseFolder);
    Connection connection(QStringLiteral("first-start"));
    if (MaybeError error = connection.create(path))
        return error;
    MaybeError error = Schema::createWithSettings(connection, settings);
    connection.close();
    if (error)
        QFile::remove(path);
    return error;
}

} // namespace

bool databaseMissing(const QString &databaseFolder)
{
    const QString path = databasePath(databaseFolder);
    return Connection::fileKind(path) == Connection::FileKind::Missing && !QFileInfo(path).isSymLink();
}

FirstStartOutcome offerFirstStart(const QString &databaseFolder)
{
    const Dialogs::Choice question{QStringLiteral("No hay base de datos. ¿Desea crear una nueva?\n\n"
                                                  "La base de datos de Recorvan se guarda en '%1'.")
                                       .arg(QDir::toNativeSeparators(databasePath(databaseFolder))),
        MessageTitles::attention(), Dialogs::Question,
        {QStringLiteral("Crear una nueva"), QStringLiteral("Convertir una anterior…"), QStringLiteral("Salir")}, Create,
        End};
    for (;;) {
        const int way = Dialogs::current().choose(question);
        if (way == Create) {
            const std::optional<Schema::Settings> settings = askSettings();
            if (!settings)
                continue;
            if (MaybeError error = createDatabase(databaseFolder, *settings)) {
                Dialogs::current().message(QStringLiteral("No se pudo crear la base de datos.\n\n") + error->text(),
                    QString(), Dialogs::Critical);
                return FirstStartOutcome::Ended;
            }
            return FirstStartOutcome::Created;
        }
        if (way == Convert) {
            const QString chosen = Dialogs::current().openFile({QStringLiteral("Base de datos del programa anterior"),
                QDir::homePath(), QStringLiteral("Bases de datos de Access (*.mdb);;Todos los archivos (*)")});
            if (chosen.isEmpty())
                continue;
            const bool folderThere = QFileInfo(databaseFolder).isDir();
            if (ConviertoElegida(chosen, databaseFolder) == LegacyOutcome::Converted)
                return FirstStartOutcome::Converted;
            // Why has been told; the user chooses again, and a folder made for nothing goes.
            if (!folderThere)
                QDir().rmdir(databaseFolder);
            continue;
        }
        return FirstStartOutcome::Ended;
    }
}
