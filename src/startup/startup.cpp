#include "startup.h"

#include "base/dialogs.h"
#include "base/globals.h"
#include "base/messagetitles.h"
#include "base/ordernumber.h"
#include "data/companysettings.h"
#include "data/connection.h"
#include "data/schema.h"
#include "databaseclaim.h"
#include "firststart.h"
#include "freespace.h"
#include "legacyconversion.h"
#include "sessionend.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QStorageInfo>

namespace {

DatabaseClaim &claim()
{
    static auto *held = new DatabaseClaim;
    return *held;
}

// The order of the checks matters: nothing that could change a file runs before the file is
// known to be a database of this program that no other copy of it holds.
MaybeError openDatabase(Connection &connection, const QString &path)
{
    const Connection::FileKind kind = Connection::fileKind(path);
    if (kind == Connection::FileKind::Missing || kind == Connection::FileKind::Folder
        || kind == Connection::FileKind::Special)
        return Connection::fileError(kind, path);
    if (MaybeError error = claim().claim(path))
        return error;
    if (MaybeError error = connection.open(path))
        return error;
    int stored = 0;
    if (MaybeError error = Schema::readVersion(connection, stored))
        return error;
    if (stored > Schema::version)
        return Schema::upgrade(connection);
    if (MaybeError error = connection.checkWritable())
        return error;
    if (MaybeError error = Schema::upgrade(connection))
        return error;
    return Schema::check(connection);
}

} // namespace

MaybeError AbroConexion(const QString &databaseFolder)
{
    strRutaBase = QDir::toNativeSeparators(QDir(databaseFolder).filePath(QStringLiteral("database.mdb")));
    strConexion = Connection::connectionString(strRutaBase);
    Connection &connection = acnDataBase();
    MaybeError error = openDatabase(connection, Connection::pathFromConnectionString(strConexion));
    if (!error)
        error = LeoSetup();
    // Only a database that is going to be used changes mode.
    if (!error)
        error = connection.useWriteAheadLog();
    if (error)
        CierroConexion();
    return error;
}

MaybeError LeoSetup()
{
    std::optional<Schema::StoredSettings> setup;
    if (MaybeError error = Schema::readSettings(acnDataBase(), setup))
        return error;
    if (!setup) {
        // Without the settings row no order number could ever advance.
        return DbError{DbErrorNumber::Generic,
            QStringLiteral("La tabla SETUP no tiene la fila con los datos de la empresa; "
                           "sin ella no se pueden numerar los pedidos.")};
    }
    strEMPRESA = setup->empresa;
    strRECORVAN = setup->vendedor;
    strULTIMO_PEDIDO = OrderNumber::plainText(setup->ultimoPedido);
    return std::nullopt;
}

void CierroConexion()
{
    acnDataBase().close();
    claim().release();
}

void endRun()
{
    // A database deleted or moved away while the run had it open lost what the run stored
    // since: the run did not end well, whatever the window showed.
    const bool lost = acnDataBase().isOpen() && acnDataBase().checkStillInPlace().has_value();
    CierroConexion();
    QCoreApplication::processEvents();
    QCoreApplication::exit(lost ? 1 : 0);
}

int Main(const QString &databaseFolder, const std::function<QWidget *()> &createWindow)
{
    SessionEnd sessionEnd;
    QPointer<QWidget> window;
    QObject::connect(&sessionEnd, &SessionEnd::ended, &sessionEnd, [&window] {
        // With no box open, the session closes the window as the user would; otherwise every
        // open box is left as if cancelled and the run ends.
        if (window && window->isVisible() && !QApplication::activeModalWidget())
            window->close();
        else
            QCoreApplication::exit(0);
    });

    if (databaseMissing(databaseFolder) && offerFirstStart(databaseFolder) == FirstStartOutcome::Ended)
        return 1;
    // An Access file of the older program is offered for conversion before anything opens it.
    const LegacyOutcome legacy = offerLegacyConversion(databaseFolder);
    if (legacy == LegacyOutcome::Declined || legacy == LegacyOutcome::Failed)
        return 1;
    if (const std::optional<QString> full
        = freeSpaceRefusal(databaseFolder, QStorageInfo(databaseFolder).bytesAvailable())) {
        Dialogs::current().message(*full, QString(), Dialogs::Critical);
        return 1;
    }
    if (MaybeError error = AbroConexion(databaseFolder)) {
        Dialogs::current().message(
            QStringLiteral("No se pudo abrir la base de datos.\n\n") + error->text(), QString(), Dialogs::Critical);
        return 1;
    }
    // Said before any order is typed, rather than at the confirmation of the first.
    if (const std::optional<QString> exhausted = CompanySettings::counterExhausted(strULTIMO_PEDIDO))
        Dialogs::current().message(*exhausted, MessageTitles::attention(), Dialogs::Warning);
    window = createWindow ? createWindow() : nullptr;
    if (!window || sessionEnd.hasEnded()) {
        delete window;
        CierroConexion();
        return 0;
    }
    window->show();
    const int result = QApplication::exec();
    delete window;
    CierroConexion();
    return result;
}
